// The Windows player heard: recorded from the PulseAudio null sink Wine plays into, measured
// there by the contract suite's stations.

#include <gtest/gtest.h>

#include <thread>

#include "windows/player_harness.h"

namespace lumio::test {
namespace {

// RMS of the half-scale 440 Hz test tone on one channel, at full volume.
constexpr double kFullToneRms = 0.5 / 1.41421356;
// At volume 50 on the cubic scale: 0.5^3 of that.
constexpr double kHalfVolumeRms = kFullToneRms * 0.125;
constexpr double kSilence = 0.001;

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

TEST_F(Heard, TheToneAtTheVolumeAndMuteSetAcrossStations) {
  player_.SetVolume(100);
  PlayUntilHeard("/tone.mp3");
  const auto full = Listen(milliseconds(1500));
  EXPECT_NEAR(full.frequency, 440, 10);
  EXPECT_NEAR(full.rms, kFullToneRms, 0.05);

  // Heard within the short queue of the device, not after the buffered seconds.
  player_.SetVolume(50);
  EXPECT_NEAR(Listen(milliseconds(1000)).rms, kHalfVolumeRms, kHalfVolumeRms * 0.25);

  player_.SetMute(true);
  EXPECT_LT(Listen(milliseconds(1000)).rms, kSilence);
  PlayUntilHeard("/tone.aac");
  EXPECT_LT(Listen(milliseconds(1000)).rms, kSilence) << "mute was lost with the station";

  player_.SetMute(false);
  const auto half = Listen(milliseconds(1000));
  EXPECT_NEAR(half.rms, kHalfVolumeRms, kHalfVolumeRms * 0.25) << "volume lost with the station";
  EXPECT_NEAR(half.frequency, 440, 10);
}

TEST_F(Heard, PauseAndStopAreSilentAtOnce) {
  player_.SetVolume(100);
  PlayUntilHeard("/hls/index.m3u8");
  EXPECT_NEAR(Listen(milliseconds(1000)).rms, kFullToneRms, 0.05);
  player_.Pause();
  EXPECT_EQ(player_.GetPlayState(), kPlayStatePaused);
  EXPECT_LT(Listen(milliseconds(1000)).rms, kSilence);

  PlayUntilHeard("/icy.mp3");
  EXPECT_NEAR(Listen(milliseconds(1000)).rms, kFullToneRms, 0.05);
  player_.Stop();
  EXPECT_EQ(player_.GetPlayState(), kPlayStateStopped);
  EXPECT_LT(Listen(milliseconds(1000)).rms, kSilence);
}

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
