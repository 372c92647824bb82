#pragma once
#include <string_view>

namespace lumio {

// The program's web site. Every page the program opens is on this host, and the default
// settings file names it; change it here and every link follows.
inline constexpr std::string_view kServerDomain = "radio.tarvel.net";

}  // namespace lumio
