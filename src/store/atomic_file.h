#pragma once
// The program's access to its files: whole reads, atomic replaces, folders. Each platform has
// its side of these (atomic_file_posix.cpp, atomic_file_win.cpp); the rest is shared.
#include <optional>
#include <string>
#include <string_view>

namespace lumio {

// Replaces the file at `path` with `bytes` so that at every moment the path holds either the
// whole old file or the whole new one: the bytes go to `path` + ".vx" in the same folder, are
// flushed to disk, and the temporary file is renamed over the target, which keeps its
// permission bits (and its owner, where the process may set it). A target that is read-only (no
// write permission bits) or that this process may not write is left as it is. False, with the
// target untouched and the temporary file removed, on any failure.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);

// What reading a whole file found.
struct FileRead {
  enum class Outcome { kRead, kMissing, kUnreadable };
  Outcome outcome = Outcome::kMissing;
  std::string bytes;  // all of the file's bytes when read, else empty
};

// The whole file as raw bytes. kMissing only when nothing exists at `path`; a file that exists
// but cannot be opened or read (permissions, an I/O error, a folder) is kUnreadable, and so is
// anything but a regular file (a pipe, a device), which is never waited on.
FileRead ReadFileBytes(const std::string& path);

// Everything a tool's input at `path` gives, a pipe or a device too (read to its end, which may
// wait for the writer); nullopt when it cannot be opened or read (errno tells why). Never for
// the program's own files.
std::optional<std::string> ReadWholeInput(const std::string& path);

// The whole file as raw bytes; nullopt when it is missing or cannot be opened or read (errno
// tells why).
std::optional<std::string> ReadWholeFile(const std::string& path);

// True when a file or folder exists at `path`.
bool PathExists(const std::string& path);

// Creates one folder; false when it cannot be created.
bool MakeFolder(const std::string& path);

// The temporary name a replacement is written under.
std::string TemporaryPathFor(const std::string& path);

}  // namespace lumio
