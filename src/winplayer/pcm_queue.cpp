#include "winplayer/pcm_queue.h"

#include <algorithm>

namespace lumio::win {

void PcmQueue::SetFormat(const PcmFormat& format) {
  if (format == format_) return;
  Clear();
  format_ = format;
}

bool PcmQueue::Append(const std::vector<int16_t>& more) {
  // Played samples are given back once they are the larger part, so appending stays cheap.
  if (read_ > 0 && read_ >= samples_.size() / 2) {
    samples_.erase(samples_.begin(), samples_.begin() + static_cast<std::ptrdiff_t>(read_));
    read_ = 0;
  }
  const size_t cap = CapSamples();
  const size_t kept = std::min(cap > samples() ? cap - samples() : 0, more.size());
  samples_.insert(samples_.end(), more.begin(), more.begin() + static_cast<std::ptrdiff_t>(kept));
  appended_ += kept;
  return kept == more.size();
}

const int16_t* PcmQueue::Front(size_t count, size_t* available) const {
  *available = std::min(count, samples());
  return samples_.data() + read_;
}

void PcmQueue::Drop(size_t count) {
  read_ += std::min(count, samples());
  if (read_ == samples_.size()) Clear();
}

void PcmQueue::Clear() {
  samples_.clear();
  read_ = 0;
}

size_t PcmQueue::CapSamples() const {
  // Before a format is known, as for 48 kHz stereo.
  const int64_t per_second = int64_t{format_.sample_rate} * format_.channels;
  return static_cast<size_t>((per_second > 0 ? per_second : 48000 * 2) * kHardCapMs / 1000);
}

int64_t PcmQueue::Milliseconds() const {
  const int64_t per_second = int64_t{format_.sample_rate} * format_.channels;
  return per_second > 0 ? static_cast<int64_t>(samples()) * 1000 / per_second : 0;
}

}  // namespace lumio::win
