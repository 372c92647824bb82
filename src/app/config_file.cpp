#include "app/config_file.h"

#include "commands/web_server.h"
#include "store/atomic_file.h"
#include "store/number_text.h"

namespace lumio {
namespace {

// Makes `folder` and, unless it is the portable one, whatever of its parents is missing (a new
// user may not have their configuration folder yet).
bool MakeFolder(const SettingsFile& files, const std::string& folder, bool withParents) {
  if (files.FileExists(folder)) return true;
  if (withParents) {
    const size_t separator = folder.find_last_of(kPathSeparator);
    if (separator != std::string::npos && separator > 0 &&
        !MakeFolder(files, folder.substr(0, separator), true))
      return false;
  }
  return files.CreateFolder(folder);
}

}  // namespace

std::string DefaultConfigText() {
  std::string text;
  for (std::string_view line :
       {"[sys]", "ServerIp=127.0.0.1", "ServerPort=80", "", "Mode=2", "TopMost=1", "LastX=500",
        "LastY=50", "MiniX=500", "MiniY=20", "Volumn=50", "RecentPlay=100"}) {
    if (line.empty()) text.append("ServerDomain=").append(kServerDomain);
    text.append(line).append("\r\n");
  }
  return text;
}

std::string ConfigFilePath(const ConfigLocation& location) {
  return PathInFolder(location.folder, "base.ini");
}

bool EnsureConfigFile(const SettingsFile& files, const ConfigLocation& location) {
  if (location.folder.empty()) return false;
  if (!MakeFolder(files, location.folder, !location.portable)) return false;
  const std::string file = ConfigFilePath(location);
  if (files.FileExists(file)) return true;
  // Without its settings file the program cannot keep anything the listener changes, so a
  // file that cannot be written is as fatal as a folder that cannot be made.
  return WriteFileAtomically(file, DefaultConfigText());
}

StartupSettings LoadSettings(const SettingsFile& files, const ConfigLocation& location) {
  const std::string path = ConfigFilePath(location);
  auto read = [&](const char* key) { return files.ReadValue(path, kSettingsSection, key); };
  StartupSettings s;
  s.m_nSavedX = ParseDecimal(read("LastX"));
  s.m_nSavedY = ParseDecimal(read("LastY"));
  s.m_nTopMost = ParseDecimal(read("TopMost"));
  s.m_nMode = ParseDecimal(read("Mode"));
  const std::string volume = read("Volumn");
  s.m_nVolume = volume.empty() ? 50 : ParseDecimal(volume);
  // A floor of 0 would let a recording fill the disk; a week is longer than any programme.
  auto ranged = [&](const char* key, int32_t low, int32_t high, int32_t fallback) {
    const std::optional<int64_t> value = ParseDigits(read(key), 9);
    return value && *value >= low && *value <= high ? static_cast<int32_t>(*value) : fallback;
  };
  s.m_nRecordFloorMB = ranged("RecordFloorMB", 1, 1024 * 1024, s.m_nRecordFloorMB);
  s.m_nRecordMaxMinutes = ranged("RecordMaxMinutes", 1, 7 * 24 * 60, s.m_nRecordMaxMinutes);
  return s;
}

void SavePosition(const SettingsFile& files, const ConfigLocation& location, int32_t x, int32_t y) {
  const std::string xText = std::to_string(x);
  const std::string yText = std::to_string(y);
  files.WriteValues(ConfigFilePath(location), kSettingsSection,
                    {{"LastX", xText}, {"LastY", yText}});
}

void SaveVolume(const SettingsFile& files, const ConfigLocation& location, int32_t volume) {
  files.WriteValue(ConfigFilePath(location), kSettingsSection, "Volumn", std::to_string(volume));
}

std::string ConfigFilePath(const std::string& programDir) {
  return ConfigFilePath(PortableConfigLocation(programDir));
}
bool EnsureConfigFile(const SettingsFile& files, const std::string& programDir) {
  return EnsureConfigFile(files, PortableConfigLocation(programDir));
}
StartupSettings LoadSettings(const SettingsFile& files, const std::string& programDir) {
  return LoadSettings(files, PortableConfigLocation(programDir));
}
void SavePosition(const SettingsFile& files, const std::string& programDir, int32_t x, int32_t y) {
  SavePosition(files, PortableConfigLocation(programDir), x, y);
}
void SaveVolume(const SettingsFile& files, const std::string& programDir, int32_t volume) {
  SaveVolume(files, PortableConfigLocation(programDir), volume);
}

}  // namespace lumio
