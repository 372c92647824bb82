#pragma once
// The recorder's access to the disk, behind an interface so that a full disk or a failing write
// can be staged in a test. The system's side has a POSIX and a Windows half
// (recording_disk_posix.cpp, recording_disk_win.cpp).

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace lumio {

// One recording's file, open for appending.
class RecordingOutput {
 public:
  virtual ~RecordingOutput() = default;
  // Appends `bytes` whole or not at all: after a failed write the file is cut back to where it
  // was, so that it never ends in half a frame.
  virtual bool Append(std::string_view bytes) = 0;
};

class RecordingDisk {
 public:
  virtual ~RecordingDisk() = default;
  // Makes `folder` and its missing parents; true when it is a folder afterwards.
  virtual bool MakeFolders(const std::string& folder) = 0;
  // Bytes this user may still write on the disk that holds `folder`; nullopt when the system
  // cannot tell.
  virtual std::optional<uint64_t> FreeBytes(const std::string& folder) = 0;
  // Creates the file `path`, which must not exist yet; nullptr when it cannot, with `exists`
  // set when the name is taken.
  virtual std::unique_ptr<RecordingOutput> CreateNew(const std::string& path, bool& exists) = 0;
  // Replaces the file `path` with `bytes` whole, or leaves it as it was.
  virtual bool Replace(const std::string& path, std::string_view bytes) = 0;
};

// The file system this program runs on.
class SystemRecordingDisk final : public RecordingDisk {
 public:
  bool MakeFolders(const std::string& folder) override;
  std::optional<uint64_t> FreeBytes(const std::string& folder) override;
  std::unique_ptr<RecordingOutput> CreateNew(const std::string& path, bool& exists) override;
  bool Replace(const std::string& path, std::string_view bytes) override;
};

// A GBK text as this system writes it in a file name: UTF-8 on POSIX; on Windows the ANSI
// code page, in which a character it lacks becomes "_".
std::string FileNameFromGbk(std::string_view gbk);

}  // namespace lumio
