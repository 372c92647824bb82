#pragma once
// The settings file base.ini: its default content and the values read at start-up. It lives in
// the config folder of a ConfigLocation; the overloads taking `programDir` (which ends with the
// separator) mean the portable layout, config/ below the program directory.

#include <cstdint>
#include <string>

#include "store/config_path.h"
#include "store/settings_file.h"

namespace lumio {

inline constexpr char kSettingsSection[] = "sys";

// The twelve CR LF lines written when base.ini does not exist.
std::string DefaultConfigText();

std::string ConfigFilePath(const ConfigLocation& location);
std::string ConfigFilePath(const std::string& programDir);

// Creates the config folder and a default base.ini when they are missing; an existing file is
// never rewritten. A folder that is not the portable one gets its missing parents too. False
// when the folder or the file cannot be created, or when the location names no folder.
bool EnsureConfigFile(const SettingsFile& files, const ConfigLocation& location);
bool EnsureConfigFile(const SettingsFile& files, const std::string& programDir);

// The values the program reads from the settings file once at start-up.
struct StartupSettings {
  int32_t m_nSavedX = 0;   // LastX
  int32_t m_nSavedY = 0;   // LastY
  int32_t m_nTopMost = 0;  // TopMost
  int32_t m_nMode = 0;     // Mode: 1 normal window, anything else the mini bar
  int32_t m_nVolume = 50;  // Volumn ("" means 50)
  // RecordFloorMB: the free space a recording leaves on its disk; RecordMaxMinutes: the longest
  // recording. Absent, or not a whole number in range, they keep these defaults.
  int32_t m_nRecordFloorMB = 200;
  int32_t m_nRecordMaxMinutes = 180;
};

StartupSettings LoadSettings(const SettingsFile& files, const ConfigLocation& location);
StartupSettings LoadSettings(const SettingsFile& files, const std::string& programDir);

// Stores the window position as LastX then LastY, in one write of the file.
void SavePosition(const SettingsFile& files, const ConfigLocation& location, int32_t x, int32_t y);
void SavePosition(const SettingsFile& files, const std::string& programDir, int32_t x, int32_t y);

// Stores the volume as Volumn.
void SaveVolume(const SettingsFile& files, const ConfigLocation& location, int32_t volume);
void SaveVolume(const SettingsFile& files, const std::string& programDir, int32_t volume);

}  // namespace lumio
