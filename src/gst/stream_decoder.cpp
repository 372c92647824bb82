#include "gst/stream_decoder.h"

#include <algorithm>
#include <utility>

#include "gst/hls_feed.h"
#include "gst/http_response.h"
#include "stream/stream_limits.h"
#include "text/program_name.h"

namespace lumio::gst {
namespace {

namespace limits = stream::limits;

constexpr const char* kBodyMessage = "lumio-body";

BodyReport Bytes(std::string_view bytes) {
  BodyReport report;
  report.bytes = bytes;
  return report;
}

BodyReport Refused(TransportError error, std::string why) {
  BodyReport report;
  report.kind = BodyReport::Kind::kRefused;
  report.error = error;
  report.why = std::move(why);
  return report;
}

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

GstElement* Made(const char* factory, std::string* error) {
  GstElement* element = gst_element_factory_make(factory, nullptr);
  if (element == nullptr) *error = std::string("GStreamer has no ") + factory + " element";
  return element;
}

}  // namespace

// HLS is read by the core's reader (HlsFeed), whose audio enters the decoders through an appsrc.
// The playlist the attempt opened comes through the same HTTP source as any stream, so that its
// answer and first bytes are told the same way, and goes no further than a fakesink: the
// reader starts from it once it ended.
struct StreamDecoder::HlsParts {
  ElementPtr source;
  ElementPtr playlist_sink;
  ElementPtr appsrc;
  std::unique_ptr<HlsFeed> feed;  // once the playlist came
};

std::unique_ptr<StreamDecoder> StreamDecoder::Create(GstBin* pipeline, GstElement* output,
                                                     const std::string& uri, OpenAs as,
                                                     stream::FormatSet decodes, int timeout_seconds,
                                                     TapRelay& relay, std::string* error) {
  std::unique_ptr<HlsParts> hls;
  if (as == OpenAs::kHls) {
    hls = std::make_unique<HlsParts>();
    GError* raw_error = nullptr;
    GstElement* source = gst_element_make_from_uri(GST_URI_SRC, uri.c_str(), nullptr, &raw_error);
    if (raw_error != nullptr) g_error_free(raw_error);
    if (source == nullptr) {
      *error = "GStreamer has no source for " + uri;
      return nullptr;
    }
    hls->source.reset(static_cast<GstElement*>(gst_object_ref_sink(source)));
    GstElement* sink = Made("fakesink", error);
    GstElement* appsrc = sink != nullptr ? Made("appsrc", error) : nullptr;
    if (appsrc == nullptr) {
      if (sink != nullptr) gst_object_unref(gst_object_ref_sink(sink));
      return nullptr;
    }
    g_object_set(sink, "sync", FALSE, "async", FALSE, nullptr);
    hls->playlist_sink.reset(static_cast<GstElement*>(gst_object_ref_sink(sink)));
    hls->appsrc.reset(static_cast<GstElement*>(gst_object_ref_sink(appsrc)));
  }
  GstElement* decoder = Made(as == OpenAs::kHls ? "decodebin" : "uridecodebin", error);
  if (decoder == nullptr) return nullptr;
  GstCaps* audio = gst_caps_new_empty_simple("audio/x-raw");
  g_object_set(decoder, "caps", audio, nullptr);
  if (as != OpenAs::kHls) g_object_set(decoder, "uri", uri.c_str(), nullptr);
  gst_caps_unref(audio);
  // Only the sound is decoded; the pictures of a station that sends some are not.
  if (HasProperty(decoder, "expose-all-streams")) {
    g_object_set(decoder, "expose-all-streams", FALSE, nullptr);
  }
  return std::unique_ptr<StreamDecoder>(new StreamDecoder(
      pipeline, output, decoder, std::move(hls), uri, as, decodes, timeout_seconds, relay));
}

StreamDecoder::StreamDecoder(GstBin* pipeline, GstElement* output, GstElement* decoder,
                             std::unique_ptr<HlsParts> hls, std::string uri, OpenAs as,
                             stream::FormatSet decodes, int timeout_seconds, TapRelay& relay)
    : pipeline_(pipeline),
      output_(output),
      decoder_(static_cast<GstElement*>(gst_object_ref_sink(decoder))),
      hls_(std::move(hls)),
      uri_(std::move(uri)),
      as_(as),
      decodes_(decodes),
      timeout_seconds_(std::max(1, timeout_seconds)),
      tap_(relay, as == OpenAs::kHls) {
  if (!hls_) {
    g_signal_connect_data(decoder, "source-setup", reinterpret_cast<GCallback>(&OnSourceSetup),
                          this, nullptr, GConnectFlags{});
  }
  g_signal_connect_data(decoder, "pad-added", reinterpret_cast<GCallback>(&OnPadAdded), this,
                        nullptr, GConnectFlags{});
  g_signal_connect_data(decoder, "deep-element-added",
                        reinterpret_cast<GCallback>(&OnDeepElementAdded), this, nullptr,
                        GConnectFlags{});
  gst_bin_add(pipeline_, decoder);
  if (hls_) {
    gst_bin_add_many(pipeline_, hls_->source.get(), hls_->playlist_sink.get(), hls_->appsrc.get(),
                     nullptr);
    gst_element_link(hls_->source.get(), hls_->playlist_sink.get());
    gst_element_link(hls_->appsrc.get(), decoder);
    OnSourceSetup(nullptr, hls_->source.get(), this);
  }
}

StreamDecoder::~StreamDecoder() {
  if (halted_.empty()) {
    Detach();
    Halt();
  }
}

void StreamDecoder::Detach() {
  if (!halted_.empty()) return;
  g_signal_handlers_disconnect_by_data(decoder_.get(), this);
  std::vector<GstElement*> removed;
  {
    std::lock_guard lock(mutex_);
    detached_ = true;
    removed.swap(discards_);
  }
  // The reader's thread ends in Halt, its requests with it: nothing of it outlives the open.
  if (hls_ && hls_->feed) hls_->feed->Stop();
  removed.push_back(decoder_.get());
  if (hls_) {
    removed.push_back(hls_->source.get());
    removed.push_back(hls_->playlist_sink.get());
    removed.push_back(hls_->appsrc.get());
  }
  for (GstElement* element : removed) {
    halted_.emplace_back(static_cast<GstElement*>(gst_object_ref(element)));
    gst_bin_remove(pipeline_, element);  // also unlinks it from the output
  }
}

void StreamDecoder::Halt() {
  if (hls_) hls_->feed.reset();
  for (const ElementPtr& element : halted_)
    gst_element_set_state(element.get(), GST_STATE_NULL);
}

std::optional<BodyReport> StreamDecoder::ReportOf(GstMessage* message) {
  if (GST_MESSAGE_TYPE(message) != GST_MESSAGE_APPLICATION ||
      !gst_message_has_name(message, kBodyMessage)) {
    return std::nullopt;
  }
  const GstStructure* structure = gst_message_get_structure(message);
  BodyReport report;
  gint kind = 0;
  gint error = 0;
  gst_structure_get_int(structure, "kind", &kind);
  gst_structure_get_int(structure, "error", &error);
  report.kind = static_cast<BodyReport::Kind>(kind);
  report.error = static_cast<TransportError>(error);
  if (const gchar* why = gst_structure_get_string(structure, "why")) report.why = why;
  GBytes* bytes = nullptr;
  if (gst_structure_get(structure, "bytes", G_TYPE_BYTES, &bytes, nullptr) && bytes != nullptr) {
    gsize size = 0;
    const auto* data = static_cast<const char*>(g_bytes_get_data(bytes, &size));
    report.bytes.assign(data != nullptr ? data : "", size);
    g_bytes_unref(bytes);
  }
  return report;
}

void StreamDecoder::OnSourceSetup(GstElement*, GstElement* source, gpointer self) {
  auto* decoder = static_cast<StreamDecoder*>(self);
  if (HasProperty(source, "user-agent")) g_object_set(source, "user-agent", kUserAgent, nullptr);
  if (HasProperty(source, "timeout")) {
    g_object_set(source, "timeout", static_cast<guint>(decoder->timeout_seconds_), nullptr);
  }
  // The station attempt follows redirects: it bounds them and checks where they lead.
  if (HasProperty(source, "automatic-redirect")) {
    g_object_set(source, "automatic-redirect", FALSE, nullptr);
  }
  if (GstPad* pad = gst_element_get_static_pad(source, "src")) {
    gst_pad_add_probe(pad,
                      static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER |
                                                   GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
                      &OnSourceData, decoder, nullptr);
    // Apart, as the judging probe goes once the body is judged.
    gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_QUERY_UPSTREAM, &OnSourceQuery, decoder, nullptr);
    // After the judging probe, so that the tap sees a body only once it is judged.
    decoder->tap_.OnSourcePad(pad);
    gst_object_unref(pad);
  }
}

void StreamDecoder::Post(BodyReport report) {
  GstStructure* structure = gst_structure_new(
      kBodyMessage, "kind", G_TYPE_INT, static_cast<gint>(report.kind), "error", G_TYPE_INT,
      static_cast<gint>(report.error), "why", G_TYPE_STRING, report.why.c_str(), nullptr);
  if (!report.bytes.empty()) {
    GBytes* bytes = g_bytes_new(report.bytes.data(), report.bytes.size());
    gst_structure_set(structure, "bytes", G_TYPE_BYTES, bytes, nullptr);
    g_bytes_unref(bytes);
  }
  GstElement* element = decoder_.get();
  gst_element_post_message(element,
                           gst_message_new_application(GST_OBJECT_CAST(element), structure));
}

// Runs on the source's streaming thread. The server's type (from the headers event that comes
// before the body) and the first bytes decide, as the station attempt decides from the same
// facts: what the decoders cannot use never reaches them, which would only fail on it or, for
// HLS opened as a stream, play it without our user agent.
GstPadProbeReturn StreamDecoder::OnSourceData(GstPad* pad, GstPadProbeInfo* info, gpointer self) {
  auto* decoder = static_cast<StreamDecoder*>(self);
  if ((info->type & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) != 0) {
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    if (auto response = ParseHttpHeadersEvent(event)) {
      decoder->content_type_ = response->content_type;
      decoder->icy_metaint_ = response->icy_metaint;
    } else if (GST_EVENT_TYPE(event) == GST_EVENT_EOS) {
      return decoder->OnEndOfStream();
    } else if (GST_EVENT_TYPE(event) == GST_EVENT_CAPS) {
      return decoder->OnCaps(event);
    }
    return GST_PAD_PROBE_OK;
  }
  GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
  if (!decoder->judged_) decoder->MendIcyCaps(pad);
  GstMapInfo map;
  if (buffer == nullptr || !gst_buffer_map(buffer, &map, GST_MAP_READ)) return GST_PAD_PROBE_OK;
  const GstPadProbeReturn result =
      decoder->OnBuffer(std::string_view(reinterpret_cast<const char*>(map.data), map.size));
  gst_buffer_unmap(buffer, &map);
  return result;
}

GstPadProbeReturn StreamDecoder::OnBuffer(std::string_view bytes) {
  if (held_back_) {
    const std::string_view piece = bytes.substr(0, limits::kMaxPlaylistBytes - posted_);
    posted_ += piece.size();
    if (!piece.empty()) Post(Bytes(piece));
    return GST_PAD_PROBE_DROP;
  }
  if (!judged_) {
    judged_ = true;
    const stream::Body body = stream::ClassifyBody(uri_, content_type_, bytes);
    const bool flows = (as_ == OpenAs::kStream && stream::DecodersTake(body, decodes_)) ||
                       (as_ == OpenAs::kHls && body.kind == stream::BodyKind::kHls);
    if (!flows) {
      held_back_ = true;
      return OnBuffer(bytes);
    }
    Post(Bytes(bytes.substr(0, limits::kProbeBytes)));
    if (body.kind == stream::BodyKind::kFormat && body.format == stream::MediaFormat::kOgg)
      read_as_it_comes_ = true;
    if (as_ != OpenAs::kHls) {
      tap_.OnBodyFlows();
      if (body.kind != stream::BodyKind::kAudio) return GST_PAD_PROBE_REMOVE;
      framer_ = std::make_unique<stream::AudioFramer>();
      if (const size_t metaint = stream::IcyMetaintOfHeader(icy_metaint_.value_or(""))) {
        icy_.emplace(metaint);
      }
    }
  }
  if (as_ != OpenAs::kHls) return LookForFrames(bytes);
  // An HLS playlist: kept until its end, when it is checked before the demuxer reads it.
  if (playlist_.size() + bytes.size() > limits::kMaxHlsPlaylistBytes) {
    playlist_too_long_ = true;
    playlist_.clear();
  }
  if (!playlist_too_long_) playlist_.append(bytes);
  // The playlist sink would hold the first buffer until the pipeline plays, which it does only
  // once the reader's sound came.
  return GST_PAD_PROBE_DROP;
}

// The decoders would go on searching bytes that are no audio for as long as they come, and the
// station would only fail for want of sound, and be asked again soon. The station's own frames
// are looked for as the players agree, and the body is refused when none show within the bound.
GstPadProbeReturn StreamDecoder::LookForFrames(std::string_view bytes) {
  if (no_frames_) return GST_PAD_PROBE_DROP;
  std::string audio;
  std::vector<std::string> blocks;
  if (icy_) {
    icy_->Feed(bytes, audio, blocks);
    bytes = audio;
  }
  std::vector<stream::AudioFrame> frames;
  framer_->Feed(bytes, frames);
  if (!frames.empty()) {
    framer_.reset();
    icy_.reset();
    return GST_PAD_PROBE_REMOVE;
  }
  if (framer_->garbage_bytes() <= limits::kMaxBytesBeforeFirstFrame) return GST_PAD_PROBE_OK;
  no_frames_ = true;
  Post(Refused(TransportError::kUndecodable, "No MPEG audio or AAC frames in the stream"));
  return GST_PAD_PROBE_DROP;
}

// The HTTP source reads an icy-metaint it cannot hold as another number (4294967297 as 1), and
// the decoder would then cut the sound into metadata that is not there. Its caps come before
// the headers they were read from, so they are noted here and mended before the first bytes.
GstPadProbeReturn StreamDecoder::OnCaps(GstEvent* event) {
  GstCaps* caps = nullptr;
  gst_event_parse_caps(event, &caps);
  if (mending_caps_ || caps == nullptr || gst_caps_is_empty(caps) ||
      !gst_structure_has_name(gst_caps_get_structure(caps, 0), "application/x-icy")) {
    return GST_PAD_PROBE_OK;
  }
  icy_caps_.reset(gst_caps_copy(caps));
  return GST_PAD_PROBE_OK;
}

// Runs on the demuxer's thread. Told the length of a file server's Ogg body, the Ogg demuxer
// jumps to its end and back to learn its duration, and across a chained file (a station that
// serves its programme as one file of several tracks) it then plays a track twice or loses the
// next. A station is listened to as it comes, never seeked: its length is unknown, as a live
// stream's is, and the body cannot be seeked.
GstPadProbeReturn StreamDecoder::OnSourceQuery(GstPad*, GstPadProbeInfo* info, gpointer self) {
  if (!static_cast<StreamDecoder*>(self)->read_as_it_comes_) return GST_PAD_PROBE_OK;
  GstQuery* query = GST_PAD_PROBE_INFO_QUERY(info);
  GstFormat format = GST_FORMAT_BYTES;
  switch (GST_QUERY_TYPE(query)) {
    case GST_QUERY_DURATION:
      gst_query_parse_duration(query, &format, nullptr);
      gst_query_set_duration(query, format, -1);
      return GST_PAD_PROBE_HANDLED;
    case GST_QUERY_SEEKING:
      gst_query_parse_seeking(query, &format, nullptr, nullptr, nullptr);
      gst_query_set_seeking(query, format, FALSE, 0, -1);
      return GST_PAD_PROBE_HANDLED;
    default:
      return GST_PAD_PROBE_OK;
  }
}

// An interval outside the bounds means a stream without in-band titles: the ICY demuxer is
// told so (interval 0), and passes the body through whole.
void StreamDecoder::MendIcyCaps(GstPad* pad) {
  if (!icy_caps_) return;
  CapsPtr caps = std::move(icy_caps_);
  const size_t metaint = stream::IcyMetaintOfHeader(icy_metaint_.value_or(""));
  gint interval = 0;
  gst_structure_get_int(gst_caps_get_structure(caps.get(), 0), "metadata-interval", &interval);
  if (interval >= 0 && static_cast<size_t>(interval) == metaint) return;
  CapsPtr mended(gst_caps_copy(caps.get()));
  gst_caps_set_simple(mended.get(), "metadata-interval", G_TYPE_INT, static_cast<gint>(metaint),
                      nullptr);
  mending_caps_ = true;
  gst_pad_push_event(pad, gst_event_new_caps(mended.get()));
  mending_caps_ = false;
}

// The end of what the source fetched. A body held back ends here: the decoders, which never saw
// it, must not fail for lack of data. An HLS playlist that names an address the player does not
// open never reaches the demuxer, which would fetch it at once.
GstPadProbeReturn StreamDecoder::OnEndOfStream() {
  if (held_back_) {
    BodyReport end;
    end.kind = BodyReport::Kind::kEnd;
    Post(std::move(end));
    return GST_PAD_PROBE_DROP;
  }
  if (as_ != OpenAs::kHls) return GST_PAD_PROBE_OK;
  if (playlist_too_long_) {
    Post(Refused(TransportError::kUndecodable, "The HLS playlist is larger than the player reads"));
    return GST_PAD_PROBE_DROP;
  }
  // The reader checks the playlist itself, as it checks every playlist it reloads.
  std::lock_guard lock(mutex_);
  if (!detached_ && !hls_->feed) {
    hls_->feed = std::make_unique<HlsFeed>(hls_->appsrc.get(), uri_, std::exchange(playlist_, {}),
                                           true, timeout_seconds_);
  }
  return GST_PAD_PROBE_DROP;
}

// The decoders' elements, as they are plugged: the recording tap looks for the audio decoder.
void StreamDecoder::OnDeepElementAdded(GstBin*, GstBin*, GstElement* element, gpointer self) {
  static_cast<StreamDecoder*>(self)->tap_.OnElementAdded(element);
}

// Runs on a streaming thread. A sound stream goes to the output whenever the output is free:
// the first one, and each one after it that replaces the stream before (a chained Ogg stream
// removes the old pad, which unlinks it, before it adds the next track's). Anything else the
// decoder exposes is swallowed, so that it neither blocks nor fails the pipeline.
void StreamDecoder::OnPadAdded(GstElement*, GstPad* pad, gpointer self) {
  auto* decoder = static_cast<StreamDecoder*>(self);
  std::lock_guard lock(decoder->mutex_);
  if (decoder->detached_) return;  // the pad goes nowhere, and the decoder is being stopped
  if (IsRawAudio(pad)) {
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
  decoder->discards_.push_back(discard);
}

}  // namespace lumio::gst
