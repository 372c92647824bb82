#include "winplayer/sound_output.h"

#include <algorithm>
#include <cstring>

#include "winbase/com_ptr.h"
#include "winplayer/wasapi_output.h"
#include "winplayer/wave_output.h"

namespace lumio::win {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

SoundOutput::SoundOutput(HANDLE wake, std::function<double()> gain)
    : wake_(wake),
      gain_(std::move(gain)),
      device_done_(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      stirred_(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      in_com_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  thread_ = std::thread([this] { Run(); });
  // The audio stream's objects live in COM's multithreaded apartment, which this thread keeps
  // up: one made before it is, by a caller of Open not in COM itself, would not outlive Open.
  WaitForSingleObject(in_com_.get(), INFINITE);
}

SoundOutput::~SoundOutput() {
  quit_ = true;
  SetEvent(stirred_.get());
  thread_.join();
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
  open_ = OpenDevice(format, error);
  gone_ = false;
  device_queued_ms_ = 0;
  drained_ = true;
  if (open_) format_ = format;
  return open_;
}

bool SoundOutput::OpenDevice(const PcmFormat& format, std::string* error) {
  next_refill_ = steady_clock::now();
  if (device_) device_->Close();
  auto shared = std::make_unique<WasapiOutput>();
  if (shared->Open(format, error)) {
    device_ = std::move(shared);
    return true;
  }
  auto wave = std::make_unique<WaveOutput>(device_done_.get());
  if (wave->Open(format, error)) {
    device_ = std::move(wave);
    return true;
  }
  device_.reset();
  return false;
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
  if (device_) device_->Flush();
  next_refill_ = steady_clock::now();
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
  const ComApartment com;
  SetEvent(in_com_.get());
  // Where the system honours it, this thread comes before the decoding and everything else of
  // the program's: only its promptness keeps a short device queue from running dry.
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
  const HANDLE handles[] = {stirred_.get(), device_done_.get()};
  while (!quit_) {
    const DWORD woken = WaitForMultipleObjects(2, handles, FALSE, kLookMs);
    if (quit_) break;
    Refill(woken == WAIT_OBJECT_0 + 1);
  }
  // The stream's objects go while this thread still keeps COM up for them.
  std::lock_guard device(device_mutex_);
  device_.reset();
}

void SoundOutput::Refill(bool block_done) {
  bool wrote = false;
  bool drained = false;
  bool newly_drained = false;
  {
    std::lock_guard device(device_mutex_);
    if (!device_ || !device_->is_open()) return;
    if (device_->lost()) {
      // Unplugged, or the listener chose another device: the sound goes on on the new
      // default one, less what the lost one held.
      std::string error;
      if (!OpenDevice(format_, &error)) {
        gone_ = true;
        return;
      }
    }
    device_->SetGain(gain_());
    const auto now = steady_clock::now();
    if (!block_done && !device_->signals_blocks()) {
      if (now < next_refill_) return;
      std::lock_guard ring(ring_mutex_);
      if (held_ == 0 && drained_) return;  // nothing to write, nothing playing
    }
    for (size_t room = device_->Room(); room > 0; room = device_->Room()) {
      size_t count = 0;
      {
        std::lock_guard ring(ring_mutex_);
        count = std::min(held_, room);
        scratch_.resize(std::max(scratch_.size(), count));
        for (size_t done = 0; done < count;) {
          const size_t run = std::min(count - done, ring_.size() - read_);
          std::memcpy(scratch_.data() + done, ring_.data() + read_, run * sizeof(int16_t));
          done += run;
          read_ = (read_ + run) % ring_.size();
        }
        held_ -= count;
      }
      if (count == 0) break;
      // What the device refuses is dropped rather than tried again and again.
      for (size_t done = 0; done < count;) {
        const size_t taken = device_->Write(scratch_.data() + done, count - done);
        if (taken == 0) break;
        done += taken;
      }
      left_ += count;
      wrote = true;
      if (!device_->signals_blocks()) break;  // one look at the device's room is enough
    }
    device_queued_ms_ = device_->QueuedMs();
    next_refill_ = now + milliseconds(std::min(kRefillMs, device_queued_ms_.load() / 2));
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
