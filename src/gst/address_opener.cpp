#include "gst/address_opener.h"

#include <utility>

#include "gst/gst_refs.h"
#include "gst/gst_setup.h"
#include "stream/playlist.h"
#include "stream/stream_address.h"
#include "stream/url.h"

namespace lumio::gst {
namespace {

// A playlist by the name of its address: fetched and read rather than handed to a decoder.
bool NamesPlaylist(const std::string& uri) {
  const stream::PlaylistKind kind = stream::ClassifyPlaylist(uri, "", "");
  return kind != stream::PlaylistKind::kNone && kind != stream::PlaylistKind::kHls;
}

}  // namespace

AddressOpener::AddressOpener(GstBin* pipeline, GstElement* output, GstBus* bus, int timeout_seconds,
                             Events& events)
    : pipeline_(pipeline),
      output_(output),
      bus_(bus),
      timeout_seconds_(timeout_seconds),
      events_(events) {}

AddressOpener::~AddressOpener() {
  Close();
}

void AddressOpener::Open(const std::string& uri) {
  Close();
  redirects_ = 0;
  OpenUri(uri, stream::NamesHlsPlaylist(uri));
}

void AddressOpener::Close() {
  fetch_.reset();
  check_.reset();
  EndDecoder();
}

void AddressOpener::EndDecoder() {
  gst_element_set_state(reinterpret_cast<GstElement*>(pipeline_), GST_STATE_READY);
  decoder_.reset();
  gst_bus_set_flushing(bus_, TRUE);
  gst_bus_set_flushing(bus_, FALSE);
}

void AddressOpener::OpenUri(const std::string& uri, bool hls) {
  uri_ = uri;
  if (!hls && IsHttpUri(uri_) && NamesPlaylist(uri_)) return StartFetch();
  StartDecoder(hls || stream::NamesHlsPlaylist(uri_));
}

void AddressOpener::StartDecoder(bool hls) {
  fetch_.reset();
  EndDecoder();
  hls_ = hls;
  answered_ = false;
  status_ = 0;
  std::string missing;
  decoder_ = StreamDecoder::Create(pipeline_, output_, uri_, hls_, timeout_seconds_, &missing);
  if (!decoder_) return events_.OpenFailed(StreamFailure::kNotAudio, missing);
  const GstStateChangeReturn result =
      gst_element_set_state(reinterpret_cast<GstElement*>(pipeline_), GST_STATE_PLAYING);
  if (result == GST_STATE_CHANGE_FAILURE) {
    MessagePtr error(gst_bus_pop_filtered(bus_, GST_MESSAGE_ERROR));
    if (error) return OnError(error.get());
    return events_.OpenFailed(StreamFailure::kNotAudio, "GStreamer could not start the stream");
  }
  events_.DecoderStarted();
}

void AddressOpener::StartFetch() {
  EndDecoder();
  FetchOptions options;
  options.timeout_seconds = timeout_seconds_;
  fetch_ = std::make_unique<HttpFetch>(
      uri_, options, [this](FetchResult result) { OnFetched(std::move(result)); });
}

void AddressOpener::OnFetched(FetchResult result) {
  if (result.failure != StreamFailure::kNone)
    return events_.OpenFailed(result.failure, std::move(result.why));
  uri_ = result.uri;
  const stream::PlaylistKind kind =
      stream::ClassifyPlaylist(result.uri, result.content_type, result.body);
  if (kind == stream::PlaylistKind::kHls) return StartDecoder(true);
  // Named like a playlist, yet what comes is a stream.
  if (kind == stream::PlaylistKind::kNone) return StartDecoder(false);
  std::vector<std::string> entries;
  for (stream::PlaylistEntry& entry : stream::ParsePlaylist(kind, result.body, result.uri))
    entries.push_back(std::move(entry.url));
  events_.PlaylistFound(std::move(entries));
}

void AddressOpener::Redirect(const std::string& location) {
  if (location.empty())
    return events_.OpenFailed(StreamFailure::kUnreachable, "A redirect to nowhere");
  if (++redirects_ > kMaxRedirects)
    return events_.OpenFailed(StreamFailure::kUnreachable, "Too many redirects");
  OpenUri(stream::ResolveUrl(uri_, location), hls_);
}

bool AddressOpener::Handle(GstMessage* message) {
  if (check_) return false;  // the attempt is over; its explanation is on the way
  if (auto response = ParseHttpHeadersMessage(message)) {
    // Only the answer to the address itself: an HLS demuxer's own requests come later.
    if (answered_ || !decoder_) return true;
    answered_ = true;
    status_ = response->status;
    if (response->IsRedirect()) {
      Redirect(response->location);
    } else if (const StreamFailure failure = FailureForHttpStatus(status_);
               failure != StreamFailure::kNone) {
      events_.OpenFailed(failure, "The server answered HTTP " + std::to_string(status_));
    }
    return true;
  }
  if (auto kind = StreamDecoder::PlaylistFound(message)) {
    if (*kind == stream::PlaylistKind::kHls) {
      StartDecoder(true);
    } else {
      StartFetch();
    }
    return true;
  }
  switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ERROR:
      OnError(message);
      return true;
    case GST_MESSAGE_EOS:
      events_.OpenFailed(StreamFailure::kNoAnswer, "The station stopped sending");
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
    return StartDecoder(hls_);
  }
  std::string why = error ? error->message : "The stream failed";
  const bool answered = answered_ && status_ > 0;
  if (answered || !IsHttpUri(uri_)) return events_.OpenFailed(FailureOfError(error.get()), why);
  // No answer at all: the source does not say why, a connection of our own will.
  EndDecoder();
  check_ = std::make_unique<ConnectionCheck>(uri_, timeout_seconds_,
                                             [this](StreamFailure failure, std::string detail) {
                                               events_.OpenFailed(failure, std::move(detail));
                                             });
}

}  // namespace lumio::gst
