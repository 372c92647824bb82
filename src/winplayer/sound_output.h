#pragma once
// The sound device kept fed by a thread of its own. The worker that fetches and decodes may be
// held up (a slow decoder, a busy machine): what it decoded waits here in a bounded queue, and
// this thread, which does nothing else, moves it into the device's short queue as soon as a block
// of it has played, applying the volume as the samples leave. The device thus never runs dry
// while decoded sound is in hand, and a volume change is heard after the device's short queue.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "winplayer/audio_decoder.h"
#include "winplayer/wave_output.h"
#include "winplayer/win_handles.h"

namespace lumio::win {

class SoundOutput {
 public:
  // Decoded sound held here at most, beyond the device's own queue.
  static constexpr int64_t kHeldMs = 1000;

  // `wake` is signalled whenever room comes free here or everything has played. `gain` (any
  // thread) gives the gain to apply to the samples leaving for the device now.
  SoundOutput(HANDLE wake, std::function<double()> gain);
  ~SoundOutput();
  SoundOutput(const SoundOutput&) = delete;
  SoundOutput& operator=(const SoundOutput&) = delete;

  // Opens the system's default device for `format`, dropping whatever was queued; false, with
  // `error` (ASCII) set, when the device refuses.
  bool Open(const PcmFormat& format, std::string* error);
  bool is_open() const { return open_; }
  const PcmFormat& format() const { return format_; }

  // Queues what room allows of the first `count` samples (whole frames); the number taken.
  size_t Push(const int16_t* samples, size_t count);
  // Drops everything queued, here and in the device: silence at once.
  void Flush();
  // Milliseconds of sound queued and not yet played, here and in the device.
  int64_t QueuedMs();
  // Samples pushed since this output was made, and of them the ones gone to the device or
  // dropped: the sample pushed as the n-th (from 0) has reached the device once left() > n.
  uint64_t pushed() const { return pushed_; }
  uint64_t left() const { return left_.load(); }
  // How often everything pushed had played and the device fell silent (not by Flush or Open).
  uint64_t times_dry() const { return times_dry_.load(); }

 private:
  void Run();
  // Moves queued sound into the device while it has room.
  void Refill();

  HANDLE wake_;
  std::function<double()> gain_;
  UniqueHandle device_done_;
  UniqueHandle stirred_;  // a command for the thread: refill, or quit
  std::atomic<bool> quit_{false};

  // Worker-side copies of what the device was opened for.
  bool open_ = false;
  PcmFormat format_;
  uint64_t pushed_ = 0;

  // Held by whoever uses the device; taken before ring_mutex_ when both are.
  std::mutex device_mutex_;
  WaveOutput device_;
  std::vector<int16_t> scratch_;  // one block, as it leaves for the device

  std::mutex ring_mutex_;
  std::vector<int16_t> ring_;
  size_t read_ = 0;  // where the oldest held sample is in ring_
  size_t held_ = 0;
  size_t frame_ = 1;  // samples of one frame (channels)
  std::atomic<uint64_t> left_{0};
  std::atomic<int64_t> device_queued_ms_{0};
  std::atomic<uint64_t> times_dry_{0};
  bool drained_ = true;  // under device_mutex_: nothing was left to play at the last look

  std::thread thread_;
};

}  // namespace lumio::win
