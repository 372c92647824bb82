#include "app/config_file.h"

#include "app/web_server.h"
#include "store/atomic_file.h"
#include "store/config_path.h"
#include "store/number_text.h"

namespace lumio {

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

std::string ConfigFilePath(const std::string& programDir) {
  return ConfigPath(programDir, "base.ini");
}

bool EnsureConfigFile(const SettingsFile& files, const std::string& programDir) {
  const std::string folder = ConfigFolder(programDir);
  if (!files.FileExists(folder) && !files.CreateFolder(folder)) return false;
  const std::string file = ConfigFilePath(programDir);
  if (files.FileExists(file)) return true;
  // Without its settings file the program cannot keep anything the listener changes, so a
  // file that cannot be written is as fatal as a folder that cannot be made.
  return WriteFileAtomically(file, DefaultConfigText());
}

StartupSettings LoadSettings(const SettingsFile& files, const std::string& programDir) {
  const std::string path = ConfigFilePath(programDir);
  auto read = [&](const char* key) { return files.ReadValue(path, kSettingsSection, key); };
  StartupSettings s;
  s.m_nSavedX = ParseDecimal(read("LastX"));
  s.m_nSavedY = ParseDecimal(read("LastY"));
  s.m_nTopMost = ParseDecimal(read("TopMost"));
  s.m_nMode = ParseDecimal(read("Mode"));
  const std::string volume = read("Volumn");
  s.m_nVolume = volume.empty() ? 50 : ParseDecimal(volume);
  return s;
}

void SavePosition(const SettingsFile& files, const std::string& programDir, int32_t x, int32_t y) {
  const std::string path = ConfigFilePath(programDir);
  files.WriteValue(path, kSettingsSection, "LastX", std::to_string(x));
  files.WriteValue(path, kSettingsSection, "LastY", std::to_string(y));
}

void SaveVolume(const SettingsFile& files, const std::string& programDir, int32_t volume) {
  files.WriteValue(ConfigFilePath(programDir), kSettingsSection, "Volumn", std::to_string(volume));
}

}  // namespace lumio
