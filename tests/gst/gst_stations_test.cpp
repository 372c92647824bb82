// The player against stations as they are on the internet, played by local servers of our own:
// playlists instead of streams, HLS without its name, redirects, https, stations reachable at
// several addresses, and the reasons a station fails.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <chrono>
#include <memory>

#include "gst/gst_player.h"
#include "gst/main_loop.h"
#include "gst/player_trace.h"
#include "gst/test_certificates.h"
#include "gst/test_media.h"
#include "gst/tls_front.h"
#include "playback/stream_failure.h"
#include "stream/stream_builders.h"
#include "support/temp_dir.h"

namespace lumio::test {
namespace {

using std::chrono::milliseconds;
using testing::Each;
using testing::Field;
using testing::IsEmpty;
using testing::Not;
using testing::SizeIs;

GstPlayerOptions Options(int timeout_seconds = 10) {
  GstPlayerOptions options;
  options.audio_sink = "fakesink sync=true";
  options.timeout_seconds = timeout_seconds;
  if (Certificates().ok) options.tls_ca_file = Certificates().ca_file;
  return options;
}

// An address where nothing listens: the port of a server that has closed.
std::string RefusedUrl(const std::string& path) {
  StreamServer gone;
  return "http://127.0.0.1:" + std::to_string(gone.port()) + path;
}

bool PlaysWithin(GstPlayer& player, milliseconds timeout) {
  return TraceUntil(player, kPlayStatePlaying, timeout).last() == kPlayStatePlaying;
}

TEST(GstPlayerStations, PlaysPlaylistsOfEveryKindEntryByEntry) {
  LocalStations stations;
  StreamServer& server = stations.server();
  const std::string tone = stations.Url("/tone.mp3");
  ASSERT_NE(tone, "");
  const std::string refused = RefusedUrl("/dead.mp3");
  struct Case {
    const char* path;
    const char* type;
    std::string body;
  };
  const Case cases[] = {
      {"/list.pls", "audio/x-scpls",
       "[playlist]\nNumberOfEntries=2\nFile1=" + refused + "\nFile2=" + tone + "\n"},
      // No telling name: the server's type says it; the entry is relative to the list.
      {"/list", "audio/x-mpegurl", "#EXTM3U\n#EXTINF:-1,Dead\n" + refused + "\ntone.mp3\n"},
      {"/list.asx", "video/x-ms-asf",
       "<asx version=\"3.0\"><entry><ref href=\"" + refused + "\"/><ref href=\"" + tone +
           "\"/></entry></asx>"},
      {"/list.xspf", "application/xspf+xml",
       "<?xml version=\"1.0\"?><playlist version=\"1\"><trackList><track><location>" + refused +
           "</location></track><track><location>" + tone +
           "</location></track></trackList></playlist>"},
      // Neither name nor type: the first bytes say it.
      {"/station", "text/plain", "[playlist]\nFile1=" + tone + "\n"},
  };
  for (const Case& c : cases) {
    server.Serve(c.path, TextFile(c.body, c.type));
    GstPlayer player(Options());
    player.SetURL(server.Url(c.path));
    EXPECT_TRUE(PlaysWithin(player, milliseconds(8000))) << c.path << ": " << player.LastError();
    EXPECT_EQ(player.GetPlayedURL(), server.Url(c.path)) << "the station's address played";
    EXPECT_EQ(player.GetFailure(), StreamFailure::kNone) << c.path;
  }
  EXPECT_THAT(server.Requests("/list.pls"), Each(Field(&RecordedRequest::user_agent, "Lumio/1.2")));
  EXPECT_THAT(server.Requests("/list.pls"), Not(IsEmpty()));
}

TEST(GstPlayerStations, PlaysHlsToldByItsTypeOrItsContentBehindARedirect) {
  LocalStations stations;
  StreamServer& server = stations.server();
  ASSERT_NE(stations.Url("/hls/index.m3u8"), "");
  for (const char* type : {"application/x-mpegURL", "text/plain"}) {
    // The playlist of /hls/index.m3u8 under a name that says nothing, next to its segments.
    server.Serve("/hls/live", TextFile(stations.HlsPlaylist(), type));
    server.Serve("/station", RedirectTo("/hls/live", 302));
    GstPlayer player(Options());
    player.SetURL(server.Url("/station"));
    EXPECT_TRUE(PlaysWithin(player, milliseconds(8000))) << type << ": " << player.LastError();
    EXPECT_EQ(player.GetPlayedURL(), server.Url("/station"));
  }
  const auto segments = server.Requests("/hls/seg00000.ts");
  ASSERT_THAT(segments, Not(IsEmpty()));
  EXPECT_THAT(segments, Each(Field(&RecordedRequest::user_agent, "Lumio/1.2")));
}

// The title an HLS segment's ID3 tag names is the station's title, as the stream's own titles
// are: the listener sees what plays.
TEST(GstPlayerStations, ShowsTheTitleAnHlsSegmentNames) {
  LocalStations stations;
  StreamServer& server = stations.server();
  const std::shared_ptr<const std::string> aac = stations.Resource("/tone.aac").body;
  ASSERT_TRUE(aac && !aac->empty());
  server.Serve(
      "/packed/s0.aac",
      TextFile(stream::test::Id3Tag({{"TPE1", "Band"}, {"TIT2", "Song"}}) + *aac, "audio/aac"));
  server.Serve("/packed/index.m3u8",
               TextFile("#EXTM3U\n#EXT-X-TARGETDURATION:30\n#EXTINF:30,\ns0.aac\n#EXT-X-ENDLIST\n",
                        "application/vnd.apple.mpegurl"));
  GstPlayer player(Options());
  player.SetURL(server.Url("/packed/index.m3u8"));
  ASSERT_TRUE(PlaysWithin(player, milliseconds(8000))) << player.LastError();
  EXPECT_TRUE(PumpUntil([&] { return player.GetTitle() == "Band - Song"; }, milliseconds(5000)))
      << player.GetTitle();
}

TEST(GstPlayerStations, FollowsRedirectsIntoHttpsThatTheTrustedAuthorityVouchesFor) {
  const TestCertificates& certificates = Certificates();
  if (!certificates.ok) GTEST_SKIP() << "openssl could not make the test certificates";
  LocalStations stations;
  StreamServer& server = stations.server();
  ASSERT_NE(stations.Url("/tone.mp3"), "");
  TlsFront https(certificates.valid.cert, certificates.valid.key, server.port());
  ASSERT_TRUE(https.ok());
  server.Serve("/r1", RedirectTo("/r2", 301));
  server.Serve("/r2", RedirectTo(server.Url("/r3"), 307));
  server.Serve("/r3", RedirectTo(https.Url("/tone.mp3"), 308));
  GstPlayer player(Options());
  player.SetURL(server.Url("/r1"));
  EXPECT_TRUE(PlaysWithin(player, milliseconds(8000))) << player.LastError();
  EXPECT_EQ(server.Requests("/tone.mp3").back().user_agent, "Lumio/1.2");
}

// The listener hears the next address at once, not after the retry delay.
TEST(GstPlayerStations, FallsBackToTheNextAddressAtOnceAndTellsWhichPlayed) {
  LocalStations stations;
  StreamServer& server = stations.server();
  ASSERT_NE(stations.Url("/tone.mp3"), "");
  server.Serve("/moved.mp3", StatusOnly(404));
  const std::string refused = RefusedUrl("/a.mp3");
  GstPlayer player(Options());
  player.SetURLs({refused, server.Url("/moved.mp3"), server.Url("/tone.mp3")});
  ASSERT_TRUE(PlaysWithin(player, milliseconds(8000))) << player.LastError();
  const auto requests = server.Requests("/tone.mp3");
  ASSERT_THAT(requests, Not(IsEmpty()));
  // In the first round: the failed address was asked once, not again after a round's delay.
  EXPECT_THAT(server.Requests("/moved.mp3"), SizeIs(1));
  EXPECT_EQ(player.GetPlayedURL(), server.Url("/tone.mp3"));
  EXPECT_EQ(player.GetFailure(), StreamFailure::kNone);

  // A new station forgets which address of the last one played.
  player.SetURLs({refused});
  EXPECT_EQ(player.GetPlayedURL(), "");
  EXPECT_TRUE(
      PumpUntil([&] { return player.GetFailure() != StreamFailure::kNone; }, milliseconds(3000)));
  EXPECT_EQ(player.GetFailure(), StreamFailure::kUnreachable);
}

}  // namespace
}  // namespace lumio::test
