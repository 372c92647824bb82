// Stations that fail, on both players: the listener's reason for every server answer and
// transport failure, the retry that follows it (read from the times the stations were asked),
// and servers that trickle, each given up within its limit. The stations of a case fail side by
// side, each with a player of its own.

#include <algorithm>

#include "contract/contract_support.h"

namespace lumio::test {
namespace {

using std::chrono::steady_clock;
using testing::AllOf;
using testing::Ge;
using testing::Le;

struct Failing {
  std::string name;
  std::string url;
  StreamFailure failure;
  // Whose requests show the retries ("" where the stations see none), and the expected time
  // from one request to the next (0: asked again only after a minute).
  std::string path;
  int64_t retry_ms = 0;
  // How much shorter the gap may look at the server: when the player gives up on its own
  // clock, a first request that reached the server late (a busy machine, every row's player
  // starting at once) shortens the gap by as much, though the player waited as it should.
  int64_t early_ms = 100;
};

// A player per row, all started at once.
struct Trial {
  const Failing* row = nullptr;
  std::unique_ptr<TestPlayer> made;
  int asked_before = 0;
  States states;
  steady_clock::time_point started;
  steady_clock::time_point failed{};
  int asked_at_failure = -1;
};

std::vector<Trial> StartAll(const std::vector<Failing>& rows) {
  std::vector<Trial> trials;
  for (const Failing& row : rows) {
    if (const char* known = KnownFaultOfThisCase(row.name)) {
      std::printf("[  KNOWN   ] %s on the %s player: %s\n", row.name.c_str(), PlayerName(), known);
      continue;
    }
    Trial run;
    run.row = &row;
    run.made = MakePlayer();
    run.asked_before = row.path.empty() ? 0 : RequestsFor(row.path).count;
    trials.push_back(std::move(run));
  }
  for (Trial& run : trials) {
    run.started = steady_clock::now();
    run.made->player().SetURL(run.row->url);
  }
  return trials;
}

// Watches every run until `done(run)` holds for all of them or `timeout` passes.
template <typename Done>
void WatchAll(std::vector<Trial>& trials, Done done, milliseconds timeout) {
  WaitUntil(
      [&] {
        bool all = true;
        for (Trial& run : trials) {
          const int32_t state = run.made->player().GetPlayState();
          if (run.states.empty() || run.states.back() != state) run.states.push_back(state);
          if (run.failed == steady_clock::time_point{} &&
              run.made->player().GetFailure() != StreamFailure::kNone) {
            run.failed = steady_clock::now();
          }
          all = done(run) && all;
        }
        return all;
      },
      timeout);
}

int64_t MsBetween(steady_clock::time_point from, steady_clock::time_point to) {
  return std::chrono::duration_cast<milliseconds>(to - from).count();
}

TEST(FailingStations, SayWhyAndAreAskedAgainOnlyWhenThatMayHelp) {
  LUMIO_CONTRACT_CASE();
  const auto status = [](int code, StreamFailure failure, int64_t retry_ms) {
    const std::string path = "/status/" + std::to_string(code);
    return Failing{"status_" + std::to_string(code), StationUrl(path), failure, path, retry_ms};
  };
  const std::string https = Env("LUMIO_STATIONS_HTTPS");
  const std::vector<Failing> rows = {
      status(400, StreamFailure::kGone, 0),
      status(403, StreamFailure::kForbidden, 0),
      status(404, StreamFailure::kGone, 0),
      status(405, StreamFailure::kGone, 0),
      status(408, StreamFailure::kNoAnswer, 1000),
      status(410, StreamFailure::kGone, 0),
      status(451, StreamFailure::kForbidden, 0),
      status(500, StreamFailure::kUnreachable, 1000),
      status(503, StreamFailure::kUnreachable, 1000),
      {"refused", "http://127.0.0.1:1/tone.mp3", StreamFailure::kUnreachable, "", 0},
      {"unknown_host", "http://no-such-host.invalid/live.mp3", StreamFailure::kUnreachable, "", 0},
      {"never_answering", StationUrl("/silent.mp3"), StreamFailure::kNoAnswer, "/silent.mp3",
       kAnswerLimit.count() + 1000, 700},
      {"web_page", StationUrl("/page.html"), StreamFailure::kNotAudio, "/page.html"},
      {"not_audio", StationUrl("/noise.mp3"), StreamFailure::kNotAudio, "/noise.mp3"},
      {"windows_media", StationUrl("/live.asf"), StreamFailure::kNotAudio, "/live.asf"},
      // The certificate names localhost, not the address.
      {"certificate_for_another_name",
       "https://127.0.0.1:" + https.substr(https.rfind(':') + 1) + "/tone.mp3",
       StreamFailure::kBadCertificate, "", 0},
  };
  std::vector<Trial> trials = StartAll(rows);

  WatchAll(
      trials, [](Trial& run) { return run.failed != steady_clock::time_point{}; },
      kSoundLimit + kSlack);
  for (Trial& run : trials) {
    if (!run.row->path.empty()) run.asked_at_failure = RequestsFor(run.row->path).count;
  }
  // Long enough for each retry that is due, and for any that is not to show itself.
  const milliseconds observe(std::max<int64_t>(2500, std::max_element(
                                                         rows.begin(), rows.end(),
                                                         [](auto& a, auto& b) {
                                                           return a.retry_ms < b.retry_ms;
                                                         })->retry_ms +
                                                         1500));
  WatchAll(
      trials, [&](Trial& run) { return steady_clock::now() - run.failed >= observe; },
      observe + kSlack);

  for (Trial& run : trials) {
    const Failing& row = *run.row;
    SCOPED_TRACE(row.name + " (" + row.url + "): " + run.made->LastError());
    EXPECT_EQ(run.made->player().GetFailure(), row.failure);
    EXPECT_THAT(run.states, testing::Each(testing::AnyOf(kConnecting, kBuffering)));
    EXPECT_EQ(run.states.back(), kConnecting) << "waiting for the next try";
    if (row.path.empty()) continue;
    const Requests requests = RequestsFor(row.path);
    if (row.retry_ms == 0) {
      EXPECT_EQ(requests.count - run.asked_before, 1) << "asked again before the minute";
    } else {
      ASSERT_GE(requests.count - run.asked_before, 2) << "not asked again";
      const int64_t gap = requests.gaps_ms[static_cast<size_t>(run.asked_before)];
      EXPECT_THAT(gap, AllOf(Ge(row.retry_ms - row.early_ms), Le(row.retry_ms + 800)))
          << "asked again after " << gap << " ms";
    }
  }
  for (Trial& run : trials) {
    run.made->player().Stop();
    EXPECT_EQ(run.made->player().GetPlayState(), kStopped) << run.row->name;
  }
}

// A server that sends one byte every 5 s, at the head of its answer, in a playlist, or in an
// HLS segment, is given up within the limit of that step, and Stop ends it at once.
TEST(FailingStations, ThatTrickleAreGivenUpWithinTheirLimit) {
  LUMIO_CONTRACT_CASE();
  const std::vector<Failing> rows = {
      {"at_the_head", StationUrl("/trickle/head.mp3"), StreamFailure::kNoAnswer, "",
       kAnswerLimit.count()},
      {"at_a_playlist", StationUrl("/trickle/list.m3u"), StreamFailure::kNoAnswer, "",
       kSoundLimit.count()},
      {"at_an_hls_segment", StationUrl("/trickle/hls/index.m3u8"), StreamFailure::kNoAnswer, "",
       kSoundLimit.count()},
  };
  std::vector<Trial> trials = StartAll(rows);
  WatchAll(
      trials, [](Trial& run) { return run.failed != steady_clock::time_point{}; },
      kSoundLimit + kSlack + kSlack);
  for (Trial& run : trials) {
    const Failing& row = *run.row;
    SCOPED_TRACE(row.name + ": " + run.made->LastError());
    ASSERT_NE(run.failed, steady_clock::time_point{}) << "still waiting";
    // retry_ms holds the limit here.
    EXPECT_LE(MsBetween(run.started, run.failed), row.retry_ms + kSlack.count());
    EXPECT_EQ(run.made->player().GetFailure(), row.failure);
    const auto before = steady_clock::now();
    run.made->player().Stop();
    EXPECT_EQ(run.made->player().GetPlayState(), kStopped);
    EXPECT_LT(MsBetween(before, steady_clock::now()), 200) << "Stop waited";
  }
}

}  // namespace
}  // namespace lumio::test
