#include "gst/http_fetch.h"

#include <algorithm>
#include <utility>

#include "gst/glib_sources.h"
#include "gst/http_response.h"
#include "playback/address_policy.h"
#include "stream/url.h"

namespace lumio::gst {
namespace {

constexpr const char* kEnoughMessage = "lumio-fetch-enough";

}  // namespace

HttpFetch::HttpFetch(std::string uri, FetchOptions options, std::function<void(FetchResult)> done)
    : options_(std::move(options)), done_(std::move(done)) {
  result_.uri = std::move(uri);
  const guint limit_ms = static_cast<guint>(std::max(1, options_.timeout_seconds)) * 1000u;
  timer_ = AttachSource(g_timeout_source_new(limit_ms), &OnTimeLimit, this);

  pipeline_.reset(static_cast<GstElement*>(gst_object_ref_sink(gst_pipeline_new("lumio-fetch"))));
  source_ = gst_element_factory_make("souphttpsrc", nullptr);
  GstElement* sink = gst_element_factory_make("fakesink", nullptr);
  if (source_ == nullptr || sink == nullptr || !RefusalOfAddress(result_.uri).empty()) {
    if (source_ != nullptr) gst_object_unref(gst_object_ref_sink(source_));
    if (sink != nullptr) gst_object_unref(gst_object_ref_sink(sink));
    source_ = nullptr;
    // Said from the main context, as every outcome is.
    watch_ = AttachSource(g_idle_source_new(), &OnUnusable, this);
    return;
  }
  // Redirects are followed here, so that their number is bounded and the final address known.
  g_object_set(source_, "user-agent", options_.user_agent.c_str(), "timeout",
               static_cast<guint>(std::max(1, options_.timeout_seconds)), "automatic-redirect",
               FALSE, "iradio-mode", FALSE, nullptr);
  g_object_set(sink, "sync", FALSE, "async", FALSE, "signal-handoffs", TRUE, nullptr);
  g_signal_connect_data(sink, "handoff", reinterpret_cast<GCallback>(&OnHandoff), this, nullptr,
                        GConnectFlags{});
  gst_bin_add_many(reinterpret_cast<GstBin*>(pipeline_.get()), source_, sink, nullptr);
  gst_element_link(source_, sink);
  bus_.reset(gst_element_get_bus(pipeline_.get()));
  watch_ = AttachSource(gst_bus_create_watch(bus_.get()), AsSourceFunc(&OnBusMessage), this);
  Request();
}

HttpFetch::~HttpFetch() {
  Stop();
}

// Ends every activity: after this no callback of the fetch runs.
void HttpFetch::Stop() {
  timer_.reset();
  watch_.reset();
  check_.reset();
  if (pipeline_) gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
}

void HttpFetch::Request() {
  gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
  gst_bus_set_flushing(bus_.get(), TRUE);
  gst_bus_set_flushing(bus_.get(), FALSE);
  {
    std::lock_guard lock(mutex_);
    received_.clear();
    enough_ = false;
  }
  answered_ = false;
  g_object_set(source_, "location", result_.uri.c_str(), nullptr);
  gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING);
}

void HttpFetch::OnHandoff(GstElement* sink, GstBuffer* buffer, GstPad*, gpointer self) {
  auto* fetch = static_cast<HttpFetch*>(self);
  std::lock_guard lock(fetch->mutex_);
  if (fetch->enough_) return;
  GstMapInfo map;
  if (!gst_buffer_map(buffer, &map, GST_MAP_READ)) return;
  const size_t room = fetch->options_.max_bytes - fetch->received_.size();
  fetch->received_.append(reinterpret_cast<const char*>(map.data), std::min(room, map.size));
  gst_buffer_unmap(buffer, &map);
  if (fetch->received_.size() < fetch->options_.max_bytes) return;
  fetch->enough_ = true;
  gst_element_post_message(
      sink,
      gst_message_new_application(GST_OBJECT_CAST(sink), gst_structure_new_empty(kEnoughMessage)));
}

void HttpFetch::Handle(GstMessage* message) {
  if (check_) return;  // the request is over; only the check's answer counts now
  if (auto response = ParseHttpHeadersMessage(message)) {
    if (response->status == 0) return;  // no answer: the error that follows says so
    if (response->IsRedirect()) return Redirect(response->location);
    if (const StreamFailure failure = FailureForHttpStatus(response->status);
        failure != StreamFailure::kNone) {
      return Fail(failure, "The server answered HTTP " + std::to_string(response->status));
    }
    answered_ = true;
    result_.content_type = response->content_type;
    return;
  }
  switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_EOS:
      return Finish();
    case GST_MESSAGE_APPLICATION:
      if (gst_message_has_name(message, kEnoughMessage)) Finish();
      return;
    case GST_MESSAGE_ERROR: {
      GError* error = nullptr;
      gst_message_parse_error(message, &error, nullptr);
      const std::string text = error != nullptr ? error->message : "The request failed";
      const StreamFailure failure = FailureOfTransportError(TransportErrorOfGstError(error));
      if (error != nullptr) g_error_free(error);
      if (answered_) {
        bool some = false;
        {
          std::lock_guard lock(mutex_);
          some = !received_.empty();
        }
        // What came before the connection broke is as good as a short body.
        if (some) return Finish();
        return Fail(failure, text);
      }
      gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
      check_ = std::make_unique<ConnectionCheck>(
          result_.uri, options_.timeout_seconds, [this](TransportError why, std::string detail) {
            Fail(FailureOfTransportError(why), std::move(detail));
          });
      return;
    }
    default:
      return;
  }
}

void HttpFetch::Redirect(const std::string& location) {
  if (location.empty()) return Fail(StreamFailure::kUnreachable, "A redirect to nowhere");
  const std::string to = stream::ResolveUrl(result_.uri, location);
  if (std::string refusal = RefusalOfRedirect(result_.uri, to, ++result_.redirects);
      !refusal.empty()) {
    return Fail(StreamFailure::kUnreachable, std::move(refusal));
  }
  result_.uri = to;
  Request();
}

void HttpFetch::Finish() {
  {
    std::lock_guard lock(mutex_);
    result_.body = std::move(received_);
    received_.clear();
  }
  Stop();
  // Last: `done` may destroy this.
  std::function<void(FetchResult)> done = std::move(done_);
  if (done) done(std::move(result_));
}

void HttpFetch::Fail(StreamFailure failure, std::string why) {
  result_.failure = failure;
  result_.why = std::move(why);
  {
    std::lock_guard lock(mutex_);
    received_.clear();
  }
  Finish();
}

gboolean HttpFetch::OnBusMessage(GstBus*, GstMessage* message, gpointer self) {
  static_cast<HttpFetch*>(self)->Handle(message);
  return G_SOURCE_CONTINUE;
}

gboolean HttpFetch::OnTimeLimit(gpointer self) {
  auto* fetch = static_cast<HttpFetch*>(self);
  fetch->timer_.reset();  // fires once
  bool some = false;
  {
    std::lock_guard lock(fetch->mutex_);
    some = !fetch->received_.empty();
  }
  if (some) {
    fetch->Finish();
  } else {
    fetch->Fail(StreamFailure::kNoAnswer, "No answer within the time limit");
  }
  return G_SOURCE_REMOVE;
}

gboolean HttpFetch::OnUnusable(gpointer self) {
  auto* fetch = static_cast<HttpFetch*>(self);
  fetch->watch_.reset();
  fetch->Fail(StreamFailure::kUnreachable,
              "Not an address that can be fetched: " + fetch->result_.uri);
  return G_SOURCE_REMOVE;
}

}  // namespace lumio::gst
