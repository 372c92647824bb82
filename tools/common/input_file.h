#pragma once
// Reading a file named on a tool's command line.

#include <string>

namespace lumio::tools {

// The whole file as raw bytes into `bytes`; false with `reason` ("no such file", "is a
// folder", the system's text) when it cannot be read.
bool ReadInputFile(const std::string& path, std::string& bytes, std::string& reason);

}  // namespace lumio::tools
