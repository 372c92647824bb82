#pragma once
// The byte format of the station list files: one scrambled record per CR LF line, ten "|"
// separated fields. Pure functions from bytes to values; the file access is SettingsFile's.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lumio {

// A stored line of this many bytes or more (without its line end) is not a record.
inline constexpr size_t kMaxListLine = 512;
inline constexpr unsigned char kScrambleKey = 0x7E;
inline constexpr size_t kStationFieldCount = 10;

// Scrambles or unscrambles (the transformation is its own inverse) `line` into `out`. CR and LF
// bytes, and bytes that would become CR or LF, are kept. False, with `out` untouched, for a
// line of kMaxListLine bytes or more.
bool Scramble(std::string_view line, std::string& out);

// Calls `onLine` with each record line of a list file's bytes, unscrambled, in file order
// (lines end at each CR LF):
// lines starting with CR, LF, "[" or "#", or of 5 bytes or less, are skipped; an empty line
// ends the file; text after the last CR LF is not a line; over-long lines are skipped.
void ForEachListLine(std::string_view bytes, const std::function<void(std::string_view)>& onLine);

// As ForEachListLine, for callers that cannot afford a std::function call per line.
template <typename OnLine>
void VisitListLines(std::string_view bytes, OnLine&& onLine) {
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
    if (first == '\r' || first == '\n' || first == '[' || first == '#' || line.size() <= 5)
      continue;
    if (Scramble(line, plain)) onLine(std::string_view(plain));
  }
}

// The record lines of a list file's bytes, as ForEachListLine finds them.
std::vector<std::string> DecodeListLines(std::string_view bytes);

// The bytes of a list file holding `lines` (each ending in "\n", unscrambled): each line is
// scrambled and its "\n" written as CR LF; a line that cannot be scrambled is left out.
std::string EncodeListLines(const std::vector<std::string>& lines);

// Splits `line` at each `separator` found with FindText; n separators give n + 1 fields, empty
// ones included. An empty separator gives no fields.
std::vector<std::string> SplitFields(std::string_view line, std::string_view separator);

// As SplitFields, into views of `line` held in `fields` (reused to avoid allocations).
void SplitFieldViews(std::string_view line, std::string_view separator,
                     std::vector<std::string_view>& fields);

}  // namespace lumio
