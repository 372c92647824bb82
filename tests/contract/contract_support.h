#pragma once
// What every case of the contract suite shares: the stations' addresses, watching a player the
// way the status line does (only more often), and what the stations saw and heard.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "contract/known_faults.h"
#include "contract/platform.h"

namespace lumio::test {

using std::chrono::milliseconds;

inline constexpr int32_t kStopped = kPlayStateStopped;
inline constexpr int32_t kPaused = kPlayStatePaused;
inline constexpr int32_t kPlaying = kPlayStatePlaying;
inline constexpr int32_t kBuffering = kPlayStateBuffering;
inline constexpr int32_t kConnecting = kPlayStateTransitioning;

// The limits of TestLimits, as the attempt applies them.
inline constexpr milliseconds kAnswerLimit{2000};
inline constexpr milliseconds kSoundLimit{4000};
// What a busy machine adds to any limit before a verdict is seen.
inline constexpr milliseconds kSlack{1500};
// How long a good station may take to be heard here.
inline constexpr milliseconds kPlayWithin{10000};

// A variable of the environment; "" when it is not set.
std::string Env(const char* name);
// Addresses: on the stations, on the server elsewhere that redirects to them, over https.
std::string StationUrl(const std::string& path);
std::string ElsewhereUrl(const std::string& path);
std::string HttpsUrl(const std::string& path);

// Polls `done` every 10 ms, running the players' events, until it holds or `timeout` passes.
template <typename Done>
bool WaitUntil(Done done, milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    RunPendingEvents();
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(milliseconds(10));
  }
}
inline void RunFor(milliseconds duration) {
  WaitUntil([] { return false; }, duration);
}

// The distinct states a player reported one after the other.
using States = std::vector<int32_t>;
// Polls until `player` reports `wanted` or `timeout` passes; the first state is read at once.
States TraceUntil(MediaPlayer& player, int32_t wanted, milliseconds timeout);
// Polls for all of `duration`.
States TraceFor(MediaPlayer& player, milliseconds duration);
// Whether the player plays within `timeout`.
bool PlaysWithin(MediaPlayer& player, milliseconds timeout = kPlayWithin);

struct HeardSound {
  double rms = -1;  // of channel 1; the half-scale test tone at full volume is 0.354
  double frequency = -1;
  int holes = -1;  // silences of 20 ms or more amid sound
};
// What the player's sink plays during the next `duration` (from 300 ms after the call).
HeardSound Listen(milliseconds duration);
inline constexpr double kFullToneRms = 0.5 / 1.41421356;

// Control, while the players' events go on running on this thread.
std::string ControlWhileRunning(const std::string& command);

struct Requests {
  int count = 0;
  std::vector<int64_t> gaps_ms;  // between one request and the next
  std::string user_agent;        // of the last one
  bool icy = false;              // the last one asked for ICY metadata
};
// The requests for `path` on the stations so far.
Requests RequestsFor(const std::string& path);

// How often the canary, a local MP3 file no station may lead a player to, was opened or read.
int CanaryTouches();
// A UDP port on 127.0.0.1 no station may make a player bind, and whether it is still free.
int ForbiddenUdpPort();
bool UdpPortFree(int port);

}  // namespace lumio::test

// Skips a case the stations are not there for (the program run on its own).
#define LUMIO_REQUIRE_STATIONS()                    \
  if (::lumio::test::Env("LUMIO_STATIONS").empty()) \
  GTEST_SKIP() << "LUMIO_STATIONS is not set: run through tests/contract/run_with_stations.sh"

// The start of every case: the stations must be there, and a case the table of known faults
// names for this player is skipped with its reason.
#define LUMIO_CONTRACT_CASE()                                    \
  LUMIO_REQUIRE_STATIONS();                                      \
  if (const char* known = ::lumio::test::KnownFaultOfThisCase()) \
  GTEST_SKIP() << "known fault of the " << ::lumio::test::PlayerName() << " player: " << known
