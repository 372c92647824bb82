#pragma once
// The box structure of ISO base media files (MP4): box headers as they arrive on the wire, the
// boxes laid out inside a box held in memory, and big-endian fields read without ever reading
// past what is there.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace lumio::stream {

// A box type as the number its four characters make, big-endian: Mp4Type("moov").
constexpr uint32_t Mp4Type(const char (&name)[5]) {
  return (static_cast<uint32_t>(static_cast<unsigned char>(name[0])) << 24) |
         (static_cast<uint32_t>(static_cast<unsigned char>(name[1])) << 16) |
         (static_cast<uint32_t>(static_cast<unsigned char>(name[2])) << 8) |
         static_cast<uint32_t>(static_cast<unsigned char>(name[3]));
}

struct Mp4BoxHeader {
  uint32_t type = 0;
  size_t header_size = 0;  // 8; 16 with a 64-bit size; 16 more for a "uuid" box's user type
  uint64_t size = 0;       // the whole box, header included; 0: it runs to the end of its parent
};

enum class Mp4HeaderStatus { kComplete, kNeedMore, kInvalid };

// Reads the box header `bytes` starts with. kNeedMore: `bytes` is too short, and
// `header.header_size` tells how many bytes the header takes at least. kInvalid: the size is
// smaller than the header itself (a size of 0 means "to the end" and is valid).
Mp4HeaderStatus ReadMp4BoxHeader(std::string_view bytes, Mp4BoxHeader& header);

struct Mp4Box {
  uint32_t type = 0;
  std::string_view payload;  // after the header
};

// The boxes laid one after the other in `bytes` (a held box's payload), in order. The walk
// stops at a box whose header is invalid or cut, or that runs past the end of `bytes`; a box
// of size 0 takes the rest.
std::vector<Mp4Box> Mp4Children(std::string_view bytes);

// The first child of `bytes` of the type, or nullopt.
std::optional<std::string_view> Mp4Child(std::string_view bytes, uint32_t type);

// Big-endian fields read one after the other from a held box. Reading past the end yields
// zeros and leaves ok() false for good, so a parser reads all its fields and checks once.
class Mp4Reader {
 public:
  explicit Mp4Reader(std::string_view bytes) : bytes_(bytes) {}

  uint8_t U8() { return static_cast<uint8_t>(Take(1)); }
  uint16_t U16() { return static_cast<uint16_t>(Take(2)); }
  uint32_t U24() { return static_cast<uint32_t>(Take(3)); }
  uint32_t U32() { return static_cast<uint32_t>(Take(4)); }
  uint64_t U64() { return Take(8); }
  void Skip(size_t count);
  // The bytes up to a 0 byte, which is passed; without one, the rest (and ok() stays true).
  std::string_view CString();
  std::string_view Rest();

  bool ok() const { return ok_; }
  size_t left() const { return bytes_.size() - pos_; }

 private:
  uint64_t Take(size_t count);

  std::string_view bytes_;
  size_t pos_ = 0;
  bool ok_ = true;
};

}  // namespace lumio::stream
