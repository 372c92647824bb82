#pragma once
// The playback as controls outside the window show it (the desktop's media controls): one
// read-only snapshot, so that such a control never reaches into the main window's logic and
// shows the same state whichever platform draws it.

#include <cstdint>
#include <optional>

#include "catalogue/station_record.h"

namespace lumio {

enum class PlaybackStatus { kStopped, kPaused, kPlaying };

struct PlaybackView {
  // Playing while the play button shows its pause face or the player connects, buffers or
  // plays (a station started from the list plays with the play face showing).
  PlaybackStatus status = PlaybackStatus::kStopped;
  int32_t volume = 0;  // 0..100, as the slider shows it
  // The station started last, also once it stopped; none before the first.
  std::optional<StationRecord> station;
  // Whether Next and Previous would start a station.
  bool canGoNext = false;
  bool canGoPrevious = false;
};

}  // namespace lumio
