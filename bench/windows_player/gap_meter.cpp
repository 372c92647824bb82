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

std::vector<bool> GapMeter::Loudness(size_t mark, std::chrono::milliseconds duration) const {
  const std::string bytes = test::ReadBytes(dir_.File("monitor.raw"));
  const size_t frames = bytes == "<missing>" ? 0 : bytes.size() / kFrameBytes;
  const size_t end = std::min(frames, mark + static_cast<size_t>(duration.count() * kRate / 1000));
  std::vector<bool> loud;
  for (size_t frame = mark; frame < end; ++frame) {
    int16_t left = 0;
    int16_t right = 0;
    std::memcpy(&left, bytes.data() + frame * kFrameBytes, 2);
    std::memcpy(&right, bytes.data() + frame * kFrameBytes + 2, 2);
    loud.push_back(std::abs(left) > kLoud || std::abs(right) > kLoud);
  }
  return loud;
}

GapMeter::Gap GapMeter::Measure(size_t mark, std::chrono::milliseconds duration) const {
  const std::vector<bool> loud = Loudness(mark, duration);
  Gap gap;
  if (loud.empty()) return gap;
  size_t run = 0;
  size_t longest = 0;
  size_t last_loud = 0;
  for (size_t frame = 0; frame < loud.size(); ++frame) {
    if (loud[frame]) {
      run = 0;
      last_loud = frame;
    } else {
      longest = std::max(longest, ++run);
    }
  }
  gap.longest_ms = static_cast<int64_t>(longest) * 1000 / kRate;
  gap.sound_at_end = (loud.size() - last_loud) * 1000 / kRate < kEndMs;
  return gap;
}

GapMeter::Holes GapMeter::CountHoles(size_t mark, std::chrono::milliseconds duration,
                                     std::chrono::milliseconds shortest) const {
  const std::vector<bool> loud = Loudness(mark, duration);
  const size_t shortest_frames = static_cast<size_t>(shortest.count() * kRate / 1000);
  Holes holes;
  size_t run = 0;
  const auto end_run = [&] {
    if (run >= shortest_frames) {
      ++holes.count;
      holes.longest_ms = std::max(holes.longest_ms, static_cast<int64_t>(run) * 1000 / kRate);
    }
    run = 0;
  };
  for (const bool frame_loud : loud) {
    if (frame_loud) {
      end_run();
    } else {
      ++run;
    }
  }
  end_run();
  return holes;
}

int64_t GapMeter::SilenceAfter(size_t mark, std::chrono::milliseconds duration,
                               std::chrono::milliseconds quiet) const {
  const std::vector<bool> loud = Loudness(mark, duration + quiet);
  const size_t quiet_frames = static_cast<size_t>(quiet.count() * kRate / 1000);
  size_t run = 0;
  for (size_t frame = 0; frame < loud.size(); ++frame) {
    run = loud[frame] ? 0 : run + 1;
    if (run >= quiet_frames) return static_cast<int64_t>(frame + 1 - run) * 1000 / kRate;
  }
  return -1;
}

}  // namespace lumio::bench
