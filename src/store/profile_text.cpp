#include "store/profile_text.h"

#include <vector>

#include "text/gbk.h"

namespace lumio {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front()))
    s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back()))
    s.remove_suffix(1);
  return s;
}

char FoldAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Case-insensitive for ASCII letters; the second byte of a GBK character compares exactly.
bool NamesEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (IsGbkLeadByte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

// One line of the text: its content without the line end, and where it lies.
struct Line {
  std::string_view content;
  size_t begin = 0;  // offset of the content
  size_t end = 0;    // offset just after the content (where the line end starts)
  size_t next = 0;   // offset of the next line
};

std::vector<Line> SplitLines(std::string_view bytes) {
  std::vector<Line> lines;
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t lf = bytes.find('\n', pos);
    size_t next = lf == std::string_view::npos ? bytes.size() : lf + 1;
    size_t end = lf == std::string_view::npos ? bytes.size() : lf;
    if (end > pos && bytes[end - 1] == '\r') --end;
    lines.push_back({bytes.substr(pos, end - pos), pos, end, next});
    pos = next;
  }
  return lines;
}

// The section name of a "[name]" line, or nullopt for any other line.
std::optional<std::string_view> SectionName(std::string_view content) {
  std::string_view t = Trim(content);
  if (t.empty() || t.front() != '[') return std::nullopt;
  size_t close = t.find(']');
  std::string_view name = close == std::string_view::npos ? t.substr(1) : t.substr(1, close - 1);
  return Trim(name);
}

struct KeyLine {
  std::string_view key;
  std::string_view value;
};

std::optional<KeyLine> ParseKeyLine(std::string_view content) {
  std::string_view t = Trim(content);
  if (t.empty() || t.front() == ';') return std::nullopt;
  size_t eq = t.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return KeyLine{Trim(t.substr(0, eq)), Trim(t.substr(eq + 1))};
}

// Where a key was found, or where its section ends.
struct Lookup {
  bool sectionFound = false;
  size_t sectionLastLine = 0;  // index of the section's last non-blank line
  std::optional<size_t> keyLine;
};

Lookup Find(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
  Lookup found;
  bool inSection = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (auto name = SectionName(lines[i].content)) {
      if (inSection) break;  // only the first matching section counts
      inSection = NamesEqual(*name, section);
      if (inSection) {
        found.sectionFound = true;
        found.sectionLastLine = i;
      }
      continue;
    }
    if (!inSection) continue;
    if (!Trim(lines[i].content).empty()) found.sectionLastLine = i;
    auto kv = ParseKeyLine(lines[i].content);
    if (kv && NamesEqual(kv->key, key)) {
      found.keyLine = i;
      break;
    }
  }
  return found;
}

// Finishes the last line of `out` if it is unfinished; a lone CR only needs its LF.
void EndLine(std::string& out) {
  if (out.empty() || out.back() == '\n') return;
  out.append(out.back() == '\r' ? "\n" : "\r\n");
}

// As the platform's profile reader does: one pair of matching quotes, both double or both
// single, around the whole (trimmed) value is not part of it. Neither quote byte can be the
// second byte of a GBK character, so the last byte is a character of its own.
std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

bool HasLineBreak(std::string_view s) {
  return s.find('\n') != std::string_view::npos || s.find('\r') != std::string_view::npos;
}

}  // namespace

std::string ReadProfileValue(std::string_view bytes, std::string_view section,
                             std::string_view key) {
  const std::vector<Line> lines = SplitLines(bytes);
  const Lookup found = Find(lines, Trim(section), Trim(key));
  if (!found.keyLine) return {};
  std::string_view value = Unquote(ParseKeyLine(lines[*found.keyLine].content)->value);
  if (value.size() > kMaxProfileValue) {
    // Cut at a character boundary: a lone lead byte would not be text.
    size_t cut = 0;
    while (cut < value.size()) {
      size_t width = IsGbkLeadByte(static_cast<unsigned char>(value[cut])) ? 2 : 1;
      if (cut + width > kMaxProfileValue) break;
      cut += width;
    }
    value = value.substr(0, cut);
  }
  return std::string(value);
}

std::optional<std::string> WriteProfileValue(std::string_view bytes, std::string_view section,
                                             std::string_view key, std::string_view value) {
  section = Trim(section);
  key = Trim(key);
  value = Trim(value);
  if (section.empty() || key.empty() || HasLineBreak(section) || HasLineBreak(key) ||
      HasLineBreak(value) || key.find('=') != std::string_view::npos || key.front() == '[' ||
      key.front() == ';' || section.find(']') != std::string_view::npos)
    return std::nullopt;

  const std::vector<Line> lines = SplitLines(bytes);
  const Lookup found = Find(lines, section, key);
  const std::string keyLine = std::string(key) + "=" + std::string(value);
  std::string out;
  out.reserve(bytes.size() + keyLine.size() + section.size() + 8);

  if (found.keyLine) {
    const Line& line = lines[*found.keyLine];
    // Keep the key as the file spells it.
    std::string_view storedKey = ParseKeyLine(line.content)->key;
    out.append(bytes.substr(0, line.begin));
    out.append(storedKey).append("=").append(value);
    out.append(bytes.substr(line.end));
    return out;
  }
  if (found.sectionFound) {
    const Line& last = lines[found.sectionLastLine];
    out.append(bytes.substr(0, last.next));
    EndLine(out);  // the section's last line may lack its line end
    out.append(keyLine).append("\r\n");
    out.append(bytes.substr(last.next));
    return out;
  }
  out.append(bytes);
  EndLine(out);
  out.append("[").append(section).append("]\r\n").append(keyLine).append("\r\n");
  return out;
}

}  // namespace lumio
