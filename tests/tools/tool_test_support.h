#pragma once
// Helpers of the tools' tests: GBK texts, stored list-file lines, runs of lumio-stations.

#include <string>
#include <string_view>
#include <vector>

#include "support/gbk_text.h"
#include "tools/common/tool_main.h"

namespace lumio::test {

// The first line lumio-stations writes to a CSV file and wants in one it reads.
inline constexpr std::string_view kStationsCsvHeader =
    "extraText1,nid,contentCategory,regionCategory,extraNumber,popularity,url,timeStamp,name,"
    "extraText2\r\n";

// `plain` as one stored line of a list file: scrambled, ending in CR LF.
std::string StoredLine(std::string_view plain);

// lumio-stations run in this process.
tools::ToolResult Stations(const std::vector<std::string>& args);

}  // namespace lumio::test
