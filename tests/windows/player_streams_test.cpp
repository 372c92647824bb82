// The Windows player against the local stations, where the contract suite both players pass does
// not reach: its own addresses (playlists, https behind a redirect, GBK addresses, Icecast), the
// rounds of a station's addresses, its user agent, calls that never wait, and how one request
// through WinHTTP tells the ways a server stops.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "hls/http_get.h"
#include "windows/player_harness.h"
#include "winplayer/http_head.h"
#include "winplayer/http_request.h"
#include "winplayer/station_stream.h"

namespace lumio::test {
namespace {

using std::chrono::steady_clock;
using testing::AllOf;
using testing::AnyOf;
using testing::Each;
using testing::ElementsAre;
using testing::EndsWith;
using testing::Ge;
using testing::Le;
using testing::StartsWith;

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

// What the contract suite does not play (its good stations and stream kinds are its own).
const Station kStations[] = {
    {"playlist_whose_first_entry_is_gone", [] { return StationUrl("/list.pls"); }},
    {"redirect_to_https", [] { return Env("LUMIO_STATIONS_ELSEWHERE") + "/to-https/tone.mp3"; }},
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
  // Each address tried is connected to, and may be seen answered, anew: a playlist's, then
  // each of its entries'. A local station can play before this thread looks for the first time
  // on a busy machine, so connecting may have come and gone unseen.
  const States states = TraceUntil(player, kPlaying, milliseconds(10000));
  EXPECT_EQ(states.back(), kPlaying) << player.LastError();
  EXPECT_THAT(States(states.begin(), states.end() - 1), Each(AnyOf(kConnecting, kBuffering)));
  // Still playing a moment later: nothing fell over after the start, and nothing spins.
  const int64_t cpu_before = ProcessCpuMs();
  EXPECT_THAT(TraceFor(player, milliseconds(2000)), ElementsAre(kPlaying)) << player.LastError();
  EXPECT_LT(ProcessCpuMs() - cpu_before, 400) << "more than a fifth of a core for playing";
  EXPECT_EQ(player.Failure(), StreamFailure::kNone);
}

INSTANTIATE_TEST_SUITE_P(Stations, EveryStation, testing::ValuesIn(kStations),
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

TEST(WinPlayer, SendsItsUserAgentAndAsksForTitles) {
  LUMIO_REQUIRE_STATIONS();
  WinPlayer player;
  ASSERT_TRUE(PrepareAndWait(player));
  player.SetURL(StationUrl("/title/gbk.mp3"));
  ASSERT_EQ(TraceUntil(player, kPlaying, milliseconds(10000)).back(), kPlaying)
      << player.LastError();
  EXPECT_TRUE(WaitUntil([&] { return player.Title() != ""; }, milliseconds(3000)));
  const Requests stream = RequestsFor("/title/gbk.mp3");
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

// A server that stops sending a body for longer than the wait stopped answering; one whose
// connection closes short of the announced length broke off. The attempt reads a playlist that
// broke off up to its last whole line, and fails one that stopped as no answer: the two must not be
// told alike, and every byte that came must be there before the end is.
TEST(WinHttpRequest, TellsAServerThatStoppedFromAConnectionThatBrokeOff) {
  LUMIO_REQUIRE_STATIONS();
  using win::HttpFetch;
  win::HttpSession session;
  ASSERT_TRUE(session.Open(L"Lumio/1.2"));
  const win::UniqueKernelHandle wake(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  win::WinHttpFetcher fetcher(session, wake.get());
  win::HttpFetchOptions options;
  options.timeout_ms = 500;
  const std::string playlist_start = "#EXTM3U\n/cut/gone.mp3\n";
  struct Row {
    const char* path;
    TransportError failure;
    testing::Matcher<std::string> body;
  };
  const Row rows[] = {
      {"/trickle/list.m3u", TransportError::kTimedOut, "#"},
      {"/cut/dropped.m3u", TransportError::kConnectionLost,
       AllOf(StartsWith(playlist_start), EndsWith("/cut/tone.mp3"))},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    const std::unique_ptr<HttpFetch> fetch = fetcher.Open(StationUrl(row.path), options);
    std::string body;
    const bool over = WaitUntil(
        [&] {
          // Read as the player reads: the phase first, then what came before it.
          const HttpFetch::Phase phase = fetch->phase();
          fetch->TakeBody(body);
          return phase == HttpFetch::Phase::kFailed || phase == HttpFetch::Phase::kEnded;
        },
        milliseconds(5000));
    ASSERT_TRUE(over) << "still reading";
    EXPECT_EQ(fetch->phase(), HttpFetch::Phase::kFailed);
    EXPECT_EQ(fetch->failure(), row.failure) << fetch->error();
    EXPECT_THAT(body, row.body);
  }
}

// The player's requests through WinHTTP, each kept to be looked at from outside.
class WatchedFetcher final : public win::HttpFetcher {
 public:
  explicit WatchedFetcher(win::HttpFetcher& fetcher) : fetcher_(fetcher) {}
  std::unique_ptr<win::HttpFetch> Open(const std::string& url,
                                       const win::HttpFetchOptions& options) override {
    std::unique_ptr<win::HttpFetch> fetch = fetcher_.Open(url, options);
    made.push_back(fetch.get());
    return fetch;
  }
  std::vector<win::HttpFetch*> made;

 private:
  win::HttpFetcher& fetcher_;
};

// A busy worker looks at a request only once its connection has already dropped after part of
// a playlist: the answer and the bytes still come first, then the break, so that the playlist
// is read up to its last whole line, as when the worker looked in time. The same for a request
// of the HLS reader: what arrived before the drop is handed out.
TEST(WinHttpRequest, ALateLookFindsTheAnswerAndTheBytesBeforeTheBreak) {
  LUMIO_REQUIRE_STATIONS();
  using win::HttpFetch;
  using Kind = win::StationStream::Event::Kind;
  win::HttpSession session;
  ASSERT_TRUE(session.Open(L"Lumio/1.2"));
  const win::UniqueKernelHandle wake(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  win::WinHttpFetcher winhttp(session, wake.get());
  WatchedFetcher fetcher(winhttp);
  const std::string url = StationUrl("/cut/dropped.m3u");
  const auto broke_off = [&] {
    return WaitUntil([&] { return fetcher.made.back()->phase() == HttpFetch::Phase::kFailed; },
                     milliseconds(5000));
  };

  win::StationStream stream(fetcher, {}, url, OpenAs::kPlaylist);
  ASSERT_TRUE(broke_off());
  std::vector<Kind> told;
  std::string body;
  std::string audio;
  for (int i = 0; i < 10; ++i) {
    win::StationStream::Event event = stream.Next(audio, true, win::Clock::now());
    if (event.kind == Kind::kNone) break;
    told.push_back(event.kind);
    if (event.kind == Kind::kAnswer) {
      EXPECT_EQ(event.answer.status, 200);
    }
    if (event.kind == Kind::kBody) {
      body += event.bytes;
      stream.Use(BodyUse::kCollect);
    }
    if (event.kind == Kind::kError) {
      EXPECT_EQ(event.error, TransportError::kConnectionLost);
    }
  }
  EXPECT_THAT(told, ElementsAre(Kind::kAnswer, Kind::kBody, Kind::kError));
  EXPECT_THAT(body, EndsWith("/cut/tone.mp3"));

  hls::HttpGet get(fetcher, url, {});
  ASSERT_TRUE(broke_off());
  EXPECT_EQ(get.Advance(), hls::HttpGet::Phase::kFailed);
  EXPECT_EQ(get.response().status, 200);
  std::string got;
  get.TakeBody(got);
  EXPECT_EQ(got, body);
}

// A length the server announces decides whether a body that ended was cut: only a plain
// number within range counts, and anything else leaves the body's end to the connection.
TEST(WinHttpRequest, TakesOnlyAPlainNumberForTheAnnouncedLength) {
  const struct {
    const char* value;
    std::optional<uint64_t> length;
  } rows[] = {
      {"0", 0},
      {"1234", 1234},
      {"18446744073709551615", UINT64_MAX},
      {"18446744073709551616", std::nullopt},  // past 64 bits: not wrapped to 0
      {"", std::nullopt},
      {"-1", std::nullopt},
      {"+5", std::nullopt},
      {"12, 12", std::nullopt},  // two headers, as joined
      {"0x10", std::nullopt},
  };
  for (const auto& row : rows)
    EXPECT_EQ(win::ContentLengthOfHeader(row.value), row.length) << row.value;
}

}  // namespace
}  // namespace lumio::test
