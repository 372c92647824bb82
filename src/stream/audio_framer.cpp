#include "stream/audio_framer.h"

#include <algorithm>

#include "stream/id3v2.h"

namespace lumio::stream {

void AudioFramer::Drop(size_t count) {
  pos_ += count;
  dropped_ += count;
}

void AudioFramer::Emit(const AudioFrameHeader& header, std::vector<AudioFrame>& frames) {
  frames.push_back({header, buffer_.substr(pos_, header.frame_length)});
  pos_ += header.frame_length;
  locked_ = header;
}

int AudioFramer::SkipTag(size_t at) {
  const std::string_view rest = std::string_view(buffer_).substr(at);
  const size_t prefix = std::min<size_t>(3, rest.size());
  if (rest.substr(0, prefix) != std::string_view("ID3").substr(0, prefix)) return 0;
  if (rest.size() < kId3HeaderSize) return -1;
  const std::optional<size_t> size = Id3v2TagSize(rest);
  if (!size) return 0;
  // Skipping a tag can drop megabytes, so "ID3" in the audio must look like a tag for sure:
  // its first frame id is capitals and digits, or padding (unless an extended header is first).
  const bool extended = static_cast<unsigned char>(rest[5]) & 0x40;
  const size_t id_size = rest[3] == 2 ? 3 : 4;
  if (!extended && *size >= kId3HeaderSize + id_size) {
    if (rest.size() < kId3HeaderSize + id_size) return -1;
    const std::string_view id = rest.substr(kId3HeaderSize, id_size);
    const bool padding = id.find_first_not_of('\0') == std::string_view::npos;
    const bool named =
        id.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789") == std::string_view::npos;
    if (!padding && !named) return 0;
  }
  Drop(at - pos_);
  skip_ = *size;
  return 1;
}

bool AudioFramer::Search() {
  const std::string_view all(buffer_);
  for (size_t i = pos_; i < all.size(); ++i) {
    const int tag = SkipTag(i);
    if (tag < 0) {
      Drop(i - pos_);  // what may be a tag's start waits for its header
      return false;
    }
    if (tag > 0) return true;
    if (static_cast<unsigned char>(all[i]) != 0xFF) continue;
    if (all.size() - i < kMaxAudioHeaderSize) break;
    const std::optional<AudioFrameHeader> header = ParseAudioFrameHeader(all.substr(i));
    if (!header) continue;
    const size_t next = i + header->frame_length;
    if (next + kMaxAudioHeaderSize > all.size()) {
      Drop(i - pos_);
      return false;  // wait for the header that must follow
    }
    const std::optional<AudioFrameHeader> after = ParseAudioFrameHeader(all.substr(next));
    if (after && header->SameStream(*after)) {
      Drop(i - pos_);
      locked_ = header;
      return true;
    }
  }
  // Nothing here; keep only a tail that may start a header or a tag.
  const size_t keep = std::min(all.size() - pos_, kId3HeaderSize - 1);
  Drop(all.size() - pos_ - keep);
  return false;
}

void AudioFramer::Feed(std::string_view bytes, std::vector<AudioFrame>& frames) {
  buffer_.erase(0, pos_);
  pos_ = 0;
  buffer_.append(bytes);
  for (;;) {
    const size_t available = buffer_.size() - pos_;
    if (skip_ > 0) {
      const size_t take = std::min(skip_, available);
      Drop(take);
      tag_bytes_ += take;
      skip_ -= take;
      if (skip_ > 0) return;
      continue;
    }
    if (locked_) {
      const int tag = SkipTag(pos_);
      if (tag < 0) return;
      if (tag > 0) continue;
      const size_t needed = locked_->codec == AudioCodec::kAdtsAac ? 7 : 4;
      if (available < needed) return;
      const std::optional<AudioFrameHeader> header =
          ParseAudioFrameHeader(std::string_view(buffer_).substr(pos_));
      if (header && header->SameStream(*locked_)) {
        if (available < header->frame_length) return;
        Emit(*header, frames);
        continue;
      }
      locked_.reset();
    }
    if (!Search()) return;
    if (skip_ > 0) continue;
    const std::optional<AudioFrameHeader> header =
        ParseAudioFrameHeader(std::string_view(buffer_).substr(pos_));
    Emit(*header, frames);
  }
}

}  // namespace lumio::stream
