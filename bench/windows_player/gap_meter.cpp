#include "gap_meter.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace lumio::bench {
namespace {

constexpr int kRate = 44100;
constexpr size_t kFrameBytes = 4;  // 16-bit stereo
constexpr int kLoud = 1000;        // about -30 dBFS, as MonitorRecorder counts sound
// The end of the stretch counts as sound when the last this-many ms hold some.
constexpr int64_t kEndMs = 200;

}  // namespace

GapMeter::GapMeter(const std::string& source) {
  parec_ = std::make_unique<test::ChildProcess>(
      std::vector<std::string>{"parec", "-d", source, "--format=s16le",
                               "--rate=" + std::to_string(kRate), "--channels=2",
                               "--latency-msec=10"},
      dir_.File("monitor.raw"));
}

size_t GapMeter::Mark() const {
  const std::string bytes = test::ReadBytes(dir_.File("monitor.raw"));
  return bytes == "<missing>" ? 0 : bytes.size() / kFrameBytes;
}

GapMeter::Gap GapMeter::Measure(size_t mark, std::chrono::milliseconds duration) const {
  const std::string bytes = test::ReadBytes(dir_.File("monitor.raw"));
  const size_t frames = bytes == "<missing>" ? 0 : bytes.size() / kFrameBytes;
  const size_t end = std::min(frames, mark + static_cast<size_t>(duration.count() * kRate / 1000));
  Gap gap;
  if (end <= mark) return gap;
  size_t run = 0;
  size_t longest = 0;
  size_t last_loud = mark;
  for (size_t frame = mark; frame < end; ++frame) {
    int16_t left = 0;
    int16_t right = 0;
    std::memcpy(&left, bytes.data() + frame * kFrameBytes, 2);
    std::memcpy(&right, bytes.data() + frame * kFrameBytes + 2, 2);
    if (std::abs(left) > kLoud || std::abs(right) > kLoud) {
      run = 0;
      last_loud = frame;
    } else {
      longest = std::max(longest, ++run);
    }
  }
  gap.longest_ms = static_cast<int64_t>(longest) * 1000 / kRate;
  gap.sound_at_end = (end - last_loud) * 1000 / kRate < kEndMs;
  return gap;
}

}  // namespace lumio::bench
