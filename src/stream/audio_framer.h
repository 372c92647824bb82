#pragma once
// Cuts a compressed audio stream (MPEG audio or ADTS AAC, cut into chunks anywhere) into whole
// frames for a decoder, finding the frames again after garbage or a gap.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "stream/audio_frame_header.h"

namespace lumio::stream {

struct AudioFrame {
  AudioFrameHeader header;
  std::string bytes;  // the whole frame, header included
};

class AudioFramer {
 public:
  // Appends to `frames` every whole frame the stream holds once `bytes` is added. A first
  // frame is trusted only when the header right after it agrees (same stream, see
  // AudioFrameHeader::SameStream), so random bytes rarely pass for audio; once in step, each
  // frame is given out as soon as it is complete, until a header does not follow where the
  // last frame ended. ID3v2 tags between frames (at the start, or where HLS segments join)
  // are skipped. Bytes that are no frame are dropped and counted.
  void Feed(std::string_view bytes, std::vector<AudioFrame>& frames);

  // The header of the last frame given out while in step; nullopt when out of step.
  const std::optional<AudioFrameHeader>& in_step() const { return locked_; }

  // Bytes dropped so far: garbage and ID3 tags.
  uint64_t dropped_bytes() const { return dropped_; }
  // Of them, the bytes that were no ID3 tag either: a tag with cover art may be far longer than
  // any run of noise a real stream starts with.
  uint64_t garbage_bytes() const { return dropped_ - tag_bytes_; }

 private:
  // Looks for the next trustworthy frame from pos_ on; false when more bytes are needed.
  bool Search();
  // Handles an ID3 tag at `at`: 1 skipped (or being skipped), 0 none there, -1 more needed.
  int SkipTag(size_t at);
  void Drop(size_t count);
  void Emit(const AudioFrameHeader& header, std::vector<AudioFrame>& frames);

  std::string buffer_;
  size_t pos_ = 0;   // start of the bytes not yet used in buffer_
  size_t skip_ = 0;  // bytes of an ID3 tag still to drop
  std::optional<AudioFrameHeader> locked_;
  uint64_t dropped_ = 0;
  uint64_t tag_bytes_ = 0;
};

}  // namespace lumio::stream
