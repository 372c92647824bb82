// The Windows player heard where the contract suite does not listen: recorded from the PulseAudio
// null sink Wine plays into, measured there by the contract suite's stations.

#include <gtest/gtest.h>

#include <thread>

#include "windows/player_harness.h"

namespace lumio::test {
namespace {

// RMS of the half-scale 440 Hz test tone on one channel, at full volume.

class Heard : public testing::Test {
 protected:
  void SetUp() override {
    LUMIO_REQUIRE_STATIONS();
    ASSERT_TRUE(PrepareAndWait(player_));
  }

  void PlayUntilHeard(const std::string& path) {
    player_.SetURL(StationUrl(path));
    ASSERT_EQ(TraceUntil(player_, kPlayStatePlaying, milliseconds(10000)).back(), kPlayStatePlaying)
        << path << ": " << player_.LastError();
  }

  WinPlayer player_;
};

// An Icecast station sends seconds of sound at once when a listener connects: a server that
// goes away for a moment is bridged by them, and the stream plays on from the new connection.
// The moment is shorter than the second after which a dropped station is asked again, so that
// the bridge does not hang on how long a refused connection takes to fail.
TEST_F(Heard, AShortRestartOfABurstingServerIsBridged) {
  player_.SetVolume(100);
  PlayUntilHeard("/tone.mp3");
  std::thread away([] { Control("restart 800"); });
  const auto during = Listen(milliseconds(2500));
  away.join();
  EXPECT_NEAR(during.rms, kFullToneRms, 0.05) << "a gap while the server was away";
  EXPECT_EQ(player_.GetPlayState(), kPlayStatePlaying) << player_.LastError();
}

}  // namespace
}  // namespace lumio::test
