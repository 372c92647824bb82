#pragma once
#include <cstdint>
#include <string_view>

namespace lumio {

// Position of the first occurrence of `needle` in `text` at or after `start`, or -1. The walk
// steps one GBK character at a time, so a match never begins on the second byte of a two-byte
// character. An empty needle matches at `start`. `start` must be a character boundary.
int64_t FindText(std::string_view text, std::string_view needle, size_t start = 0);

}  // namespace lumio
