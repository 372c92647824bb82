#pragma once
// Small builders of the byte streams the stream tests feed: audio frames, transport stream
// packets and tables. Written from the formats' descriptions, apart from the code under test.

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lumio::stream::test {

inline std::string Bytes(std::initializer_list<int> bytes) {
  std::string out;
  for (int b : bytes)
    out += static_cast<char>(b);
  return out;
}

// A frame of `length` bytes: `header` followed by filler that never holds 0xFF (no sync).
inline std::string Frame(std::string_view header, size_t length, uint8_t seed = 0) {
  std::string out(header);
  for (size_t i = out.size(); i < length; ++i)
    out += static_cast<char>((i * 7 + seed) % 0xF0);
  return out;
}

// MPEG-1 Layer III, 128 kbit/s, 44.1 kHz, stereo: 417 bytes, 418 with padding.
inline std::string Mp3Frame(bool padded = false, uint8_t seed = 0) {
  return Frame(Bytes({0xFF, 0xFB, padded ? 0x92 : 0x90, 0x00}), padded ? 418 : 417, seed);
}

// An ADTS header for AAC LC without CRC.
inline std::string AdtsHeader(int rate_index, int channels, size_t length) {
  return Bytes({0xFF, 0xF1, (1 << 6) | (rate_index << 2) | (channels >> 2),
                ((channels & 3) << 6) | static_cast<int>(length >> 11),
                static_cast<int>((length >> 3) & 0xFF),
                static_cast<int>(((length & 7) << 5) | 0x1F), 0xFC});
}

inline std::string AdtsFrame(size_t length, uint8_t seed = 0) {
  return Frame(AdtsHeader(4 /* 44.1 kHz */, 2, length), length, seed);
}

// An ID3v2.4 tag holding text frames (id, UTF-8 text), padded with `padding` zero bytes.
inline std::string Id3Tag(const std::vector<std::pair<std::string, std::string>>& frames,
                          size_t padding = 0) {
  std::string body;
  for (const auto& [id, text] : frames) {
    const size_t size = text.size() + 1;
    body +=
        id + Bytes({static_cast<int>(size >> 21) & 0x7F, static_cast<int>(size >> 14) & 0x7F,
                    static_cast<int>(size >> 7) & 0x7F, static_cast<int>(size) & 0x7F, 0, 0, 3});
    body += text;
  }
  body += std::string(padding, '\0');
  const size_t size = body.size();
  return "ID3" +
         Bytes({4, 0, 0, static_cast<int>(size >> 21) & 0x7F, static_cast<int>(size >> 14) & 0x7F,
                static_cast<int>(size >> 7) & 0x7F, static_cast<int>(size) & 0x7F}) +
         body;
}

// --- MPEG transport stream ---------------------------------------------------------------

inline uint32_t MpegCrc(std::string_view bytes) {
  uint32_t crc = 0xFFFFFFFF;
  for (unsigned char c : bytes) {
    for (int bit = 7; bit >= 0; --bit) {
      const bool top = ((crc >> 31) ^ ((c >> bit) & 1)) != 0;
      crc <<= 1;
      if (top) crc ^= 0x04C11DB7;
    }
  }
  return crc;
}

// A long-form table section: header, `body`, CRC.
inline std::string Section(int table_id, int id, std::string_view body) {
  const size_t length = 5 + body.size() + 4;
  std::string s = Bytes({table_id, 0xB0 | static_cast<int>(length >> 8),
                         static_cast<int>(length & 0xFF), id >> 8, id & 0xFF, 0xC1, 0, 0});
  s += body;
  const uint32_t crc = MpegCrc(s);
  return s + Bytes({static_cast<int>(crc >> 24), static_cast<int>((crc >> 16) & 0xFF),
                    static_cast<int>((crc >> 8) & 0xFF), static_cast<int>(crc & 0xFF)});
}

inline std::string Pat(int pmt_pid) {
  return Section(0x00, 1, Bytes({0, 1, 0xE0 | (pmt_pid >> 8), pmt_pid & 0xFF}));
}

// A PMT listing (stream_type, pid) pairs.
inline std::string Pmt(const std::vector<std::pair<int, int>>& streams) {
  std::string body = Bytes({0xE1, 0x00, 0xF0, 0x00});  // PCR PID 0x100, no program info
  for (const auto& [type, pid] : streams)
    body += Bytes({type, 0xE0 | (pid >> 8), pid & 0xFF, 0xF0, 0x00});
  return Section(0x02, 1, body);
}

inline constexpr size_t kPacketBytes = 188;

// One 188-byte packet; a payload short of 184 bytes (182 with `discontinuity`) is padded with
// adaptation-field stuffing, a longer one cut.
inline std::string TsPacket(int pid, bool unit_start, int counter, std::string_view payload,
                            bool discontinuity = false) {
  std::string p = Bytes({0x47, (unit_start ? 0x40 : 0) | (pid >> 8), pid & 0xFF, 0x10 | counter});
  if (payload.size() < 184 || discontinuity) {
    const size_t take = std::min(payload.size(), discontinuity ? size_t{182} : size_t{183});
    const size_t adaptation = 183 - take;
    p[3] = static_cast<char>(0x30 | counter);
    p += static_cast<char>(adaptation);
    if (adaptation > 0) p += static_cast<char>(discontinuity ? 0x80 : 0x00);
    if (adaptation > 1) p += std::string(adaptation - 1, '\xFF');
    return p + std::string(payload.substr(0, take));
  }
  return p + std::string(payload.substr(0, 184));
}

// A table in one packet, with its pointer field.
inline std::string TablePacket(int pid, int counter, std::string_view section) {
  return TsPacket(pid, true, counter, std::string(1, '\0') + std::string(section));
}

// A PES of `stream_id` with an optional PTS; `bounded` false leaves its length open.
inline std::string Pes(int stream_id, std::string_view payload,
                       std::optional<uint64_t> pts = std::nullopt, bool bounded = true) {
  std::string header;
  if (pts) {
    const uint64_t t = *pts;
    header = Bytes({0x21 | static_cast<int>((t >> 29) & 0x0E), static_cast<int>((t >> 22) & 0xFF),
                    static_cast<int>(((t >> 14) & 0xFE) | 1), static_cast<int>((t >> 7) & 0xFF),
                    static_cast<int>(((t << 1) & 0xFE) | 1)});
  }
  const std::string optional =
      Bytes({0x80, pts ? 0x80 : 0x00, static_cast<int>(header.size())}) + header;
  const size_t length = bounded ? optional.size() + payload.size() : 0;
  return Bytes(
             {0, 0, 1, stream_id, static_cast<int>(length >> 8), static_cast<int>(length & 0xFF)}) +
         optional + std::string(payload);
}

// The packets carrying `pes` on `pid`, counters continuing from `counter`.
inline std::vector<std::string> Packetize(int pid, std::string_view pes, int& counter) {
  std::vector<std::string> packets;
  for (size_t at = 0; at < pes.size(); at += 184) {
    packets.push_back(TsPacket(pid, at == 0, counter, pes.substr(at, 184)));
    counter = (counter + 1) & 0x0F;
  }
  return packets;
}

}  // namespace lumio::stream::test
