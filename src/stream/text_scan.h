#pragma once
// ASCII-only text helpers the stream parsers share. Playlists and stream headers are byte
// texts whose keywords are ASCII; everything else in them is passed through untouched.

#include <string>
#include <string_view>
#include <vector>

namespace lumio::stream {

constexpr char ToLowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// `text` with A-Z lowered; other bytes (GBK and UTF-8 included) are kept.
std::string ToLowerAscii(std::string_view text);

bool EqualsIgnoreCase(std::string_view a, std::string_view b);
bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix);

// Position of the first ASCII-case-insensitive occurrence of `needle` at or after `from`, or npos.
size_t FindIgnoreCase(std::string_view text, std::string_view needle, size_t from = 0);

// True for the bytes the parsers treat as blank: space, tab, CR, LF, FF, VT.
constexpr bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

// `text` without leading and trailing blanks.
std::string_view Trim(std::string_view text);

// `text` without a leading UTF-8 byte order mark.
std::string_view StripUtf8Bom(std::string_view text);

// The lines of `text`, each ended by CR LF, LF or a lone CR; a last line without an end counts.
std::vector<std::string_view> SplitLines(std::string_view text);

// Takes the first line of `text` off it into `line`, as SplitLines counts lines; false once
// `text` is empty. Reading a long text line by line holds no list of its lines.
bool NextLine(std::string_view& text, std::string_view& line);

// `text` up to and including its last line end: the lines of a body that was cut off that
// are known to be whole.
std::string_view WholeLines(std::string_view text);

// True when `text` holds a byte below 0x20 or DEL: such a text is no usable address.
bool HasControlBytes(std::string_view text);

// The non-negative decimal number `text` holds in full, or -1 (also on overflow of int64).
long long ParseDecimal(std::string_view text);

}  // namespace lumio::stream
