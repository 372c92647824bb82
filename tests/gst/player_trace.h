#pragma once
// Watching a player the way the status line does, only more often: every state it reports, in
// order, while the test stands in for the user-interface thread.

#include <chrono>
#include <cstdint>
#include <vector>

#include "gst/gst_player.h"
#include "gst/main_loop.h"

namespace lumio::test {

using std::chrono::milliseconds;

// The distinct states reported one after the other (repeats folded).
class StateTrace {
 public:
  void Add(int32_t state) {
    if (states_.empty() || states_.back() != state) states_.push_back(state);
  }
  const std::vector<int32_t>& states() const { return states_; }
  int32_t last() const { return states_.empty() ? 0 : states_.back(); }

 private:
  std::vector<int32_t> states_;
};

// Polls until `player` reports `wanted` or `timeout` passes. The first state is read before the
// main loop runs, so that a stream quick to answer cannot hide what the player said at once.
inline StateTrace TraceUntil(GstPlayer& player, int32_t wanted, milliseconds timeout) {
  StateTrace trace;
  trace.Add(player.GetPlayState());
  if (trace.last() == wanted) return trace;
  PumpUntil(
      [&] {
        trace.Add(player.GetPlayState());
        return trace.last() == wanted;
      },
      timeout);
  return trace;
}

// Polls for all of `duration`.
inline StateTrace TraceFor(GstPlayer& player, milliseconds duration) {
  StateTrace trace;
  PumpUntil(
      [&] {
        trace.Add(player.GetPlayState());
        return false;
      },
      duration);
  return trace;
}

// What a listener hears over a stretch of playback: the states reported, and how much of the
// wall time the stream's position fell behind (silence).
struct Listening {
  StateTrace trace;
  int64_t silence_ms = 0;
};

// Listens for `duration` to a player that already plays. A player that never reports its
// position counts as silent throughout.
inline Listening ListenFor(GstPlayer& player, milliseconds duration) {
  Listening heard;
  if (!PumpUntil([&] { return player.PositionMs() >= 0; }, milliseconds(1000))) {
    heard.silence_ms = duration.count();
    return heard;
  }
  const auto start = std::chrono::steady_clock::now();
  const int64_t start_position = player.PositionMs();
  heard.trace = TraceFor(player, duration);
  const auto elapsed =
      std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - start);
  heard.silence_ms = elapsed.count() - (player.PositionMs() - start_position);
  return heard;
}

}  // namespace lumio::test
