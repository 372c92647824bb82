#include "gst/address_opener.h"

#include <utility>

#include "gst/glib_sources.h"
#include "gst/gst_setup.h"
#include "gst/hls_feed.h"
#include "gst/http_response.h"

namespace lumio::gst {
namespace {

// How much earlier than the source's own time limit its timer may seem to fire, seen from here.
constexpr int64_t kTimerSlackMs = 250;

}  // namespace

AddressOpener::AddressOpener(GstBin* pipeline, GstElement* output, GstBus* bus, int timeout_seconds,
                             stream::FormatSet decodes, StationAttempt& attempt, TapRelay& relay)
    : pipeline_(pipeline),
      output_(output),
      bus_(bus),
      timeout_seconds_(timeout_seconds),
      decodes_(decodes),
      attempt_(attempt),
      relay_(relay) {}

AddressOpener::~AddressOpener() {
  Close();
}

void AddressOpener::Open(const std::string& uri, OpenAs as) {
  Close();
  uri_ = uri;
  as_ = as;
  StartDecoder();
}

void AddressOpener::Close() {
  deferred_.reset();
  check_.reset();
  EndDecoder();
}

void AddressOpener::EndDecoder() {
  if (decoder_) {
    decoder_->Detach();
    retirement_.Retire(std::move(decoder_));
  }
  gst_element_set_state(reinterpret_cast<GstElement*>(pipeline_), GST_STATE_READY);
  gst_bus_set_flushing(bus_, TRUE);
  gst_bus_set_flushing(bus_, FALSE);
}

void AddressOpener::StartDecoder() {
  EndDecoder();
  answered_ = false;
  status_ = 0;
  std::string missing;
  decoder_ = StreamDecoder::Create(pipeline_, output_, uri_, as_, decodes_, timeout_seconds_,
                                   relay_, &missing);
  if (!decoder_) return Defer(TransportError::kUndecodable, missing);
  // A failure to start is told by an error message on the bus, which comes in its turn.
  gst_element_set_state(reinterpret_cast<GstElement*>(pipeline_), GST_STATE_PLAYING);
}

void AddressOpener::Defer(TransportError error, std::string why) {
  deferred_error_ = error;
  deferred_why_ = std::move(why);
  deferred_ = AttachSource(g_idle_source_new(), &OnDeferred, this);
}

gboolean AddressOpener::OnDeferred(gpointer self) {
  auto* opener = static_cast<AddressOpener*>(self);
  opener->deferred_.reset();
  opener->attempt_.OnError(MonotonicMs(), opener->deferred_error_,
                           std::move(opener->deferred_why_));
  return G_SOURCE_REMOVE;
}

void AddressOpener::ArmTap() {
  if (decoder_) decoder_->ArmTap();
}

void AddressOpener::OnBusTitle(std::string_view title) {
  if (decoder_) decoder_->OnBusTitle(title);
}

bool AddressOpener::Handle(GstMessage* message) {
  if (!decoder_ || check_) return false;  // nothing under way, or its explanation is on the way
  if (auto response = ParseHttpHeadersMessage(message)) {
    // Only the answer to the address itself: an HLS demuxer's own requests come later.
    if (answered_) return true;
    answered_ = true;
    status_ = response->status;
    last_bytes_ms_ = MonotonicMs();
    if (status_ == 0) return true;  // no answer: the error that follows says why
    Answer answer;
    answer.status = status_;
    answer.contentType = std::move(response->content_type);
    answer.location = std::move(response->location);
    answer.icyMetaint = std::move(response->icy_metaint);
    attempt_.OnAnswer(MonotonicMs(), answer);
    return true;
  }
  if (auto report = StreamDecoder::ReportOf(message)) {
    switch (report->kind) {
      case BodyReport::Kind::kBytes:
        last_bytes_ms_ = MonotonicMs();
        // A body the decoder let through is the decoders' already; one it held back goes on
        // being reported for as long as the attempt collects it.
        attempt_.OnBody(MonotonicMs(), report->bytes);
        break;
      case BodyReport::Kind::kEnd:
        attempt_.OnEnd(MonotonicMs());
        break;
      case BodyReport::Kind::kRefused:
        attempt_.OnError(MonotonicMs(), report->error, std::move(report->why));
        break;
    }
    return true;
  }
  if (auto report = HlsFeed::ReportOf(message)) {
    switch (report->kind) {
      case HlsReport::Kind::kTitle:
        attempt_.OnTitle(report->text);
        decoder_->OnBusTitle(report->text);
        break;
      case HlsReport::Kind::kFailed:
        attempt_.OnError(MonotonicMs(), report->error, std::move(report->text));
        break;
    }
    return true;
  }
  // An HLS station's titles are the reader's, as on Windows: the tags GStreamer finds again in
  // the audio the reader hands on (a packed segment's ID3 tag) would tell them twice, and
  // otherwise.
  if (as_ == OpenAs::kHls && GST_MESSAGE_TYPE(message) == GST_MESSAGE_TAG) return true;
  switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ERROR:
      OnError(message);
      return true;
    case GST_MESSAGE_EOS:
      attempt_.OnEnd(MonotonicMs());
      return true;
    default:
      return false;
  }
}

void AddressOpener::OnError(GstMessage* message) {
  GError* raw_error = nullptr;
  gst_message_parse_error(message, &raw_error, nullptr);
  ErrorPtr error(raw_error);
  // A format that only a rarely needed plugin recognises: again, with every type finder.
  if (error && g_error_matches(error.get(), GST_STREAM_ERROR, GST_STREAM_ERROR_TYPE_NOT_FOUND) &&
      RestoreTypeFinders()) {
    return StartDecoder();
  }
  std::string why = error ? error->message : "The stream failed";
  if (answered_ && status_ > 0) {
    TransportError failure = TransportErrorOfGstError(error.get());
    // The source waited its time limit for the next bytes and then gave up (it says no more
    // than that the connection failed): the server stopped answering, not the connection.
    const int64_t now = MonotonicMs();
    if (failure == TransportError::kConnectionLost &&
        now - last_bytes_ms_ >= int64_t{timeout_seconds_} * 1000 - kTimerSlackMs) {
      failure = TransportError::kTimedOut;
      why = "The server sent nothing more within " + std::to_string(timeout_seconds_) + " s";
    }
    return attempt_.OnError(now, failure, std::move(why));
  }
  // No answer at all: the source does not say why, a connection of our own will.
  EndDecoder();
  check_ = std::make_unique<ConnectionCheck>(
      uri_, timeout_seconds_, [this](TransportError failure, std::string detail) {
        check_.reset();
        attempt_.OnError(MonotonicMs(), failure, std::move(detail));
      });
}

}  // namespace lumio::gst
