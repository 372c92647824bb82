#pragma once
// Strict readings of CSV cells into the values of a station record: unlike the list file
// reader, which takes whatever digits it finds, a tool refuses what it cannot take as given.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumio::tools {

// A whole decimal number (optional sign, digits only) within [min, max]; nullopt with `reason`
// ("is not a whole number", "is out of range ...") otherwise.
std::optional<int64_t> ParseWholeNumber(std::string_view text, int64_t min, int64_t max,
                                        std::string& reason);

// The GBK form of a UTF-8 text; nullopt with `reason` naming the fault (not UTF-8, or the first
// character GBK lacks) otherwise.
std::optional<std::string> Utf8TextToGbk(std::string_view utf8, std::string& reason);

}  // namespace lumio::tools
