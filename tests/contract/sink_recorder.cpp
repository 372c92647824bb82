#include "contract/sink_recorder.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

namespace lumio::test {
namespace {

constexpr int kRate = 44100;
constexpr size_t kFrameBytes = 4;
// Quieter than this is silence: the tone at volume 50 (cubic) is 0.0625 at its peak.
constexpr double kQuiet = 0.004;
constexpr size_t kHoleFrames = kRate / 50;  // 20 ms

}  // namespace

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
  return values[values.size() / 2];
}

SoundMeasure Measure(std::string_view samples) {
  SoundMeasure measure;
  const size_t frames = samples.size() / kFrameBytes;
  if (frames == 0) return measure;
  // Loudness and pitch are the medians of 100 ms blocks: what a listener hears most of the
  // window, which a moment of breakup on a busy machine does not change (holes count that).
  constexpr size_t kBlockFrames = kRate / 10;
  std::vector<double> block_rms;
  std::vector<double> block_hz;
  double sum = 0;
  int crossings = 0;
  size_t in_block = 0;
  double previous = 0;
  size_t quiet_run = 0;
  bool heard = false;
  // A block broken by a gap, however short, has too few crossings for its length: pitch is
  // read from whole blocks where there are any.
  constexpr size_t kGapFrames = 10;
  std::vector<double> whole_block_hz;
  bool broken = false;
  for (size_t i = 0; i < frames; ++i) {
    const auto low = static_cast<unsigned char>(samples[i * kFrameBytes]);
    const auto high = static_cast<unsigned char>(samples[i * kFrameBytes + 1]);
    const double value = static_cast<int16_t>(static_cast<uint16_t>(low | (high << 8))) / 32768.0;
    sum += value * value;
    if (i > 0 && previous < 0 && value >= 0) ++crossings;
    previous = value;
    if (std::fabs(value) < kQuiet) {
      if (++quiet_run == kGapFrames) broken = true;
    } else {
      if (heard && quiet_run >= kHoleFrames) ++measure.holes;
      quiet_run = 0;
      heard = true;
    }
    if (++in_block == kBlockFrames || i + 1 == frames) {
      const double rms = std::sqrt(sum / static_cast<double>(in_block));
      block_rms.push_back(rms);
      const double hz = crossings * kRate / static_cast<double>(in_block);
      if (rms >= 2 * kQuiet) block_hz.push_back(hz);
      if (rms >= 2 * kQuiet && !broken) whole_block_hz.push_back(hz);
      broken = quiet_run >= kGapFrames;
      sum = 0;
      crossings = 0;
      in_block = 0;
    }
  }
  measure.seconds = static_cast<double>(frames) / kRate;
  measure.rms = Median(std::move(block_rms));
  measure.frequency =
      Median(whole_block_hz.empty() ? std::move(block_hz) : std::move(whole_block_hz));
  return measure;
}

SinkRecorder::SinkRecorder(const std::string& sink, std::string file) : file_(std::move(file)) {
  parec_ = std::make_unique<ChildProcess>(
      std::vector<std::string>{"parec", "-d", sink + ".monitor", "--format=s16le", "--rate=44100",
                               "--channels=2", "--latency-msec=20"},
      file_);
}

bool SinkRecorder::WaitUntilRecording(std::chrono::milliseconds timeout) const {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (Size() < 4096) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

size_t SinkRecorder::Size() const {
  std::error_code error;
  const auto size = std::filesystem::file_size(file_, error);
  return error ? 0 : static_cast<size_t>(size);
}

std::string SinkRecorder::From(size_t from) const {
  std::ifstream in(file_, std::ios::binary);
  in.seekg(static_cast<std::streamoff>(from - from % kFrameBytes));
  std::string window((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  window.resize(window.size() / kFrameBytes * kFrameBytes);
  return window;
}

}  // namespace lumio::test
