#include "gst/http_response.h"

#include <algorithm>

#include "stream/text_scan.h"

namespace lumio::gst {
namespace {

// A header's value in souphttpsrc's response-headers structure, whose field names are as the
// server wrote them; a header sent twice is an array of which the first counts.
std::string HeaderValue(const GstStructure* headers, const char* wanted) {
  const int count = gst_structure_n_fields(headers);
  for (int i = 0; i < count; ++i) {
    const char* name = gst_structure_nth_field_name(headers, static_cast<guint>(i));
    if (!stream::EqualsIgnoreCase(name, wanted)) continue;
    const GValue* value = gst_structure_get_value(headers, name);
    if (GST_VALUE_HOLDS_ARRAY(value) && gst_value_array_get_size(value) > 0)
      value = gst_value_array_get_value(value, 0);
    if (G_VALUE_HOLDS_STRING(value)) {
      const char* text = g_value_get_string(value);
      return text != nullptr ? text : "";
    }
  }
  return "";
}

std::optional<HttpResponse> FromStructure(const GstStructure* structure) {
  if (structure == nullptr || !gst_structure_has_name(structure, "http-headers")) {
    return std::nullopt;
  }
  HttpResponse response;
  guint status = 0;
  if (gst_structure_get_uint(structure, "http-status-code", &status))
    response.status = static_cast<int>(std::min<guint>(status, 999));
  const GValue* value = gst_structure_get_value(structure, "response-headers");
  if (value != nullptr && GST_VALUE_HOLDS_STRUCTURE(value)) {
    const GstStructure* headers = gst_value_get_structure(value);
    response.content_type = HeaderValue(headers, "Content-Type");
    response.location = HeaderValue(headers, "Location");
  }
  return response;
}

}  // namespace

std::optional<HttpResponse> ParseHttpHeadersMessage(GstMessage* message) {
  if (GST_MESSAGE_TYPE(message) != GST_MESSAGE_ELEMENT) return std::nullopt;
  return FromStructure(gst_message_get_structure(message));
}

std::optional<HttpResponse> ParseHttpHeadersEvent(GstEvent* event) {
  if (GST_EVENT_TYPE(event) != GST_EVENT_CUSTOM_DOWNSTREAM_STICKY) return std::nullopt;
  return FromStructure(gst_event_get_structure(event));
}

StreamFailure FailureOfError(const GError* error) {
  if (error == nullptr) return StreamFailure::kNotAudio;
  if (error->domain == GST_RESOURCE_ERROR) {
    switch (error->code) {
      case GST_RESOURCE_ERROR_NOT_FOUND:
        return StreamFailure::kGone;
      case GST_RESOURCE_ERROR_NOT_AUTHORIZED:
        return StreamFailure::kForbidden;
      case GST_RESOURCE_ERROR_READ:
        return StreamFailure::kNoAnswer;
      default:
        return StreamFailure::kUnreachable;
    }
  }
  return StreamFailure::kNotAudio;
}

bool IsHttpUri(const std::string& uri) {
  return stream::StartsWithIgnoreCase(uri, "http://") ||
         stream::StartsWithIgnoreCase(uri, "https://");
}

}  // namespace lumio::gst
