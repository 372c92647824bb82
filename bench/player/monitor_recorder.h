#pragma once
// Listens to what reaches a PulseAudio sink, through `parec` on its monitor, and tells when
// sound starts. Every contender plays into the same sink, so the monitor's own delay is the
// same for all of them.

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "gst/child_process.h"
#include "support/temp_dir.h"

namespace lumio::bench {

using Clock = std::chrono::steady_clock;

class MonitorRecorder {
 public:
  // `source` is a PulseAudio source such as "lumio_test_sink.monitor".
  explicit MonitorRecorder(const std::string& source);
  ~MonitorRecorder();
  MonitorRecorder(const MonitorRecorder&) = delete;
  MonitorRecorder& operator=(const MonitorRecorder&) = delete;

  // True once samples flow (parec needs about a second to start).
  bool WaitUntilFlowing(std::chrono::milliseconds timeout);
  // Waits until the sink has been silent for `quiet`; false after `timeout`.
  bool WaitForSilence(std::chrono::milliseconds quiet, std::chrono::milliseconds timeout);
  // The moment of the first loud sample played after `since`, or nullopt after `timeout`.
  std::optional<Clock::time_point> WaitForSound(Clock::time_point since,
                                                std::chrono::milliseconds timeout);

 private:
  void ReadLoop(int fd);

  test::TempDir dir_;
  std::unique_ptr<test::ChildProcess> parec_;
  std::thread reader_;
  int fifo_fd_ = -1;
  bool stopping_ = false;

  std::mutex mutex_;
  std::condition_variable changed_;
  bool flowing_ = false;
  Clock::time_point last_loud_{};
  std::vector<Clock::time_point> onsets_;  // first loud sample after at least 100 ms of quiet
};

}  // namespace lumio::bench
