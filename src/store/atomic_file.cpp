#include "store/atomic_file.h"

#include <utility>

namespace lumio {

std::string TemporaryPathFor(const std::string& path) {
  return path + ".vx";
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  FileRead read = ReadFileBytes(path);
  if (read.outcome != FileRead::Outcome::kRead) return std::nullopt;
  return std::move(read.bytes);
}

}  // namespace lumio
