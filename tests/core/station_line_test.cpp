#include "catalogue/station_line.h"

#include <gtest/gtest.h>

#include "catalogue/station_list_file.h"
#include "store/list_codec.h"
#include "store/number_text.h"
#include "support/temp_dir.h"

namespace lumio {
namespace {

std::string StoredLine(std::string_view plain) {
  std::string out;
  EXPECT_TRUE(Scramble(plain, out));
  return out + "\r\n";
}

TEST(ParseDecimal, ReadsLikeAtoi) {
  struct Case {
    const char* text;
    int32_t value;
  } const cases[] = {
      {"42", 42},
      {"  -7", -7},
      {"+9", 9},
      {"\t\r\n 12x", 12},
      {"", 0},
      {"abc", 0},
      {"- 5", 0},
      {"--5", 0},
      {"0012", 12},
      {"3.9", 3},
      {"2147483647", 2147483647},
      {"2147483648", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"-99999999999999999999", -2147483647 - 1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ParseDecimal(c.text), c.value) << '"' << c.text << '"';
}

TEST(ParseDecimal, UnsignedFieldsReadBackWhatWasWritten) {
  EXPECT_EQ(ParseDecimalUnsigned("4294967295"), 4294967295u);
  EXPECT_EQ(ParseDecimalUnsigned("3000000000"), 3000000000u);
  EXPECT_EQ(ParseDecimalUnsigned("-1"), 4294967295u);
  EXPECT_EQ(ParseDecimalUnsigned("99999999999"), 4294967295u);
  EXPECT_EQ(ParseDecimalUnsigned(" 17 "), 17u);
}

TEST(StationLine, FormatsTheTenColumnsAndReadsThemBack) {
  StationRecord r;
  r.extraText1 = "e1";
  r.nid = -12;
  r.contentCategory = 5;
  r.regionCategory = 25;
  r.extraNumber = 7;
  r.popularity = 3;
  r.url = "http://127.0.0.1:8000/a.mp3";
  r.timeStamp = 4000000000u;
  r.name = "\xD6\xD0\xCE\xC4\x83\x7C";  // ends with a character whose second byte is "|"
  r.extraText2 = "";
  const std::string line = FormatStationLine(r);
  EXPECT_EQ(line, "e1|-12|5|25|7|3|http://127.0.0.1:8000/a.mp3|4000000000|" + r.name + "|\n");
  std::string_view plain(line);
  plain.remove_suffix(1);
  EXPECT_EQ(ParseStationLine(SplitFields(plain, "|")), r);
}

TEST(StationLine, AFreshRecordHasTheDocumentedValues) {
  const StationRecord fresh;
  EXPECT_EQ(FormatStationLine(fresh), "|0|-1|-1|0|0||0||\n");
}

TEST(StationListFile, LoadsWhatTheReaderAcceptsAndSkipsTheRest) {
  const std::string bytes = "# catalogue\r\n" + StoredLine("a|1|2|3|4|5|u|6|name|x") +  // 10 fields
                            StoredLine("a|1|2|3|4|5|u|6|nine") +          // 9 fields: skipped
                            StoredLine("b|2| 3 |-4|x|+5|v|7|n2|y|z|w") +  // 12 fields
                            StoredLine("c|oops|||||||| ") +               // garbage numbers
                            "\r\n" + StoredLine("after|9|9|9|9|9|u|9|late|");
  const StationList list = DecodeStationList(bytes);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].name, "name");
  EXPECT_EQ(list[0].nid, 1);
  EXPECT_EQ(list[1].contentCategory, 3);
  EXPECT_EQ(list[1].regionCategory, -4);
  EXPECT_EQ(list[1].extraNumber, 0);
  EXPECT_EQ(list[1].popularity, 5);
  EXPECT_EQ(list[1].extraText2, "y");
  EXPECT_EQ(list[2].nid, 0);
  EXPECT_EQ(list[2].contentCategory, 0);
  EXPECT_EQ(list[2].extraText2, " ");
}

TEST(StationListFile, ANameWithABarShiftsTheLaterColumns) {
  StationRecord r;
  r.name = "A|B";
  r.url = "u";
  test::TempDir dir;
  ASSERT_TRUE(SaveStationList(dir.File("l.ini"), {r}));
  const StationList back = LoadStationList(dir.File("l.ini"));
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0].name, "A");
  EXPECT_EQ(back[0].extraText2, "B");
}

TEST(StationListFile, RoundTripsEveryByteOfItsTexts) {
  StationList list(2);
  std::string name;
  for (int b = 1; b < 128; ++b) {
    if (b == '|' || b == '\r' || b == '\n') continue;
    name += static_cast<char>(b);  // the key byte, "s" and "t" included
  }
  list[0].name = name + "\xD6\xD0\x83\x7C\xFE\xFE";  // whole GBK characters
  list[1].extraText1 = std::string("\0~\0", 3);
  list[1].timeStamp = 4294967295u;
  list[1].nid = -2147483647 - 1;
  test::TempDir dir;
  ASSERT_TRUE(SaveStationList(dir.File("l.ini"), list));
  EXPECT_EQ(LoadStationList(dir.File("l.ini")), list);
  EXPECT_TRUE(LoadStationList(dir.File("missing.ini")).empty());
}

}  // namespace
}  // namespace lumio
