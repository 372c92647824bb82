// The Windows player against the local stations: every kind of station it must play, every way
// a station fails, and what the window layer is told meanwhile.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>

#include "windows/player_harness.h"

namespace lumio::test {
namespace {

using std::chrono::steady_clock;
using testing::AllOf;
using testing::AnyOf;
using testing::Each;
using testing::ElementsAre;
using testing::Ge;
using testing::Le;

constexpr int32_t kStopped = kPlayStateStopped;
constexpr int32_t kPaused = kPlayStatePaused;
constexpr int32_t kPlaying = kPlayStatePlaying;
constexpr int32_t kBuffering = kPlayStateBuffering;
constexpr int32_t kConnecting = kPlayStateTransitioning;

// An address of the stations, or of another server the script started.
struct Station {
  const char* name;
  std::string (*url)();
};

std::string Icecast() {
  const std::string port = Env("LUMIO_ICECAST_PORT");
  return port.empty() ? "" : "http://127.0.0.1:" + port + "/tone.mp3";
}

const Station kStations[] = {
    {"mp3", [] { return StationUrl("/tone.mp3"); }},
    {"mp3_mid_frame_with_titles", [] { return StationUrl("/icy.mp3"); }},
    {"aac_without_burst", [] { return StationUrl("/tone.aac"); }},
    {"hls", [] { return StationUrl("/hls/index.m3u8"); }},
    {"playlist_whose_first_entry_is_gone", [] { return StationUrl("/list.pls"); }},
    {"redirect_to_https", [] { return Env("LUMIO_STATIONS_ELSEWHERE") + "/to-https/tone.mp3"; }},
    // Its segments are relative: resolved against the address before the redirect, they 404.
    {"hls_behind_a_redirect",
     [] { return Env("LUMIO_STATIONS_ELSEWHERE") + "/kinds/hls/index.m3u8"; }},
    // "中文.mp3" in GBK, as the station list holds it; the server knows it in UTF-8.
    {"gbk_address", [] { return StationUrl("/\xD6\xD0\xCE\xC4.mp3"); }},
    {"icecast", &Icecast},
};

class EveryStation : public testing::TestWithParam<Station> {};

TEST_P(EveryStation, ConnectsThenPlays) {
  LUMIO_REQUIRE_STATIONS();
  const std::string url = GetParam().url();
  if (url.empty()) GTEST_SKIP() << "no such server here";
  ASSERT_TRUE(TrustTestCa());
  WinPlayer player;
  ASSERT_TRUE(PrepareAndWait(player));
  player.SetURL(url);
  EXPECT_THAT(
      TraceUntil(player, kPlaying, milliseconds(10000)),
      AnyOf(ElementsAre(kConnecting, kPlaying), ElementsAre(kConnecting, kBuffering, kPlaying)))
      << player.LastError();
  // Still playing a moment later: nothing fell over after the start, and nothing spins.
  const int64_t cpu_before = ProcessCpuMs();
  EXPECT_THAT(TraceFor(player, milliseconds(2000)), ElementsAre(kPlaying)) << player.LastError();
  EXPECT_LT(ProcessCpuMs() - cpu_before, 400) << "more than a fifth of a core for playing";
  EXPECT_EQ(player.Failure(), StreamFailure::kNone);
}

INSTANTIATE_TEST_SUITE_P(Stations, EveryStation, testing::ValuesIn(kStations),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

struct Failing {
  const char* name;
  std::string (*url)();
  StreamFailure failure;
  const char* path;  // whose requests show the retries; null where no request arrives
};

const Failing kFailing[] = {
    {"missing", [] { return StationUrl("/gone.mp3"); }, StreamFailure::kGone, "/gone.mp3"},
    {"forbidden", [] { return StationUrl("/forbidden.mp3"); }, StreamFailure::kForbidden,
     "/forbidden.mp3"},
    {"refused", [] { return std::string("http://127.0.0.1:1/tone.mp3"); },
     StreamFailure::kUnreachable, nullptr},
    {"never_answering", [] { return StationUrl("/silent.mp3"); }, StreamFailure::kNoAnswer,
     "/silent.mp3"},
    {"ogg_vorbis", [] { return StationUrl("/tone.ogg"); }, StreamFailure::kNotAudio, "/tone.ogg"},
    {"web_page", [] { return StationUrl("/page.html"); }, StreamFailure::kNotAudio, "/page.html"},
    {"windows_media", [] { return StationUrl("/live.asf"); }, StreamFailure::kNotAudio,
     "/live.asf"},
    // The certificate names localhost, not the address.
    {"certificate_for_another_name",
     [] {
       const std::string https = Env("LUMIO_STATIONS_HTTPS");
       return "https://127.0.0.1:" + https.substr(https.rfind(':') + 1) + "/tone.mp3";
     },
     StreamFailure::kBadCertificate, nullptr},
};

class FailingStation : public testing::TestWithParam<Failing> {};

// A station that cannot be played says why, keeps the player connecting (the status line's
// dots, then "连接失败") and is asked again after 1 s, then 2 s, or, for a failure that will not
// pass, after a minute; never a hang or a crash.
TEST_P(FailingStation, SaysWhyAndIsTriedAgain) {
  LUMIO_REQUIRE_STATIONS();
  ASSERT_TRUE(TrustTestCa());
  WinPlayer player({.timeout_seconds = 1});
  ASSERT_TRUE(PrepareAndWait(player));
  // Other tests ask for some of the same paths.
  const int asked_before = GetParam().path != nullptr ? RequestsFor(GetParam().path).count : 0;
  player.SetURL(GetParam().url());
  EXPECT_TRUE(
      WaitUntil([&] { return player.Failure() != StreamFailure::kNone; }, milliseconds(5000)));
  EXPECT_EQ(player.Failure(), GetParam().failure) << player.LastError();
  EXPECT_NE(player.LastError(), "");
  EXPECT_THAT(TraceFor(player, milliseconds(4000)), Each(AnyOf(kConnecting, kBuffering)));
  if (GetParam().path != nullptr) {
    const Requests requests = RequestsFor(GetParam().path);
    if (IsPermanentFailure(GetParam().failure)) {
      EXPECT_EQ(requests.count - asked_before, 1) << "asked again before the minute";
    } else {
      ASSERT_THAT(requests.count - asked_before, Ge(2)) << "the station was not asked again";
      EXPECT_THAT(requests.gaps_ms.back(), Ge(900)) << "asked again too soon";
    }
  }
  player.Stop();
  EXPECT_EQ(player.GetPlayState(), kStopped);
}

INSTANTIATE_TEST_SUITE_P(Stations, FailingStation, testing::ValuesIn(kFailing),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

// Every address of the station is tried at once, in order; only a round in which all failed
// waits, 1 s after the first, 2 s after the second.
TEST(WinPlayer, TriesEachAddressThenWaitsOneThenTwoSeconds) {
  LUMIO_REQUIRE_STATIONS();
  WinPlayer player;
  ASSERT_TRUE(PrepareAndWait(player));
  const Requests before = RequestsFor("/gone.mp3");
  player.SetURLs({"http://127.0.0.1:1/refused.mp3", StationUrl("/gone.mp3")});
  EXPECT_THAT(TraceFor(player, milliseconds(3500)), ElementsAre(kConnecting));
  const Requests requests = RequestsFor("/gone.mp3");
  ASSERT_EQ(requests.count - before.count, 3) << "rounds expected at about 0, 1 and 3 s";
  const size_t first = requests.gaps_ms.size() - 2;
  EXPECT_THAT(requests.gaps_ms[first], AllOf(Ge(900), Le(1600)));
  EXPECT_THAT(requests.gaps_ms[first + 1], AllOf(Ge(1900), Le(2600)));
  EXPECT_EQ(player.Failure(), StreamFailure::kGone) << "the last address's reason";

  // A fall-back that plays.
  player.SetURLs({StationUrl("/gone.mp3"), StationUrl("/tone.mp3")});
  EXPECT_EQ(TraceUntil(player, kPlaying, milliseconds(5000)).back(), kPlaying);
  EXPECT_EQ(player.Failure(), StreamFailure::kNone);
}

TEST(WinPlayer, SendsItsUserAgentAndKeepsTheTitleAsTheStationSentIt) {
  LUMIO_REQUIRE_STATIONS();
  WinPlayer player;
  ASSERT_TRUE(PrepareAndWait(player));
  player.SetURL(StationUrl("/gbk.mp3"));
  ASSERT_EQ(TraceUntil(player, kPlaying, milliseconds(10000)).back(), kPlaying)
      << player.LastError();
  // "测试电台" in GBK, byte for byte.
  EXPECT_TRUE(WaitUntil([&] { return player.Title() == "\xB2\xE2\xCA\xD4\xB5\xE7\xCC\xA8"; },
                        milliseconds(3000)))
      << player.Title();
  const Requests stream = RequestsFor("/gbk.mp3");
  EXPECT_EQ(stream.user_agent, "Lumio/1.2");
  EXPECT_TRUE(stream.icy);

  player.SetURL(StationUrl("/hls/index.m3u8"));
  EXPECT_EQ(player.Title(), "") << "a new station starts without the old title";
  ASSERT_EQ(TraceUntil(player, kPlaying, milliseconds(10000)).back(), kPlaying);
  EXPECT_EQ(RequestsFor("/hls/index.m3u8").user_agent, "Lumio/1.2");
  EXPECT_EQ(RequestsFor("/hls/seg00000.ts").user_agent, "Lumio/1.2");
}

// The user-interface thread calls while the station does not answer: nothing waits for it.
TEST(WinPlayer, EveryCallReturnsAtOnceAndTheStateFollowsTheCommand) {
  LUMIO_REQUIRE_STATIONS();
  WinPlayer player;
  ASSERT_TRUE(PrepareAndWait(player));
  const auto timed = [](auto call) {
    const auto start = steady_clock::now();
    call();
    return std::chrono::duration_cast<milliseconds>(steady_clock::now() - start).count();
  };
  EXPECT_LT(timed([&] { player.SetURL(StationUrl("/silent.mp3")); }), 50);
  EXPECT_EQ(player.GetPlayState(), kConnecting);
  EXPECT_LT(timed([&] { player.SetVolume(30); }), 50);
  EXPECT_LT(timed([&] { player.Pause(); }), 50);
  EXPECT_EQ(player.GetPlayState(), kPaused);
  EXPECT_THAT(TraceFor(player, milliseconds(300)), ElementsAre(kPaused));
  player.SetURL(StationUrl("/silent.mp3"));
  EXPECT_EQ(player.GetPlayState(), kConnecting);
  EXPECT_LT(timed([&] { player.Stop(); }), 50);
  EXPECT_THAT(TraceFor(player, milliseconds(300)), ElementsAre(kStopped));
}

// A station whose server drops the connection, or goes away and comes back, is heard again
// without the listener doing anything.
TEST(WinPlayer, AStationThatDropsIsHeardAgain) {
  LUMIO_REQUIRE_STATIONS();
  WinPlayer player;
  ASSERT_TRUE(PrepareAndWait(player));
  player.SetURL(StationUrl("/tone.aac"));
  ASSERT_EQ(TraceUntil(player, kPlaying, milliseconds(10000)).back(), kPlaying);
  const int before = RequestsFor("/tone.aac").count;
  ASSERT_EQ(Control("drop /tone.aac"), "ok");
  EXPECT_TRUE(
      WaitUntil([&] { return RequestsFor("/tone.aac").count > before; }, milliseconds(3000)))
      << "the player did not come back after the drop";
  EXPECT_EQ(TraceUntil(player, kPlaying, milliseconds(5000)).back(), kPlaying);

  // The control answers once the server is back.
  ASSERT_EQ(Control("restart 2500"), "ok");
  EXPECT_EQ(TraceUntil(player, kPlaying, milliseconds(10000)).back(), kPlaying)
      << player.LastError();
}

}  // namespace
}  // namespace lumio::test
