#pragma once
// lumio-catalogue probe: the maintainers' check, before a release, of every address of the
// catalogue data (each station's own and its alternates) from a machine with internet. It
// writes FOLDER/reachability-<UTC date>.csv, which the build takes to leave out the stations
// none of whose addresses played and to put an address that played first.

#include <string>
#include <vector>

#include "tools/catalogue/address_probe.h"
#include "tools/common/tool_main.h"

namespace lumio::tools {

struct ProbeRequest {
  std::string stationsPath;
  std::string alternatesPath;
  std::string folder;
  ProbeSettings settings;
};

// Reads `args` (after "probe"): STATIONS ALTERNATES FOLDER [--jobs=N] [--time-limit=SECONDS]
// [--ca-file=PEM]; false with `usage` saying what is wrong.
bool ParseProbeArguments(const std::vector<std::string>& args, ProbeRequest& request,
                         std::string& usage);

// Checks every address and writes the report; status 1 when the data cannot be read, the
// check cannot run or the report cannot be written.
ToolResult RunProbe(const ProbeRequest& request);

}  // namespace lumio::tools
