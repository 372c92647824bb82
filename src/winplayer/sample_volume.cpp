#include "winplayer/sample_volume.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace lumio::win {

double GainOfVolume(int32_t volume, bool mute) {
  if (mute) return 0;
  const double level = std::clamp(volume, 0, 100) / 100.0;
  return level * level * level;
}

void ScaleSamples(const int16_t* in, int16_t* out, size_t count, double gain) {
  if (gain >= 1.0) {
    if (in != out) std::memmove(out, in, count * sizeof(int16_t));
    return;
  }
  // Fixed point: a multiply per sample, and exactly 0 when muted.
  const auto factor = static_cast<int32_t>(std::lround(gain * 65536.0));
  for (size_t i = 0; i < count; ++i) {
    const int64_t scaled = (int64_t{in[i]} * factor + 32768) >> 16;
    out[i] = static_cast<int16_t>(std::clamp<int64_t>(scaled, -32768, 32767));
  }
}

}  // namespace lumio::win
