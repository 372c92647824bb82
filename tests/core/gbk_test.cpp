#include "text/gbk.h"

#include <gtest/gtest.h>

#include "text/literal.h"

namespace lumio {
namespace {

TEST(Gbk, ConvertsBothWaysAndRefusesWhatItCannotRepresent) {
  EXPECT_EQ(Utf8ToGbk("中文 FM"), std::string("\xD6\xD0\xCE\xC4 FM"));
  EXPECT_EQ(GbkToUtf8("\xD6\xD0\xCE\xC4 FM"), std::string("中文 FM"));
  EXPECT_EQ(Utf8ToGbk(""), std::string());
  EXPECT_EQ(Utf8ToGbk("\xF0\x9F\x93\xBB"), std::nullopt);  // an emoji has no GBK form
  EXPECT_EQ(Utf8ToGbk("\xE4\xB8"), std::nullopt);          // cut UTF-8
  EXPECT_EQ(GbkToUtf8("\xD6"), std::nullopt);              // a lone lead byte
}

TEST(Gbk, LossyDecodingReplacesOnlyTheBadBytes) {
  EXPECT_EQ(GbkToUtf8Lossy("a\xFF"
                           "b\xD6\xD0"),
            "a\xEF\xBF\xBD"
            "b中");
  EXPECT_EQ(GbkToUtf8Lossy("ab\xD6"), "ab\xEF\xBF\xBD");
  EXPECT_EQ(GbkToUtf8Lossy(std::string("\0x", 2)), std::string("\0x", 2));
}

TEST(Gbk, LeadBytesAreTheRangeThatStartsATwoByteCharacter) {
  EXPECT_FALSE(IsGbkLeadByte(0x80));
  EXPECT_TRUE(IsGbkLeadByte(0x81));
  EXPECT_TRUE(IsGbkLeadByte(0xFE));
  EXPECT_FALSE(IsGbkLeadByte(0xFF));
  EXPECT_FALSE(IsGbkLeadByte('|'));
}

TEST(Literal, HoldsTheGbkFormOfItsSourceText) {
  static const Literal kText("已停止");
  EXPECT_EQ(kText.gbk(), "\xD2\xD1\xCD\xA3\xD6\xB9");
  EXPECT_EQ(kText.utf8(), "已停止");
  const std::string& again = kText;
  EXPECT_EQ(&again, &kText.gbk());
}

}  // namespace
}  // namespace lumio
