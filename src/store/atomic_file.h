#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace lumio {

// Replaces the file at `path` with `bytes` so that at every moment the path holds either the
// whole old file or the whole new one: the bytes go to `path` + ".vx" in the same folder, are
// flushed to disk, and the temporary file is renamed over the target. False, with the target
// untouched and the temporary file removed, on any failure.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);

// The whole file as raw bytes; nullopt when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// The temporary name a replacement is written under.
std::string TemporaryPathFor(const std::string& path);

}  // namespace lumio
