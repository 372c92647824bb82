#pragma once
// Result codes of the system in the form its documentation gives them ("0x80004005").

#include <cstdint>
#include <cstdio>
#include <string>

namespace lumio::win {

inline std::string HresultText(long code) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(code) & 0xFFFFFFFFul);
  return text;
}

}  // namespace lumio::win
