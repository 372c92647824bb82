#include "hls/hls_reader.h"

#include <algorithm>

#include "hls/fetch_url.h"
#include "playback/address_policy.h"
#include "stream/id3v2.h"

namespace lumio::hls {
namespace {

namespace limits = stream::limits;

// A live playlist that cannot be fetched this many times in a row is gone; one segment that
// cannot is skipped, this many in a row are a stream that broke.
constexpr int kMaxFailedReloads = 3;
constexpr int kMaxFailedSegments = 3;

// The wait before the media playlist is asked for again: `seconds` (a target duration as the
// parser bounds it, or part of one), never less than the table's interval, however short the
// playlist says its segments are.
Clock::duration ReloadDelay(double seconds) {
  const auto ms = static_cast<int64_t>(seconds * 1000);
  return std::chrono::milliseconds(std::max<int64_t>(ms, limits::kMinHlsReloadIntervalMs));
}

bool CodecsHaveVideo(const std::string& codecs) {
  for (const char* video : {"avc1", "avc3", "hvc1", "hev1", "mp4v"}) {
    if (codecs.find(video) != std::string::npos) return true;
  }
  return false;
}

// Sound alone before sound with pictures, then the best sound: the highest bandwidth among
// variants without video, else the lightest variant with video.
const stream::HlsVariant& ChooseVariant(const std::vector<stream::HlsVariant>& variants) {
  const stream::HlsVariant* best = nullptr;
  for (const stream::HlsVariant& variant : variants) {
    if (best == nullptr) {
      best = &variant;
      continue;
    }
    const bool video = CodecsHaveVideo(variant.codecs);
    const bool best_video = CodecsHaveVideo(best->codecs);
    if (video != best_video) {
      if (!video) best = &variant;
    } else if (video ? variant.bandwidth < best->bandwidth : variant.bandwidth > best->bandwidth) {
      best = &variant;
    }
  }
  return *best;
}

}  // namespace

void HlsReader::Start(const std::string& url, const std::string& body, bool whole,
                      Clock::time_point now) {
  OnPlaylist(url, body, whole, now);
}

std::optional<Clock::time_point> HlsReader::next_wake() const {
  if (status_ != Status::kRunning || playlist_request_ || ended_) return std::nullopt;
  return reload_at_;
}

HlsReader::Status HlsReader::Advance(std::string& audio, bool want_more, Clock::time_point now) {
  if (status_ == Status::kRunning) AdvancePlaylist(now);
  if (status_ == Status::kRunning) AdvanceSegment(audio, want_more);
  if (status_ == Status::kRunning && !current_ && want_more && !queue_.empty()) {
    StartSegment();
  }
  if (status_ == Status::kRunning && ended_ && queue_.empty() && !current_ && !playlist_request_) {
    status_ = Status::kEnded;
  }
  return status_;
}

void HlsReader::Fail(StreamFailure why, std::string text) {
  status_ = Status::kFailed;
  failure_ = why;
  error_ = std::move(text);
  playlist_request_.reset();
  segment_request_.reset();
  decryption_.reset();
  current_.reset();
}

void HlsReader::FetchPlaylist(const std::string& url) {
  HttpFetchOptions options = options_;
  options.icy_metadata = false;
  playlist_body_.clear();
  playlist_request_ = std::make_unique<HttpGet>(fetcher_, url, options);
}

void HlsReader::AdvancePlaylist(Clock::time_point now) {
  if (!playlist_request_) {
    if (!ended_ && reload_at_ && now >= *reload_at_) {
      reload_at_.reset();
      FetchPlaylist(media_url_);
    }
    return;
  }
  if (playlist_request_->Advance() == HttpGet::Phase::kFailed) {
    // Before any segment a failure is the station's; later a live playlist may hiccup.
    const bool started = window_.next_sequence().has_value();
    if (!started || ++failed_reloads_ >= kMaxFailedReloads) {
      return Fail(playlist_request_->failure(), "HLS playlist: " + playlist_request_->error());
    }
    playlist_request_.reset();
    reload_at_ = now + ReloadDelay(target_duration_ / 2);
    return;
  }
  bool whole = true;
  if (!playlist_request_->TakeText(playlist_body_, limits::kMaxHlsPlaylistBytes, &whole)) return;
  const std::string url = playlist_request_->response().url;
  playlist_request_.reset();
  failed_reloads_ = 0;
  OnPlaylist(url, std::exchange(playlist_body_, {}), whole, now);
}

void HlsReader::OnPlaylist(const std::string& url, const std::string& body, bool whole,
                           Clock::time_point now) {
  if (std::string refusal = RefusalOfHlsPlaylist(body, url); !refusal.empty())
    return Fail(StreamFailure::kUnreachable, std::move(refusal));
  const stream::HlsPlaylist playlist = stream::ParseHlsPlaylist(body, url, whole);
  switch (playlist.type) {
    case stream::HlsPlaylist::Type::kInvalid:
      return Fail(StreamFailure::kNotAudio, "The HLS playlist cannot be read");
    case stream::HlsPlaylist::Type::kMaster:
      if (playlist.variants.empty() || ++playlist_hops_ > limits::kMaxHlsPlaylistHops) {
        return Fail(StreamFailure::kNotAudio, "The HLS master playlist leads to no stream");
      }
      return OnMaster(playlist);
    case stream::HlsPlaylist::Type::kMedia:
      media_url_ = url;
      return OnMedia(playlist.media, now);
  }
}

void HlsReader::OnMaster(const stream::HlsPlaylist& master) {
  std::string why;
  const std::optional<std::string> variant =
      FetchableFoundUrl(ChooseVariant(master.variants).uri, &why);
  if (!variant) return Fail(StreamFailure::kUnreachable, "HLS variant: " + why);
  FetchPlaylist(*variant);
}

void HlsReader::OnMedia(const stream::HlsMediaPlaylist& media, Clock::time_point now) {
  // Absent (0), the last one stays.
  if (media.target_duration > 0) target_duration_ = media.target_duration;
  ended_ = media.ended;
  stream::HlsFetchPlan plan = window_.Next(media);
  if (plan.jumped) {
    queue_.clear();
    gap_ = true;
  }
  queue_.insert(queue_.end(), plan.segments.begin(), plan.segments.end());
  // Segments that left the live window while one long segment was read are gone from the server
  // too; dropping them keeps the queue as short as the playlist, however long that segment lasts.
  if (!ended_) {
    while (!queue_.empty() && queue_.front().sequence < media.media_sequence) {
      queue_.pop_front();
      gap_ = true;
    }
  }
  // RFC 8216: reload after a target duration, or half of one when nothing new came.
  reload_at_ = now + ReloadDelay(plan.segments.empty() ? target_duration_ / 2 : target_duration_);
}

void HlsReader::StartSegment() {
  current_ = queue_.front();
  queue_.pop_front();
  // The segment in hand when segments went missing goes on; the gap lies before this one.
  jump_ = std::exchange(gap_, false) || current_->discontinuity || jump_;
  Proceed();
}

void HlsReader::Proceed() {
  const stream::HlsSegment& segment = *current_;
  const bool init_needed = !segment.map.uri.empty() && !(segment.map == fed_map_);
  const stream::HlsKey& key = init_needed ? segment.map.key : segment.key;
  switch (key.method) {
    case stream::HlsKey::Method::kNone:
      break;
    case stream::HlsKey::Method::kUnsupported:
      return Fail(StreamFailure::kNotAudio, "The HLS stream is encrypted with " + key.name +
                                                ": not a method the player decrypts");
    case stream::HlsKey::Method::kAes128:
      switch (keys_.Need(key)) {
        case HlsKeys::State::kReady:
          break;
        case HlsKeys::State::kFetching:
          part_ = Part::kKey;
          return;
        case HlsKeys::State::kFailed:
          return SegmentFailed(keys_.failure(), keys_.error());
      }
      break;
  }
  if (init_needed) {
    part_ = Part::kInit;
    return Fetch(segment.map.uri, segment.map.range_offset, segment.map.range_length, key);
  }
  part_ = Part::kMedia;
  Fetch(segment.uri, segment.range_offset, segment.range_length, key);
}

void HlsReader::Fetch(const std::string& uri, uint64_t range_offset, uint64_t range_length,
                      const stream::HlsKey& key) {
  std::string why;
  const std::optional<std::string> url = FetchableFoundUrl(uri, &why);
  if (!url) return SegmentFailed(StreamFailure::kUnreachable, "HLS segment: " + why);
  decryption_.reset();
  if (key.method == stream::HlsKey::Method::kAes128) {
    decryption_ = keys_.Decryption(key, current_->sequence);
    if (!decryption_) return Fail(keys_.failure(), keys_.error());
  }
  HttpFetchOptions options = options_;
  options.icy_metadata = false;
  options.range_offset = range_offset;
  options.range_length = range_length;
  segment_bytes_.clear();
  plain_.clear();
  transport_stream_.reset();
  segment_request_ = std::make_unique<HttpGet>(fetcher_, *url, options);
}

void HlsReader::AdvanceSegment(std::string& audio, bool want_more) {
  if (!current_) return;
  // A key is small and needed before anything else of the segment: fetched whatever the pace.
  if (part_ == Part::kKey) return Proceed();
  if (!segment_request_) return;
  const HttpGet::Phase phase = segment_request_->Advance();
  // Bytes not taken stay with the request, whose reading pauses once it holds its limit.
  if (!want_more && phase != HttpGet::Phase::kFailed) return;
  segment_request_->TakeBody(segment_bytes_);
  switch (phase) {
    case HttpGet::Phase::kWaiting:
      return;
    case HttpGet::Phase::kBody:
      TakeSegmentBytes(audio, false);
      return;
    case HttpGet::Phase::kEnded:
      segment_request_.reset();
      if (!TakeSegmentBytes(audio, true)) return;
      if (part_ == Part::kInit) {
        fed_map_ = current_->map;
        if (!fmp4_.track()) {
          return Fail(StreamFailure::kNotAudio,
                      "The HLS stream's fragmented MP4 has no audio the player decodes: " +
                          fmp4_.no_track_reason());
        }
        return Proceed();
      }
      current_.reset();
      part_ = Part::kNone;
      failed_segments_ = 0;
      return;
    case HttpGet::Phase::kFailed: {
      const StreamFailure why = segment_request_->failure();
      std::string text = "HLS segment: " + segment_request_->error();
      return SegmentFailed(why, std::move(text));
    }
  }
}

void HlsReader::SegmentFailed(StreamFailure why, std::string text) {
  // What was read of it is let go; fragmented MP4 starts from a box again.
  if (current_ && (part_ == Part::kInit || !current_->map.uri.empty())) {
    metadata_.clear();
    fmp4_.Flush(metadata_);
  }
  current_.reset();
  part_ = Part::kNone;
  segment_request_.reset();
  decryption_.reset();
  if (++failed_segments_ >= kMaxFailedSegments) return Fail(why, std::move(text));
  // A live window moves on: the segment may be gone already. The next one follows a gap.
  gap_ = true;
}

bool HlsReader::TakeSegmentBytes(std::string& audio, bool last) {
  std::string* bytes = &segment_bytes_;
  if (decryption_) {
    if (!decryption_->Feed(segment_bytes_, plain_) || (last && !decryption_->Finish(plain_))) {
      SegmentFailed(StreamFailure::kNotAudio, "An HLS segment does not decrypt with its key");
      return false;
    }
    segment_bytes_.clear();
    bytes = &plain_;
  }
  Unpack(*bytes, audio, last);
  bytes->clear();
  return true;
}

void HlsReader::Unpack(const std::string& bytes, std::string& audio, bool last) {
  // A title is placed where the bytes it came with begin: an ID3 tag leads the audio it names.
  const std::optional<std::string> title_before = title_;
  const size_t start = audio.size();
  UnpackAudio(bytes, audio, last);
  if (title_ != title_before) title_at_ = start;
}

void HlsReader::UnpackAudio(const std::string& bytes, std::string& audio, bool last) {
  if (part_ == Part::kInit || !current_->map.uri.empty()) {
    metadata_.clear();
    fmp4_.Feed(bytes, audio, metadata_);
    if (last) fmp4_.Flush(metadata_);
    for (const stream::TimedMetadata& tag : metadata_) {
      if (auto title = stream::ReadId3Title(tag.payload)) title_ = std::move(title);
    }
    return;
  }
  if (!transport_stream_ && !bytes.empty()) {
    transport_stream_ = static_cast<unsigned char>(bytes[0]) == 0x47;
    // Packed audio carries its timed metadata as an ID3 tag in front (the framer skips it).
    if (!*transport_stream_) {
      if (auto size = stream::Id3v2TagSize(bytes)) {
        if (auto title = stream::ReadId3Title(std::string_view(bytes).substr(0, *size))) {
          title_ = std::move(title);
        }
      }
    }
  }
  if (transport_stream_.value_or(false)) {
    metadata_.clear();
    demuxer_.Feed(bytes, audio, metadata_);
    if (last) demuxer_.Flush(audio, metadata_);
    for (const stream::TimedMetadata& tag : metadata_) {
      if (auto title = stream::ReadId3Title(tag.payload)) title_ = std::move(title);
    }
  } else {
    audio += bytes;
  }
}

TransportError TransportErrorOfHlsFailure(StreamFailure failure) {
  switch (failure) {
    case StreamFailure::kUnreachable:
      // An address of the playlist's that the address policy refuses (or a server of its that
      // refuses the connection): to the listener, the station cannot be reached.
      return TransportError::kNotAllowed;
    case StreamFailure::kNotAudio:
      return TransportError::kUndecodable;
    case StreamFailure::kBadCertificate:
      return TransportError::kBadCertificate;
    case StreamFailure::kNone:
    case StreamFailure::kGone:
    case StreamFailure::kForbidden:
    case StreamFailure::kNoAnswer:
      break;
  }
  // After the playlist's answer, what the reader could not fetch is the stream breaking off.
  return TransportError::kConnectionLost;
}

}  // namespace lumio::hls
