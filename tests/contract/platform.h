#pragma once
// What only a platform can do for the contract suite, one definition per player: make its player
// with the short time limits of the tests, let the player's events run on this thread, read this
// process's memory, and talk to the stations' control port.

#include <cstdint>
#include <memory>
#include <string>

#include "ports/media_player.h"

namespace lumio::test {

// The short limits both players take as options: a server has 2 s to answer and a station 4 s
// to be heard.
struct TestLimits {
  int timeout_seconds = 2;
  int silence_limit_ms = 0;  // 0: the timeout
};

class TestPlayer {
 public:
  virtual ~TestPlayer() = default;
  virtual MediaPlayer& player() = 0;
  // The player's own words for its last failure, for the test's messages.
  virtual std::string LastError() const = 0;
};

// "linux" or "windows": the player as the tables of known faults and differences name it.
const char* PlayerName();

// The player, ready to play (its sound device open, its decoders loaded) into the sink the
// stations listen to, trusting the stations' test authority for https.
std::unique_ptr<TestPlayer> MakePlayer(const TestLimits& limits = {});

// Runs whatever the players of this thread have pending (the GLib main context on Linux;
// nothing on Windows, whose player has a thread of its own). Never waits.
void RunPendingEvents();

// Private memory of this process (committed, not shared), in bytes.
int64_t PrivateMemoryBytes();

// Sends one command line to the stations' control port; its one-line answer, "" when unreachable.
std::string Control(const std::string& command);

}  // namespace lumio::test
