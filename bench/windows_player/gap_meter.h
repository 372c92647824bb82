#pragma once
// Records what reaches a PulseAudio sink (parec on its monitor, to a file) and tells afterwards
// how long the longest silence in a stretch of it lasted (the gap a listener hears), how often
// the sound broke up, and when it fell silent.

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gst/child_process.h"
#include "support/temp_dir.h"

namespace lumio::bench {

class GapMeter {
 public:
  explicit GapMeter(const std::string& source);

  // A point of the recording to measure from (its length so far).
  size_t Mark() const;
  // In `duration` of recording after `mark`: the longest run of silence (below -30 dBFS), in
  // ms, and whether the stretch ends in sound. The stretch must have been recorded already.
  struct Gap {
    int64_t longest_ms = -1;
    bool sound_at_end = false;
  };
  Gap Measure(size_t mark, std::chrono::milliseconds duration) const;
  // In `duration` of recording after `mark`: the silences of `shortest` or longer (sound that
  // breaks up), and the longest of them in ms (0 for none).
  struct Holes {
    int count = 0;
    int64_t longest_ms = 0;
  };
  Holes CountHoles(size_t mark, std::chrono::milliseconds duration,
                   std::chrono::milliseconds shortest) const;
  // The first silence of at least `quiet` that starts in the `duration` after `mark`: how long
  // after the mark it began, or -1 when none did.
  int64_t SilenceAfter(size_t mark, std::chrono::milliseconds duration,
                       std::chrono::milliseconds quiet) const;

 private:
  // The loud flags of the recorded frames from `mark` on, for `duration` at most.
  std::vector<bool> Loudness(size_t mark, std::chrono::milliseconds duration) const;

  test::TempDir dir_;
  std::unique_ptr<test::ChildProcess> parec_;
};

}  // namespace lumio::bench
