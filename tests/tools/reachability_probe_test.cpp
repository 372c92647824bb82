// lumio-catalogue probe against local servers of our own (never anything else): every kind of
// answer a station's address gives, the report it writes, and the catalogue built from it.

#include <gtest/gtest.h>

#include <map>

#include "catalogue/station_addresses.h"
#include "catalogue/station_list_file.h"
#include "gst/test_certificates.h"
#include "gst/test_media.h"
#include "gst/tls_front.h"
#include "store/atomic_file.h"
#include "support/temp_dir.h"
#include "tools/catalogue/catalogue_tool.h"
#include "tools/common/csv_reader.h"

namespace lumio::tools {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

struct Checked {
  std::string result, kind, reason;
};

// The report's rows by address (columns checked_at,station,role,url,result,kind,reason,detail).
std::map<std::string, Checked> ReadReport(const std::string& path) {
  std::map<std::string, Checked> rows;
  const CsvDocument doc = ParseCsv(ReadBytes(path));
  for (size_t r = 1; r < doc.rows.size(); ++r) {
    const std::vector<std::string>& cells = doc.rows[r].cells;
    if (cells.size() == 8) rows[cells[3]] = {cells[4], cells[5], cells[6]};
  }
  return rows;
}

TEST(ReachabilityProbe, ClassifiesEveryAnswerAndTheBuildFollowsItsReport) {
  const test::TestCertificates& certificates = test::Certificates();
  if (!certificates.ok) GTEST_SKIP() << "openssl could not make the test certificates";
  test::LocalStations stations;
  test::StreamServer& server = stations.server();
  const std::string mp3 = stations.Url("/tone.mp3");
  const std::string aac = stations.Url("/tone.aac");
  const std::string ogg = stations.Url("/tone.ogg");
  const std::string hls = stations.Url("/hls/index.m3u8");
  ASSERT_NE(hls, "");
  std::string refused;
  {
    test::StreamServer gone;
    refused = "http://127.0.0.1:" + std::to_string(gone.port()) + "/x.mp3";
  }
  server.Serve("/list.pls", test::TextFile("[playlist]\nFile1=" + refused + "\nFile2=" + mp3 + "\n",
                                           "audio/x-scpls"));
  server.Serve("/gone.mp3", test::StatusOnly(404));
  server.Serve("/secret.mp3", test::StatusOnly(403));
  server.Serve("/silent.mp3", test::NeverAnswering());
  server.Serve("/page", test::TextFile("<html>Gone to the app</html>", "text/html"));
  server.Serve("/empty.pls", test::TextFile("[playlist]\n", "audio/x-scpls"));
  server.Serve("/moved", test::RedirectTo("/tone.aac", 301));
  test::TlsFront untrusted(certificates.untrusted.cert, certificates.untrusted.key, server.port());
  ASSERT_TRUE(untrusted.ok());
  const std::string bad_certificate = untrusted.Url("/tone.mp3");

  TempDir dir;
  WriteBytes(dir.File("stations.csv"),
             "name,url,content_category,region,popularity,source\r\n"
             "MP3," +
                 mp3 + ",5,9,3,t\r\nAAC," + server.Url("/moved") +
                 ",5,9,3,t\r\n"
                 "OGG," +
                 ogg + ",5,9,3,t\r\nHLS," + hls +
                 ",5,9,3,t\r\n"
                 "PLS," +
                 server.Url("/list.pls") +
                 ",5,9,3,t\r\n"
                 "Moved," +
                 server.Url("/gone.mp3") +
                 ",5,9,3,t\r\n"
                 "Dead," +
                 refused + ",5,9,3,t\r\n");
  WriteBytes(dir.File("alternates.csv"), "name,alternate_url,source\r\nMoved," + aac +
                                             ",t\r\n"
                                             "Dead," +
                                             server.Url("/secret.mp3") + ",t\r\nDead," +
                                             server.Url("/silent.mp3") + ",t\r\nDead," +
                                             bad_certificate + ",t\r\nDead," + server.Url("/page") +
                                             ",t\r\nDead," + server.Url("/empty.pls") + ",t\r\n");
  ASSERT_TRUE(MakeFolder(dir.File("reports")));
  const ToolResult probe = RunCatalogueTool(
      {"probe", dir.File("stations.csv"), dir.File("alternates.csv"), dir.File("reports"),
       "--jobs=4", "--time-limit=1", "--ca-file=" + certificates.ca_file});
  ASSERT_EQ(probe.status, 0) << probe.err;
  const std::string report = probe.out.substr(0, probe.out.find(':'));
  EXPECT_NE(report.find("/reachability-20"), std::string::npos) << probe.out;
  const std::map<std::string, Checked> rows = ReadReport(report);

  const std::map<std::string, Checked> expected = {
      {mp3, {"plays", "mp3", ""}},
      {server.Url("/moved"), {"plays", "aac", ""}},
      {ogg, {"plays", "ogg", ""}},
      {hls, {"plays", "hls", ""}},
      {server.Url("/list.pls"), {"plays", "playlist", ""}},
      {server.Url("/gone.mp3"), {"fails", "", "gone"}},
      {aac, {"plays", "aac", ""}},
      {refused, {"fails", "", "unreachable"}},
      {server.Url("/secret.mp3"), {"fails", "", "forbidden"}},
      {server.Url("/silent.mp3"), {"fails", "", "no-answer"}},
      {bad_certificate, {"fails", "", "bad-certificate"}},
      {server.Url("/page"), {"fails", "", "not-audio"}},
      {server.Url("/empty.pls"), {"fails", "", "not-audio"}},
  };
  EXPECT_EQ(rows.size(), expected.size());
  for (const auto& [url, want] : expected) {
    const auto found = rows.find(url);
    ASSERT_NE(found, rows.end()) << url;
    EXPECT_EQ(found->second.result, want.result) << url;
    EXPECT_EQ(found->second.kind, want.kind) << url;
    EXPECT_EQ(found->second.reason, want.reason) << url;
  }
  EXPECT_EQ(server.Requests("/tone.ogg").back().user_agent, "Lumio/1.2");

  // The build leaves out the station none of whose addresses played, and starts the one whose
  // own address failed with the alternate that played.
  ASSERT_EQ(RunCatalogueTool({"assign", dir.File("stations.csv"), dir.File("nids.csv")}).status, 0);
  const ToolResult build = RunCatalogueTool(
      {"build", dir.File("stations.csv"), dir.File("nids.csv"), dir.File("chlst.ini"),
       "--alternates=" + dir.File("alternates.csv"), "--reachability=" + report});
  ASSERT_EQ(build.status, 0) << build.err;
  const StationList shipped = LoadStationList(dir.File("chlst.ini"));
  std::map<std::string, std::string> urlOfName;
  for (const StationRecord& record : shipped)
    urlOfName[record.name.str()] = record.url.str();
  EXPECT_EQ(shipped.size(), 6u);
  EXPECT_FALSE(urlOfName.contains("Dead"));
  EXPECT_EQ(urlOfName["Moved"], aac);
  EXPECT_NE(ReadBytes(dir.File(kAlternatesFileName)).find(server.Url("/gone.mp3")),
            std::string::npos)
      << "the address that failed stays, behind the one that played";
}

}  // namespace
}  // namespace lumio::tools
