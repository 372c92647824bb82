#include "tools/catalogue/catalogue_tool.h"

#include <gtest/gtest.h>

#include "catalogue/station_list_file.h"
#include "support/temp_dir.h"
#include "tool_test_support.h"
#include "tools/catalogue/catalogue_records.h"
#include "tools/catalogue/upstream_stations.h"

namespace lumio::tools {
namespace {

using test::Gbk;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

constexpr std::string_view kUpstreamHeader =
    "name,url,content_category,region,popularity,source\r\n";

TEST(UpstreamStations, RefusesRowsThatCannotBeShipped) {
  struct Case {
    std::string csv;
    size_t line;
    std::string message;
  } const cases[] = {
      {"name,url,region,popularity\r\n", 1, "no column \"content_category\""},
      {std::string(kUpstreamHeader) + "a,http://a,1,1,1,s\r\n,http://b,1,1,1,s\r\n", 3,
       "empty name"},
      {std::string(kUpstreamHeader) + "a,http://a,14,1,1,s\r\n", 2,
       "content_category \"14\" is out of range (1 to 13)"},
      {std::string(kUpstreamHeader) + "a,http://a,1,1,1,s\r\nb,http://a,1,1,1,s\r\n", 3,
       "url http://a is listed on line 2 already"},
  };
  for (const auto& c : cases) {
    CsvError error;
    EXPECT_FALSE(ReadUpstreamStations(c.csv, error)) << c.csv;
    EXPECT_EQ(error.line, c.line) << c.csv;
    EXPECT_EQ(error.message, c.message) << c.csv;
  }
}

UpstreamStation Upstream(size_t line, const char* name, const char* url, int32_t popularity) {
  UpstreamStation s;
  s.line = line;
  s.name = name;
  s.url = url;
  s.contentCategory = 5;
  s.region = 9;
  s.popularity = popularity;
  return s;
}

TEST(CatalogueRecords, ShipsThePopularStationsBestFirstInUpstreamOrderAmongEquals) {
  const std::vector<UpstreamStation> stations = {
      Upstream(2, "a", "http://a", 2), Upstream(3, "b", "http://b", 1),
      Upstream(4, "c", "http://c", 4), Upstream(5, "d", "http://d", 2),
      Upstream(6, "e", "http://e", 5), Upstream(7, "f", "http://f", 4),
  };
  CsvError error;
  auto records = BuildCatalogueRecords(stations, {1001, 1002, 1003, 1004, 1005, 1006}, 2, error);
  ASSERT_TRUE(records) << error.message;
  std::vector<int32_t> nids;
  for (const StationRecord& r : *records)
    nids.push_back(r.nid);
  EXPECT_EQ(nids, (std::vector<int32_t>{1005, 1003, 1006, 1001, 1004}));

  StationRecord expected;
  expected.name = "e";
  expected.url = "http://e";
  expected.contentCategory = 5;
  expected.regionCategory = 9;
  expected.popularity = 5;
  expected.nid = 1005;
  EXPECT_EQ(records->front(), expected);

  auto all = BuildCatalogueRecords(stations, {1, 2, 3, 4, 5, 6}, 0, error);
  ASSERT_TRUE(all);
  EXPECT_EQ(all->size(), 6u);
}

TEST(CatalogueRecords, GivesNamesAGbkForm) {
  struct Case {
    const char* name;
    std::optional<std::string> gbk;
  } const cases[] = {
      {"北京新闻广播", Gbk("北京新闻广播")},
      {"宝岛联播网|大千电台", Gbk("宝岛联播网｜大千电台")},
      {"n p r | CPR||", Gbk("n p r ｜ CPR｜｜")},
      {"邢台交通•音乐广播", Gbk("邢台交通·音乐广播")},
      {"a‧b・c", Gbk("a·b·c")},
      {"电台\xF0\x9F\x93\xBB", std::nullopt},
  };
  for (const auto& c : cases) {
    std::string reason;
    EXPECT_EQ(StationNameToGbk(c.name, reason), c.gbk) << c.name;
  }

  CsvError error;
  EXPECT_FALSE(BuildCatalogueRecords({Upstream(9, "电台\xF0\x9F\x93\xBB", "http://a", 0)}, {1001},
                                     2, error));
  EXPECT_EQ(error.line, 9u);
  EXPECT_EQ(error.message,
            "name \"电台\xF0\x9F\x93\xBB\" has a character with no GBK form: U+1F4FB "
            "\"\xF0\x9F\x93\xBB\"; "
            "give it a stand-in in the catalogue builder");
}

TEST(CatalogueTool, AssignAppendsToTheRegistryAndBuildWritesTheCatalogue) {
  TempDir dir;
  const std::string stations = dir.File("stations.csv");
  const std::string nids = dir.File("nids.csv");
  const std::string list = dir.File("chlst.ini");
  WriteBytes(stations, std::string(kUpstreamHeader) +
                           "北京新闻,http://a,4,1,5,s\r\n音乐台,http://b,5,9,1,s\r\n");

  auto first = RunCatalogueTool({"assign", stations, nids});
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(first.out,
            "new 1001 北京新闻 http://a\nnew 1002 音乐台 http://b\n"
            "2 stations: 0 kept, 0 moved, 2 new\n");
  const std::string registry = "nid,url,name\r\n1001,http://a,北京新闻\r\n1002,http://b,音乐台\r\n";
  EXPECT_EQ(ReadBytes(nids), registry);

  auto built = RunCatalogueTool({"build", stations, nids, list, "--min-popularity=1"});
  ASSERT_EQ(built.status, 0) << built.err;
  EXPECT_EQ(built.out, list + ": 2 of 2 stations (popularity 1 and up)\n");
  ASSERT_EQ(LoadStationList(list).size(), 2u);
  EXPECT_EQ(LoadStationList(list)[1].name, Gbk("音乐台"));
  ASSERT_EQ(RunCatalogueTool({"build", stations, nids, list}).status, 0);
  ASSERT_EQ(LoadStationList(list).size(), 1u);

  // New data: b moved to a new URL, c is new; the old rows stay as they were.
  WriteBytes(stations,
             std::string(kUpstreamHeader) +
                 "音乐台,http://b2,5,9,1,s\r\nc,http://c,5,9,3,s\r\n北京新闻,http://a,4,1,5,s\r\n");
  const std::string before = ReadBytes(list);
  auto stale = RunCatalogueTool({"build", stations, nids, list});
  EXPECT_EQ(stale.status, 1);
  EXPECT_EQ(stale.err, "lumio-catalogue: " + stations +
                           ":2: station \"音乐台\" (http://b2) has no id; run lumio-catalogue "
                           "assign\n");
  EXPECT_EQ(ReadBytes(list), before);

  auto second = RunCatalogueTool({"assign", stations, nids});
  ASSERT_EQ(second.status, 0) << second.err;
  EXPECT_EQ(second.out,
            "moved 1002 音乐台 http://b2\nnew 1003 c http://c\n"
            "3 stations: 1 kept, 1 moved, 1 new\n");
  EXPECT_EQ(ReadBytes(nids), registry + "1002,http://b2,音乐台\r\n1003,http://c,c\r\n");
  ASSERT_EQ(RunCatalogueTool({"build", stations, nids, list}).status, 0);
  std::vector<int32_t> shipped;
  for (const StationRecord& r : LoadStationList(list))
    shipped.push_back(r.nid);
  EXPECT_EQ(shipped, (std::vector<int32_t>{1001, 1003}));

  const std::string grown = ReadBytes(nids);
  auto third = RunCatalogueTool({"assign", stations, nids});
  EXPECT_EQ(third.out, "3 stations: 3 kept, 0 moved, 0 new\n");
  EXPECT_EQ(ReadBytes(nids), grown);
}

TEST(CatalogueTool, ReportsBadInputAndUsage) {
  TempDir dir;
  WriteBytes(dir.File("stations.csv"), std::string(kUpstreamHeader) + "a,http://a,1,1,1,s\r\n");
  WriteBytes(dir.File("nids.csv"), "nid,url,name\r\n0,http://a,a\r\n");
  WriteBytes(dir.File("out.ini"), "old");
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string err;
  } const cases[] = {
      {{"build", dir.File("stations.csv"), dir.File("nids.csv"), dir.File("out.ini")},
       1,
       "lumio-catalogue: " + dir.File("nids.csv") +
           ":2: nid \"0\" is out of range (1 to 2147483647)\n"},
      {{"build", dir.File("stations.csv"), dir.File("none.csv"), dir.File("out.ini")},
       1,
       "lumio-catalogue: " + dir.File("none.csv") + ": no such file\n"},
      {{"build", "a", "b"}, 2, "lumio-catalogue: build takes STATIONS, NIDS and OUTPUT\n"},
      {{"build", "a", "b", "c", "--min-popularity=x"},
       2,
       "lumio-catalogue: the minimum popularity is not a whole number\n"},
      {{"sort"}, 2, "lumio-catalogue: unknown command \"sort\"\n"},
  };
  for (const auto& c : cases) {
    auto result = RunCatalogueTool(c.args);
    EXPECT_EQ(result.status, c.status) << c.err;
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(result.err.starts_with(c.err)) << result.err;
    if (c.status == 2) {
      EXPECT_NE(result.err.find("usage: lumio-catalogue"), std::string::npos);
    }
  }
  EXPECT_EQ(ReadBytes(dir.File("out.ini")), "old");
  EXPECT_EQ(ReadBytes(dir.File("nids.csv")), "nid,url,name\r\n0,http://a,a\r\n");
}

}  // namespace
}  // namespace lumio::tools
