#include "stream/icy_demuxer.h"

#include <algorithm>

namespace lumio::stream {

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
