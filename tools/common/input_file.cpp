#include "tools/common/input_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "store/atomic_file.h"

namespace lumio::tools {

bool ReadInputFile(const std::string& path, std::string& bytes, std::string& reason) {
  errno = 0;
  if (auto read = ReadWholeInput(path)) {
    bytes = std::move(*read);
    return true;
  }
  const int error = errno;
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    reason = "is a folder, not a file";
  } else if (error == ENOENT) {
    reason = "no such file";
  } else if (error != 0) {
    reason = std::string("cannot be read: ") + std::strerror(error);
  } else {
    reason = "cannot be read";
  }
  return false;
}

}  // namespace lumio::tools
