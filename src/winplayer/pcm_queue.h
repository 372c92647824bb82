#pragma once
// Decoded sound waiting for the sound device: 16-bit interleaved samples of one format, taken
// from the front as the device wants them.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "stream/stream_limits.h"

namespace lumio::win {

struct PcmFormat {
  int sample_rate = 0;
  int channels = 0;
  bool operator==(const PcmFormat&) const = default;
};

class PcmQueue {
 public:
  // The most sound it holds, beyond the bound of sound decoded ahead that its filler keeps to:
  // whatever a decoder gives, the queue cannot grow a process without end.
  static constexpr int64_t kHardCapMs = stream::limits::kMaxDecodedAheadMs + 5000;

  const PcmFormat& format() const { return format_; }
  // Sound of another format cannot follow what is queued: the rest of the old is dropped.
  void SetFormat(const PcmFormat& format);
  // Queues `more`; what would pass the hard cap is dropped. False when something was.
  bool Append(const std::vector<int16_t>& more);
  // The samples at the front (at most `count`), valid until the next change.
  const int16_t* Front(size_t count, size_t* available) const;
  void Drop(size_t count);
  void Clear();

  size_t samples() const { return samples_.size() - read_; }
  // Samples queued since the queue was made, and of them the ones taken or cleared: a sample
  // queued after a count of appended() has been taken once passed() is larger.
  uint64_t appended() const { return appended_; }
  uint64_t passed() const { return appended_ - samples(); }
  bool empty() const { return samples() == 0; }
  // Milliseconds of sound queued.
  int64_t Milliseconds() const;

 private:
  size_t CapSamples() const;

  PcmFormat format_;
  std::vector<int16_t> samples_;
  size_t read_ = 0;  // samples before this one are played
  uint64_t appended_ = 0;
};

}  // namespace lumio::win
