#include "stream/stream_text.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "stream/stream_limits.h"
#include "text/gbk.h"

namespace lumio::stream {
namespace {

// Length of the well-formed UTF-8 character at the start of `text`, or 0.
size_t Utf8CharLength(std::string_view text) {
  const auto b0 = static_cast<unsigned char>(text[0]);
  if (b0 < 0x80) return 1;
  size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    length = 2;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    length = 3;
    if (b0 == 0xE0) low = 0xA0;   // overlong
    if (b0 == 0xED) high = 0x9F;  // surrogates
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    length = 4;
    if (b0 == 0xF0) low = 0x90;   // overlong
    if (b0 == 0xF4) high = 0x8F;  // past U+10FFFF
  } else {
    return 0;
  }
  if (text.size() < length) return 0;
  const auto b1 = static_cast<unsigned char>(text[1]);
  if (b1 < low || b1 > high) return 0;
  for (size_t i = 2; i < length; ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x80 || b > 0xBF) return 0;
  }
  return length;
}

}  // namespace

void AppendUtf8(uint32_t cp, std::string& out) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

bool IsValidUtf8(std::string_view text) {
  while (!text.empty()) {
    const size_t length = Utf8CharLength(text);
    if (length == 0) return false;
    text.remove_prefix(length);
  }
  return true;
}

std::string StreamTextToGbk(std::string_view text) {
  // ASCII is the same in both, and most titles are: no converter is needed for them.
  const bool ascii = std::all_of(text.begin(), text.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii || !IsValidUtf8(text)) return std::string(text);
  if (std::optional<std::string> whole = Utf8ToGbk(text)) return *whole;
  // Some character has no GBK form: convert character by character to find which.
  std::string out;
  while (!text.empty()) {
    const size_t length = Utf8CharLength(text);
    const std::optional<std::string> one = Utf8ToGbk(text.substr(0, length));
    out += one ? *one : std::string("?");
    text.remove_prefix(length);
  }
  return out;
}

std::string StreamTitleForListener(std::string_view raw) {
  constexpr size_t kCap = limits::kMaxTitleBytes;
  // Whether the title is UTF-8 is a property of all of it, as StreamTextToGbk decides.
  if (!IsValidUtf8(raw)) return std::string(CutGbk(raw, kCap));
  // A character of at most four UTF-8 bytes becomes at least one GBK byte ("?" at worst), so
  // this many bytes fill the cap; the end is moved back to a character's start.
  if (raw.size() > 4 * kCap) {
    size_t end = 4 * kCap;
    while ((static_cast<unsigned char>(raw[end]) & 0xC0) == 0x80)
      --end;
    raw = raw.substr(0, end);
  }
  return std::string(CutGbk(StreamTextToGbk(raw), kCap));
}

std::string Utf16ToUtf8(std::string_view bytes, bool big_endian) {
  auto unit = [&](size_t i) {
    const auto a = static_cast<unsigned char>(bytes[i]);
    const auto b = static_cast<unsigned char>(bytes[i + 1]);
    return static_cast<uint32_t>(big_endian ? (a << 8) | b : (b << 8) | a);
  };
  std::string out;
  const size_t units = bytes.size() / 2;
  for (size_t u = 0; u < units; ++u) {
    uint32_t cp = unit(2 * u);
    if (cp >= 0xD800 && cp <= 0xDBFF && u + 1 < units) {
      const uint32_t next = unit(2 * (u + 1));
      if (next >= 0xDC00 && next <= 0xDFFF) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (next - 0xDC00);
        ++u;
      }
    }
    if (cp >= 0xD800 && cp <= 0xDFFF) cp = 0xFFFD;
    AppendUtf8(cp, out);
  }
  return out;
}

}  // namespace lumio::stream
