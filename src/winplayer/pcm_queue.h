#pragma once
// Decoded sound waiting for the sound device: 16-bit interleaved samples of one format, taken
// from the front as the device wants them.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "winplayer/audio_decoder.h"

namespace lumio::win {

class PcmQueue {
 public:
  const PcmFormat& format() const { return format_; }
  // Sound of another format cannot follow what is queued: the rest of the old is dropped.
  void SetFormat(const PcmFormat& format);
  void Append(const std::vector<int16_t>& samples);
  // The samples at the front (at most `count`), valid until the next change.
  const int16_t* Front(size_t count, size_t* available) const;
  void Drop(size_t count);
  void Clear();

  size_t samples() const { return samples_.size() - read_; }
  bool empty() const { return samples() == 0; }
  // Milliseconds of sound queued.
  int64_t Milliseconds() const;

 private:
  PcmFormat format_;
  std::vector<int16_t> samples_;
  size_t read_ = 0;  // samples before this one are played
};

}  // namespace lumio::win
