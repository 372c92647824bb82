#include "stream/mp4_boxes.h"

namespace lumio::stream {

Mp4HeaderStatus ReadMp4BoxHeader(std::string_view bytes, Mp4BoxHeader& header) {
  header = Mp4BoxHeader();
  header.header_size = 8;
  if (bytes.size() < 8) return Mp4HeaderStatus::kNeedMore;
  Mp4Reader in(bytes);
  header.size = in.U32();
  header.type = in.U32();
  if (header.size == 1) {
    header.header_size = 16;
    if (bytes.size() < 16) return Mp4HeaderStatus::kNeedMore;
    header.size = in.U64();
  }
  if (header.type == Mp4Type("uuid")) {
    header.header_size += 16;
    if (bytes.size() < header.header_size) return Mp4HeaderStatus::kNeedMore;
  }
  if (header.size != 0 && header.size < header.header_size) return Mp4HeaderStatus::kInvalid;
  return Mp4HeaderStatus::kComplete;
}

std::vector<Mp4Box> Mp4Children(std::string_view bytes) {
  std::vector<Mp4Box> boxes;
  while (!bytes.empty()) {
    Mp4BoxHeader header;
    if (ReadMp4BoxHeader(bytes, header) != Mp4HeaderStatus::kComplete) break;
    const uint64_t size = header.size == 0 ? bytes.size() : header.size;
    if (size > bytes.size()) break;
    boxes.push_back({header.type, bytes.substr(header.header_size, size - header.header_size)});
    bytes.remove_prefix(size);
  }
  return boxes;
}

std::optional<std::string_view> Mp4Child(std::string_view bytes, uint32_t type) {
  for (const Mp4Box& box : Mp4Children(bytes))
    if (box.type == type) return box.payload;
  return std::nullopt;
}

uint64_t Mp4Reader::Take(size_t count) {
  if (!ok_ || left() < count) {
    ok_ = false;
    pos_ = bytes_.size();
    return 0;
  }
  uint64_t value = 0;
  for (size_t i = 0; i < count; ++i)
    value = (value << 8) | static_cast<unsigned char>(bytes_[pos_ + i]);
  pos_ += count;
  return value;
}

void Mp4Reader::Skip(size_t count) {
  if (!ok_ || left() < count) {
    ok_ = false;
    pos_ = bytes_.size();
    return;
  }
  pos_ += count;
}

std::string_view Mp4Reader::CString() {
  const std::string_view rest = bytes_.substr(pos_);
  const size_t end = rest.find('\0');
  if (end == std::string_view::npos) {
    pos_ = bytes_.size();
    return rest;
  }
  pos_ += end + 1;
  return rest.substr(0, end);
}

std::string_view Mp4Reader::Rest() {
  const std::string_view rest = bytes_.substr(pos_);
  pos_ = bytes_.size();
  return rest;
}

}  // namespace lumio::stream
