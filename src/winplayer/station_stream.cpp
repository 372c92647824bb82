#include "winplayer/station_stream.h"

#include "stream/icy_metadata.h"
#include "stream/playlist.h"
#include "winplayer/fetch_url.h"

namespace lumio::win {
namespace {

// Enough of the body to tell a playlist, a page or a stream apart: the first chunk a server
// sends, so that a stream that arrives at the pace it plays is not held up.
constexpr size_t kProbeBytes = 512;
static_assert(kProbeBytes <= stream::limits::kProbeBytes);

bool StartsWith(std::string_view bytes, std::string_view prefix) {
  return bytes.substr(0, prefix.size()) == prefix;
}

bool LooksLikePage(std::string_view content_type, std::string_view body) {
  if (StartsWith(content_type, "text/html") || StartsWith(content_type, "application/xhtml")) {
    return true;
  }
  const size_t first = body.find_first_not_of(" \t\r\n");
  return first != std::string_view::npos && body[first] == '<';
}

}  // namespace

StationStream::StationStream(HttpFetcher& fetcher, const HttpFetchOptions& options,
                             const std::string& url)
    : fetcher_(fetcher), options_(options) {
  HttpFetchOptions first = options_;
  first.icy_metadata = true;
  request_ = std::make_unique<HttpGet>(fetcher_, url, first);
}

StationStream::Status StationStream::Advance(std::string& audio, bool want_more,
                                             Clock::time_point now) {
  if (status_ != Status::kRunning) return status_;
  switch (mode_) {
    case Mode::kProbing:
      return Probe(audio, now);
    case Mode::kCollecting:
      return Collect(audio, want_more, now);
    case Mode::kDirect:
      return Direct(audio, want_more);
    case Mode::kHls:
      return AdvanceHls(audio, want_more, now);
  }
  return status_;
}

bool StationStream::TakeJump() {
  return hls_ && hls_->TakeJump();
}

std::optional<Clock::time_point> StationStream::next_wake() const {
  return hls_ ? hls_->next_wake() : std::nullopt;
}

StationStream::Status StationStream::Fail(StreamFailure why, std::string text) {
  status_ = Status::kFailed;
  failure_ = why;
  error_ = std::move(text);
  request_.reset();
  hls_.reset();
  return status_;
}

StationStream::Status StationStream::Probe(std::string& audio, Clock::time_point now) {
  // The phase first: once it reads ended, every byte of the body is there to be taken.
  const HttpGet::Phase phase = request_->Advance();
  if (phase == HttpGet::Phase::kFailed) return Fail(request_->failure(), request_->error());
  request_->TakeBody(body_);
  if (phase == HttpGet::Phase::kWaiting ||
      (body_.size() < kProbeBytes && phase != HttpGet::Phase::kEnded)) {
    return status_;
  }
  const HttpResponse response = request_->response();
  kind_ = stream::ClassifyPlaylist(response.url, response.content_type, body_);
  if (kind_ != stream::PlaylistKind::kNone) {
    mode_ = Mode::kCollecting;
    return Collect(audio, true, now);
  }
  if (StartsWith(body_, "OggS") || StartsWith(body_, "fLaC")) {
    return Fail(StreamFailure::kNotAudio,
                "The stream is Ogg or FLAC (Vorbis, Opus, FLAC): not a format Windows decodes");
  }
  // Windows Media's container: the stations of old Windows Media servers, which need a player
  // of their own.
  if (StartsWith(body_, "\x30\x26\xB2\x75\x8E\x66\xCF\x11")) {
    return Fail(StreamFailure::kNotAudio,
                "The stream is Windows Media (ASF): not a format the player reads");
  }
  if (LooksLikePage(response.content_type, body_)) {
    return Fail(StreamFailure::kNotAudio, "The address gives a web page, not a stream");
  }
  mode_ = Mode::kDirect;
  icy_ = std::make_unique<stream::IcyDemuxer>(response.icy_metaint);
  Demux(std::exchange(body_, {}), audio);
  if (phase == HttpGet::Phase::kEnded) return RequestEnded();
  return status_;
}

StationStream::Status StationStream::Collect(std::string& audio, bool want_more,
                                             Clock::time_point now) {
  if (request_->Advance() == HttpGet::Phase::kFailed) {
    return Fail(request_->failure(), request_->error());
  }
  const bool hls = kind_ == stream::PlaylistKind::kHls;
  bool whole = true;
  if (!request_->TakeText(
          body_, hls ? stream::limits::kMaxHlsPlaylistBytes : stream::limits::kMaxPlaylistBytes,
          &whole)) {
    return status_;
  }

  const std::string url = request_->response().url;
  request_.reset();
  if (hls) {
    mode_ = Mode::kHls;
    hls_ = std::make_unique<HlsReader>(fetcher_, options_);
    hls_->Start(url, std::exchange(body_, {}), whole, now);
    return AdvanceHls(audio, want_more, now);
  }
  for (const stream::PlaylistEntry& entry : stream::ParsePlaylist(kind_, body_, url, whole)) {
    std::string why;
    if (auto fetchable = FetchableFoundUrl(entry.url, &why)) entries_.push_back(*fetchable);
  }
  body_.clear();
  if (entries_.empty()) {
    return Fail(StreamFailure::kNotAudio, "The playlist lists no stream the player can fetch");
  }
  status_ = Status::kPlaylist;
  return status_;
}

StationStream::Status StationStream::Direct(std::string& audio, bool want_more) {
  if (!want_more) return status_;
  const HttpGet::Phase phase = request_->Advance();
  request_->TakeBody(body_);
  Demux(std::exchange(body_, {}), audio);
  if (phase == HttpGet::Phase::kFailed) return Fail(request_->failure(), request_->error());
  if (phase == HttpGet::Phase::kEnded) return RequestEnded();
  return status_;
}

StationStream::Status StationStream::AdvanceHls(std::string& audio, bool want_more,
                                                Clock::time_point now) {
  const HlsReader::Status hls = hls_->Advance(audio, want_more, now);
  if (auto title = hls_->TakeTitle()) title_ = std::move(title);
  switch (hls) {
    case HlsReader::Status::kRunning:
      return status_;
    case HlsReader::Status::kEnded:
      return RequestEnded();
    case HlsReader::Status::kFailed:
      return Fail(hls_->failure(), hls_->error());
  }
  return status_;
}

void StationStream::Demux(const std::string& bytes, std::string& audio) {
  if (bytes.empty()) return;
  metadata_.clear();
  icy_->Feed(bytes, audio, metadata_);
  for (const std::string& block : metadata_) {
    if (auto title = stream::ParseIcyMetadata(block).title) title_ = std::move(title);
  }
}

StationStream::Status StationStream::RequestEnded() {
  status_ = Status::kEnded;
  error_ = "The station stopped sending";
  return status_;
}

}  // namespace lumio::win
