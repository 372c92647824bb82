#pragma once
// What a PulseAudio sink plays, recorded from its monitor for as long as the recorder lives
// (parec), and measured over a window: loudness, pitch and the silences a listener hears.

#include <chrono>
#include <memory>
#include <string>
#include <string_view>

#include "gst/child_process.h"

namespace lumio::test {

struct SoundMeasure {
  // Of channel 1, over most of the window (medians of 100 ms blocks): full scale 1.0, and Hz from
  // the rising zero crossings where it sounds.
  double rms = 0;
  double frequency = 0;
  // Silences of 20 ms or more amid sound (not counting silence at the window's ends).
  int holes = 0;
  double seconds = 0;
};

// Measures 16-bit stereo little-endian samples at 44.1 kHz.
SoundMeasure Measure(std::string_view samples);

class SinkRecorder {
 public:
  // Records `sink`'s monitor into `file`.
  SinkRecorder(const std::string& sink, std::string file);
  // False when nothing is recorded after `timeout` (parec needs a moment before samples flow).
  bool WaitUntilRecording(std::chrono::milliseconds timeout) const;
  // Bytes recorded so far.
  size_t Size() const;
  // The samples recorded from byte `from` on.
  std::string From(size_t from) const;

 private:
  std::string file_;
  std::unique_ptr<ChildProcess> parec_;
};

}  // namespace lumio::test
