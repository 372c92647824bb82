#pragma once
// Shoutcast/Icecast in-band metadata: with "icy-metaint: N" the server sends N audio bytes,
// one length byte L, L × 16 bytes of metadata, N audio bytes again, and so on.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lumio::stream {

// The metadata interval an "icy-metaint" header's value announces; 0 (no in-band metadata)
// unless it is a decimal number within the limits (surrounding blanks allowed).
size_t IcyMetaintOfHeader(std::string_view value);

class IcyDemuxer {
 public:
  // `metaint` is the icy-metaint header's value; 0 means the stream carries no metadata.
  explicit IcyDemuxer(size_t metaint) : metaint_(metaint), audio_left_(metaint) {}

  // Splits the next `bytes` of the stream (cut anywhere) into audio, appended to `audio`, and
  // whole metadata blocks, appended to `blocks` as they complete. Empty blocks (length byte 0)
  // are not reported.
  void Feed(std::string_view bytes, std::string& audio, std::vector<std::string>& blocks);

 private:
  enum class State { kAudio, kLength, kMetadata };

  size_t metaint_;
  State state_ = State::kAudio;
  size_t audio_left_;  // audio bytes until the next length byte
  size_t metadata_left_ = 0;
  std::string block_;  // the metadata block being collected
};

}  // namespace lumio::stream
