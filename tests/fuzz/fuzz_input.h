#pragma once
// What the fuzzers that read a script from their input share: taking it apart byte by byte,
// where a short input simply ends in zeros and empty pieces.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lumio {

class FuzzInput {
 public:
  explicit FuzzInput(std::string_view bytes) : bytes_(bytes) {}
  bool empty() const { return bytes_.empty(); }
  uint8_t Byte() {
    if (bytes_.empty()) return 0;
    const auto b = static_cast<uint8_t>(bytes_[0]);
    bytes_.remove_prefix(1);
    return b;
  }
  // The next `n` bytes, or as many as are left.
  std::string_view Take(size_t n) {
    const std::string_view piece = bytes_.substr(0, std::min(n, bytes_.size()));
    bytes_.remove_prefix(piece.size());
    return piece;
  }
  // A piece of the input: a length byte, then as many bytes.
  std::string_view Text() { return Take(Byte()); }
  // A longer piece: a length of two bytes (high first), then as many bytes.
  std::string_view LongText() {
    const size_t high = Byte();
    return Take(high << 8 | Byte());
  }

 private:
  std::string_view bytes_;
};

}  // namespace lumio
