#pragma once
// Helpers of the tools' tests: GBK texts, stored list-file lines, runs of lumio-stations.

#include <string>
#include <string_view>
#include <vector>

#include "tools/common/tool_main.h"

namespace lumio::test {

// The GBK form of a UTF-8 literal (which must have one).
std::string Gbk(std::string_view utf8);

// `plain` as one stored line of a list file: scrambled, ending in CR LF.
std::string StoredLine(std::string_view plain);

// lumio-stations run in this process.
tools::ToolResult Stations(const std::vector<std::string>& args);

}  // namespace lumio::test
