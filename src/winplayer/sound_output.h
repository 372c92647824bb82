#pragma once
// The sound device kept fed by a thread of its own. The worker that fetches and decodes may be
// held up (a slow decoder, a busy machine): what it decoded waits here in a bounded queue, and
// this thread, which does nothing else, moves it into the device as the device makes room. The
// device is the system's shared audio stream, with a long buffer and the volume applied by the
// mixer (WasapiOutput), or waveOut's short queue with the volume on the samples where that
// cannot be opened (WaveOutput). The device thus never runs dry while decoded sound is in hand,
// and a volume change is heard within a look of this thread plus what the mixer holds.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <chrono>
#include <memory>

#include "winbase/unique_handle.h"
#include "winplayer/pcm_queue.h"
#include "winplayer/sound_device.h"

namespace lumio::win {

class SoundOutput {
 public:
  // Decoded sound held here at most, beyond the device's own queue.
  static constexpr int64_t kHeldMs = 1000;
  // How often this thread looks at the volume, and at a device refilled on a schedule when
  // nothing else wakes it.
  static constexpr int kLookMs = 20;
  // A device refilled on a schedule is looked at again after half of what it holds has played,
  // and at least this often.
  static constexpr int64_t kRefillMs = 100;

  // `wake` is signalled whenever room comes free here or everything has played. `gain` (any
  // thread) gives the gain to apply to the samples leaving for the device now.
  SoundOutput(HANDLE wake, std::function<double()> gain);
  ~SoundOutput();
  SoundOutput(const SoundOutput&) = delete;
  SoundOutput& operator=(const SoundOutput&) = delete;

  // Opens the system's default device for `format`, dropping whatever was queued; false, with
  // `error` (ASCII) set, when the device refuses.
  bool Open(const PcmFormat& format, std::string* error);
  // False also once the device was lost and could not be opened again.
  bool is_open() const { return open_ && !gone_.load(); }
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
  // Moves queued sound into the device while it has room (`block_done`: the device finished
  // a block and wants it now).
  void Refill(bool block_done);
  // Opens `device_` for `format`: the shared audio stream, else waveOut. Under device_mutex_.
  bool OpenDevice(const PcmFormat& format, std::string* error);

  HANDLE wake_;
  std::function<double()> gain_;
  UniqueKernelHandle device_done_;
  UniqueKernelHandle stirred_;  // a command for the thread: refill, or quit
  UniqueKernelHandle in_com_;   // the thread has joined COM, which it keeps up while it lives
  std::atomic<bool> quit_{false};

  // Worker-side copies of what the device was opened for.
  bool open_ = false;
  PcmFormat format_;
  uint64_t pushed_ = 0;

  // Held by whoever uses the device; taken before ring_mutex_ when both are.
  std::mutex device_mutex_;
  std::unique_ptr<SoundDevice> device_;
  std::vector<int16_t> scratch_;                         // sound on its way to the device
  std::chrono::steady_clock::time_point next_refill_{};  // of a device refilled on a schedule
  std::atomic<bool> gone_{false};  // the device was lost and could not be opened again

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
