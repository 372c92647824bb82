#pragma once
// The GBK form of a UTF-8 literal, as the program stores its texts.

#include <string>
#include <string_view>

#include "text/gbk.h"

namespace lumio::test {

// Throws when `utf8` has no GBK form: a test's literal is wrong, not the code under test.
inline std::string Gbk(std::string_view utf8) {
  return Utf8ToGbk(utf8).value();
}

}  // namespace lumio::test
