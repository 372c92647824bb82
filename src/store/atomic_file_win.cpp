#include <windows.h>

#include <cerrno>

#include "store/atomic_file.h"

namespace lumio {
namespace {

// A kernel file handle, closed with its owner.
class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() { Close(); }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  HANDLE get() const { return handle_; }
  bool ok() const { return handle_ != INVALID_HANDLE_VALUE; }
  bool Close() {
    if (!ok()) return true;
    const BOOL closed = CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return closed != FALSE;
  }

 private:
  HANDLE handle_;
};

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = bytes.size() > 1u << 30 ? 1u << 30 : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

// The reasons the listener's tools report, in the C library's terms.
void SetErrnoFromLastError() {
  switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      errno = ENOENT;
      return;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      errno = EACCES;
      return;
    default:
      errno = EIO;
  }
}

// ReplaceFileA wants whole paths on some systems (Wine refuses a relative or a Unix-style one).
std::string FullPath(const std::string& path) {
  char buffer[MAX_PATH * 2];
  const DWORD length = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
  return length > 0 && length < sizeof buffer ? std::string(buffer, length) : path;
}

bool IsMissing(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace

// The read-only attribute holds for every user, as the listener expects of a file they
// protected. An existing target is swapped with ReplaceFileA, which keeps its attributes and
// its access rights; a new one is renamed into place.
bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  const bool replacing = attributes != INVALID_FILE_ATTRIBUTES;
  if (replacing && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    return false;
  }
  const std::string temp = TemporaryPathFor(path);
  // A ".vx" left by a save that was killed is removed, and the new one is made afresh.
  DeleteFileA(temp.c_str());
  // Made with the target's attributes, so that they survive wherever the replace itself does
  // not carry them over.
  constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                          FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  const DWORD created =
      replacing && (attributes & kKept) != 0 ? attributes & kKept : FILE_ATTRIBUTE_NORMAL;
  FileHandle file(
      CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, created, nullptr));
  if (!file.ok()) return false;
  bool ok = WriteAll(file.get(), bytes) && FlushFileBuffers(file.get()) != FALSE;
  ok = file.Close() && ok;
  if (ok) {
    ok = replacing ? ReplaceFileA(FullPath(path).c_str(), FullPath(temp).c_str(), nullptr,
                                  REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != FALSE
                   : MoveFileExA(temp.c_str(), path.c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
  }
  if (!ok) {
    DeleteFileA(temp.c_str());
    return false;
  }
  return true;
}

namespace {

FileRead ReadBytes(const std::string& path, bool filesOnly) {
  FileRead result;
  result.outcome = FileRead::Outcome::kUnreadable;
  FileHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.ok()) {
    if (IsMissing(GetLastError())) result.outcome = FileRead::Outcome::kMissing;
    SetErrnoFromLastError();
    return result;
  }
  // Only a file on a disk is read: a device or a pipe named by the path reads as unreadable.
  if (filesOnly && GetFileType(file.get()) != FILE_TYPE_DISK) {
    errno = EINVAL;
    return result;
  }
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file.get(), &size) && size.QuadPart > 0) {
    result.bytes.reserve(static_cast<size_t>(size.QuadPart));
  }
  char buffer[65536];
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) {
      SetErrnoFromLastError();
      result.bytes.clear();
      return result;
    }
    if (read == 0) break;
    result.bytes.append(buffer, read);
  }
  result.outcome = FileRead::Outcome::kRead;
  return result;
}

}  // namespace

FileRead ReadFileBytes(const std::string& path) {
  return ReadBytes(path, true);
}

std::optional<std::string> ReadWholeInput(const std::string& path) {
  FileRead read = ReadBytes(path, false);
  if (read.outcome != FileRead::Outcome::kRead) return std::nullopt;
  return std::move(read.bytes);
}

bool PathExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool MakeFolder(const std::string& path) {
  return CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

}  // namespace lumio
