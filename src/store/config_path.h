#pragma once
// Where the program's files live: the "config" folder of the program directory, written with
// the platform's own separator ("config\base.ini" on Windows), or another folder chosen for an
// installed copy (app/config_location.h).

#include <string>
#include <string_view>
#include <vector>

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

// `fileName` in `folder` (which does not end with a separator).
inline std::string PathInFolder(const std::string& folder, std::string_view fileName) {
  return folder + kPathSeparator + std::string(fileName);
}

inline std::string ConfigPath(const std::string& programDir, std::string_view fileName) {
  return PathInFolder(ConfigFolder(programDir), fileName);
}

inline constexpr char kCatalogueFileName[] = "chlst.ini";

// The folder of the settings and of the list files the program writes, and where the
// catalogue is read from.
struct ConfigLocation {
  // Holds base.ini, retlst.ini, playlst.ini and favlst.ini; no separator at its end. Empty when
  // no place for them could be named.
  std::string folder;
  // The catalogue files in order of preference: the first that exists is read.
  std::vector<std::string> catalogues;
  // The config folder beside the program; otherwise the folder's missing parents are made too.
  bool portable = true;
};

// The portable layout: everything in config/ below `programDir`.
inline ConfigLocation PortableConfigLocation(const std::string& programDir) {
  return {ConfigFolder(programDir), {ConfigPath(programDir, kCatalogueFileName)}, true};
}

}  // namespace lumio
