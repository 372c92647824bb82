#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>

#include "recording/recording_disk.h"
#include "text/gbk.h"

namespace lumio {
namespace {

class PosixOutput final : public RecordingOutput {
 public:
  explicit PosixOutput(int fd) : m_fd(fd) {}
  ~PosixOutput() override { ::close(m_fd); }
  PosixOutput(const PosixOutput&) = delete;
  PosixOutput& operator=(const PosixOutput&) = delete;

  bool Append(std::string_view bytes) override {
    std::string_view rest = bytes;
    while (!rest.empty()) {
      const ssize_t n = ::write(m_fd, rest.data(), rest.size());
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        // Half a frame at the end would be heard as a click, or stop a player reading on.
        if (::ftruncate(m_fd, m_size) == 0) ::lseek(m_fd, m_size, SEEK_SET);
        return false;
      }
      rest.remove_prefix(static_cast<size_t>(n));
    }
    m_size += static_cast<off_t>(bytes.size());
    return true;
  }

 private:
  int m_fd;
  off_t m_size = 0;
};

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

bool SystemRecordingDisk::MakeFolders(const std::string& folder) {
  if (folder.empty()) return false;
  for (size_t slash = folder.find('/', 1); slash != std::string::npos;
       slash = folder.find('/', slash + 1)) {
    ::mkdir(folder.substr(0, slash).c_str(), 0755);
  }
  ::mkdir(folder.c_str(), 0755);
  return IsFolder(folder);
}

std::optional<uint64_t> SystemRecordingDisk::FreeBytes(const std::string& folder) {
  struct statvfs fs {};
  if (::statvfs(folder.c_str(), &fs) != 0) return std::nullopt;
  return uint64_t{fs.f_bavail} * uint64_t{fs.f_frsize};
}

std::unique_ptr<RecordingOutput> SystemRecordingDisk::CreateNew(const std::string& path,
                                                                bool& exists) {
  exists = false;
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (fd < 0) {
    exists = errno == EEXIST;
    return nullptr;
  }
  return std::make_unique<PosixOutput>(fd);
}

std::string FileNameFromGbk(std::string_view gbk) {
  return GbkToUtf8Lossy(gbk);
}

}  // namespace lumio
