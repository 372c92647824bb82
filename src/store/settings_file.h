#pragma once
// The program's file utility: INI values of the settings file and the raw list-file access.
// Stateless; every call names its file.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lumio {

class SettingsFile {
 public:
  // The value of `key` in `section` of the INI file at `path`, without one pair of quotes
  // around it, at most 127 bytes; "" when the file, the section or the key is absent or the file
  // cannot be read.
  std::string ReadValue(const std::string& path, std::string_view section,
                        std::string_view key) const;

  // Sets `key` in `section`, creating a missing file or section as needed; the file is replaced
  // atomically. False, with the file untouched, when it exists but cannot be read, is read-only
  // or cannot be written, or when the texts cannot be stored.
  bool WriteValue(const std::string& path, std::string_view section, std::string_view key,
                  std::string_view value) const;

  // Sets several keys of `section` in order, in one replace of the file; as WriteValue, and
  // nothing is written unless every key can be.
  using KeyValue = std::pair<std::string_view, std::string_view>;
  bool WriteValues(const std::string& path, std::string_view section,
                   const std::vector<KeyValue>& values) const;

  // True when a file or folder exists at `path`.
  bool FileExists(const std::string& path) const;

  // Creates one folder; false when it cannot be created.
  bool CreateFolder(const std::string& path) const;

  // The unscrambled record lines of the list file at `path`; false (and no lines) when the file
  // cannot be read.
  bool ReadLines(const std::string& path, std::vector<std::string>& lines) const;

  // Writes `lines` (each ending in "\n") as the list file at `path`, atomically through
  // `path` + ".vx". False, with the old file whole, when the new one cannot be written.
  bool WriteLines(const std::string& path, const std::vector<std::string>& lines) const;
};

}  // namespace lumio
