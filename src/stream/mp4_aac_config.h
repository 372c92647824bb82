#pragma once
// AAC as an MP4 file describes it (the AudioSpecificConfig inside an esds box) and as ADTS
// frames carry it, so that access units taken out of MP4 reach a decoder that reads ADTS.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace lumio::stream {

// An AAC stream ADTS can carry. With SBR or PS (HE-AAC) the core is still AAC: an ADTS header
// names the core, and the decoder finds SBR and PS in the frames themselves.
struct AacConfig {
  int object_type = 2;            // the core's audio object type: 1 Main, 2 LC, 3 SSR, 4 LTP
  int sample_rate_index = 0;      // the core's rate, as an ADTS index (0 to 12)
  int sample_rate = 0;            // the core's rate in Hz
  int channel_configuration = 0;  // 1 to 7
  bool sbr = false;               // signalled in the configuration (HE-AAC); implicit reads false
  bool ps = false;                // signalled in the configuration (HE-AAC v2)
  int output_sample_rate = 0;     // with SBR signalled, the extension's rate; else the core's

  bool operator==(const AacConfig&) const = default;
};

// Reads an AudioSpecificConfig: the object types 5 (SBR) and 29 (PS) with the core's type
// after them, and the backward-compatible extension after an AAC core. nullopt, with the
// reason in `why`, when it is cut short or names what ADTS cannot carry (another codec, 960
// samples a frame, a rate outside the ADTS table, a channel layout given in the config).
std::optional<AacConfig> ReadAudioSpecificConfig(std::string_view bytes, std::string& why);

// The AAC configuration an esds box's payload describes (MPEG-4 audio, or MPEG-2 AAC whose
// rate and channels may come from the sample entry: `entry_channels`, `entry_sample_rate`).
// nullopt, with the reason in `why`, when it describes no AAC ADTS can carry.
std::optional<AacConfig> ReadEsdsAacConfig(std::string_view esds, int entry_channels,
                                           int entry_sample_rate, std::string& why);

inline constexpr size_t kAdtsHeaderBytes = 7;
// The most an ADTS frame holds after its header: its length field has 13 bits.
inline constexpr size_t kMaxAdtsPayloadBytes = 8191 - kAdtsHeaderBytes;

// The header (without CRC) of the ADTS frame of one access unit of `payload_size` bytes, at
// most kMaxAdtsPayloadBytes.
std::string MakeAdtsHeader(const AacConfig& config, size_t payload_size);

}  // namespace lumio::stream
