#pragma once
// Where the program's files live: the "config" folder of the program directory, written with
// the platform's own separator ("config\base.ini" on Windows).

#include <string>
#include <string_view>

namespace lumio {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// `programDir` ends with a separator.
inline std::string ConfigFolder(const std::string& programDir) {
  return programDir + "config";
}

inline std::string ConfigPath(const std::string& programDir, std::string_view fileName) {
  return ConfigFolder(programDir) + kPathSeparator + std::string(fileName);
}

}  // namespace lumio
