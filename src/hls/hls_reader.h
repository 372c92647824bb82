#pragma once
// An HLS station: the variant of a master playlist the player can decode, its media playlist
// followed across reloads, its segments fetched one after the other (decrypted where they are
// encrypted with AES-128), and the audio taken out of them (MPEG-TS, fragmented MP4 after its
// initialisation section, or packed audio), with the titles of their ID3 timed metadata.

#include <chrono>
#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "hls/hls_keys.h"
#include "hls/http_fetcher.h"
#include "hls/http_get.h"
#include "hls/segment_decryption.h"
#include "playback/stream_failure.h"
#include "stream/fmp4_reader.h"
#include "stream/hls_live_window.h"
#include "stream/hls_playlist.h"
#include "stream/ts_demuxer.h"

namespace lumio::hls {

using Clock = std::chrono::steady_clock;

class HlsReader {
 public:
  enum class Status { kRunning, kEnded, kFailed };

  // `make_cipher` makes the AES cipher an encrypted stream is decrypted with (the platform's).
  HlsReader(HttpFetcher& fetcher, const HttpFetchOptions& options, Aes128CbcMaker make_cipher)
      : fetcher_(fetcher), options_(options), keys_(fetcher, options, std::move(make_cipher)) {}

  // Starts from the playlist `body` that came from `url` (after redirects); `whole` false: the
  // body was cut at its cap.
  void Start(const std::string& url, const std::string& body, bool whole, Clock::time_point now);

  // Does what the network brought; appends the audio of the segments to `audio`. A segment is
  // read, and another one started, only while `want_more` (the taker has room): a segment that
  // never ends is read at the pace it plays.
  Status Advance(std::string& audio, bool want_more, Clock::time_point now);

  // True once since the last call when the segment started last does not continue the audio
  // before it (segments were skipped, failed or left out, or a discontinuity): whatever Advance
  // appended before the jump, nothing after it.
  bool TakeJump() { return std::exchange(jump_, false); }
  // A title the stream sent (GBK) since the last call, to be taken after each Advance; `at`
  // (optional) is set to the offset in Advance's `audio` where it falls, as near as the
  // segment's bytes tell.
  std::optional<std::string> TakeTitle(size_t* at = nullptr) {
    if (at != nullptr && title_) *at = title_at_;
    return std::exchange(title_, std::nullopt);
  }
  // When the playlist is to be fetched again, unless the network wakes the player first.
  std::optional<Clock::time_point> next_wake() const;

  StreamFailure failure() const { return failure_; }
  const std::string& error() const { return error_; }

 private:
  void Fail(StreamFailure why, std::string text);
  void FetchPlaylist(const std::string& url);
  void OnPlaylist(const std::string& url, const std::string& body, bool whole,
                  Clock::time_point now);
  void OnMaster(const stream::HlsPlaylist& master);
  void OnMedia(const stream::HlsMediaPlaylist& media, Clock::time_point now);
  void AdvancePlaylist(Clock::time_point now);
  void AdvanceSegment(std::string& audio, bool want_more);
  void StartSegment();
  // Starts what the segment in hand needs next: a key, its initialisation section, itself.
  void Proceed();
  // Starts the GET of the segment's `uri` (its range in `segment`), decrypted with `key`.
  void Fetch(const std::string& uri, uint64_t range_offset, uint64_t range_length,
             const stream::HlsKey& key);
  // One segment could not be had: skipped, unless too many in a row failed.
  void SegmentFailed(StreamFailure why, std::string text);
  // Hands on the bytes taken; false when the segment failed.
  bool TakeSegmentBytes(std::string& audio, bool last);
  void Unpack(const std::string& bytes, std::string& audio, bool last);
  void UnpackAudio(const std::string& bytes, std::string& audio, bool last);

  HttpFetcher& fetcher_;
  HttpFetchOptions options_;
  Status status_ = Status::kRunning;
  StreamFailure failure_ = StreamFailure::kNone;
  std::string error_;

  std::string media_url_;  // the media playlist followed
  int playlist_hops_ = 0;  // master playlists passed through
  std::unique_ptr<HttpGet> playlist_request_;
  std::string playlist_body_;
  int failed_reloads_ = 0;
  std::optional<Clock::time_point> reload_at_;
  double target_duration_ = 10;  // seconds
  bool ended_ = false;
  stream::HlsLiveWindow window_;
  std::deque<stream::HlsSegment> queue_;

  // The segment in hand, and which part of it is being fetched.
  enum class Part { kNone, kKey, kInit, kMedia };
  std::optional<stream::HlsSegment> current_;
  Part part_ = Part::kNone;
  HlsKeys keys_;
  std::unique_ptr<SegmentDecryption> decryption_;  // of the part being fetched, if encrypted
  std::unique_ptr<HttpGet> segment_request_;
  std::string segment_bytes_;  // of the part being fetched, not yet handed on
  std::string plain_;          // decrypted, not yet handed on
  stream::HlsMap fed_map_;     // the initialisation section the fMP4 reader read last
  stream::Fmp4Reader fmp4_;
  std::optional<bool> transport_stream_;  // decided by its first byte
  int failed_segments_ = 0;
  stream::TsDemuxer demuxer_;
  std::vector<stream::TimedMetadata> metadata_;

  bool gap_ = false;  // the next segment does not follow the one before
  bool jump_ = false;
  std::optional<std::string> title_;
  size_t title_at_ = 0;
};

// How a failure of the HLS reader, after the playlist's answer, is told to the attempt: the same
// on every player.
TransportError TransportErrorOfHlsFailure(StreamFailure failure);

}  // namespace lumio::hls
