#include "store/profile_text.h"

#include <gtest/gtest.h>

namespace lumio {
namespace {

const std::string kFile =
    "; settings of the radio\r\n"
    "[other]\r\n"
    "Mode=7\r\n"
    "\r\n"
    "[ Sys ]\r\n"
    "  LastX  =  120  \r\n"
    "LastY=\r\n"
    "Mode=1\r\n"
    "mode=2\r\n"
    "\r\n"
    "[sys]\r\n"
    "Extra=ignored\r\n";

TEST(ReadProfileValue, FindsKeysWhateverTheirCaseAndBlanks) {
  struct Case {
    const char* section;
    const char* key;
    std::string expected;
  } const cases[] = {
      {"sys", "LastX", "120"},
      {"SYS", "lastx", "120"},
      {"sys", " Mode ", "1"},
      {"sys", "LastY", ""},
      {"sys", "Missing", ""},
      {"other", "mode", "7"},
      {"nothere", "Mode", ""},
      {"sys", "Extra", ""},  // a second [sys] is never read
      {"sys", "; settings of the radio", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ReadProfileValue(kFile, c.section, c.key), c.expected) << c.section << "/" << c.key;
  EXPECT_EQ(ReadProfileValue("", "sys", "Mode"), "");
  EXPECT_EQ(ReadProfileValue("[sys]\nMode=3", "sys", "Mode"), "3");  // LF ends, no final break
}

TEST(ReadProfileValue, CutsLongValuesTo127Bytes) {
  const std::string longValue(300, 'v');
  EXPECT_EQ(ReadProfileValue("[s]\r\nk=" + longValue + "\r\n", "s", "k"), std::string(127, 'v'));
  // 126 ASCII bytes then a two-byte character: the character does not fit and is not split.
  const std::string gbk = std::string(126, 'v') + "\xD6\xD0" + "tail";
  EXPECT_EQ(ReadProfileValue("[s]\r\nk=" + gbk + "\r\n", "s", "k"), std::string(126, 'v'));
}

TEST(ReadProfileValue, DropsOnePairOfMatchingQuotesAroundTheValue) {
  struct Case {
    const char* stored;
    std::string expected;
  } const cases[] = {
      {"\"80\"", "80"},
      {"'80'", "80"},
      {"  \" a b \"  ", " a b "},  // blanks go first, those inside the quotes stay
      {"\"\"", ""},
      {"\"\"x\"\"", "\"x\""},  // one pair only
      {"\"80'", "\"80'"},      // quotes that do not match stay
      {"\"", "\""},            // a lone quote is not a pair
      {"\"a\"b", "\"a\"b"},    // nor is one that does not close the value
      {"8\"0\"", "8\"0\""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ReadProfileValue(std::string("[s]\r\nk=") + c.stored + "\r\n", "s", "k"), c.expected)
        << c.stored;
  // The quotes do not count towards the 127 bytes.
  const std::string quoted = "\"" + std::string(200, 'v') + "\"";
  EXPECT_EQ(ReadProfileValue("[s]\r\nk=" + quoted + "\r\n", "s", "k"), std::string(127, 'v'));
  EXPECT_EQ(ReadProfileValue("[s]\r\nk=\"" + std::string(127, 'v') + "\"\r\n", "s", "k"),
            std::string(127, 'v'));
}

TEST(ReadProfileValue, FoldsOnlyAsciiLettersNotTheSecondByteOfACharacter) {
  // 0x81 0x41 and 0x81 0x61 are two different characters whose second bytes are "A" and "a".
  EXPECT_EQ(ReadProfileValue("[s]\r\n\x81"
                             "A=1\r\n",
                             "s",
                             "\x81"
                             "A"),
            "1");
  EXPECT_EQ(ReadProfileValue("[s]\r\n\x81"
                             "A=1\r\n",
                             "s",
                             "\x81"
                             "a"),
            "");
}

TEST(WriteProfileValue, ReplacesInPlaceAndKeepsEverythingElse) {
  auto out = WriteProfileValue(kFile, "SYS", "lastx", "-35");
  ASSERT_TRUE(out);
  std::string expected = kFile;
  expected.replace(expected.find("  LastX  =  120  "), 17, "LastX=-35");
  EXPECT_EQ(*out, expected);
}

TEST(WriteProfileValue, AppendsAMissingKeyAtTheEndOfItsSection) {
  auto out = WriteProfileValue(kFile, "sys", "Volumn", "80");
  ASSERT_TRUE(out);
  std::string expected = kFile;
  expected.insert(expected.find("mode=2\r\n") + 8, "Volumn=80\r\n");
  EXPECT_EQ(*out, expected);
  EXPECT_EQ(ReadProfileValue(*out, "sys", "Volumn"), "80");
}

TEST(WriteProfileValue, AppendsAMissingSectionAndCreatesAFile) {
  EXPECT_EQ(WriteProfileValue("", "sys", "LastX", "5"), "[sys]\r\nLastX=5\r\n");
  EXPECT_EQ(WriteProfileValue("[a]\r\nb=1", "sys", "k", "v"), "[a]\r\nb=1\r\n[sys]\r\nk=v\r\n");
  EXPECT_EQ(WriteProfileValue("[sys]\r\nb=1", "sys", "k", "v"), "[sys]\r\nb=1\r\nk=v\r\n");
  EXPECT_EQ(WriteProfileValue("[sys]\nb=1\n", "sys", "b", "2"), "[sys]\nb=2\n");
  // A last line ending in a lone CR only needs its LF before anything is added.
  EXPECT_EQ(WriteProfileValue("[sys]\r\nb=1\r", "sys", "k", "v"), "[sys]\r\nb=1\r\nk=v\r\n");
  EXPECT_EQ(WriteProfileValue("[a]\r\nb=2\r", "sys", "k", "v"), "[a]\r\nb=2\r\n[sys]\r\nk=v\r\n");
}

TEST(WriteProfileValue, RefusesTextsThatWouldBreakTheFile) {
  EXPECT_EQ(WriteProfileValue("", "sys", "k", "two\r\nlines"), std::nullopt);
  EXPECT_EQ(WriteProfileValue("", "sys", "a=b", "v"), std::nullopt);
  EXPECT_EQ(WriteProfileValue("", "s]", "k", "v"), std::nullopt);
  EXPECT_EQ(WriteProfileValue("", "", "k", "v"), std::nullopt);
  EXPECT_EQ(WriteProfileValue("", "sys", " ", "v"), std::nullopt);
}

}  // namespace
}  // namespace lumio
