#include <gtest/gtest.h>

#include <filesystem>

#include "catalogue/station_list_file.h"
#include "support/temp_dir.h"
#include "tool_test_support.h"

namespace lumio::test {
namespace {

TEST(StationsImport, WritesTheListFileTheCsvDescribes) {
  TempDir dir;
  WriteBytes(dir.File("in.csv"),
             "\xEF\xBB\xBFname,url,nid,timeStamp\n"
             "北京新闻,http://a/1.mp3,1001,4294967295\n"
             "\"say \"\"hi\"\", ok\",http://b/2.mp3,-3,\n"
             ",,,");
  const auto result = Stations({"import", dir.File("in.csv"), dir.File("out.ini")});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "");

  StationRecord first;
  first.name = Gbk("北京新闻");
  first.url = "http://a/1.mp3";
  first.nid = 1001;
  first.timeStamp = 4294967295u;
  StationRecord second;
  second.name = "say \"hi\", ok";
  second.url = "http://b/2.mp3";
  second.nid = -3;
  const StationRecord fresh;
  EXPECT_EQ(LoadStationList(dir.File("out.ini")), (StationList{first, second, fresh}));
  EXPECT_FALSE(std::filesystem::exists(dir.File("out.ini.vx")));
}

TEST(StationsImport, AHeaderAloneWritesAnEmptyList) {
  TempDir dir;
  WriteBytes(dir.File("in.csv"), "nid\r\n");
  WriteBytes(dir.File("out.ini"), StoredLine("|1|1|1|0|0|u|0|n|"));
  EXPECT_EQ(Stations({"import", dir.File("in.csv"), dir.File("out.ini")}).status, 0);
  EXPECT_EQ(ReadBytes(dir.File("out.ini")), "");
}

struct RefusedCase {
  std::string csv;
  std::string message;  // after "in.csv:"
};

// Every refusal leaves the old list file as it was, byte for byte.
void ExpectRefused(const RefusedCase& c) {
  TempDir dir;
  const std::string old = StoredLine("|7|1|1|0|0|http://old|0|old|");
  WriteBytes(dir.File("in.csv"), c.csv);
  WriteBytes(dir.File("out.ini"), old);
  const auto result = Stations({"import", dir.File("in.csv"), dir.File("out.ini")});
  EXPECT_EQ(result.status, 1) << c.csv;
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "lumio-stations: " + dir.File("in.csv") + ":" + c.message + "\n");
  EXPECT_EQ(ReadBytes(dir.File("out.ini")), old) << c.csv;
  EXPECT_FALSE(std::filesystem::exists(dir.File("out.ini.vx")));
}

TEST(StationsImport, RefusesBadCsvAndBadColumns) {
  const RefusedCase cases[] = {
      {"", "1: no header row"},
      {"nid,name,Name\r\n", "1: unknown column \"Name\""},
      {"nid,name,nid\r\n", "1: column \"nid\" appears twice"},
      {"nid,name\r\n1\r\n", "2: the row has 1 cell, the header has 2 cells"},
      {"nid,name\r\n1,a\r\n2,b,c\r\n", "3: the row has 3 cells, the header has 2 cells"},
      {"nid,name\r\n1,a\"b\r\n", "2: a quote inside a cell that does not start with a quote"},
      {"nid,name\r\n1,\"a\"b\r\n", "2: text after the closing quote of a cell"},
      {"nid,name\r\n1,\"a\r\n2,b\r\n", "2: a quoted cell is never closed"},
      {"nid,name\r\n1,a\rb\r\n", "2: carriage return without a line feed outside quotes"},
  };
  for (const RefusedCase& c : cases)
    ExpectRefused(c);
}

TEST(StationsImport, RefusesNumbersThatAreNotWholeOrInRange) {
  const RefusedCase cases[] = {
      {"nid\r\n12a\r\n", "2: nid \"12a\" is not a whole number"},
      {"popularity\r\n1.5\r\n", "2: popularity \"1.5\" is not a whole number"},
      {"nid\r\n2147483648\r\n",
       "2: nid \"2147483648\" is out of range (-2147483648 to 2147483647)"},
      {"contentCategory\r\n-2147483649\r\n",
       "2: contentCategory \"-2147483649\" is out of range (-2147483648 to 2147483647)"},
      {"timeStamp\r\n-1\r\n", "2: timeStamp \"-1\" is out of range (0 to 4294967295)"},
      {"timeStamp\r\n4294967296\r\n",
       "2: timeStamp \"4294967296\" is out of range (0 to 4294967295)"},
      {"regionCategory\r\n\"1\r\n\"\r\n", "2: regionCategory is not a whole number"},
  };
  for (const RefusedCase& c : cases)
    ExpectRefused(c);
}

TEST(StationsImport, RefusesTextsAListFileCannotHold) {
  const std::string longUrl(494, 'u');
  const RefusedCase cases[] = {
      {"name\r\n北京\xF0\x9F\x93\xBB\r\n",
       "2: name has a character with no GBK form: U+1F4FB \"\xF0\x9F\x93\xBB\""},
      {"name\r\nab\xFF\r\n", "2: name is not valid UTF-8"},
      {"url\r\nhttp://a/b|c\r\n",
       "2: url contains \"|\", which separates the fields of a list file"},
      {"extraText2\r\n\"a\r\nb\"\r\n", "2: extraText2 contains a line break"},
      {"nid,extraText1\r\n1,\"a\nb\"\r\n", "2: extraText1 contains a line break"},
      {"nid,extraText1\r\n1,ok\r\n2,\"c\rd\"\r\n", "3: extraText1 contains a line break"},
      {"url\r\n" + longUrl + "\r\n",
       "2: the record would take 512 bytes in a list file, where a line holds at most 511"},
      {"extraText1\r\n%x\r\n",
       "2: extraText1 starts with \"%\" or \"]\", which the list file reader takes for a comment "
       "line and skips"},
      {"extraText1\r\n]\r\n",
       "2: extraText1 starts with \"%\" or \"]\", which the list file reader takes for a comment "
       "line and skips"},
  };
  for (const RefusedCase& c : cases)
    ExpectRefused(c);
}

TEST(StationsImport, ALineOf511BytesFits) {
  TempDir dir;
  // "|0|-1|-1|0|0|" + url + "|0||\n" is 511 bytes.
  const std::string url(493, 'u');
  WriteBytes(dir.File("in.csv"), "url\r\n" + url + "\r\n");
  ASSERT_EQ(Stations({"import", dir.File("in.csv"), dir.File("out.ini")}).status, 0);
  const StationList back = LoadStationList(dir.File("out.ini"));
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0].url, url);
}

TEST(StationsImport, ReportsFilesItCannotReadOrWrite) {
  TempDir dir;
  WriteBytes(dir.File("in.csv"), "nid\r\n1\r\n");
  const auto missing = Stations({"import", dir.File("none.csv"), dir.File("out.ini")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "lumio-stations: " + dir.File("none.csv") + ": no such file\n");
  const auto unwritable = Stations({"import", dir.File("in.csv"), dir.File("no/such/out.ini")});
  EXPECT_EQ(unwritable.status, 1);
  EXPECT_EQ(unwritable.err,
            "lumio-stations: " + dir.File("no/such/out.ini") + ": cannot be written\n");
  EXPECT_FALSE(std::filesystem::exists(dir.File("out.ini")));
}

TEST(StationsRoundTrip, ImportThenExportGivesTheCsvBack) {
  const std::string csv =
      std::string(kStationsCsvHeader) +
      "e1,1001,4,1,7,5,http://a/1.mp3,4000000000,北京新闻 FM,e2\r\n"
      ",-2147483648,-1,-1,0,0,,0,,\r\n"
      "\"a,b\",2147483647,13,25,-9,3,http://b/?x=1&y=2,1,\"say \"\"hi\"\"\",·｜\r\n"
      ",0,0,0,0,0,http://c/~user/a.mp3,0,n,\r\n";
  TempDir dir;
  WriteBytes(dir.File("in.csv"), csv);
  ASSERT_EQ(Stations({"import", dir.File("in.csv"), dir.File("list.ini")}).status, 0);
  const auto exported = Stations({"export", dir.File("list.ini")});
  ASSERT_EQ(exported.status, 0) << exported.err;
  EXPECT_EQ(exported.out, csv);
}

TEST(StationsRoundTrip, ExportThenImportGivesTheRecordsBack) {
  TempDir dir;
  WriteBytes(dir.File("list.ini"),
             "# saved by hand\r\n" +
                 StoredLine("x|5|2|3|4|1|http://u|77|" + Gbk("音乐之声") + "|y|more|fields") +
                 StoredLine("|6|1|1|0|0|http://v|0|a,b|"));
  const auto exported = Stations({"export", dir.File("list.ini")});
  ASSERT_EQ(exported.status, 0);
  WriteBytes(dir.File("out.csv"), exported.out);
  ASSERT_EQ(Stations({"import", dir.File("out.csv"), dir.File("again.ini")}).status, 0);
  EXPECT_EQ(LoadStationList(dir.File("again.ini")), LoadStationList(dir.File("list.ini")));
}

}  // namespace
}  // namespace lumio::test
