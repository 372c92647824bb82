#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"
#include "tool_test_support.h"

namespace lumio::test {
namespace {

struct ExportCase {
  const char* name;
  std::string file;  // bytes of the list file
  std::string csv;   // expected standard output, without the header
};

TEST(StationsExport, WritesWhatTheLoaderReads) {
  const std::string beijing = Gbk("北京新闻");
  const std::string record1 = "|1001|4|1|0|5|http://a/1.mp3|0|" + beijing + "|";
  const std::string csv1 = ",1001,4,1,0,5,http://a/1.mp3,0,北京新闻,\r\n";
  const ExportCase cases[] = {
      {"one record", StoredLine(record1), csv1},
      {"comment, header and short lines are skipped",
       "# plain comment\r\n[chlst]\r\n" + StoredLine("x|1|2") + StoredLine(record1), csv1},
      {"a line of nine fields is skipped, twelve fields read as ten",
       StoredLine("1|2|3|4|5|6|7|8|9") + StoredLine("e1|-5|2|25|7|3|u|4000000000|n|e2|x|y"),
       "e1,-5,2,25,7,3,u,4000000000,n,e2\r\n"},
      {"an empty line ends the file",
       StoredLine(record1) + "\r\n" + StoredLine("|2|2|2|2|2|u|2|n|"), csv1},
      {"a last line without CR LF is not read",
       StoredLine(record1) + StoredLine("|2|2|2|2|2|u|2|n|").substr(0, 17), csv1},
      {"texts that need quoting", StoredLine("a,b|7|1|1|0|0|http://x/?a=1,2|0|say \"hi\"|"),
       "\"a,b\",7,1,1,0,0,\"http://x/?a=1,2\",0,\"say \"\"hi\"\"\",\r\n"},
      {"numbers as the loader reads them", StoredLine(" 12x|-0|+3|99999999999|abc|-1|u|-1|n|"),
       " 12x,0,3,2147483647,0,-1,u,4294967295,n,\r\n"},
      {"a byte equal to the key is a zero byte", StoredLine("|1|1|1|0|0|http://x/~me|0|n|"),
       ",1,1,1,0,0,http://x/~me,0,n,\r\n"},
      {"an empty file", "", ""},
      {"a file of comments", "# nothing here\r\n", ""},
  };
  TempDir dir;
  for (const ExportCase& c : cases) {
    WriteBytes(dir.File("list.ini"), c.file);
    const auto result = Stations({"export", dir.File("list.ini")});
    EXPECT_EQ(result.status, 0) << c.name;
    EXPECT_EQ(result.err, "") << c.name;
    EXPECT_EQ(result.out, std::string(kStationsCsvHeader) + c.csv) << c.name;
  }
}

TEST(StationsExport, RefusesWhatItCannotReadOrWriteFaithfully) {
  TempDir dir;
  WriteBytes(dir.File("bad.ini"), StoredLine("|1|1|1|0|0|u|0|ok|") +
                                      StoredLine("|2|1|1|0|0|u|0|" + Gbk("好") + "\xFF|"));
  WriteBytes(dir.File("bad-url.ini"), StoredLine("|1|1|1|0|0|\xFF|0|n|"));
  std::filesystem::create_directory(dir.File("folder"));
  struct Case {
    std::string file;
    std::string message;
  } const cases[] = {
      {dir.File("bad.ini"), dir.File("bad.ini") + ": record 2: name is not valid GBK text"},
      {dir.File("bad-url.ini"), dir.File("bad-url.ini") + ": record 1: url is not valid GBK text"},
      {dir.File("missing.ini"), dir.File("missing.ini") + ": no such file"},
      {dir.File("folder"), dir.File("folder") + ": is a folder, not a file"},
  };
  for (const Case& c : cases) {
    const auto result = Stations({"export", c.file});
    EXPECT_EQ(result.status, 1) << c.file;
    EXPECT_EQ(result.out, "") << c.file;
    EXPECT_EQ(result.err, "lumio-stations: " + c.message + "\n");
  }
}

TEST(StationsUsage, WrongUsageExitsWithTwoAndAUsageLine) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"list"},
      {"export"},
      {"export", "a", "b"},
      {"import", "a.csv"},
      {"import", "a", "b", "c"},
      {"--help", "export"},
  };
  for (const auto& args : cases) {
    const auto result = Stations(args);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("\nusage: lumio-stations "), std::string::npos) << result.err;
  }
  const auto help = Stations({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.err, "");
  EXPECT_NE(help.out.find("lumio-stations import CSV FILE"), std::string::npos);
}

}  // namespace
}  // namespace lumio::test
