#pragma once
// The program's own name as the listener reads it (GBK): in the window, the tray, the banner
// before a song plays and message boxes. Kept at the bottom so every layer names it the same.

#include <string>

namespace lumio {

const std::string& ProgramName();   // "Lumio网络收音机"
const std::string& ProgramTitle();  // "Lumio网络收音机1.2 - Tarvel网络"
const std::string& WelcomeText();   // "欢迎使用Lumio网络收音机1.2 - Tarvel网络"

// What the program calls itself to a station's server, in every request either player makes.
inline constexpr char kUserAgent[] = "Lumio/1.2";

}  // namespace lumio
