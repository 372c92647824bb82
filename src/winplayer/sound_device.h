#pragma once
// A sound device the refill thread (SoundOutput) writes to: the system's shared audio stream
// (WasapiOutput) or waveOut (WaveOutput) where that cannot be opened. Not thread-safe: one
// user at a time.

#include <cstddef>
#include <cstdint>
#include <string>

#include "winplayer/pcm_queue.h"

namespace lumio::win {

class SoundDevice {
 public:
  virtual ~SoundDevice() = default;

  // Opens the system's default device for 16-bit PCM of `format`, closing what was open
  // before; false, with `error` (ASCII) set, when the device refuses.
  virtual bool Open(const PcmFormat& format, std::string* error) = 0;
  virtual void Close() = 0;
  virtual bool is_open() const = 0;

  // Milliseconds of sound written and not yet played.
  virtual int64_t QueuedMs() = 0;
  // Samples (whole frames) one Write takes now; 0 when the device is full.
  virtual size_t Room() = 0;
  // Queues the first samples of `samples` (at most `count`, whole frames); the number taken.
  virtual size_t Write(const int16_t* samples, size_t count) = 0;
  // The gain of what is heard from now on: by the device where it can, else on the samples
  // as they are written.
  virtual void SetGain(double gain) = 0;
  // Drops everything queued: silence at once.
  virtual void Flush() = 0;
  // The device stopped working (unplugged, the default device changed): it must be opened
  // again, and until then takes nothing.
  virtual bool lost() const = 0;
  // True when the device signals the event it was made with each time it finishes a block,
  // and wants a refill at every signal; false when it is refilled on a schedule.
  virtual bool signals_blocks() const = 0;
};

}  // namespace lumio::win
