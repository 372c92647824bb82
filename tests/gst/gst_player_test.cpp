// The player against streams of our own local server: every format a station sends, and every
// way a station fails.

#include "gst/gst_player.h"

#include <gmock/gmock.h>
#include <gst/gst.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

#include "gst/main_loop.h"
#include "gst/player_trace.h"
#include "gst/test_media.h"
#include "text/gbk.h"

namespace lumio::test {
namespace {

using std::chrono::duration_cast;
using std::chrono::milliseconds;
using std::chrono::steady_clock;
using testing::AnyOf;
using testing::Each;
using testing::ElementsAre;
using testing::Eq;
using testing::HasSubstr;
using testing::IsEmpty;
using testing::Not;

constexpr int32_t kStopped = kPlayStateStopped;
constexpr int32_t kPaused = kPlayStatePaused;
constexpr int32_t kPlaying = kPlayStatePlaying;
constexpr int32_t kBuffering = kPlayStateBuffering;
constexpr int32_t kConnecting = kPlayStateTransitioning;

GstPlayerOptions Silent(int timeout_seconds = 10) {
  return {.audio_sink = "fakesink sync=true", .timeout_seconds = timeout_seconds};
}

std::vector<int64_t> GapsMs(const std::vector<RecordedRequest>& requests) {
  std::vector<int64_t> gaps;
  for (size_t i = 1; i < requests.size(); ++i) {
    gaps.push_back(duration_cast<milliseconds>(requests[i].at - requests[i - 1].at).count());
  }
  return gaps;
}

// Ogg with Theora pictures beside the sound (a station that sends television's sound): the
// pictures are left aside undecoded and the sound plays.
TEST(GstPlayer, PlaysTheSoundOfAnOggStreamWithPictures) {
  LocalStations stations;
  const std::string url = stations.Url("/tv.ogg");
  ASSERT_NE(url, "") << "the test media could not be made";
  GstPlayer player(Silent());
  player.SetURL(url);
  const StateTrace trace = TraceUntil(player, kPlaying, milliseconds(8000));
  EXPECT_THAT(trace.states(), AnyOf(ElementsAre(kConnecting, kPlaying),
                                    ElementsAre(kConnecting, kBuffering, kPlaying)))
      << player.LastError();
  EXPECT_NE(player.Codec(), "");
  // Still playing a moment later: nothing fell over after the start.
  EXPECT_THAT(TraceFor(player, milliseconds(1000)).states(), ElementsAre(kPlaying));
}

TEST(GstPlayer, SendsItsUserAgentForStreamsAndPlaylists) {
  LocalStations stations;
  for (const char* path : {"/tone.mp3", "/hls/index.m3u8"}) {
    GstPlayer player(Silent());
    player.SetURL(stations.Url(path));
    ASSERT_EQ(TraceUntil(player, kPlaying, milliseconds(8000)).last(), kPlaying) << path;
  }
  const auto mp3 = stations.server().Requests("/tone.mp3");
  const auto playlist = stations.server().Requests("/hls/index.m3u8");
  const auto segment = stations.server().Requests("/hls/seg00000.ts");
  ASSERT_THAT(mp3, Not(IsEmpty()));
  ASSERT_THAT(playlist, Not(IsEmpty()));
  ASSERT_THAT(segment, Not(IsEmpty()));
  EXPECT_EQ(mp3[0].user_agent, "Lumio/1.2");
  EXPECT_EQ(playlist[0].user_agent, "Lumio/1.2");
  EXPECT_EQ(segment[0].user_agent, "Lumio/1.2");
}

TEST(GstPlayer, AGbkUrlReachesTheServerAsUtf8) {
  LocalStations stations;
  stations.server().Serve("/%E4%B8%AD%E6%96%87.mp3", stations.Resource("/tone.mp3"));
  GstPlayer player(Silent());
  // "中文.mp3" in GBK, as the station list holds it.
  player.SetURL(stations.server().Url("/\xD6\xD0\xCE\xC4.mp3"));
  EXPECT_EQ(TraceUntil(player, kPlaying, milliseconds(8000)).last(), kPlaying)
      << player.LastError();
}

// A station in trouble keeps the player connecting, retrying after 1 s, then 2 s, ...; it is
// heard as soon as it answers again.
TEST(GstPlayer, KeepsRetryingAStationInTroubleWithGrowingDelaysUntilItAnswers) {
  LocalStations stations;
  stations.server().Serve("/later.mp3", StatusOnly(503));
  GstPlayer player(Silent());
  player.SetURL(stations.server().Url("/later.mp3"));
  EXPECT_THAT(TraceFor(player, milliseconds(3500)).states(), ElementsAre(kConnecting));
  EXPECT_NE(player.LastError(), "");
  const auto gaps = GapsMs(stations.server().Requests("/later.mp3"));
  ASSERT_EQ(gaps.size(), 2u) << "attempts expected at about 0, 1 and 3 s";
  EXPECT_GT(gaps[0], 900);
  EXPECT_LT(gaps[0], 1600);
  EXPECT_GT(gaps[1], 1900);
  EXPECT_LT(gaps[1], 2600);

  stations.server().Serve("/later.mp3", stations.Resource("/tone.mp3"));
  // The next attempt is due about 4 s after the last.
  const StateTrace trace = TraceUntil(player, kPlaying, milliseconds(6500));
  EXPECT_EQ(trace.last(), kPlaying);
  EXPECT_THAT(trace.states(), Each(AnyOf(kConnecting, kBuffering, kPlaying)));
}

TEST(GstPlayer, KeepsRetryingARefusedConnectionUntilTheServerStarts) {
  int port = 0;
  {
    StreamServer probe;
    port = probe.port();
  }  // now nobody listens there
  GstPlayer player(Silent());
  player.SetURL("http://127.0.0.1:" + std::to_string(port) + "/tone.mp3");
  EXPECT_THAT(TraceFor(player, milliseconds(1500)).states(), ElementsAre(kConnecting));
  EXPECT_NE(player.LastError(), "");

  LocalStations stations(port);
  ASSERT_TRUE(stations.server().ok());
  stations.Url("/tone.mp3");
  EXPECT_EQ(TraceUntil(player, kPlaying, milliseconds(5000)).last(), kPlaying)
      << player.LastError();
}

TEST(GstPlayer, TreatsAnUnusableUrlAsAStreamThatCannotBeOpened) {
  const std::vector<std::string> urls = {"", "   ", "http://", "http://a.cn/\xD6",
                                         "nosuchscheme://host/x"};
  for (const std::string& url : urls) {
    GstPlayer player(Silent());
    player.SetURL(url);
    // Long enough for the first retry.
    EXPECT_THAT(TraceFor(player, milliseconds(1300)).states(), ElementsAre(kConnecting)) << url;
    EXPECT_NE(player.LastError(), "") << url;
  }
}

// A server that keeps the connection but sends nothing more: the listener hears silence, so the
// player must not go on saying it plays. It counts as a drop, well before the server's timeout.
TEST(GstPlayer, RetriesAStationThatFallsSilentWhilePlaying) {
  LocalStations stations;
  StreamResource stalls = stations.Resource("/tone.mp3");
  stalls.burst_bytes = 0;
  stalls.stall_after_ms = 1500;
  stalls.stall_ms = 60000;
  stations.server().Serve("/stalls.mp3", stalls);
  GstPlayerOptions options = Silent(/*timeout_seconds=*/10);
  options.silence_limit_ms = 1000;
  GstPlayer player(options);
  player.SetURL(stations.server().Url("/stalls.mp3"));
  ASSERT_EQ(TraceUntil(player, kPlaying, milliseconds(8000)).last(), kPlaying);

  EXPECT_EQ(TraceUntil(player, kConnecting, milliseconds(5000)).last(), kConnecting);
  EXPECT_NE(player.LastError(), "");
  EXPECT_TRUE(PumpUntil([&] { return stations.server().Requests("/stalls.mp3").size() >= 2; },
                        milliseconds(3000)))
      << "no new attempt";
}

TEST(GstPlayer, PauseAndStopEndTheRetries) {
  StreamServer server;
  server.Serve("/gone.mp3", StatusOnly(404));
  for (const bool pause : {true, false}) {
    GstPlayer player(Silent());
    player.SetURL(server.Url("/gone.mp3"));
    PumpFor(milliseconds(300));
    pause ? player.Pause() : player.Stop();
    const size_t attempts = server.Requests("/gone.mp3").size();
    EXPECT_THAT(TraceFor(player, milliseconds(2500)).states(),
                ElementsAre(pause ? kPaused : kStopped));
    EXPECT_EQ(server.Requests("/gone.mp3").size(), attempts);
  }
}

// The status line calls GetPlayState on the user-interface thread: it must answer at once and
// see the stream progress even if nothing else runs the main loop.
TEST(GstPlayer, GetPlayStateAnswersAtOnceAndReadsTheBusItself) {
  LocalStations stations;
  stations.server().Serve("/silent.mp3", NeverAnswering());
  GstPlayer player(Silent());
  for (const std::string path : {"/silent.mp3", "/tone.mp3"}) {
    player.SetURL(path == "/tone.mp3" ? stations.Url(path) : stations.server().Url(path));
    int64_t slowest_us = 0;
    int32_t state = 0;
    const auto start = steady_clock::now();
    while (steady_clock::now() - start < milliseconds(3000) && state != kPlaying) {
      const auto before = steady_clock::now();
      state = player.GetPlayState();
      slowest_us = std::max<int64_t>(
          slowest_us,
          std::chrono::duration_cast<std::chrono::microseconds>(steady_clock::now() - before)
              .count());
      std::this_thread::sleep_for(milliseconds(2));
    }
    EXPECT_LT(slowest_us, 20000) << path;
    EXPECT_EQ(state, path == "/tone.mp3" ? kPlaying : kConnecting) << path;
  }
}

TEST(GstPlayer, ClosesPromptlyWhileAServerKeepsItWaiting) {
  StreamServer server;
  server.Serve("/silent.mp3", NeverAnswering());
  auto player = std::make_unique<GstPlayer>(Silent());
  player->SetURL(server.Url("/silent.mp3"));
  PumpFor(milliseconds(300));
  const auto start = steady_clock::now();
  player.reset();
  EXPECT_LT(duration_cast<milliseconds>(steady_clock::now() - start).count(), 1000);
}

// A live HLS station whose one segment never ends, sent at the pace of its sound: while it
// plays, the demuxer asks for the playlist again, and Stop and the destructor still return
// at once (neither waits for the segment to end, nor for a demuxer that deadlocked on it).
TEST(GstPlayer, StopsAtOnceWhileAnEndlessHlsSegmentPlays) {
  StreamServer server;
  StreamResource segment;
  segment.content_type = "video/mp2t";
  segment.body = LocalStations::HlsSegments();
  if (segment.body->empty()) GTEST_SKIP() << "no HLS media";
  segment.bytes_per_second = 28000;  // about the 128 kbit/s of its AAC, with the TS around it
  segment.burst_bytes = 64 * 1024;
  segment.loop = true;
  server.Serve("/live/seg.ts", segment);
  StreamResource playlist;
  playlist.content_type = "application/vnd.apple.mpegurl";
  playlist.body = std::make_shared<const std::string>(
      "#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-TARGETDURATION:1\n#EXT-X-MEDIA-SEQUENCE:0\n"
      "#EXTINF:1.0,\nseg.ts\n");
  server.Serve("/live/index.m3u8", playlist);
  for (const bool destroy : {false, true}) {
    SCOPED_TRACE(destroy ? "destructor" : "Stop");
    auto player = std::make_unique<GstPlayer>(Silent(2));
    player->SetURL(server.Url("/live/index.m3u8"));
    // On a busy machine the demuxer may deadlock before the first sound: Stop is what counts.
    TraceUntil(*player, kPlaying, milliseconds(8000));
    ASSERT_FALSE(server.Requests("/live/seg.ts").empty()) << player->LastError();
    PumpFor(milliseconds(2500));  // past a reload of the playlist
    const auto start = steady_clock::now();
    if (destroy) {
      player.reset();
    } else {
      player->Stop();
      EXPECT_EQ(player->GetPlayState(), kStopped);
    }
    EXPECT_LT(duration_cast<milliseconds>(steady_clock::now() - start).count(), 500);
  }
}

// Plays `url` and ends the process: status 0 when neither the FFmpeg plugin nor the subtitle
// parser was loaded for it, 1 when one was, 2 when the station did not play.
[[noreturn]] void PlayAndExitWithHeavyPluginsLoaded(const std::string& url) {
  GstPlayer player(Silent());
  player.SetURL(url);
  if (TraceUntil(player, kPlaying, milliseconds(8000)).last() != kPlaying) std::exit(2);
  PumpFor(milliseconds(500));
  std::string loaded;
  for (const char* name : {"libav", "subparse"}) {
    GstPlugin* plugin = gst_registry_find_plugin(gst_registry_get(), name);
    if (plugin != nullptr && gst_plugin_is_loaded(plugin)) loaded += std::string(" ") + name;
    if (plugin != nullptr) gst_object_unref(plugin);
  }
  std::fprintf(stderr, "loaded:%s.\n", loaded.c_str());
  std::exit(loaded.empty() ? 0 : 1);
}

// The FFmpeg plugin maps some 120 libraries (28 MiB) and the MP3 decoder needs none of them. A
// stream whose first bytes fall mid-frame leaves type finding unsure, and an unsure type finding
// asks every type finder there is, each loading its plugin. Each case in a process of its own,
// where nothing loaded them before.
TEST(GstPlayerDeathTest, PlaysAnMp3StationWithoutLoadingTheFfmpegPlugin) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  LocalStations stations;
  for (const char* path : {"/icy.mp3", "/tone.mp3"}) {
    const std::string url = stations.Url(path);
    EXPECT_EXIT(PlayAndExitWithHeavyPluginsLoaded(url), testing::ExitedWithCode(0), "loaded:\\.")
        << path;
  }
}

class Titles : public testing::TestWithParam<std::pair<std::string, std::string>> {};

TEST_P(Titles, DecodeToUtf8) {
  const auto [raw_title, utf8_title] = GetParam();
  LocalStations stations;
  stations.server().SetTitle("/tone.mp3", raw_title);
  GstPlayer player(Silent());
  player.SetURL(stations.Url("/tone.mp3"));
  ASSERT_EQ(TraceUntil(player, kPlaying, milliseconds(8000)).last(), kPlaying);
  EXPECT_TRUE(PumpUntil([&] { return player.Title() == utf8_title; }, milliseconds(4000)))
      << "title: " << player.Title();
  EXPECT_EQ(player.GetTitle(), Utf8ToGbk(utf8_title).value()) << "the program's texts are GBK";
  EXPECT_THAT(player.Codec(), HasSubstr("MP3"));
  EXPECT_EQ(player.Bitrate(), 128000);
  // The next song, a GBK title, is heard after the seconds of sound the burst put ahead of it.
  stations.server().SetTitle("/tone.mp3", "\xB5\xDA\xB6\xFE\xCA\xD7");
  EXPECT_TRUE(PumpUntil([&] { return player.GetTitle() == "\xB5\xDA\xB6\xFE\xCA\xD7"; },
                        milliseconds(8000)))
      << "title: " << player.Title();

  player.SetURL(stations.Url("/tone.aac"));
  EXPECT_EQ(player.Title(), "") << "a new station starts without the old title";
  EXPECT_EQ(player.GetTitle(), "");
}

INSTANTIATE_TEST_SUITE_P(IcyEncodings, Titles,
                         testing::Values(std::make_pair("\xD6\xD0\xCE\xC4\xB5\xE7\xCC\xA8 - Song",
                                                        "中文电台 - Song"),
                                         std::make_pair("中文电台 - Song", "中文电台 - Song"),
                                         std::make_pair("Plain title", "Plain title")),
                         [](const auto& param_info) {
                           const size_t i = param_info.index;
                           return std::string(i == 0 ? "Gbk" : i == 1 ? "Utf8" : "Ascii");
                         });

// After it is first heard, a stream whose data comes late must play on from what it holds:
// pausing whenever the buffer dips is what makes gaps.
TEST(GstPlayer, PlaysThroughANetworkHiccupWithoutSilence) {
  LocalStations stations;
  StreamResource hiccup = stations.Resource("/tone.mp3");
  hiccup.stall_after_ms = 2000;
  hiccup.stall_ms = 900;
  stations.server().Serve("/hiccup.mp3", hiccup);
  GstPlayer player(Silent());
  player.SetURL(stations.server().Url("/hiccup.mp3"));
  ASSERT_EQ(TraceUntil(player, kPlaying, milliseconds(8000)).last(), kPlaying);
  const Listening heard = ListenFor(player, milliseconds(4000));
  EXPECT_THAT(heard.trace.states(), ElementsAre(kPlaying));
  EXPECT_LT(heard.silence_ms, 150) << "silence in the middle of the stream";
}

}  // namespace
}  // namespace lumio::test
