#pragma once
// lumio-stations: station list files to CSV and back, for listeners who keep or edit their
// lists elsewhere and for checking the shipped catalogue.

#include <string>
#include <vector>

#include "tools/common/tool_main.h"

namespace lumio::tools {

// Runs the tool on its arguments (without the program name):
//   export FILE       the records of the list file FILE as CSV on standard output
//   import CSV FILE   FILE written atomically as a list file holding the records of CSV
//   --help            usage
// Status 1 with one line naming the file (and CSV line) on bad input, nothing written then;
// status 2 with a usage line on wrong usage.
ToolResult RunStationsTool(const std::vector<std::string>& args);

}  // namespace lumio::tools
