// Hostile stations, on both players: addresses that lead to the listener's own machine, https
// that would go on over http, segments that never end, playlists that would be fetched without
// pause, megabyte playlists and cut ones, odd metadata intervals. What must hold is said per
// case: nothing local opened, memory flat, no storm of requests, a verdict within the limits.

#include <algorithm>

#include "contract/contract_support.h"

namespace lumio::test {
namespace {

using std::chrono::steady_clock;
using testing::Each;
using testing::Ne;

int64_t MsSince(steady_clock::time_point start) {
  return std::chrono::duration_cast<milliseconds>(steady_clock::now() - start).count();
}

// Neither a file nor a socket of the listener's machine is opened because a station named it,
// through a redirect, a playlist entry or an HLS segment; the listener reads that the station
// cannot be reached, and the next try follows.
TEST(HostileStations, LeadingToTheListenersMachineOpenNothing) {
  LUMIO_CONTRACT_CASE();
  const int port = ForbiddenUdpPort();
  ASSERT_GT(port, 0);
  ASSERT_TRUE(UdpPortFree(port));
  const int touched_before = CanaryTouches();
  struct Row {
    const char* name;
    const char* path;
    // The HLS playlist's first segment is a good one: it may play before the refusal.
    bool may_play_first = false;
  };
  const Row rows[] = {
      {"redirect_to_a_file", "/redirect/file"},
      {"redirect_to_udp", "/redirect/udp"},
      {"redirect_to_smb", "/redirect/smb"},
      {"redirect_to_data", "/redirect/data"},
      {"playlist_entries", "/list/schemes.m3u"},
      {"hls_segment_on_disk", "/hlsfile/index.m3u8", true},
  };
  std::vector<std::pair<const Row*, std::unique_ptr<TestPlayer>>> players;
  for (const Row& row : rows) {
    if (const char* known = KnownFaultOfThisCase(row.name)) {
      std::printf("[  KNOWN   ] %s on the %s player: %s\n", row.name, PlayerName(), known);
      continue;
    }
    players.emplace_back(&row, MakePlayer());
    players.back().second->player().SetURL(StationUrl(row.path));
  }
  std::vector<States> states(players.size());
  WaitUntil(
      [&] {
        bool all = true;
        for (size_t i = 0; i < players.size(); ++i) {
          MediaPlayer& player = players[i].second->player();
          const int32_t state = player.GetPlayState();
          if (states[i].empty() || states[i].back() != state) states[i].push_back(state);
          all = all && player.GetFailure() != StreamFailure::kNone;
        }
        return all;
      },
      kSoundLimit + kSlack);
  RunFor(milliseconds(500));  // whatever a player would do next, it has begun
  for (size_t i = 0; i < players.size(); ++i) {
    SCOPED_TRACE(std::string(players[i].first->name) + ": " + players[i].second->LastError());
    EXPECT_EQ(players[i].second->player().GetFailure(), StreamFailure::kUnreachable);
    if (!players[i].first->may_play_first) {
      EXPECT_THAT(states[i], Each(Ne(kPlaying))) << "inline data or a local file played";
    }
  }
  EXPECT_EQ(CanaryTouches(), touched_before) << "a local file was opened";
  EXPECT_TRUE(UdpPortFree(port)) << "a local UDP port was bound";
}

// An address the listener's list gives as https never goes on over plain http.
TEST(HostileStations, HttpsRedirectedToHttpIsRefused) {
  LUMIO_CONTRACT_CASE();
  const auto made = MakePlayer();
  MediaPlayer& player = made->player();
  const int asked_before = RequestsFor("/downgrade").count;
  player.SetURL(HttpsUrl("/downgrade"));
  EXPECT_TRUE(WaitUntil([&] { return player.GetFailure() != StreamFailure::kNone; },
                        kAnswerLimit + kSlack));
  ASSERT_GT(RequestsFor("/downgrade").count, asked_before)
      << "the https request never arrived: " << made->LastError();
  EXPECT_EQ(player.GetFailure(), StreamFailure::kUnreachable) << made->LastError();
  EXPECT_EQ(RequestsFor("/downgraded.mp3").count, 0) << "went on over http";
  EXPECT_NE(player.GetPlayState(), kPlaying);
}

// Memory stays flat while a segment streams without end at loopback speed: a reader that holds
// what it is sent grows by the megabytes it is sent; one that reads at the pace of the sound
// holds its bounds (body bytes held, one PES, 10 s of decoded sound: a few MiB in all).
class EndlessSegment : public testing::TestWithParam<const char*> {};

TEST_P(EndlessSegment, LeavesMemoryFlat) {
  LUMIO_CONTRACT_CASE();
  constexpr int64_t kMiB = 1024 * 1024;
  // The bounds, decoders and sound output together, with room for the allocator.
  constexpr int64_t kAllowedGrowth = 24 * kMiB;
  const auto made = MakePlayer();
  MediaPlayer& player = made->player();
  const std::string playlist = std::string("/") + GetParam() + "/index.m3u8";
  const int64_t at_start = PrivateMemoryBytes();
  ASSERT_GT(at_start, 0);
  player.SetURL(StationUrl(playlist));
  // From the first segment request on, the server sends as fast as it is read.
  ASSERT_TRUE(
      WaitUntil([&] { return RequestsFor(std::string("/") + GetParam() + "/seg.ts").count > 0; },
                kSoundLimit))
      << made->LastError();
  RunFor(milliseconds(1000));  // decoders and the output are made by now
  const int64_t baseline = PrivateMemoryBytes();
  int64_t peak = baseline;
  const auto start = steady_clock::now();
  while (MsSince(start) < 5000 && peak - baseline <= kAllowedGrowth) {
    RunFor(milliseconds(250));
    peak = std::max(peak, PrivateMemoryBytes());
  }
  EXPECT_LE(peak - baseline, kAllowedGrowth)
      << "grew by " << (peak - baseline) / kMiB << " MiB in " << MsSince(start) << " ms";
  const auto stop = steady_clock::now();
  player.Stop();
  EXPECT_LT(MsSince(stop), 200) << "Stop waited";
  EXPECT_EQ(player.GetPlayState(), kStopped);
}

INSTANTIATE_TEST_SUITE_P(Hls, EndlessSegment, testing::Values("endless", "endless_pes"),
                         [](const auto& param_info) { return std::string(param_info.param); });

// A target duration of 1e300 s or of a microsecond neither breaks the player nor has the
// playlist fetched more than once a second.
TEST(HostileStations, HlsTargetDurationsBringNoStormOfReloads) {
  LUMIO_CONTRACT_CASE();
  std::vector<std::string> paths;
  for (const char* name : {"huge", "tiny"}) {
    if (const char* known = KnownFaultOfThisCase(name)) {
      std::printf("[  KNOWN   ] %s on the %s player: %s\n", name, PlayerName(), known);
      continue;
    }
    paths.push_back(std::string("/target/") + name + ".m3u8");
  }
  std::vector<std::unique_ptr<TestPlayer>> players;
  std::vector<int> before;
  for (const std::string& path : paths) {
    before.push_back(RequestsFor(path).count);
    players.push_back(MakePlayer());
    players.back()->player().SetURL(StationUrl(path));
  }
  constexpr int kSeconds = 5;
  RunFor(milliseconds(kSeconds * 1000));
  for (size_t i = 0; i < players.size(); ++i) {
    const int asked = RequestsFor(paths[i]).count - before[i];
    EXPECT_GE(asked, 1) << paths[i];
    EXPECT_LE(asked, kSeconds + 1)
        << paths[i] << ": fetched " << asked << " times in " << kSeconds << " s";
    players[i]->player().Stop();
    EXPECT_EQ(players[i]->player().GetPlayState(), kStopped) << paths[i];
  }
}

// Megabyte playlists are read only to their caps: a verdict comes within the usual limits and
// Stop is obeyed at once, however much the station sent.
TEST(HostileStations, MegabytePlaylistsAreDecidedWithinTheLimits) {
  LUMIO_CONTRACT_CASE();
  struct Row {
    const char* name;
    const char* path;
  };
  const Row rows[] = {{"asx_title_of_ampersands", "/big/amp.asx"},
                      {"xspf_title_of_ampersands", "/big/amp.xspf"},
                      {"one_letter_entries", "/big/letters.m3u"}};
  for (const Row& row : rows) {
    if (const char* known = KnownFaultOfThisCase(row.name)) {
      std::printf("[  KNOWN   ] %s on the %s player: %s\n", row.name, PlayerName(), known);
      continue;
    }
    SCOPED_TRACE(row.name);
    const auto made = MakePlayer();
    MediaPlayer& player = made->player();
    player.SetURL(StationUrl(row.path));
    const auto start = steady_clock::now();
    EXPECT_TRUE(WaitUntil(
        [&] {
          return player.GetPlayState() == kPlaying || player.GetFailure() != StreamFailure::kNone;
        },
        kSoundLimit + kSlack))
        << "no verdict after " << MsSince(start) << " ms: " << made->LastError();
    const auto stop = steady_clock::now();
    player.Stop();
    EXPECT_LT(MsSince(stop), 200) << "Stop waited";
    EXPECT_EQ(player.GetPlayState(), kStopped);
  }
  // The one-letter entries name a station that plays: the first of them was tried.
  EXPECT_GE(RequestsFor("/big/a").count, 1);
  EXPECT_LE(RequestsFor("/big/a").count, 16) << "more entries tried than a playlist may give";
}

// A playlist cut mid-line, by a dropped connection or by the size cap, is read up to its last
// whole line: the address the cut line begins with is never asked for, though it would play.
TEST(HostileStations, APlaylistsCutLastLineIsNotTried) {
  LUMIO_CONTRACT_CASE();
  for (const char* name : {"dropped", "capped"}) {
    if (const char* known = KnownFaultOfThisCase(name)) {
      std::printf("[  KNOWN   ] %s on the %s player: %s\n", name, PlayerName(), known);
      continue;
    }
    SCOPED_TRACE(name);
    const auto made = MakePlayer();
    MediaPlayer& player = made->player();
    player.SetURL(StationUrl(std::string("/cut/") + name + ".m3u"));
    EXPECT_TRUE(WaitUntil([&] { return player.GetFailure() != StreamFailure::kNone; },
                          kSoundLimit + kSlack))
        << made->LastError();
    RunFor(milliseconds(300));
    EXPECT_EQ(player.GetFailure(), StreamFailure::kGone) << "the whole entry before it is gone";
    EXPECT_NE(player.GetPlayState(), kPlaying);
    const std::string cut = std::string(name) == "dropped" ? "/cut/tone.mp3" : "/cut/capped.mp3";
    EXPECT_EQ(RequestsFor(cut).count, 0) << "the cut address was tried";
  }
}

// icy-metaint of 0, -1 or a number past every bound means a stream without titles, and it
// plays; an interval of 1 is valid, and its titles come.
TEST(HostileStations, OddMetadataIntervalsStillPlay) {
  LUMIO_CONTRACT_CASE();
  for (const char* name : {"0", "1", "-1", "huge"}) {
    if (const char* known = KnownFaultOfThisCase(name)) {
      std::printf("[  KNOWN   ] metaint %s on the %s player: %s\n", name, PlayerName(), known);
      continue;
    }
    SCOPED_TRACE(std::string("icy-metaint ") + name);
    const auto made = MakePlayer();
    MediaPlayer& player = made->player();
    player.SetURL(StationUrl(std::string("/metaint/") + name + ".mp3"));
    ASSERT_TRUE(PlaysWithin(player)) << made->LastError();
    const bool titled = std::string(name) == "1";
    if (titled) {
      EXPECT_TRUE(WaitUntil([&] { return player.GetTitle() == "Metaint one"; }, milliseconds(4000)))
          << "title: " << player.GetTitle();
    }
    EXPECT_THAT(TraceFor(player, milliseconds(1500)), testing::ElementsAre(kPlaying))
        << made->LastError();
    if (!titled) {
      EXPECT_EQ(player.GetTitle(), "");
    }
  }
}

}  // namespace
}  // namespace lumio::test
