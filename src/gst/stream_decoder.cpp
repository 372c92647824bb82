#include "gst/stream_decoder.h"

#include <algorithm>

#include "gst/http_response.h"

namespace lumio::gst {
namespace {

constexpr const char* kUserAgent = "Lumio/1.2";
constexpr const char* kPlaylistMessage = "lumio-playlist";

bool HasProperty(gpointer object, const char* name) {
  auto* klass = reinterpret_cast<GObjectClass*>(reinterpret_cast<GTypeInstance*>(object)->g_class);
  return g_object_class_find_property(klass, name) != nullptr;
}

bool IsRawAudio(GstPad* pad) {
  GstCaps* caps = gst_pad_get_current_caps(pad);
  if (caps == nullptr) caps = gst_pad_query_caps(pad, nullptr);
  bool audio = false;
  if (caps != nullptr && !gst_caps_is_empty(caps)) {
    audio = gst_structure_has_name(gst_caps_get_structure(caps, 0), "audio/x-raw");
  }
  if (caps != nullptr) gst_caps_unref(caps);
  return audio;
}

}  // namespace

std::unique_ptr<StreamDecoder> StreamDecoder::Create(GstBin* pipeline, GstElement* output,
                                                     const std::string& uri, bool hls,
                                                     int timeout_seconds, std::string* error) {
  // HLS needs uridecodebin3: only its demuxer sends our user agent with every segment request.
  // Everything else starts sooner through uridecodebin.
  const char* factory = hls ? "uridecodebin3" : "uridecodebin";
  GstElement* decoder = gst_element_factory_make(factory, nullptr);
  if (decoder == nullptr) {
    *error = std::string("GStreamer has no ") + factory + " element";
    return nullptr;
  }
  GstCaps* audio = gst_caps_new_empty_simple("audio/x-raw");
  g_object_set(decoder, "uri", uri.c_str(), "caps", audio, nullptr);
  gst_caps_unref(audio);
  // Only the sound is decoded; the pictures of a station that sends some are not.
  if (HasProperty(decoder, "expose-all-streams")) {
    g_object_set(decoder, "expose-all-streams", FALSE, nullptr);
  }
  return std::unique_ptr<StreamDecoder>(
      new StreamDecoder(pipeline, output, decoder, uri, hls, timeout_seconds));
}

StreamDecoder::StreamDecoder(GstBin* pipeline, GstElement* output, GstElement* decoder,
                             std::string uri, bool hls, int timeout_seconds)
    : pipeline_(pipeline),
      output_(output),
      decoder_(static_cast<GstElement*>(gst_object_ref_sink(decoder))),
      uri_(std::move(uri)),
      hls_(hls),
      timeout_seconds_(std::max(1, timeout_seconds)) {
  g_signal_connect_data(decoder, "source-setup", reinterpret_cast<GCallback>(&OnSourceSetup), this,
                        nullptr, GConnectFlags{});
  g_signal_connect_data(decoder, "pad-added", reinterpret_cast<GCallback>(&OnPadAdded), this,
                        nullptr, GConnectFlags{});
  gst_bin_add(pipeline_, decoder);
}

StreamDecoder::~StreamDecoder() {
  g_signal_handlers_disconnect_by_data(decoder_.get(), this);
  std::vector<GstElement*> removed;
  {
    std::lock_guard lock(mutex_);
    removed.swap(discards_);
  }
  removed.push_back(decoder_.get());
  for (GstElement* element : removed) {
    gst_element_set_state(element, GST_STATE_NULL);
    gst_bin_remove(pipeline_, element);  // also unlinks it from the output
  }
}

std::optional<stream::PlaylistKind> StreamDecoder::PlaylistFound(GstMessage* message) {
  if (GST_MESSAGE_TYPE(message) != GST_MESSAGE_APPLICATION ||
      !gst_message_has_name(message, kPlaylistMessage)) {
    return std::nullopt;
  }
  gint kind = 0;
  gst_structure_get_int(gst_message_get_structure(message), "kind", &kind);
  return static_cast<stream::PlaylistKind>(kind);
}

void StreamDecoder::OnSourceSetup(GstElement*, GstElement* source, gpointer self) {
  auto* decoder = static_cast<StreamDecoder*>(self);
  if (HasProperty(source, "user-agent")) g_object_set(source, "user-agent", kUserAgent, nullptr);
  if (HasProperty(source, "timeout")) {
    g_object_set(source, "timeout", static_cast<guint>(decoder->timeout_seconds_), nullptr);
  }
  // The player follows redirects itself: it bounds them and learns where the stream went.
  if (HasProperty(source, "automatic-redirect")) {
    g_object_set(source, "automatic-redirect", FALSE, nullptr);
  }
  if (decoder->hls_) return;
  if (GstPad* pad = gst_element_get_static_pad(source, "src")) {
    gst_pad_add_probe(pad,
                      static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER |
                                                   GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
                      &OnSourceData, decoder, nullptr);
    gst_object_unref(pad);
  }
}

// Runs on the source's streaming thread. The server's type (from the headers event that comes
// before the body) and the first bytes tell a playlist from a stream; a playlist is held back
// from the decoders, which would only fail on it or, for HLS, play it without our user agent.
GstPadProbeReturn StreamDecoder::OnSourceData(GstPad*, GstPadProbeInfo* info, gpointer self) {
  auto* decoder = static_cast<StreamDecoder*>(self);
  if (decoder->diverted_) return GST_PAD_PROBE_DROP;
  if ((info->type & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) != 0) {
    if (auto response = ParseHttpHeadersEvent(GST_PAD_PROBE_INFO_EVENT(info)))
      decoder->content_type_ = response->content_type;
    return GST_PAD_PROBE_OK;
  }
  GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
  GstMapInfo map;
  if (buffer == nullptr || !gst_buffer_map(buffer, &map, GST_MAP_READ)) return GST_PAD_PROBE_OK;
  const std::string_view bytes(reinterpret_cast<const char*>(map.data), map.size);
  const stream::PlaylistKind kind =
      stream::ClassifyPlaylist(decoder->uri_, decoder->content_type_, bytes);
  gst_buffer_unmap(buffer, &map);
  if (kind == stream::PlaylistKind::kNone) return GST_PAD_PROBE_REMOVE;
  decoder->diverted_ = true;
  GstElement* element = decoder->decoder_.get();
  gst_element_post_message(
      element, gst_message_new_application(GST_OBJECT_CAST(element),
                                           gst_structure_new(kPlaylistMessage, "kind", G_TYPE_INT,
                                                             static_cast<int>(kind), nullptr)));
  return GST_PAD_PROBE_DROP;
}

// Runs on a streaming thread. A sound stream goes to the output whenever the output is free:
// the first one, and each one after it that replaces the stream before (a chained Ogg stream
// removes the old pad, which unlinks it, before it adds the next track's). Anything else the
// decoder exposes is swallowed, so that it neither blocks nor fails the pipeline.
void StreamDecoder::OnPadAdded(GstElement*, GstPad* pad, gpointer self) {
  auto* decoder = static_cast<StreamDecoder*>(self);
  if (IsRawAudio(pad)) {
    std::lock_guard lock(decoder->mutex_);
    GstPad* entry = gst_element_get_static_pad(decoder->output_, "sink");
    const bool linked = !gst_pad_is_linked(entry) && gst_pad_link(pad, entry) == GST_PAD_LINK_OK;
    gst_object_unref(entry);
    if (linked) return;
  }
  GstElement* discard = gst_element_factory_make("fakesink", nullptr);
  if (discard == nullptr) return;
  g_object_set(discard, "sync", FALSE, "async", FALSE, nullptr);
  gst_bin_add(decoder->pipeline_, discard);
  GstPad* entry = gst_element_get_static_pad(discard, "sink");
  gst_pad_link(pad, entry);
  gst_object_unref(entry);
  gst_element_sync_state_with_parent(discard);
  std::lock_guard lock(decoder->mutex_);
  decoder->discards_.push_back(discard);
}

}  // namespace lumio::gst
