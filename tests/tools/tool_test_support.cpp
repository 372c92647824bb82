#include "tool_test_support.h"

#include <gtest/gtest.h>

#include "store/list_codec.h"
#include "text/gbk.h"
#include "tools/stations/stations_tool.h"

namespace lumio::test {

std::string StoredLine(std::string_view plain) {
  std::string out;
  EXPECT_TRUE(Scramble(plain, out));
  return out + "\r\n";
}

tools::ToolResult Stations(const std::vector<std::string>& args) {
  return tools::RunStationsTool(args);
}

}  // namespace lumio::test
