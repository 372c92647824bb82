#include "winplayer/sound_output.h"

#include <algorithm>
#include <cstring>

namespace lumio::win {

SoundOutput::SoundOutput(HANDLE wake, std::function<double()> gain)
    : wake_(wake),
      gain_(std::move(gain)),
      device_done_(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      stirred_(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      device_(device_done_.get()) {
  thread_ = std::thread([this] { Run(); });
}

SoundOutput::~SoundOutput() {
  quit_ = true;
  SetEvent(stirred_.get());
  thread_.join();
  std::lock_guard device(device_mutex_);
  device_.Close();
}

bool SoundOutput::Open(const PcmFormat& format, std::string* error) {
  std::lock_guard device(device_mutex_);
  {
    std::lock_guard ring(ring_mutex_);
    left_ += held_;
    held_ = 0;
    read_ = 0;
    frame_ = static_cast<size_t>(std::max(1, format.channels));
    const size_t per_second = static_cast<size_t>(std::max(1, format.sample_rate)) * frame_;
    ring_.assign(per_second * kHeldMs / 1000 / frame_ * frame_, 0);
  }
  open_ = device_.Open(format, error);
  device_queued_ms_ = 0;
  drained_ = true;
  if (open_) {
    format_ = format;
    scratch_.assign(device_.block_samples(), 0);
  }
  return open_;
}

size_t SoundOutput::Push(const int16_t* samples, size_t count) {
  size_t taken = 0;
  {
    std::lock_guard ring(ring_mutex_);
    if (!open_ || ring_.empty()) return 0;
    taken = std::min(count, ring_.size() - held_);
    taken -= taken % frame_;
    size_t write = (read_ + held_) % ring_.size();
    for (size_t done = 0; done < taken;) {
      const size_t run = std::min(taken - done, ring_.size() - write);
      std::memcpy(ring_.data() + write, samples + done, run * sizeof(int16_t));
      done += run;
      write = (write + run) % ring_.size();
    }
    held_ += taken;
  }
  pushed_ += taken;
  if (taken > 0) SetEvent(stirred_.get());
  return taken;
}

void SoundOutput::Flush() {
  std::lock_guard device(device_mutex_);
  {
    std::lock_guard ring(ring_mutex_);
    left_ += held_;
    held_ = 0;
    read_ = 0;
  }
  device_.Flush();
  device_queued_ms_ = 0;
  drained_ = true;  // silenced on purpose: no running dry
}

int64_t SoundOutput::QueuedMs() {
  size_t held = 0;
  {
    std::lock_guard ring(ring_mutex_);
    held = held_;
  }
  const int64_t per_second =
      int64_t{std::max(1, format_.sample_rate)} * std::max(1, format_.channels);
  return static_cast<int64_t>(held) * 1000 / per_second + device_queued_ms_.load();
}

void SoundOutput::Run() {
  // Only this thread's promptness keeps the device from running dry; where the system honours
  // it, it comes before the decoding and everything else of the program's.
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
  const HANDLE handles[] = {stirred_.get(), device_done_.get()};
  while (!quit_) {
    // The device signals each finished block; the wait's bound only covers a missed signal.
    WaitForMultipleObjects(2, handles, FALSE, 20);
    if (quit_) break;
    Refill();
  }
}

void SoundOutput::Refill() {
  bool wrote = false;
  bool drained = false;
  bool newly_drained = false;
  {
    std::lock_guard device(device_mutex_);
    if (!device_.is_open()) return;
    while (device_.HasRoom()) {
      size_t count = 0;
      {
        std::lock_guard ring(ring_mutex_);
        count = std::min(held_, scratch_.size());
        for (size_t done = 0; done < count;) {
          const size_t run = std::min(count - done, ring_.size() - read_);
          std::memcpy(scratch_.data() + done, ring_.data() + read_, run * sizeof(int16_t));
          done += run;
          read_ = (read_ + run) % ring_.size();
        }
        held_ -= count;
      }
      if (count == 0) break;
      // A block the device refuses is dropped rather than tried again and again.
      device_.Write(scratch_.data(), count, gain_());
      left_ += count;
      wrote = true;
    }
    device_queued_ms_ = device_.QueuedMs();
    {
      std::lock_guard ring(ring_mutex_);
      drained = held_ == 0 && device_queued_ms_ == 0;
    }
    // The worker is woken only when something changed for it: room came free, or the last of
    // the sound has played (once, not at every look at an idle device).
    newly_drained = drained && !drained_;
    drained_ = drained;
  }
  if (newly_drained) ++times_dry_;
  if (wrote || newly_drained) SetEvent(wake_);
}

}  // namespace lumio::win
