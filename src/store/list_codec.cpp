#include "store/list_codec.h"

#include <array>

#include "store/find_text.h"

namespace lumio {
namespace {

constexpr char kCR = '\r';
constexpr char kLF = '\n';

// The scramble of every byte value: CR, LF and the two bytes that would become them stay.
constexpr std::array<char, 256> MakeScrambleTable() {
  std::array<char, 256> table{};
  for (int b = 0; b < 256; ++b) {
    const int c = b ^ kScrambleKey;
    const bool kept = b == kCR || b == kLF || c == kCR || c == kLF;
    table[static_cast<size_t>(b)] = static_cast<char>(kept ? b : c);
  }
  return table;
}
constexpr std::array<char, 256> kScrambleTable = MakeScrambleTable();

}  // namespace

bool Scramble(std::string_view line, std::string& out) {
  if (line.size() >= kMaxListLine) return false;
  out.resize(line.size());
  for (size_t i = 0; i < line.size(); ++i)
    out[i] = kScrambleTable[static_cast<unsigned char>(line[i])];
  return true;
}

void ForEachListLine(std::string_view bytes, const std::function<void(std::string_view)>& onLine) {
  VisitListLines(bytes, onLine);
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
