#pragma once
// The headers of the compressed audio frames internet radio sends: MPEG audio (MPEG-1, -2 and
// 2.5; Layers I, II and III) and AAC in ADTS.

#include <cstddef>
#include <optional>
#include <string_view>

namespace lumio::stream {

enum class AudioCodec { kMpegAudio, kAdtsAac };

struct AudioFrameHeader {
  AudioCodec codec = AudioCodec::kMpegAudio;
  int version = 0;  // MPEG audio: 1, 2 or 25 (for 2.5); ADTS: 2 or 4 (its MPEG-2/-4 bit)
  int layer = 0;    // MPEG audio: 1 to 3; ADTS: 0
  int profile = 0;  // ADTS: the audio object type less one (1 = AAC LC); MPEG audio: 0
  int sample_rate = 0;
  int channels = 0;  // ADTS channel configuration 0 (layout given in-band) reads 0
  int samples_per_frame = 0;
  int bitrate = 0;          // bits per second: the header's (MPEG audio) or this frame's (ADTS)
  size_t frame_length = 0;  // bytes, the header included

  // True when `other` can be the next frame of the same stream: same codec, version, layer,
  // profile, sample rate and channel count (the bitrate and length may vary).
  bool SameStream(const AudioFrameHeader& other) const;
  bool operator==(const AudioFrameHeader&) const = default;
};

// Bytes that are always enough to read a header of either kind.
inline constexpr size_t kMaxAudioHeaderSize = 7;

// The MPEG audio frame header `bytes` starts with (4 bytes needed); nullopt for reserved or
// invalid fields and for free-format frames, whose length the header does not tell.
std::optional<AudioFrameHeader> ParseMpegAudioHeader(std::string_view bytes);

// The ADTS header `bytes` starts with (7 bytes needed); nullopt for an invalid one.
std::optional<AudioFrameHeader> ParseAdtsHeader(std::string_view bytes);

// Either kind of header (their sync patterns never overlap).
std::optional<AudioFrameHeader> ParseAudioFrameHeader(std::string_view bytes);

}  // namespace lumio::stream
