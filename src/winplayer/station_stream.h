#pragma once
// One try at one address of a station: the response is told apart (a stream, a playlist, an
// HLS playlist, something the player cannot play) and a stream's audio bytes are handed out,
// without its ICY metadata, whose titles are kept.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "playback/stream_failure.h"
#include "stream/icy_demuxer.h"
#include "stream/playlist_kind.h"
#include "winplayer/hls_reader.h"
#include "winplayer/http_fetcher.h"
#include "winplayer/http_get.h"

namespace lumio::win {

class StationStream {
 public:
  enum class Status {
    kRunning,
    kPlaylist,  // the address is a playlist: entries() are the addresses it lists
    kEnded,     // the station stopped sending
    kFailed,    // failure() and error() say why
  };

  // Starts fetching `url` (as FetchableStationUrl gives it) through `fetcher`.
  StationStream(HttpFetcher& fetcher, const HttpFetchOptions& options, const std::string& url);

  // Does what the network brought since the last call; appends the stream's audio bytes to
  // `audio`. The network is read on only while `want_more` (the taker has room).
  Status Advance(std::string& audio, bool want_more, Clock::time_point now);

  // True once the station answered with a stream (audio is arriving).
  bool answered() const { return mode_ == Mode::kDirect || mode_ == Mode::kHls; }
  // True once since the last call when the next audio does not continue the last.
  bool TakeJump();
  // A title the stream sent (GBK) since the last call.
  std::optional<std::string> TakeTitle() { return std::exchange(title_, std::nullopt); }
  // When to look again even if the network does not signal.
  std::optional<Clock::time_point> next_wake() const;
  // The addresses of a playlist (status kPlaylist), fetchable, in order.
  const std::vector<std::string>& entries() const { return entries_; }
  StreamFailure failure() const { return failure_; }
  const std::string& error() const { return error_; }

 private:
  enum class Mode { kProbing, kCollecting, kDirect, kHls };

  Status Fail(StreamFailure why, std::string text);
  Status Probe(std::string& audio, Clock::time_point now);
  Status Collect(std::string& audio, bool want_more, Clock::time_point now);
  Status Direct(std::string& audio, bool want_more);
  Status AdvanceHls(std::string& audio, bool want_more, Clock::time_point now);
  void Demux(const std::string& bytes, std::string& audio);
  Status RequestEnded();

  HttpFetcher& fetcher_;
  HttpFetchOptions options_;
  std::unique_ptr<HttpGet> request_;
  Mode mode_ = Mode::kProbing;
  Status status_ = Status::kRunning;
  std::string body_;  // bytes taken and not handed on yet (the first bytes; a playlist)
  stream::PlaylistKind kind_ = stream::PlaylistKind::kNone;
  std::unique_ptr<stream::IcyDemuxer> icy_;
  std::unique_ptr<HlsReader> hls_;
  std::vector<std::string> metadata_;
  std::vector<std::string> entries_;
  std::optional<std::string> title_;
  StreamFailure failure_ = StreamFailure::kNone;
  std::string error_;
};

}  // namespace lumio::win
