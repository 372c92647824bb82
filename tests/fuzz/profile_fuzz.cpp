// fuzz-links: lumio_core
// The settings file reader on arbitrary bytes, and the writer: a value it accepts reads back
// (trimmed, without one pair of quotes around it, cut to 127 bytes at a character boundary) and
// every other key of the file keeps the value it read before.
//
// Input layout (FuzzedDataProvider): section, key and value as backslash-terminated strings,
// then the file's bytes.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz_check.h"
#include "store/profile_text.h"
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

// Folds ASCII letters only. Looser than the reader's rule (which compares the second byte of a
// GBK character exactly), so every name the reader takes for the written one is taken here too.
std::string Folded(std::string_view name) {
  std::string out(Trim(name));
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// The (section, key) names a reader could be asked for: every "name=" line under every
// "[section" line. Only a guide for which reads to compare; the reads themselves decide.
std::vector<std::pair<std::string, std::string>> NamesIn(std::string_view bytes) {
  std::vector<std::pair<std::string, std::string>> names;
  std::string section;
  bool inSection = false;
  while (!bytes.empty()) {
    const size_t lf = bytes.find('\n');
    std::string_view line = Trim(bytes.substr(0, lf));
    bytes.remove_prefix(lf == std::string_view::npos ? bytes.size() : lf + 1);
    if (!line.empty() && line.back() == '\r') line = Trim(line.substr(0, line.size() - 1));
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      section = std::string(Trim(line.substr(1, line.find(']') - 1)));
      inSection = true;
      continue;
    }
    const size_t eq = line.find('=');
    if (inSection && eq != std::string_view::npos)
      names.emplace_back(section, std::string(Trim(line.substr(0, eq))));
  }
  return names;
}

// A value without one pair of matching quotes around all of it, as the platform reads it.
std::string_view Unquoted(std::string_view value) {
  const bool quoted = value.size() >= 2 && (value[0] == '"' || value[0] == '\'') &&
                      value[value.size() - 1] == value[0];
  return quoted ? value.substr(1, value.size() - 2) : value;
}

// What a read gives back of `value`: all of it up to kMaxProfileValue bytes, else its longest
// prefix of at most that many bytes that ends between characters.
std::string_view CutAtCharacter(std::string_view value) {
  if (value.size() <= kMaxProfileValue) return value;
  size_t cut = 0;
  while (cut < value.size()) {
    const size_t width = IsGbkLeadByte(static_cast<unsigned char>(value[cut])) ? 2 : 1;
    if (cut + width > kMaxProfileValue) break;
    cut += width;
  }
  return value.substr(0, cut);
}

void CheckWrite(std::string_view bytes, std::string_view section, std::string_view key,
                std::string_view value) {
  const auto written = WriteProfileValue(bytes, section, key, value);
  if (!written) return;

  const std::string got = ReadProfileValue(*written, section, key);
  const std::string_view want = CutAtCharacter(Unquoted(Trim(value)));
  if (got != want) {
    PrintBytes("file before", bytes);
    PrintBytes("file after", *written);
    PrintBytes("value written", value);
    PrintBytes("value read", got);
  }
  Check(got == want, "a written value reads back");

  const std::string writtenSection = Folded(section);
  const std::string writtenKey = Folded(key);
  for (const auto& [otherSection, otherKey] : NamesIn(bytes)) {
    if (Folded(otherSection) == writtenSection && Folded(otherKey) == writtenKey) continue;
    const std::string before = ReadProfileValue(bytes, otherSection, otherKey);
    const std::string after = ReadProfileValue(*written, otherSection, otherKey);
    if (before != after) {
      PrintBytes("file before", bytes);
      PrintBytes("file after", *written);
      PrintBytes("other section", otherSection);
      PrintBytes("other key", otherKey);
      PrintBytes("its value before", before);
      PrintBytes("its value after", after);
    }
    Check(before == after, "a write leaves the file's other keys as they were");
  }
}

}  // namespace
}  // namespace lumio

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const std::string section = in.ConsumeRandomLengthString(32);
  const std::string key = in.ConsumeRandomLengthString(32);
  const std::string value = in.ConsumeRandomLengthString(300);
  const std::string bytes = in.ConsumeRemainingBytesAsString();

  const std::string read = lumio::ReadProfileValue(bytes, section, key);
  lumio::Check(read.size() <= lumio::kMaxProfileValue, "a read returns at most 127 bytes");
  lumio::CheckWrite(bytes, section, key, value);
  return 0;
}
