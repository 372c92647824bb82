#pragma once
// One open the station attempt orders: one GET of one address, following no redirect. What the
// server answers and the body's first bytes come back as events, for the worker to hand to the
// attempt; then the body goes where the attempt says: to the decoders (a stream's audio, without
// its ICY metadata, whose titles come back as events), back to the attempt piece by piece (a
// playlist), or to the HLS reader (the playlist and everything it leads to).

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "hls/hls_reader.h"
#include "hls/http_fetcher.h"
#include "playback/station_attempt.h"
#include "recording/tap_relay.h"
#include "stream/icy_demuxer.h"
#include "winplayer/aes_cbc.h"

namespace lumio::win {

using hls::Clock;
using hls::HlsReader;
using hls::HttpFetch;
using hls::HttpFetcher;
using hls::HttpFetchOptions;
using hls::HttpHead;

class StationStream {
 public:
  // Body bytes gathered before the first ones are told (unless the body ends first): the first
  // chunk a server sends, so that a stream that comes at the pace it plays is not held up.
  static constexpr size_t kFirstBytes = 512;

  struct Event {
    enum class Kind {
      kNone,    // nothing new
      kAnswer,  // the server answered: `answer`
      kBody,    // body bytes: `bytes` (the first ones, then pieces while collected)
      kTitle,   // the stream names what it plays: `bytes` (GBK)
      kEnd,     // the body ended
      kError,   // the request failed or broke off: `error`, `why`
    };
    Kind kind = Kind::kNone;
    Answer answer;
    std::string bytes;
    TransportError error = TransportError::kRefused;
    std::string why;
  };

  // Starts the GET of `uri` (absolute, escaped, allowed by the address policy) through
  // `fetcher`; a request that cannot start tells so at the first Next.
  StationStream(HttpFetcher& fetcher, const HttpFetchOptions& options, std::string uri, OpenAs as);
  StationStream(const StationStream&) = delete;
  StationStream& operator=(const StationStream&) = delete;

  // The next event, taking in what the network brought; kNone when nothing is new. Audio to be
  // decoded is appended to `audio`, and the network is read for it only while `want_more` (the
  // taker has room).
  Event Next(std::string& audio, bool want_more, Clock::time_point now);
  // What the attempt does with the body whose bytes were told last: to the decoders or the HLS
  // reader (kDecode), told piece by piece (kCollect), or nothing more (kNone).
  void Use(BodyUse use);
  // The attempt opens this address again, as `as` (kStream or kHls), while the body whose first
  // bytes it was told is in hand: the body goes on as that, its first bytes included, and
  // neither the answer nor the first bytes are told again.
  void Reuse(OpenAs as);

  // Hands the audio to `relay` too as it goes to the taker, as one connection of its own (a new
  // one after each jump), with each title where it falls in the audio.
  void TapTo(TapRelay& relay);

  const std::string& uri() const { return uri_; }
  // True from the first bytes' event until Use or Reuse: the body is in hand, undecided.
  bool awaiting_use() const { return mode_ == Mode::kTold; }
  // True once since the last call when the audio this Next appended does not continue what the
  // calls before appended.
  bool TakeJump() { return std::exchange(jump_, false); }
  // When to look again even if the network does not signal.
  std::optional<Clock::time_point> next_wake() const;

 private:
  enum class Mode {
    kAnswer,       // waiting for the server's answer
    kFirstBytes,   // gathering the body's first bytes
    kTold,         // the first bytes are told: waiting for Use
    kDecode,       // a stream: its audio to the taker
    kCollect,      // a playlist: its pieces told
    kHlsPlaylist,  // the HLS playlist: gathered whole for the reader
    kHls,          // the HLS reader plays it
    kDone,         // nothing more to tell
  };

  // Each takes in what the network brought in its mode and queues the events it makes.
  void TakeAnswer();
  void TakeFirstBytes();
  void Decode(std::string& audio, bool want_more);
  void Collect();
  void GatherPlaylist(Clock::time_point now);
  void AdvanceHls(std::string& audio, bool want_more, Clock::time_point now);
  // Body bytes received so far, without ICY metadata, to the end of held_; titles queued.
  void Take();
  void Ended();
  void Failed();
  // Hands `audio` to the relay, each title before the byte of `audio` it is paired with.
  using PlacedTitles = std::vector<std::pair<size_t, std::string>>;
  void Tap(std::string_view audio, const PlacedTitles& titles);

  HttpFetcher& fetcher_;
  const HttpFetchOptions options_;
  const std::string uri_;
  OpenAs as_;
  std::unique_ptr<HttpFetch> fetch_;
  Mode mode_ = Mode::kAnswer;
  std::unique_ptr<stream::IcyDemuxer> icy_;
  std::string held_;          // body bytes taken and not handed on
  size_t told_ = 0;           // of them, told as the first bytes
  PlacedTitles held_titles_;  // the titles that fall in held_, placed in it
  std::deque<Event> events_;
  std::unique_ptr<HlsReader> hls_;
  // The HLS reader jumped after the audio it appended last: the next audio begins anew.
  bool jump_next_ = false;
  bool jump_ = false;
  TapRelay* relay_ = nullptr;
  uint64_t connection_ = 0;
};

}  // namespace lumio::win
