#pragma once
// lumio-catalogue: the developers' builder of the shipped station catalogue.

#include <string>
#include <vector>

#include "tools/common/tool_main.h"

namespace lumio::tools {

// Runs the builder on its arguments (without the program name):
//   assign STATIONS NIDS   give every station of STATIONS an id, appending new rows to the
//                          registry NIDS (created when missing); lists what it added
//   build STATIONS NIDS OUTPUT [--min-popularity=N] [--alternates=CSV] [--reachability=CSV]
//                          write the list file OUTPUT (atomically) from the stations of at
//                          least popularity N (default 2); fails when a station has no id.
//                          With alternates, their other addresses go to chalt.txt beside
//                          OUTPUT; with a reachability report, a station none of whose
//                          addresses played is left out, and one that played starts with it
//   probe STATIONS ALTERNATES FOLDER [--jobs=N] [--time-limit=S]
//                          check every address of the data from this machine and write the
//                          report FOLDER/reachability-<date>.csv (see probe_command.h)
// Status 1 with one line naming the file and line on bad input, nothing written then; status 2
// with a usage line on wrong usage.
ToolResult RunCatalogueTool(const std::vector<std::string>& args);

// A run that failed on bad input or a failed write: status 1, `message` after the program's name.
ToolResult CatalogueFailure(const std::string& message);

}  // namespace lumio::tools
