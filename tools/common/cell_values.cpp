#include "tools/common/cell_values.h"

#include <cstdio>

#include "text/gbk.h"

namespace lumio::tools {
namespace {

// The length of the well-formed UTF-8 sequence at the start of `s` and its code point; 0 when
// the bytes there are not one (overlong forms and surrogates included).
size_t DecodeUtf8(std::string_view s, uint32_t& code) {
  const auto byte = [&s](size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char b0 = byte(0);
  size_t length = 0;
  uint32_t min = 0;
  if (b0 < 0x80) {
    code = b0;
    return 1;
  } else if ((b0 & 0xE0) == 0xC0) {
    length = 2;
    code = b0 & 0x1Fu;
    min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    length = 3;
    code = b0 & 0x0Fu;
    min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    length = 4;
    code = b0 & 0x07u;
    min = 0x10000;
  } else {
    return 0;
  }
  if (s.size() < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(i) & 0x3Fu);
  }
  if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

}  // namespace

std::optional<int64_t> ParseWholeNumber(std::string_view text, int64_t min, int64_t max,
                                        std::string& reason) {
  size_t i = 0;
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) negative = text[i++] == '-';
  if (i == text.size()) {
    reason = "is not a whole number";
    return std::nullopt;
  }
  constexpr int64_t kCap = int64_t{1} << 40;  // far outside every range asked for
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') {
      reason = "is not a whole number";
      return std::nullopt;
    }
    if (value < kCap) value = value * 10 + (text[i] - '0');
  }
  if (negative) value = -value;
  if (value < min || value > max) {
    reason = "is out of range (" + std::to_string(min) + " to " + std::to_string(max) + ")";
    return std::nullopt;
  }
  return value;
}

std::optional<std::string> Utf8TextToGbk(std::string_view utf8, std::string& reason) {
  if (auto gbk = Utf8ToGbk(utf8)) return gbk;
  // Find out why, for the message.
  for (std::string_view rest = utf8; !rest.empty();) {
    uint32_t code = 0;
    const size_t length = DecodeUtf8(rest, code);
    if (length == 0) break;
    const std::string_view character = rest.substr(0, length);
    if (!Utf8ToGbk(character)) {
      char codeText[16];
      std::snprintf(codeText, sizeof codeText, "U+%04X", static_cast<unsigned>(code));
      reason = "has a character with no GBK form: " + std::string(codeText) + " \"" +
               std::string(character) + "\"";
      return std::nullopt;
    }
    rest.remove_prefix(length);
  }
  reason = "is not valid UTF-8";
  return std::nullopt;
}

}  // namespace lumio::tools
