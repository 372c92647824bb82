#pragma once
// The media player as the playback controller sees it. Every operation returns promptly;
// opening and buffering go on in the background and show only through GetPlayState.

#include <cstdint>
#include <string>

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
  // The current play state; never waits.
  virtual int32_t GetPlayState() = 0;
  virtual void Stop() = 0;
  virtual void Pause() = 0;
  // 0..100 on a perceptual scale; stays in force across URL changes.
  virtual void SetVolume(int32_t volume) = 0;
  // Stays in force across URL changes.
  virtual void SetMute(bool mute) = 0;
};

}  // namespace lumio
