#include "stream/audio_frame_header.h"

#include <cstdint>

namespace lumio::stream {
namespace {

uint8_t Byte(std::string_view bytes, size_t i) {
  return static_cast<uint8_t>(bytes[i]);
}

// Kilobits per second by bitrate index; 0 is free format, index 15 is invalid.
constexpr int kBitrates[5][15] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},  // MPEG-1 Layer I
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},     // MPEG-1 Layer II
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},      // MPEG-1 Layer III
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},     // MPEG-2 Layer I
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},          // MPEG-2 II, III
};

constexpr int kMpegSampleRates[3] = {44100, 48000, 32000};  // MPEG-1; halved for 2, quartered 2.5

constexpr int kAdtsSampleRates[13] = {96000, 88200, 64000, 48000, 44100, 32000, 24000,
                                      22050, 16000, 12000, 11025, 8000,  7350};

}  // namespace

bool AudioFrameHeader::SameStream(const AudioFrameHeader& other) const {
  return codec == other.codec && version == other.version && layer == other.layer &&
         profile == other.profile && sample_rate == other.sample_rate && channels == other.channels;
}

std::optional<AudioFrameHeader> ParseMpegAudioHeader(std::string_view bytes) {
  if (bytes.size() < 4 || Byte(bytes, 0) != 0xFF || (Byte(bytes, 1) & 0xE0) != 0xE0)
    return std::nullopt;
  const int version_bits = (Byte(bytes, 1) >> 3) & 3;
  const int layer_bits = (Byte(bytes, 1) >> 1) & 3;
  const int bitrate_index = Byte(bytes, 2) >> 4;
  const int rate_index = (Byte(bytes, 2) >> 2) & 3;
  if (version_bits == 1 || layer_bits == 0 || bitrate_index == 0 || bitrate_index == 15 ||
      rate_index == 3)
    return std::nullopt;
  AudioFrameHeader h;
  h.codec = AudioCodec::kMpegAudio;
  h.version = version_bits == 3 ? 1 : version_bits == 2 ? 2 : 25;
  h.layer = 4 - layer_bits;
  const int table = h.version == 1 ? h.layer - 1 : h.layer == 1 ? 3 : 4;
  h.bitrate = kBitrates[table][bitrate_index] * 1000;
  h.sample_rate = kMpegSampleRates[rate_index] / (h.version == 1 ? 1 : h.version == 2 ? 2 : 4);
  h.channels = (Byte(bytes, 3) >> 6) == 3 ? 1 : 2;
  const int padding = (Byte(bytes, 2) >> 1) & 1;
  if (h.layer == 1) {
    h.samples_per_frame = 384;
    h.frame_length = static_cast<size_t>((12 * h.bitrate / h.sample_rate + padding) * 4);
  } else {
    h.samples_per_frame = h.layer == 3 && h.version != 1 ? 576 : 1152;
    // Bytes per frame: samples / 8 bits per byte × bitrate / sample rate.
    h.frame_length =
        static_cast<size_t>(h.samples_per_frame / 8 * h.bitrate / h.sample_rate + padding);
  }
  return h;
}

std::optional<AudioFrameHeader> ParseAdtsHeader(std::string_view bytes) {
  if (bytes.size() < 7 || Byte(bytes, 0) != 0xFF || (Byte(bytes, 1) & 0xF6) != 0xF0)
    return std::nullopt;
  const int rate_index = (Byte(bytes, 2) >> 2) & 0x0F;
  if (rate_index >= 13) return std::nullopt;
  const bool crc = (Byte(bytes, 1) & 1) == 0;
  const size_t length = (static_cast<size_t>(Byte(bytes, 3) & 3) << 11) |
                        (static_cast<size_t>(Byte(bytes, 4)) << 3) | (Byte(bytes, 5) >> 5);
  if (length < (crc ? 9u : 7u)) return std::nullopt;
  AudioFrameHeader h;
  h.codec = AudioCodec::kAdtsAac;
  h.version = (Byte(bytes, 1) & 0x08) ? 2 : 4;
  h.profile = Byte(bytes, 2) >> 6;
  h.sample_rate = kAdtsSampleRates[rate_index];
  const int configuration = ((Byte(bytes, 2) & 1) << 2) | (Byte(bytes, 3) >> 6);
  h.channels = configuration == 7 ? 8 : configuration;
  h.samples_per_frame = 1024 * ((Byte(bytes, 6) & 3) + 1);
  h.frame_length = length;
  h.bitrate =
      static_cast<int>(static_cast<long long>(length) * 8 * h.sample_rate / h.samples_per_frame);
  return h;
}

std::optional<AudioFrameHeader> ParseAudioFrameHeader(std::string_view bytes) {
  if (std::optional<AudioFrameHeader> adts = ParseAdtsHeader(bytes)) return adts;
  return ParseMpegAudioHeader(bytes);
}

}  // namespace lumio::stream
