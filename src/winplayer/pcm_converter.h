#pragma once
// Sound of one format made into another (rate and channels), so that a stream that changes its
// format mid-play goes on through the sound device as it is open: reopening the device would
// cut what it still holds and leave a gap. Band-limited (a windowed sinc), so a rate halved
// does not fold the upper half of the band back into what is heard.

#include <cstdint>
#include <vector>

#include "winplayer/pcm_queue.h"

namespace lumio::win {

class PcmConverter {
 public:
  // Appends `in` (16-bit interleaved samples of `from`) to `out` as samples of `to`. Calls with
  // the same pair of formats continue one another without a seam; another pair starts afresh.
  // What comes out trails what went in by a few samples (the filter's reach).
  void Convert(const PcmFormat& from, const PcmFormat& to, const std::vector<int16_t>& in,
               std::vector<int16_t>& out);

 private:
  void Start(const PcmFormat& from, const PcmFormat& to);

  PcmFormat from_;
  PcmFormat to_;
  double step_ = 1;  // input frames per output frame
  // The filter, sampled at kPhases points between input frames, kTaps taps each.
  std::vector<float> kernel_;
  // Input frames in the output's channel layout, from the oldest the filter still reaches.
  std::vector<float> frames_;
  double position_ = 0;  // of the next output frame, in input frames from frames_'s start
};

}  // namespace lumio::win
