#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace lumio {

// Reads a number the way the program's files have always been read (C's atoi): leading white
// space skipped, an optional sign, decimal digits up to the first other byte; no digits read as
// 0. Out-of-range values are clamped to the 32-bit signed range.
int32_t ParseDecimal(std::string_view text);

// As ParseDecimal for a field stored unsigned: 0..4294967295 reads as is, so a value written
// as unsigned reads back unchanged; a negative value wraps as a 32-bit field holds it.
uint32_t ParseDecimalUnsigned(std::string_view text);

// A strict reading, for fields that must be a number and nothing else: decimal digits only, 1 to
// `maxDigits` (at most 18) of them; anything else is no number.
std::optional<int64_t> ParseDigits(std::string_view text, size_t maxDigits);

}  // namespace lumio
