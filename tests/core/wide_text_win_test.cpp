#include "text/wide_text.h"

#include <gtest/gtest.h>

namespace lumio {
namespace {

TEST(WideText, GbkTextsShowAsTheirCharactersWhateverTheSystemCodePage) {
  EXPECT_EQ(GbkToWide("\xD6\xD0\xCE\xC4 FM"), L"\u4E2D\u6587 FM");
  EXPECT_EQ(GbkToWide(""), L"");
  EXPECT_EQ(GbkToWide("a\xFF"
                      "b"),
            L"a\uFFFDb");  // a bad byte still leaves the rest readable
  std::string gbk;
  ASSERT_TRUE(WideToGbk(L"\u65B0\u95FB", gbk));
  EXPECT_EQ(gbk, "\xD0\xC2\xCE\xC5");
  EXPECT_FALSE(WideToGbk(L"\U0001F4FB", gbk));  // an emoji has no GBK form
  EXPECT_EQ(Utf8ToWide("正在播放"), L"\u6B63\u5728\u64AD\u653E");
}

}  // namespace
}  // namespace lumio
