#include "stream/icy_demuxer.h"

#include <algorithm>

#include "stream/stream_limits.h"
#include "stream/text_scan.h"

namespace lumio::stream {

size_t IcyMetaintOfHeader(std::string_view value) {
  value = Trim(value);
  if (value.empty() || value.size() > 20) return 0;
  uint64_t number = 0;
  for (const char c : value) {
    if (c < '0' || c > '9') return 0;
    number = number * 10 + static_cast<uint64_t>(c - '0');
    // Checked as it grows, so that no value can wrap round into the range.
    if (number > limits::kMaxIcyMetaint) return 0;
  }
  return number >= limits::kMinIcyMetaint ? static_cast<size_t>(number) : 0;
}

void IcyDemuxer::Feed(std::string_view bytes, std::string& audio,
                      std::vector<std::string>& blocks) {
  if (metaint_ == 0) {
    audio.append(bytes);
    return;
  }
  while (!bytes.empty()) {
    switch (state_) {
      case State::kAudio: {
        const size_t take = std::min(audio_left_, bytes.size());
        audio.append(bytes.substr(0, take));
        bytes.remove_prefix(take);
        audio_left_ -= take;
        if (audio_left_ == 0) state_ = State::kLength;
        break;
      }
      case State::kLength:
        metadata_left_ = static_cast<size_t>(static_cast<unsigned char>(bytes[0])) * 16;
        bytes.remove_prefix(1);
        audio_left_ = metaint_;
        state_ = metadata_left_ > 0 ? State::kMetadata : State::kAudio;
        break;
      case State::kMetadata: {
        const size_t take = std::min(metadata_left_, bytes.size());
        block_.append(bytes.substr(0, take));
        bytes.remove_prefix(take);
        metadata_left_ -= take;
        if (metadata_left_ == 0) {
          blocks.push_back(std::move(block_));
          block_.clear();
          state_ = State::kAudio;
        }
        break;
      }
    }
  }
}

}  // namespace lumio::stream
