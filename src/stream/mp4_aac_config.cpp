#include "stream/mp4_aac_config.h"

#include <cstdint>

#include "stream/mp4_boxes.h"

namespace lumio::stream {
namespace {

constexpr int kSampleRates[13] = {96000, 88200, 64000, 48000, 44100, 32000, 24000,
                                  22050, 16000, 12000, 11025, 8000,  7350};
constexpr int kSbrObjectType = 5;
constexpr int kPsObjectType = 29;

// Bits most significant first; reading past the end yields zeros and clears ok.
class BitReader {
 public:
  explicit BitReader(std::string_view bytes) : bytes_(bytes) {}

  uint32_t Read(int count) {
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) {
      if (pos_ >= bytes_.size() * 8) {
        ok_ = false;
        return 0;
      }
      const auto byte = static_cast<unsigned char>(bytes_[pos_ / 8]);
      value = (value << 1) | ((byte >> (7 - pos_ % 8)) & 1u);
      ++pos_;
    }
    return value;
  }
  size_t left() const { return bytes_.size() * 8 - pos_; }
  bool ok() const { return ok_; }

 private:
  std::string_view bytes_;
  size_t pos_ = 0;
  bool ok_ = true;
};

int ReadObjectType(BitReader& bits) {
  const int type = static_cast<int>(bits.Read(5));
  return type == 31 ? 32 + static_cast<int>(bits.Read(6)) : type;
}

// A rate index, or 15 followed by the rate itself; -1 for the reserved indexes 13 and 14.
int ReadSampleRate(BitReader& bits) {
  const uint32_t index = bits.Read(4);
  if (index == 15) return static_cast<int>(bits.Read(24));
  return index < 13 ? kSampleRates[index] : -1;
}

// The ADTS index of a rate, or -1: ADTS has no field for any other rate.
int RateIndex(int rate) {
  for (int i = 0; i < 13; ++i)
    if (kSampleRates[i] == rate) return i;
  return -1;
}

// What an ADTS header can carry of a core's object type, rate and channel configuration.
bool CheckCarriable(AacConfig& config, std::string& why) {
  if (config.object_type < 1 || config.object_type > 4) {
    why = "the audio is not AAC that the player decodes (audio object type " +
          std::to_string(config.object_type) + ")";
    return false;
  }
  config.sample_rate_index = RateIndex(config.sample_rate);
  if (config.sample_rate_index < 0) {
    why = "the AAC sample rate " + std::to_string(config.sample_rate) + " Hz is not supported";
    return false;
  }
  if (config.channel_configuration < 1 || config.channel_configuration > 7) {
    why = "the AAC channel layout (configuration " + std::to_string(config.channel_configuration) +
          ") is not supported";
    return false;
  }
  return true;
}

// The length of an MPEG-4 descriptor: up to four bytes of seven bits each.
size_t DescriptorLength(Mp4Reader& in) {
  size_t length = 0;
  for (int i = 0; i < 4; ++i) {
    const uint8_t byte = in.U8();
    length = (length << 7) | (byte & 0x7F);
    if (!(byte & 0x80)) break;
  }
  return length;
}

// The body of the first descriptor with `tag` among those `bytes` holds in a row. A length
// running past the end is cut to what is there: the reader of the body finds out.
std::optional<std::string_view> FindDescriptor(std::string_view bytes, uint8_t tag) {
  while (!bytes.empty()) {
    Mp4Reader in(bytes);
    const uint8_t found = in.U8();
    size_t length = DescriptorLength(in);
    if (!in.ok()) return std::nullopt;
    const size_t header = bytes.size() - in.left();
    if (length > in.left()) length = in.left();
    if (found == tag) return bytes.substr(header, length);
    bytes.remove_prefix(header + length);
  }
  return std::nullopt;
}

}  // namespace

std::optional<AacConfig> ReadAudioSpecificConfig(std::string_view bytes, std::string& why) {
  BitReader bits(bytes);
  AacConfig config;
  config.object_type = ReadObjectType(bits);
  config.sample_rate = ReadSampleRate(bits);
  config.channel_configuration = static_cast<int>(bits.Read(4));
  config.output_sample_rate = config.sample_rate;
  if (config.object_type == kSbrObjectType || config.object_type == kPsObjectType) {
    config.sbr = true;
    config.ps = config.object_type == kPsObjectType;
    config.output_sample_rate = ReadSampleRate(bits);
    config.object_type = ReadObjectType(bits);
  }
  if (!bits.ok() || config.sample_rate <= 0 || config.output_sample_rate <= 0) {
    why = "the AAC configuration is unreadable";
    return std::nullopt;
  }
  if (!CheckCarriable(config, why)) return std::nullopt;
  // GASpecificConfig. Its channel configuration is not 0 (checked), so no element list follows.
  const bool frame_960 = bits.Read(1);
  if (bits.Read(1)) bits.Read(14);  // core coder delay
  const bool extension = bits.Read(1);
  if (!bits.ok()) {
    why = "the AAC configuration is unreadable";
    return std::nullopt;
  }
  if (frame_960) {
    why = "AAC with 960 samples a frame is not supported";
    return std::nullopt;
  }
  if (extension) bits.Read(1);  // AAC Main to LTP have only the third extension flag
  if (config.sbr || bits.left() < 16) return config;
  // Backward-compatible signalling: a plain AAC config that old decoders read, with SBR (and
  // PS) announced after it.
  if (bits.Read(11) != 0x2B7 || ReadObjectType(bits) != kSbrObjectType) return config;
  if (!bits.Read(1)) return config;
  const int rate = ReadSampleRate(bits);
  if (!bits.ok() || rate <= 0) return config;
  config.sbr = true;
  config.output_sample_rate = rate;
  if (bits.left() >= 12 && bits.Read(11) == 0x548) config.ps = bits.Read(1) != 0;
  return config;
}

std::optional<AacConfig> ReadEsdsAacConfig(std::string_view esds, int entry_channels,
                                           int entry_sample_rate, std::string& why) {
  why = "the audio track has no readable AAC description";
  Mp4Reader in(esds);
  in.Skip(4);  // version and flags
  const std::optional<std::string_view> es = FindDescriptor(in.Rest(), 0x03);
  if (!es) return std::nullopt;
  Mp4Reader es_in(*es);
  es_in.Skip(2);  // ES_ID
  const uint8_t flags = es_in.U8();
  if (flags & 0x80) es_in.Skip(2);           // the stream it depends on
  if (flags & 0x40) es_in.Skip(es_in.U8());  // a URL
  if (flags & 0x20) es_in.Skip(2);           // the clock reference stream
  if (!es_in.ok()) return std::nullopt;
  const std::optional<std::string_view> decoder = FindDescriptor(es_in.Rest(), 0x04);
  if (!decoder || decoder->size() < 13) return std::nullopt;
  const auto object_type_indication = static_cast<uint8_t>((*decoder)[0]);
  const std::optional<std::string_view> specific = FindDescriptor(decoder->substr(13), 0x05);

  if (object_type_indication == 0x40) {
    if (!specific) return std::nullopt;
    return ReadAudioSpecificConfig(*specific, why);
  }
  if (object_type_indication >= 0x66 && object_type_indication <= 0x68) {
    // MPEG-2 AAC Main, LC or SSR. Its specific info, when written, is an AudioSpecificConfig;
    // without it the sample entry tells the rest.
    if (specific) return ReadAudioSpecificConfig(*specific, why);
    AacConfig config;
    config.object_type = object_type_indication - 0x65;
    config.sample_rate = entry_sample_rate;
    config.output_sample_rate = entry_sample_rate;
    config.channel_configuration = entry_channels == 8 ? 7 : entry_channels;
    if (!CheckCarriable(config, why)) return std::nullopt;
    return config;
  }
  if (object_type_indication == 0x69 || object_type_indication == 0x6B) {
    why = "MPEG audio in fragmented MP4 is not supported";
    return std::nullopt;
  }
  why = "the audio is not AAC (object type indication " + std::to_string(object_type_indication) +
        ")";
  return std::nullopt;
}

std::string MakeAdtsHeader(const AacConfig& config, size_t payload_size) {
  const size_t length = kAdtsHeaderBytes + payload_size;
  const int profile = config.object_type - 1;
  const int channels = config.channel_configuration;
  std::string header(kAdtsHeaderBytes, '\0');
  header[0] = static_cast<char>(0xFF);
  header[1] = static_cast<char>(0xF1);  // MPEG-4, no CRC
  header[2] = static_cast<char>(((profile & 3) << 6) | ((config.sample_rate_index & 0x0F) << 2) |
                                ((channels >> 2) & 1));
  header[3] = static_cast<char>(((channels & 3) << 6) | ((length >> 11) & 3));
  header[4] = static_cast<char>((length >> 3) & 0xFF);
  header[5] = static_cast<char>(((length & 7) << 5) | 0x1F);  // buffer fullness 0x7FF: VBR
  header[6] = static_cast<char>(0xFC);                        // one raw data block
  return header;
}

}  // namespace lumio::stream
