#include "tool_test_support.h"

#include <gtest/gtest.h>

#include "store/list_codec.h"
#include "text/gbk.h"
#include "tools/stations/stations_tool.h"

namespace lumio::test {

std::string Gbk(std::string_view utf8) {
  auto gbk = Utf8ToGbk(utf8);
  EXPECT_TRUE(gbk.has_value()) << utf8;
  return gbk.value_or(std::string());
}

std::string StoredLine(std::string_view plain) {
  std::string out;
  EXPECT_TRUE(Scramble(plain, out));
  return out + "\r\n";
}

tools::ToolResult Stations(const std::vector<std::string>& args) {
  return tools::RunStationsTool(args);
}

}  // namespace lumio::test
