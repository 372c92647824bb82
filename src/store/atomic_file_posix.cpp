#include "store/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace lumio {
namespace {

// A POSIX file descriptor, closed with its owner.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() { Close(); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  bool ok() const { return fd_ >= 0; }
  // Closes now and reports whether the close succeeded (a late write error shows here).
  bool Close() {
    if (fd_ < 0) return true;
    int r = ::close(fd_);
    fd_ = -1;
    return r == 0;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// The rename must reach the disk too, or a power cut could bring back the old name.
void SyncFolder(const std::string& path) {
  Fd dir(::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.ok()) ::fsync(dir.get());
}

// A file without write permission bits is read-only for everyone, root too, as the read-only
// attribute is on Windows; and a file this process may not write does not become its own
// through the folder's permission to rename.
bool MayReplace(const std::string& path, const struct stat& target) {
  if ((target.st_mode & 0222) == 0) return false;
  return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

// The replacement takes the target's permission bits, and its owner and group where the
// process may give them (root may; a user may give a group it belongs to).
bool TakeOverModeAndOwner(int fd, const struct stat& target) {
  const bool owned = ::fchown(fd, target.st_uid, target.st_gid) == 0 ||
                     ::fchown(fd, static_cast<uid_t>(-1), target.st_gid) == 0;
  static_cast<void>(owned);  // otherwise it stays the process's, as a new file would be
  return ::fchmod(fd, target.st_mode & 07777) == 0;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
  struct stat target {};
  const bool replacing = ::stat(path.c_str(), &target) == 0;
  // A pipe, a device or a folder at the path is someone else's: never swapped for a file.
  if (replacing && (!S_ISREG(target.st_mode) || !MayReplace(path, target))) return false;
  const std::string temp = TemporaryPathFor(path);
  // A ".vx" that is already there was left by a save that was killed (or put there by someone
  // else): it is removed, and the new one is made afresh and never through a link, so the bytes
  // cannot land in whatever file an old name points at.
  ::unlink(temp.c_str());
  // Private until it has the target's mode, which may be stricter than a new file's.
  Fd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
               replacing ? 0600 : 0644));
  if (!fd.ok()) return false;
  bool ok = !replacing || TakeOverModeAndOwner(fd.get(), target);
  ok = ok && WriteAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
  ok = fd.Close() && ok;
  if (ok) ok = ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  SyncFolder(path);
  return true;
}

namespace {

FileRead ReadBytes(const std::string& path, bool filesOnly) {
  FileRead result;
  result.outcome = FileRead::Outcome::kUnreadable;
  // A program's file is opened without waiting: a pipe at the path would otherwise hold the
  // program until someone writes into it. Only a regular file is read then.
  const int wait = filesOnly ? O_NONBLOCK : 0;
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | wait));
  if (!fd.ok()) {
    if (errno == ENOENT) result.outcome = FileRead::Outcome::kMissing;
    return result;
  }
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return result;
  if (S_ISDIR(st.st_mode) || (filesOnly && !S_ISREG(st.st_mode))) {
    errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    return result;
  }
  std::string& bytes = result.bytes;
  if (st.st_size > 0) bytes.reserve(static_cast<size_t>(st.st_size));
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      bytes.clear();
      return result;
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<size_t>(n));
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
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

bool MakeFolder(const std::string& path) {
  return ::mkdir(path.c_str(), 0755) == 0;
}

}  // namespace lumio
