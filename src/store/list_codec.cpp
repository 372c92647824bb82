#include "store/list_codec.h"

#include "store/find_text.h"

namespace lumio {
namespace {

constexpr char kCR = '\r';
constexpr char kLF = '\n';

inline char ScrambleByte(char b) {
  if (b == kCR || b == kLF) return b;
  const char c = static_cast<char>(static_cast<unsigned char>(b) ^ kScrambleKey);
  return (c == kCR || c == kLF) ? b : c;
}

}  // namespace

bool Scramble(std::string_view line, std::string& out) {
  if (line.size() >= kMaxListLine) return false;
  out.resize(line.size());
  for (size_t i = 0; i < line.size(); ++i)
    out[i] = ScrambleByte(line[i]);
  return true;
}

void ForEachListLine(std::string_view bytes, const std::function<void(std::string_view)>& onLine) {
  std::string plain;
  size_t pos = 0;
  while (pos < bytes.size()) {
    // Line ends are found byte by byte. A walk by GBK characters over the scrambled bytes would
    // take a CR for the second half of a character whenever a record ends in a byte that
    // scrambles to a lead byte, and silently merge that record with the next one.
    const size_t end = bytes.find("\r\n", pos);
    if (end == std::string_view::npos) break;
    const std::string_view line = bytes.substr(pos, end - pos);
    if (line.empty()) break;
    pos = end + 2;
    const char first = line[0];
    if (first == kCR || first == kLF || first == '[' || first == '#' || line.size() <= 5) continue;
    if (Scramble(line, plain)) onLine(plain);
  }
}

std::vector<std::string> DecodeListLines(std::string_view bytes) {
  std::vector<std::string> lines;
  ForEachListLine(bytes, [&](std::string_view line) { lines.emplace_back(line); });
  return lines;
}

std::string EncodeListLines(const std::vector<std::string>& lines) {
  std::string bytes;
  std::string scrambled;
  for (const std::string& line : lines) {
    if (!Scramble(line, scrambled)) continue;
    for (char b : scrambled) {
      if (b == kLF) bytes += kCR;  // text-mode output: every "\n" is written as CR LF
      bytes += b;
    }
  }
  return bytes;
}

void SplitFieldViews(std::string_view line, std::string_view separator,
                     std::vector<std::string_view>& fields) {
  fields.clear();
  if (separator.empty()) return;
  size_t from = 0;
  for (;;) {
    const int64_t at = FindText(line, separator, from);
    if (at < 0) break;
    fields.push_back(line.substr(from, static_cast<size_t>(at) - from));
    from = static_cast<size_t>(at) + separator.size();
  }
  fields.push_back(line.substr(from));
}

std::vector<std::string> SplitFields(std::string_view line, std::string_view separator) {
  std::vector<std::string_view> views;
  SplitFieldViews(line, separator, views);
  return {views.begin(), views.end()};
}

}  // namespace lumio
