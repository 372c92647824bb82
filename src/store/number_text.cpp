#include "store/number_text.h"

#include <limits>

namespace lumio {
namespace {

bool IsCSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The signed value of the text, saturated well outside the 32-bit ranges.
int64_t ParseWide(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && IsCSpace(s[i]))
    ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  constexpr int64_t kCap = int64_t{1} << 40;
  int64_t value = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    value = value * 10 + (s[i] - '0');
    if (value > kCap) value = kCap;
  }
  return negative ? -value : value;
}

}  // namespace

int32_t ParseDecimal(std::string_view text) {
  const int64_t v = ParseWide(text);
  if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

uint32_t ParseDecimalUnsigned(std::string_view text) {
  const int64_t v = ParseWide(text);
  if (v > std::numeric_limits<uint32_t>::max()) return std::numeric_limits<uint32_t>::max();
  if (v >= 0) return static_cast<uint32_t>(v);
  return static_cast<uint32_t>(ParseDecimal(text));
}

std::optional<int64_t> ParseDigits(std::string_view text, size_t maxDigits) {
  if (text.empty() || text.size() > maxDigits || text.size() > 18) return std::nullopt;
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace lumio
