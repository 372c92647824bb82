#pragma once
// The media player as the playback controller sees it. Every operation returns promptly;
// opening and buffering go on in the background and show only through GetPlayState.

#include <cstdint>
#include <string>
#include <vector>

#include "ports/stream_failure.h"
#include "ports/stream_tap.h"

namespace lumio {

// Play states, numbered as the status line translates them.
inline constexpr int32_t kPlayStateStopped = 1;
inline constexpr int32_t kPlayStatePaused = 2;
inline constexpr int32_t kPlayStatePlaying = 3;
inline constexpr int32_t kPlayStateBuffering = 6;
inline constexpr int32_t kPlayStateTransitioning = 9;
inline constexpr int32_t kPlayStateReady = 10;

class MediaPlayer {
 public:
  virtual ~MediaPlayer() = default;

  // Starts opening and playing `url` (GBK text, as the station list holds it), replacing
  // whatever played. Also the way to resume after Pause.
  virtual void SetURL(const std::string& url) = 0;
  // As SetURL, for a station reachable at several addresses (GBK, in the order to try): each
  // that fails gives way to the next at once, and a round in which all failed is tried again
  // later, as StationAddressPlan orders it. An address that is a playlist stands for its entries.
  virtual void SetURLs(const std::vector<std::string>& urls) = 0;
  // The current play state; never waits.
  virtual int32_t GetPlayState() = 0;
  virtual void Stop() = 0;
  virtual void Pause() = 0;
  // 0..100 on a perceptual scale; stays in force across URL changes.
  virtual void SetVolume(int32_t volume) = 0;
  // Stays in force across URL changes.
  virtual void SetMute(bool mute) = 0;

  // What the stream says it plays now ("Artist - Song", GBK); "" while nothing plays or the
  // stream names nothing. Never waits.
  virtual std::string GetTitle() const = 0;
  // Why the station's latest attempt failed; kNone while it plays and before anything failed.
  // Never waits.
  virtual StreamFailure GetFailure() const = 0;
  // The address (one of those given to SetURL or SetURLs, as given) that the current station
  // last played from; "" until it played. Never waits.
  virtual std::string GetPlayedURL() const = 0;

  // Hands the stream as received to `tap` from now on, beginning with OnStreamStart (nullptr:
  // to nobody); once this returns the tap it replaces hears nothing more. `tap` outlives the
  // player or is replaced first. Set on the user-interface thread; the tap is called from one
  // player thread at a time. A player that cannot hand its stream over ignores it.
  virtual void SetStreamTap(StreamTap* /*tap*/) {}
};

}  // namespace lumio
