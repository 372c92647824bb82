#include "store/list_codec.h"

#include <gtest/gtest.h>

#include "store/find_text.h"

namespace lumio {
namespace {

// "億" is 0x83 0x7C in GBK: its second byte is the byte of "|".
const std::string kYi = "\x83\x7C";

std::string Scrambled(std::string_view plain) {
  std::string out;
  EXPECT_TRUE(Scramble(plain, out));
  return out;
}

// A stored file line: the scrambled record and its CR LF.
std::string Stored(std::string_view plain) {
  return Scrambled(plain) + "\r\n";
}

TEST(Scramble, IsItsOwnInverseAndKeepsLineBreaksAndTheirPartners) {
  std::string all;
  for (int b = 0; b < 256; ++b)
    all += static_cast<char>(b);
  const std::string& half = all;
  const std::string once = Scrambled(half);
  EXPECT_EQ(Scrambled(once), half);
  EXPECT_EQ(once['\r'], '\r');
  EXPECT_EQ(once['\n'], '\n');
  EXPECT_EQ(once['s'], 's');                        // 's' ^ 0x7E is CR: kept
  EXPECT_EQ(once['t'], 't');                        // 't' ^ 0x7E is LF: kept
  EXPECT_EQ(once['~'], '\0');                       // the key byte becomes a zero byte ...
  EXPECT_EQ(Scrambled(std::string(1, '\0')), "~");  // ... and comes back
  EXPECT_EQ(once['a'], static_cast<char>('a' ^ 0x7E));
}

TEST(Scramble, RefusesLinesOf512BytesOrMore) {
  std::string out = "untouched";
  EXPECT_TRUE(Scramble(std::string(511, 'x'), out));
  EXPECT_EQ(out.size(), 511u);
  out = "untouched";
  EXPECT_FALSE(Scramble(std::string(512, 'x'), out));
  EXPECT_EQ(out, "untouched");
}

TEST(FindText, StepsWholeGbkCharacters) {
  struct Case {
    std::string text, needle;
    size_t start;
    int64_t expected;
  };
  const Case cases[] = {
      {"abc", "", 2, 2},
      {"abc", "c", 0, 2},
      {"abc", "abcd", 0, -1},
      {"a|b", "|", 0, 1},
      {"a" + kYi + "|", "|", 0, 3},    // the "|" inside 億 is skipped
      {kYi + kYi, "\x7C\x83", 0, -1},  // no match straddling two characters
      {"\xD6\xD0\xCE\xC4", "\xCE\xC4", 0, 2},
      {"abcabc", "abc", 1, 3},
      {"ab\r\n", "\r\n", 0, 2},
      {"\xD6\r\n\r\n", "\r\n", 0, 3},  // a lead byte swallows the CR after it
      {"", "x", 0, -1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FindText(c.text, c.needle, c.start), c.expected) << c.text << " / " << c.needle;
}

TEST(ReadListLines, FindsRecordsTheWayTheProgramAlwaysHas) {
  struct Case {
    const char* what;
    std::string bytes;
    std::vector<std::string> lines;
  };
  const std::string r1 = "first record";
  const std::string r2 = "second record";
  const Case cases[] = {
      {"two records", Stored(r1) + Stored(r2), {r1, r2}},
      {"no final CR LF: the last line is not read", Stored(r1) + Scrambled(r2), {r1}},
      {"an empty line ends the file", Stored(r1) + "\r\n" + Stored(r2), {r1}},
      {"header and comment lines are skipped", "[list]\r\n# made by hand\r\n" + Stored(r1), {r1}},
      {"lines of 5 bytes or less are skipped", Stored("abcde") + Stored("abcdef"), {"abcdef"}},
      {"a lone LF or CR starts a skipped line",
       "\n" + Stored(r1) + "\rxxxxxx\r\n" + Stored(r2),
       {r2}},
      {"a stored line of 511 bytes is read",
       Stored(std::string(511, 'q')),
       {std::string(511, 'q')}},
      {"a stored line of 512 bytes is skipped", std::string(512, 'q') + "\r\n" + Stored(r1), {r1}},
      {"nothing", "", {}},
      {"only garbage without line ends", "\x01\x02\x03garbage", {}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DecodeListLines(c.bytes), c.lines) << c.what;
}

TEST(ReadListLines, LeavesCharactersWhoseSecondByteIsABarWhole) {
  // The check looks at stored (scrambled) bytes: "[" and "#" only skip when stored as such.
  const std::string record = "x|1|" + kYi + "|3";
  EXPECT_EQ(DecodeListLines(Stored(record)), std::vector<std::string>{record});
  EXPECT_EQ(DecodeListLines(Stored("[not a header]")), std::vector<std::string>{"[not a header]"});
}

TEST(ReadListLines, ARecordEndingInAHighByteKeepsItsLineEnd) {
  // "仭" is 0x81 0xA1; 0xA1 scrambles to 0xDF, a GBK lead byte, right before the CR LF.
  const std::string first = "a|1|2|3|4|5|u|6|name|\x81\xA1";
  const std::string second = "b|1|2|3|4|5|u|6|next|";
  EXPECT_EQ(DecodeListLines(EncodeListLines({first + "\n", second + "\n"})),
            (std::vector<std::string>{first, second}));
}

TEST(WriteListLines, ScramblesTurnsLineFeedsIntoCrLfAndDropsOverlongLines) {
  const std::string ok = std::string(510, 'a') + "\n";       // 511 bytes with its "\n"
  const std::string tooLong = std::string(511, 'b') + "\n";  // 512 bytes with its "\n"
  const std::string bytes = EncodeListLines({"record\n", tooLong, ok});
  EXPECT_EQ(bytes, Scrambled("record") + "\r\n" + Scrambled(ok.substr(0, 510)) + "\r\n");
  EXPECT_EQ(DecodeListLines(bytes), (std::vector<std::string>{"record", ok.substr(0, 510)}));
}

TEST(SplitFields, CountsEveryFieldAndIgnoresBarsInsideCharacters) {
  EXPECT_EQ(SplitFields("a||b|", "|"), (std::vector<std::string>{"a", "", "b", ""}));
  EXPECT_EQ(SplitFields("", "|"), std::vector<std::string>{""});
  EXPECT_EQ(SplitFields("abc", ""), std::vector<std::string>{});
  EXPECT_EQ(SplitFields(kYi + "|x", "|"), (std::vector<std::string>{kYi, "x"}));
  EXPECT_EQ(SplitFields("a::b", "::"), (std::vector<std::string>{"a", "b"}));
}

}  // namespace
}  // namespace lumio
