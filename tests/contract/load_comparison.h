#pragma once
// The player under test beside the Linux player, both heard while the machine is loaded: two
// busy processes at normal priority, started and stopped here, bounded in time. The Linux
// player plays in this process, into a sink of its own, so that one run of either player's
// suite compares the two at the same moments.

#include <chrono>
#include <string>

#include "contract/sink_recorder.h"

namespace lumio::test {

struct LoadedListening {
  SoundMeasure under_test;  // what the player under test played into its sink
  SoundMeasure reference;   // what the Linux player played meanwhile
  bool reference_played = false;
};

// Plays `url` with the Linux player into `reference_sink`, loads the machine, and measures both
// sinks over `duration`; `under_test` records the sink of the player under test already.
LoadedListening ListenUnderLoad(const SinkRecorder& under_test, const std::string& reference_sink,
                                const std::string& url, const std::string& scratch,
                                std::chrono::milliseconds duration);

}  // namespace lumio::test
