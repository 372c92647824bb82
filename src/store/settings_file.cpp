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
  // Only a missing file starts empty. One that exists but cannot be read is left alone: the new
  // file would hold this one key and lose every other setting.
  const FileRead file = ReadFileBytes(path);
  if (file.outcome == FileRead::Outcome::kUnreadable) return false;
  auto updated = WriteProfileValue(file.bytes, section, key, value);
  if (!updated) return false;
  if (*updated == file.bytes && file.outcome == FileRead::Outcome::kRead) return true;
  return WriteFileAtomically(path, *updated);
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
