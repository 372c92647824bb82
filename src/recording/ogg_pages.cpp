#include "recording/ogg_pages.h"

#include <array>

namespace lumio {
namespace {

constexpr size_t kHeaderBytes = 27;
constexpr std::string_view kCapture = "OggS";

uint8_t Byte(std::string_view bytes, size_t at) {
  return static_cast<uint8_t>(bytes[at]);
}

uint32_t Le32(std::string_view bytes, size_t at) {
  return uint32_t{Byte(bytes, at)} | uint32_t{Byte(bytes, at + 1)} << 8 |
         uint32_t{Byte(bytes, at + 2)} << 16 | uint32_t{Byte(bytes, at + 3)} << 24;
}

// The Ogg CRC: polynomial 0x04C11DB7, not reflected, starting from 0.
const std::array<uint32_t, 256>& CrcTable() {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t r = i << 24;
      for (int bit = 0; bit < 8; ++bit)
        r = (r & 0x80000000u) != 0 ? (r << 1) ^ 0x04C11DB7u : r << 1;
      t[i] = r;
    }
    return t;
  }();
  return table;
}

uint32_t PageCrc(std::string_view page) {
  const auto& table = CrcTable();
  uint32_t crc = 0;
  for (size_t i = 0; i < page.size(); ++i) {
    // The CRC field itself counts as zeros.
    const uint8_t b = i >= 22 && i < 26 ? 0 : Byte(page, i);
    crc = (crc << 8) ^ table[((crc >> 24) ^ b) & 0xFF];
  }
  return crc;
}

}  // namespace

OggPageCheck CheckOggPage(std::string_view bytes, size_t& length) {
  const size_t compared = bytes.size() < kCapture.size() ? bytes.size() : kCapture.size();
  if (bytes.substr(0, compared) != kCapture.substr(0, compared)) return OggPageCheck::kNotAPage;
  if (bytes.size() < kHeaderBytes) return OggPageCheck::kNeedMore;
  if (Byte(bytes, 4) != 0) return OggPageCheck::kNotAPage;  // version
  if ((Byte(bytes, 5) & ~0x07) != 0) return OggPageCheck::kNotAPage;
  const size_t segments = Byte(bytes, 26);
  if (bytes.size() < kHeaderBytes + segments) return OggPageCheck::kNeedMore;
  size_t body = 0;
  for (size_t i = 0; i < segments; ++i)
    body += Byte(bytes, kHeaderBytes + i);
  length = kHeaderBytes + segments + body;
  if (bytes.size() < length) return OggPageCheck::kNeedMore;
  return PageCrc(bytes.substr(0, length)) == Le32(bytes, 22) ? OggPageCheck::kPage
                                                             : OggPageCheck::kNotAPage;
}

std::string_view OggPage::FirstPacket() const {
  const std::string_view page(bytes);
  if (page.size() < kHeaderBytes || (Byte(page, 5) & 0x01) != 0) return {};
  const size_t segments = Byte(page, 26);
  size_t length = 0;
  for (size_t i = 0; i < segments; ++i) {
    const size_t lace = Byte(page, kHeaderBytes + i);
    length += lace;
    if (lace < 255) break;
  }
  return page.substr(kHeaderBytes + segments, length);
}

uint32_t OggCodecRate(std::string_view packet) {
  const auto starts = [&](std::string_view magic) {
    return packet.substr(0, magic.size()) == magic;
  };
  if (starts(std::string_view("\x01vorbis", 7)) && packet.size() >= 16) return Le32(packet, 12);
  if (starts("OpusHead")) return 48000;  // Opus counts its granules at 48 kHz whatever it sent
  if (starts("\x7F"
             "FLAC") &&
      packet.size() >= 30) {
    return uint32_t{Byte(packet, 27)} << 12 | uint32_t{Byte(packet, 28)} << 4 |
           uint32_t{Byte(packet, 29)} >> 4;
  }
  if (starts("Speex   ") && packet.size() >= 40) return Le32(packet, 36);
  return 0;
}

void OggPageReader::Feed(std::string_view bytes, std::vector<OggPage>& pages) {
  m_buffer.append(bytes);
  for (;;) {
    const std::string_view rest = std::string_view(m_buffer).substr(m_pos);
    const size_t found = rest.find('O');
    if (found == std::string_view::npos) {
      m_dropped += rest.size();
      m_pos = m_buffer.size();
      break;
    }
    m_dropped += found;
    m_pos += found;
    const std::string_view candidate = rest.substr(found);
    size_t length = 0;
    const OggPageCheck check = CheckOggPage(candidate, length);
    if (check == OggPageCheck::kNeedMore) break;
    if (check == OggPageCheck::kNotAPage) {
      m_dropped += 1;
      m_pos += 1;
      continue;
    }
    OggPage page;
    page.bytes.assign(candidate.substr(0, length));
    page.beginsStream = (Byte(candidate, 5) & 0x02) != 0;
    uint64_t granule = 0;
    for (int i = 7; i >= 0; --i)
      granule = granule << 8 | Byte(candidate, 6 + static_cast<size_t>(i));
    page.granule = static_cast<int64_t>(granule);
    page.serial = Le32(candidate, 14);
    pages.push_back(std::move(page));
    m_pos += length;
  }
  // Keep only what is still to be read.
  if (m_pos > 0) {
    m_buffer.erase(0, m_pos);
    m_pos = 0;
  }
}

}  // namespace lumio
