#pragma once
// What the Windows player's tests share: the addresses of the local stations the test script
// started (tests/contract/run_with_stations.sh), their control port, and watching a player the way
// the status line does, only more often.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "winplayer/win_player.h"

namespace lumio::test {

using std::chrono::milliseconds;

// A variable of the test script's environment; "" when it is not set.
std::string Env(const char* name);
// The address of `path` on the local stations.
std::string StationUrl(const std::string& path);
// Sends one command to the stations' control port; its one-line answer, "" when unreachable.
std::string Control(const std::string& command);

struct HeardSound {
  double rms = -1;  // of channel 1; the 440 Hz test tone at half scale is 0.354
  double frequency = -1;
};
// What the sink plays during the next `duration` (from 300 ms after the call).
HeardSound Listen(milliseconds duration);
inline constexpr double kFullToneRms = 0.5 / 1.41421356;

struct Requests {
  int count = 0;
  std::vector<int64_t> gaps_ms;  // between one request and the next
  std::string user_agent;        // of the last one
  bool icy = false;              // the last one asked for ICY metadata
};
Requests RequestsFor(const std::string& path);

// Polls `done` every 10 ms until it holds or `timeout` passes; returns done().
template <typename Done>
bool WaitUntil(Done done, milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(milliseconds(10));
  }
  return true;
}

// The distinct states a player reported one after the other.
using States = std::vector<int32_t>;
// Polls until `player` reports `wanted` or `timeout` passes; the first state is read at once.
States TraceUntil(WinPlayer& player, int32_t wanted, milliseconds timeout);
// Polls for all of `duration`.
States TraceFor(WinPlayer& player, milliseconds duration);

// CPU time (user and system, all threads) this process has used so far, in milliseconds.
int64_t ProcessCpuMs();

// Adds the test CA of the script (LUMIO_STATIONS_CA_DER) to the user's trusted roots, as a
// listener's system trusts a public CA; false when it could not.
bool TrustTestCa();

// Prepares `player` as the program does and waits until the device is open and the decoders
// are loaded; false when that took longer than `timeout`.
bool PrepareAndWait(WinPlayer& player, milliseconds timeout = milliseconds(30000));

}  // namespace lumio::test

// Skips a test the script's stations are not there for (the executable run on its own).
#define LUMIO_REQUIRE_STATIONS()                    \
  if (::lumio::test::Env("LUMIO_STATIONS").empty()) \
  GTEST_SKIP() << "LUMIO_STATIONS is not set: run through tests/contract/run_with_stations.sh"
