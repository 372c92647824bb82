#include "monitor_recorder.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace lumio::bench {
namespace {

constexpr int kRate = 44100;
constexpr int kChannels = 2;
// About -30 dBFS: far above the null sink's silence, far below any contender's tone.
constexpr int kLoud = 1000;
constexpr auto kQuietBeforeOnset = std::chrono::milliseconds(100);

}  // namespace

MonitorRecorder::MonitorRecorder(const std::string& source) {
  const std::string fifo = dir_.File("monitor.fifo");
  if (mkfifo(fifo.c_str(), 0600) != 0) return;
  // Opened before parec so that neither side blocks on the other.
  fifo_fd_ = open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  parec_ = std::make_unique<test::ChildProcess>(
      std::vector<std::string>{
          "parec", "-d", source, "--format=s16le", "--rate=" + std::to_string(kRate),
          "--channels=" + std::to_string(kChannels), "--latency-msec=10", "--process-time-msec=5"},
      fifo);
  reader_ = std::thread([this] { ReadLoop(fifo_fd_); });
}

MonitorRecorder::~MonitorRecorder() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  if (parec_) parec_->Stop();
  if (reader_.joinable()) reader_.join();
  if (fifo_fd_ >= 0) close(fifo_fd_);
}

void MonitorRecorder::ReadLoop(int fd) {
  std::vector<int16_t> samples(4096);
  size_t carry = 0;  // bytes of a sample split between two reads
  auto* bytes = reinterpret_cast<char*>(samples.data());
  while (true) {
    {
      std::lock_guard lock(mutex_);
      if (stopping_) return;
    }
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 20) <= 0) continue;
    const ssize_t got = read(fd, bytes + carry, samples.size() * sizeof(int16_t) - carry);
    if (got <= 0) {
      usleep(5000);  // no writer yet, or between writes
      continue;
    }
    const Clock::time_point arrived = Clock::now();
    const size_t total = carry + static_cast<size_t>(got);
    const size_t frames = total / (sizeof(int16_t) * kChannels);
    std::optional<size_t> first_loud;
    for (size_t i = 0; i < frames * kChannels; ++i) {
      if (std::abs(samples[i]) > kLoud) {
        first_loud = i / kChannels;
        break;
      }
    }
    {
      std::lock_guard lock(mutex_);
      flowing_ = true;
      if (first_loud) {
        // The chunk arrived when its last frame was played; its first loud frame came earlier.
        const auto played =
            arrived - std::chrono::microseconds((frames - *first_loud) * 1000000 / kRate);
        if (played - last_loud_ > kQuietBeforeOnset) onsets_.push_back(played);
        last_loud_ = arrived;
      }
    }
    changed_.notify_all();
    carry = total - frames * sizeof(int16_t) * kChannels;
    if (carry > 0) std::copy(bytes + total - carry, bytes + total, bytes);
  }
}

bool MonitorRecorder::WaitUntilFlowing(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [this] { return flowing_; });
}

bool MonitorRecorder::WaitForSilence(std::chrono::milliseconds quiet,
                                     std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  std::unique_lock lock(mutex_);
  while (Clock::now() < deadline) {
    if (Clock::now() - last_loud_ >= quiet) return true;
    changed_.wait_for(lock, std::chrono::milliseconds(20));
  }
  return false;
}

std::optional<Clock::time_point> MonitorRecorder::WaitForSound(Clock::time_point since,
                                                               std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  std::unique_lock lock(mutex_);
  while (true) {
    for (const Clock::time_point onset : onsets_) {
      if (onset >= since) return onset;
    }
    if (Clock::now() >= deadline) return std::nullopt;
    changed_.wait_for(lock, std::chrono::milliseconds(20));
  }
}

}  // namespace lumio::bench
