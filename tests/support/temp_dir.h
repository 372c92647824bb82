#pragma once
// A fresh folder for one test, removed with everything in it when the test ends.

#include <filesystem>
#include <string>
#include <string_view>

namespace lumio::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder, ending with "/".
  const std::string& path() const { return path_; }
  std::string File(std::string_view name) const { return path_ + std::string(name); }

 private:
  std::string path_;
};

// Writes `bytes` to `path` as they are.
void WriteBytes(const std::string& path, std::string_view bytes);
// The bytes of `path`, or "<missing>" when it cannot be read.
std::string ReadBytes(const std::string& path);
// Takes every write permission away, as a listener protecting a file would (on Windows: the
// read-only attribute).
void MakeReadOnly(const std::string& path);
bool IsReadOnly(const std::string& path);

}  // namespace lumio::test
