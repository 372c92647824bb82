#pragma once
// Records what reaches a PulseAudio sink (parec on its monitor, to a file) and tells afterwards
// how long the longest silence in a stretch of it lasted: the gap a listener hears.

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

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

 private:
  test::TempDir dir_;
  std::unique_ptr<test::ChildProcess> parec_;
};

}  // namespace lumio::bench
