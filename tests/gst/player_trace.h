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

// Polls until `player` reports `wanted` or `timeout` passes.
inline StateTrace TraceUntil(GstPlayer& player, int32_t wanted, milliseconds timeout) {
  StateTrace trace;
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

}  // namespace lumio::test
