#include "recording/recording_disk.h"

#include "store/atomic_file.h"

namespace lumio {

bool SystemRecordingDisk::Replace(const std::string& path, std::string_view bytes) {
  return WriteFileAtomically(path, bytes);
}

}  // namespace lumio
