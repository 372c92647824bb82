#include "store/settings_file.h"

#include "store/atomic_file.h"
#include "store/list_codec.h"
#include "store/profile_text.h"

namespace lumio {

std::string SettingsFile::ReadValue(const std::string& path, std::string_view section,
                                    std::string_view key) const {
  auto bytes = ReadWholeFile(path);
  if (!bytes) return {};
  return ReadProfileValue(*bytes, section, key);
}

bool SettingsFile::WriteValue(const std::string& path, std::string_view section,
                              std::string_view key, std::string_view value) const {
  return WriteValues(path, section, {{key, value}});
}

bool SettingsFile::WriteValues(const std::string& path, std::string_view section,
                               const std::vector<KeyValue>& values) const {
  // Only a missing file starts empty. One that exists but cannot be read is left alone: the new
  // file would hold these keys and lose every other setting.
  const FileRead file = ReadFileBytes(path);
  if (file.outcome == FileRead::Outcome::kUnreadable) return false;
  std::string updated = file.bytes;
  for (const auto& [key, value] : values) {
    auto next = WriteProfileValue(updated, section, key, value);
    if (!next) return false;
    updated = std::move(*next);
  }
  if (updated == file.bytes && file.outcome == FileRead::Outcome::kRead) return true;
  return WriteFileAtomically(path, updated);
}

bool SettingsFile::FileExists(const std::string& path) const {
  return PathExists(path);
}

bool SettingsFile::CreateFolder(const std::string& path) const {
  return MakeFolder(path);
}

bool SettingsFile::ReadLines(const std::string& path, std::vector<std::string>& lines) const {
  lines.clear();
  auto bytes = ReadWholeFile(path);
  if (!bytes) return false;
  lines = DecodeListLines(*bytes);
  return true;
}

bool SettingsFile::WriteLines(const std::string& path,
                              const std::vector<std::string>& lines) const {
  return WriteFileAtomically(path, EncodeListLines(lines));
}

}  // namespace lumio
