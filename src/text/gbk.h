#pragma once
// Conversion between the program's GBK texts and UTF-8, the encoding of the source code, of
// the Qt layer and of exported files. GBK is code page 936: a byte 0x81..0xFE starts a
// two-byte character.

#include <optional>
#include <string>
#include <string_view>

namespace lumio {

// True for a byte that begins a two-byte GBK character.
constexpr bool IsGbkLeadByte(unsigned char b) {
  return b >= 0x81 && b <= 0xFE;
}

// The longest start of `gbk` of at most `maxBytes` bytes that ends between two characters.
constexpr std::string_view CutGbk(std::string_view gbk, size_t maxBytes) {
  size_t end = 0;
  while (end < gbk.size()) {
    const size_t width = IsGbkLeadByte(static_cast<unsigned char>(gbk[end])) ? 2 : 1;
    if (end + width > maxBytes || end + width > gbk.size()) break;
    end += width;
  }
  return gbk.substr(0, end);
}

// GBK bytes to UTF-8; nullopt when the bytes are not valid GBK.
std::optional<std::string> GbkToUtf8(std::string_view gbk);

// UTF-8 to GBK; nullopt when the text is not valid UTF-8 or has a character GBK lacks.
std::optional<std::string> Utf8ToGbk(std::string_view utf8);

// GBK to UTF-8 for display: an undecodable byte becomes U+FFFD, so the result is always usable.
std::string GbkToUtf8Lossy(std::string_view gbk);

}  // namespace lumio
