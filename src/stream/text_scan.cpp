#include "stream/text_scan.h"

#include <algorithm>
#include <limits>

namespace lumio::stream {

std::string ToLowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    c = ToLowerAscii(c);
  return out;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (ToLowerAscii(a[i]) != ToLowerAscii(b[i])) return false;
  return true;
}

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

size_t FindIgnoreCase(std::string_view text, std::string_view needle, size_t from) {
  if (needle.size() > text.size()) return std::string_view::npos;
  for (size_t i = from; i + needle.size() <= text.size(); ++i)
    if (EqualsIgnoreCase(text.substr(i, needle.size()), needle)) return i;
  return std::string_view::npos;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

std::string_view StripUtf8Bom(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  return text;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::string_view line;
  while (NextLine(text, line))
    lines.push_back(line);
  return lines;
}

bool NextLine(std::string_view& text, std::string_view& line) {
  if (text.empty()) return false;
  const size_t end = std::min(text.find_first_of("\r\n"), text.size());
  line = text.substr(0, end);
  size_t next = end;
  if (next < text.size()) next += text.substr(next).starts_with("\r\n") ? 2 : 1;
  text.remove_prefix(next);
  return true;
}

std::string_view WholeLines(std::string_view text) {
  const size_t last = text.find_last_of("\r\n");
  return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

bool HasControlBytes(std::string_view text) {
  for (char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F) return true;
  }
  return false;
}

long long ParseDecimal(std::string_view text) {
  if (text.empty()) return -1;
  long long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    const int digit = c - '0';
    if (value > (std::numeric_limits<long long>::max() - digit) / 10) return -1;
    value = value * 10 + digit;
  }
  return value;
}

}  // namespace lumio::stream
