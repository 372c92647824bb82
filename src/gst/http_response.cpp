#include "gst/http_response.h"

#include <algorithm>

#include "stream/text_scan.h"

namespace lumio::gst {
namespace {

// A header's value in souphttpsrc's response-headers structure, whose field names are as the
// server wrote them; a header sent twice is an array of which the first counts.
std::optional<std::string> Header(const GstStructure* headers, const char* wanted) {
  const int count = gst_structure_n_fields(headers);
  for (int i = 0; i < count; ++i) {
    const char* name = gst_structure_nth_field_name(headers, static_cast<guint>(i));
    if (!stream::EqualsIgnoreCase(name, wanted)) continue;
    const GValue* value = gst_structure_get_value(headers, name);
    if (GST_VALUE_HOLDS_ARRAY(value) && gst_value_array_get_size(value) > 0)
      value = gst_value_array_get_value(value, 0);
    if (G_VALUE_HOLDS_STRING(value)) {
      const char* text = g_value_get_string(value);
      return std::string(text != nullptr ? text : "");
    }
  }
  return std::nullopt;
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
    response.content_type = Header(headers, "Content-Type").value_or("");
    response.location = Header(headers, "Location").value_or("");
    response.icy_metaint = Header(headers, "icy-metaint");
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

TransportError TransportErrorOfGstError(const GError* error) {
  if (error != nullptr && error->domain == GST_RESOURCE_ERROR)
    return TransportError::kConnectionLost;
  return TransportError::kUndecodable;
}

}  // namespace lumio::gst
