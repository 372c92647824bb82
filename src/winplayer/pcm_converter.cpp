#include "winplayer/pcm_converter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lumio::win {
namespace {

// Each output frame is weighed from this many input frames around it; the filter's table
// holds kPhases fractions of an input frame.
constexpr int kTaps = 16;
constexpr int kHalfTaps = kTaps / 2;
constexpr int kPhases = 128;

// One output channel from an input frame: a mono source is heard on every channel, several
// channels folded into one are averaged, and a channel the source lacks repeats its others.
float MappedChannel(const int16_t* frame, int in_channels, int out_channels, int channel) {
  if (out_channels == 1 && in_channels > 1) {
    float sum = 0;
    for (int c = 0; c < in_channels; ++c)
      sum += frame[c];
    return sum / static_cast<float>(in_channels);
  }
  return frame[channel % in_channels];
}

}  // namespace

void PcmConverter::Start(const PcmFormat& from, const PcmFormat& to) {
  from_ = from;
  to_ = to;
  step_ = static_cast<double>(from.sample_rate) / to.sample_rate;
  // Going down in rate, the band is cut at the new rate's half, a little below it so that the
  // filter's slope falls inside.
  const double cutoff = step_ > 1 ? 0.95 / step_ : 1.0;
  kernel_.assign(static_cast<size_t>(kPhases) * kTaps, 0);
  for (int phase = 0; phase < kPhases; ++phase) {
    const double fraction = static_cast<double>(phase) / kPhases;
    float* taps = &kernel_[static_cast<size_t>(phase) * kTaps];
    double sum = 0;
    for (int j = 0; j < kTaps; ++j) {
      const double x = j - (kHalfTaps - 1) - fraction;  // input frame's distance, in frames
      const double window = 0.5 + 0.5 * std::cos(std::numbers::pi * x / kHalfTaps);
      const double arg = std::numbers::pi * cutoff * x;
      const double sinc = std::abs(arg) < 1e-9 ? 1.0 : std::sin(arg) / arg;
      taps[j] = static_cast<float>(sinc * window);
      sum += taps[j];
    }
    // Unity gain at every phase: a steady level stays steady.
    for (int j = 0; j < kTaps; ++j)
      taps[j] = static_cast<float>(taps[j] / sum);
  }
  // The filter's first reach falls on silence before the first frame.
  frames_.assign(static_cast<size_t>(kHalfTaps - 1) * to.channels, 0);
  position_ = kHalfTaps - 1;
}

void PcmConverter::Convert(const PcmFormat& from, const PcmFormat& to,
                           const std::vector<int16_t>& in, std::vector<int16_t>& out) {
  if (from.sample_rate <= 0 || from.channels <= 0 || to.sample_rate <= 0 || to.channels <= 0) {
    return;
  }
  if (!(from == from_ && to == to_)) Start(from, to);
  const auto out_channels = static_cast<size_t>(to.channels);
  const size_t in_frames = in.size() / static_cast<size_t>(from.channels);
  frames_.reserve(frames_.size() + in_frames * out_channels);
  for (size_t f = 0; f < in_frames; ++f) {
    const int16_t* frame = &in[f * static_cast<size_t>(from.channels)];
    for (int c = 0; c < to.channels; ++c)
      frames_.push_back(MappedChannel(frame, from.channels, to.channels, c));
  }

  const size_t available = frames_.size() / out_channels;
  for (;;) {
    const double whole = std::floor(position_);
    const size_t first = static_cast<size_t>(whole) - (kHalfTaps - 1);
    if (first + kTaps > available) break;
    const int phase = std::min(kPhases - 1, static_cast<int>((position_ - whole) * kPhases));
    const float* taps = &kernel_[static_cast<size_t>(phase) * kTaps];
    for (size_t c = 0; c < out_channels; ++c) {
      float sum = 0;
      const float* at = &frames_[first * out_channels + c];
      for (int j = 0; j < kTaps; ++j)
        sum += at[static_cast<size_t>(j) * out_channels] * taps[j];
      out.push_back(static_cast<int16_t>(std::clamp(std::lround(sum), -32768L, 32767L)));
    }
    position_ += step_;
  }
  // Frames the filter will not reach again are let go.
  const size_t reached = static_cast<size_t>(std::floor(position_)) - (kHalfTaps - 1);
  const size_t drop = std::min(reached, available);
  frames_.erase(frames_.begin(),
                frames_.begin() + static_cast<std::ptrdiff_t>(drop * out_channels));
  position_ -= static_cast<double>(drop);
}

}  // namespace lumio::win
