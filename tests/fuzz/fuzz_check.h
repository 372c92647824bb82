#pragma once
// What the fuzzers share: reporting a broken property so that libFuzzer keeps its input.

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace lumio {

inline void PrintBytes(const char* label, std::string_view bytes) {
  std::fprintf(stderr, "  %s (%zu bytes):", label, bytes.size());
  for (unsigned char b : bytes)
    std::fprintf(stderr, " %02x", b);
  std::fprintf(stderr, "\n");
}

// libFuzzer keeps the input of any abort as a crash, so a broken property is reported like one.
inline void Check(bool ok, const char* property) {
  if (ok) return;
  std::fprintf(stderr, "property broken: %s\n", property);
  std::abort();
}

}  // namespace lumio
