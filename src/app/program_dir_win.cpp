#include <windows.h>

#include <vector>

#include "app/program_dir.h"

namespace lumio {

// The module's path up to and including its last backslash. The buffer grows for paths longer
// than MAX_PATH, which GetModuleFileNameA cuts short without failing.
std::string ProgramDirectory() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) {
      std::string path(buffer.data(), length);
      const size_t slash = path.find_last_of('\\');
      return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    }
    if (buffer.size() >= 32768) return {};
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace lumio
