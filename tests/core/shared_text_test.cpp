#include "text/shared_text.h"

#include <gtest/gtest.h>

namespace lumio {
namespace {

TEST(SharedText, CopiesShareABufferButBehaveAsIndependentValues) {
  SharedText a("中文 FM");
  SharedText b = a;
  EXPECT_EQ(a.data(), b.data());  // one buffer
  b += "!";
  EXPECT_EQ(a, "中文 FM");
  EXPECT_EQ(b, std::string("中文 FM!"));
  b = a;
  a = "other";
  EXPECT_EQ(b, "中文 FM");
  SharedText moved = std::move(b);
  EXPECT_EQ(moved, "中文 FM");
  EXPECT_TRUE(b.empty());  // NOLINT(bugprone-use-after-move): a moved-from text is empty
}

TEST(SharedText, EmptyTextsHoldNoBufferAndReadAsEmptyStrings) {
  const SharedText empty;
  EXPECT_TRUE(empty.empty());
  EXPECT_EQ(empty.size(), 0u);
  EXPECT_STREQ(empty.c_str(), "");
  EXPECT_EQ(SharedText(""), empty);
  EXPECT_EQ(SharedText(std::string("\0x", 2)).size(), 2u);  // bytes, not C strings
  EXPECT_EQ(SharedText("ab") + "c", "abc");
  EXPECT_EQ("x" + SharedText("y"), "xy");
  EXPECT_LT(SharedText("a"), SharedText("b"));
}

}  // namespace
}  // namespace lumio
