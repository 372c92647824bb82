#include "stream/ts_psi.h"

namespace lumio::stream {
namespace {

uint8_t SectionByte(std::string_view bytes, size_t i) {
  return static_cast<uint8_t>(bytes[i]);
}

// CRC-32/MPEG-2 (polynomial 0x04C11DB7, not reflected, initial value all ones): a section
// followed by its CRC gives 0.
uint32_t Crc32(std::string_view bytes) {
  uint32_t crc = 0xFFFFFFFF;
  for (char c : bytes) {
    crc ^= static_cast<uint32_t>(static_cast<uint8_t>(c)) << 24;
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc & 0x80000000) ? (crc << 1) ^ 0x04C11DB7 : crc << 1;
  }
  return crc;
}

size_t SectionLength(std::string_view section) {
  return 3 + ((static_cast<size_t>(SectionByte(section, 1) & 0x0F) << 8) | SectionByte(section, 2));
}

// The body of a long-form section of `table_id` (after its 8-byte header, before its CRC),
// checked; nullopt when it is not such a section or not current.
std::optional<std::string_view> Body(std::string_view section, uint8_t table_id) {
  if (section.size() < 12 || SectionByte(section, 0) != table_id) return std::nullopt;
  const size_t length = SectionLength(section);
  if (length < 12 || length > section.size()) return std::nullopt;
  section = section.substr(0, length);
  if ((SectionByte(section, 5) & 1) == 0 || Crc32(section) != 0) return std::nullopt;
  return section.substr(8, length - 12);
}

uint16_t Pid(std::string_view bytes, size_t at) {
  return static_cast<uint16_t>(((SectionByte(bytes, at) & 0x1F) << 8) | SectionByte(bytes, at + 1));
}

}  // namespace

std::optional<uint16_t> ParsePatSection(std::string_view section) {
  const std::optional<std::string_view> body = Body(section, 0x00);
  if (!body) return std::nullopt;
  for (size_t at = 0; at + 4 <= body->size(); at += 4) {
    const int program = (SectionByte(*body, at) << 8) | SectionByte(*body, at + 1);
    if (program != 0) return Pid(*body, at + 2);  // program 0 names the network table
  }
  return std::nullopt;
}

std::optional<std::vector<TsElementaryStream>> ParsePmtSection(std::string_view section) {
  const std::optional<std::string_view> body = Body(section, 0x02);
  if (!body || body->size() < 4) return std::nullopt;
  const size_t info =
      ((static_cast<size_t>(SectionByte(*body, 2)) & 0x0F) << 8) | SectionByte(*body, 3);
  std::vector<TsElementaryStream> streams;
  for (size_t at = 4 + info; at + 5 <= body->size();) {
    streams.push_back({SectionByte(*body, at), Pid(*body, at + 1)});
    at += 5 + (((static_cast<size_t>(SectionByte(*body, at + 3)) & 0x0F) << 8) |
               SectionByte(*body, at + 4));
  }
  return streams;
}

void TsSectionCollector::Complete(std::vector<std::string>& done) {
  if (!collecting_ || data_.size() < 3) return;
  collecting_ = false;
  if (static_cast<uint8_t>(data_[0]) == 0xFF) return;  // stuffing: no section follows
  const size_t length = SectionLength(data_);
  if (data_.size() < length) {
    collecting_ = true;
    return;
  }
  done.push_back(data_.substr(0, length));
}

std::vector<std::string> TsSectionCollector::Add(std::string_view payload, bool unit_start) {
  std::vector<std::string> done;
  if (unit_start) {
    if (payload.empty()) return done;
    const size_t pointer = static_cast<uint8_t>(payload[0]);
    payload.remove_prefix(1);
    if (pointer > payload.size()) {
      collecting_ = false;
      return done;
    }
    // The bytes before the pointer end the section begun in earlier packets.
    if (collecting_) {
      data_.append(payload.substr(0, pointer));
      Complete(done);
    }
    payload.remove_prefix(pointer);
    data_.assign(payload);
    collecting_ = true;
  } else if (collecting_) {
    data_.append(payload);
  }
  Complete(done);
  return done;
}

}  // namespace lumio::stream
