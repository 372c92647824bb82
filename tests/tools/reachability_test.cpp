// The catalogue's other addresses and its reachability report, from the data to the shipped
// files: which station an alternate belongs to, what a report does to the catalogue, and how
// the check judges what an address sends.

#include <gtest/gtest.h>

#include "catalogue/station_addresses.h"
#include "catalogue/station_list_file.h"
#include "stream/stream_builders.h"
#include "support/temp_dir.h"
#include "tools/catalogue/catalogue_tool.h"
#include "tools/catalogue/probe_verdict.h"
#include "tools/catalogue/reachability_report.h"
#include "tools/catalogue/station_alternates.h"

namespace lumio::tools {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

constexpr std::string_view kStations =
    "name,url,content_category,region,popularity,source\r\n"
    "Alpha,http://a/1,5,9,3,s\r\n"
    "Beta,http://b/1,5,9,3,s\r\n"
    "Gamma,http://c/1,5,9,2,s\r\n"
    "Twin,http://t/1,5,9,1,s\r\n"
    "Twin,http://t/2,5,9,1,s\r\n";
constexpr std::string_view kNids =
    "nid,url,name\r\n1001,http://a/1,Alpha\r\n1002,http://b/1,Beta\r\n1003,http://c/1,Gamma\r\n"
    "1004,http://t/1,Twin\r\n1005,http://t/2,Twin\r\n";

std::vector<UpstreamStation> Stations() {
  CsvError error;
  return ReadUpstreamStations(kStations, error).value();
}

TEST(StationAlternates, KeyEachAddressToTheOneStationItNames) {
  CsvError error;
  auto alternates = ReadStationAlternates(
      "name,alternate_url,source\r\nBeta,http://b/2,x\r\nAlpha,http://a/2,x\r\n"
      "Beta,http://b/1,x\r\nBeta,http://b/3,x\r\nBeta,http://b/2,y\r\n",
      Stations(), error);
  ASSERT_TRUE(alternates) << error.message;
  EXPECT_EQ((*alternates)[0], std::vector<std::string>{"http://a/2"});
  EXPECT_EQ((*alternates)[1], (std::vector<std::string>{"http://b/2", "http://b/3"}))
      << "its own address and repeats left out";
  EXPECT_TRUE((*alternates)[2].empty());

  const std::pair<std::string, std::string> refused[] = {
      {"name,alternate_url\r\nDelta,http://d/2\r\n", "\"Delta\" is no station's name"},
      {"name,alternate_url\r\nTwin,http://t/3\r\n", "\"Twin\" is the name of several stations"},
      {"name,alternate_url\r\nAlpha,\r\n", "empty alternate_url"},
      {"name,url\r\nAlpha,http://a/2\r\n", "no column \"alternate_url\""},
  };
  for (const auto& [csv, message] : refused) {
    EXPECT_FALSE(ReadStationAlternates(csv, Stations(), error)) << csv;
    EXPECT_EQ(error.message, message) << csv;
  }
}

TEST(Reachability, LeavesOutDeadStationsAndStartsTheOthersWithAnAddressThatPlayed) {
  std::vector<UpstreamStation> stations = Stations();
  std::vector<std::vector<std::string>> alternates = {
      {"http://a/2", "http://a/3"}, {"http://b/2"}, {"http://c/2"}, {}, {}};
  CsvError error;
  const std::string report = FormatReachabilityReport({
      {"2025-01-01T00:00:00Z", "Alpha", "primary", "http://a/1", "", StreamFailure::kGone, ""},
      {"2025-01-01T00:00:00Z", "Alpha", "alternate", "http://a/2", "", StreamFailure::kNoAnswer,
       ""},
      {"2025-01-01T00:00:00Z", "Alpha", "alternate", "http://a/3", "mp3", StreamFailure::kNone, ""},
      {"2025-01-01T00:00:00Z", "Beta", "primary", "http://b/1", "", StreamFailure::kUnreachable,
       ""},
      {"2025-01-01T00:00:00Z", "Beta", "alternate", "http://b/2", "", StreamFailure::kGone, ""},
      {"2025-01-01T00:00:00Z", "Gamma", "primary", "http://c/1", "", StreamFailure::kGone, ""},
  });
  auto played = ReadReachability(report, error);
  ASSERT_TRUE(played) << error.message;
  const ReachabilityEffect effect = ApplyReachability(stations, alternates, *played);
  EXPECT_EQ(effect.leftOut, (std::vector<bool>{false, true, false, false, false}));
  EXPECT_EQ(effect.repointed, 2u);
  EXPECT_EQ(stations[0].url, "http://a/3");
  EXPECT_EQ(alternates[0], (std::vector<std::string>{"http://a/1", "http://a/2"}));
  // An address the report does not name may play: it comes before those that failed.
  EXPECT_EQ(stations[2].url, "http://c/2");
  EXPECT_EQ(alternates[2], std::vector<std::string>{"http://c/1"});
  EXPECT_EQ(stations[3].url, "http://t/1");

  EXPECT_FALSE(ReadReachability("url,result\r\nhttp://a/1,maybe\r\n", error));
  EXPECT_EQ(error.line, 2u);
}

TEST(CatalogueBuild, ShipsTheOtherAddressesBesideTheCatalogueAndFollowsTheReport) {
  TempDir dir;
  WriteBytes(dir.File("stations.csv"), kStations);
  WriteBytes(dir.File("nids.csv"), kNids);
  WriteBytes(dir.File("alternates.csv"),
             "name,alternate_url,source\r\nAlpha,http://a/2,x\r\nBeta,http://b/2,x\r\n"
             "Gamma,http://c/2,x\r\n");
  ToolResult result =
      RunCatalogueTool({"build", dir.File("stations.csv"), dir.File("nids.csv"),
                        dir.File("chlst.ini"), "--alternates=" + dir.File("alternates.csv")});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(LoadStationList(dir.File("chlst.ini")).size(), 3u);
  EXPECT_EQ(ReadBytes(dir.File(kAlternatesFileName)),
            "1001\thttp://a/2\r\n1002\thttp://b/2\r\n1003\thttp://c/2\r\n");

  WriteBytes(dir.File("reachability-2025-01-01.csv"),
             "url,result\r\nhttp://a/1,fails\r\nhttp://a/2,plays\r\nhttp://b/1,fails\r\n"
             "http://b/2,fails\r\n");
  result = RunCatalogueTool({"build", dir.File("stations.csv"), dir.File("nids.csv"),
                             dir.File("chlst.ini"), "--alternates=" + dir.File("alternates.csv"),
                             "--reachability=" + dir.File("reachability-2025-01-01.csv")});
  ASSERT_EQ(result.status, 0) << result.err;
  const StationList shipped = LoadStationList(dir.File("chlst.ini"));
  ASSERT_EQ(shipped.size(), 2u) << "Beta played from none of its addresses";
  EXPECT_EQ(shipped[0].nid, 1001) << "a station keeps its id when it starts elsewhere";
  EXPECT_EQ(shipped[0].url.str(), "http://a/2");
  EXPECT_EQ(shipped[1].nid, 1003);
  EXPECT_EQ(ReadBytes(dir.File(kAlternatesFileName)), "1001\thttp://a/1\r\n1003\thttp://c/2\r\n");
  EXPECT_NE(result.out.find("1 left out and 1 starting with another address"), std::string::npos)
      << result.out;

  WriteBytes(dir.File("alternates.csv"), "name,alternate_url,source\r\nNobody,http://n/1,x\r\n");
  result = RunCatalogueTool({"build", dir.File("stations.csv"), dir.File("nids.csv"),
                             dir.File("chlst.ini"), "--alternates=" + dir.File("alternates.csv")});
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("alternates.csv:2: \"Nobody\" is no station's name"), std::string::npos)
      << result.err;
}

TEST(ProbeVerdict, TellsAudioPlaylistsAndPagesApartByWhatComes) {
  using stream::test::AdtsFrame;
  using stream::test::Mp3Frame;
  const std::string mp3 = Mp3Frame() + Mp3Frame(true) + Mp3Frame();
  const std::string aac = AdtsFrame(300) + AdtsFrame(310) + AdtsFrame(290);
  struct Case {
    std::string url, type, body;
    BodyKind kind;
  } const cases[] = {
      {"http://h/live", "audio/mpeg", mp3.substr(100), BodyKind::kMp3},  // joined mid-frame
      {"http://h/live", "audio/aacp", aac, BodyKind::kAac},
      {"http://h/live", "application/ogg", "OggS\0\x02", BodyKind::kOgg},
      {"http://h/live", "audio/mpeg", "<html><body>Not here</body></html>", BodyKind::kNotAudio},
      {"http://h/live", "audio/mpeg", std::string(4096, '\0'), BodyKind::kNotAudio},
      {"http://h/x", "text/plain", "#EXTM3U\n#EXT-X-TARGETDURATION:5\nseg.ts\n", BodyKind::kHls},
      {"http://h/x.pls", "", "[playlist]\nFile1=http://h/a\n", BodyKind::kPlaylist},
  };
  for (const Case& c : cases)
    EXPECT_EQ(JudgeBody(c.url, c.type, c.body).kind, c.kind) << c.body.substr(0, 16);
  EXPECT_EQ(JudgeSegment(aac), BodyKind::kAac) << "packed audio";
  EXPECT_EQ(JudgeSegment(std::string(1, '\x47') + std::string(187, '\xFF')), BodyKind::kNotAudio);
}

}  // namespace
}  // namespace lumio::tools
