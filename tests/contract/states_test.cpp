// Good stations on both players: the designed play states in order, pause and stop, volume and
// mute heard across stations, and a station that drops heard again.

#include "contract/contract_support.h"

namespace lumio::test {
namespace {

using testing::AnyOf;
using testing::ElementsAre;

// At volume 50 on the cubic scale: 0.5^3 of full.
constexpr double kHalfVolumeRms = kFullToneRms * 0.125;
constexpr double kSilence = 0.001;

struct Station {
  const char* name;
  const char* path;
};

class GoodStation : public testing::TestWithParam<Station> {};

TEST_P(GoodStation, GoesThroughThePlayStatesInOrder) {
  LUMIO_CONTRACT_CASE();
  const auto made = MakePlayer();
  MediaPlayer& player = made->player();
  EXPECT_EQ(player.GetPlayState(), kStopped) << "before any station";
  const std::string url = StationUrl(GetParam().path);
  player.SetURL(url);
  EXPECT_THAT(
      TraceUntil(player, kPlaying, kPlayWithin),
      AnyOf(ElementsAre(kConnecting, kPlaying), ElementsAre(kConnecting, kBuffering, kPlaying)))
      << made->LastError();
  EXPECT_EQ(player.GetFailure(), StreamFailure::kNone);
  EXPECT_EQ(player.GetPlayedURL(), url);
  // Still playing a moment later: nothing fell over after the start.
  EXPECT_THAT(TraceFor(player, milliseconds(1500)), ElementsAre(kPlaying)) << made->LastError();

  player.Pause();
  EXPECT_EQ(player.GetPlayState(), kPaused);
  EXPECT_THAT(TraceFor(player, milliseconds(500)), ElementsAre(kPaused));
  player.SetURL(url);  // a radio resumes afresh
  EXPECT_EQ(TraceUntil(player, kPlaying, kPlayWithin).back(), kPlaying) << made->LastError();
  player.Stop();
  EXPECT_EQ(player.GetPlayState(), kStopped);
  EXPECT_THAT(TraceFor(player, milliseconds(500)), ElementsAre(kStopped));
  EXPECT_EQ(player.GetTitle(), "");
}

INSTANTIATE_TEST_SUITE_P(Stations, GoodStation,
                         testing::Values(Station{"mp3", "/tone.mp3"},
                                         Station{"mp3_mid_frame_with_titles", "/icy.mp3"},
                                         Station{"aac_without_burst", "/tone.aac"},
                                         Station{"hls", "/hls/index.m3u8"}),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

class Heard : public testing::Test {
 protected:
  void Play(const std::string& path) {
    player().SetURL(StationUrl(path));
    ASSERT_TRUE(PlaysWithin(player())) << path << ": " << made_->LastError();
  }
  MediaPlayer& player() {
    if (!made_) made_ = MakePlayer();
    return made_->player();
  }

  std::unique_ptr<TestPlayer> made_;
};

TEST_F(Heard, TheToneAtTheVolumeAndMuteSetAcrossStations) {
  LUMIO_CONTRACT_CASE();
  player().SetVolume(100);
  Play("/tone.mp3");
  const auto full = Listen(milliseconds(1500));
  EXPECT_NEAR(full.frequency, 440, 10);
  EXPECT_NEAR(full.rms, kFullToneRms, 0.05);

  player().SetVolume(50);
  EXPECT_NEAR(Listen(milliseconds(1000)).rms, kHalfVolumeRms, kHalfVolumeRms * 0.25);
  player().SetMute(true);
  EXPECT_LT(Listen(milliseconds(1000)).rms, kSilence);
  Play("/tone.aac");
  EXPECT_LT(Listen(milliseconds(1000)).rms, kSilence) << "mute was lost with the station";

  player().SetMute(false);
  const auto half = Listen(milliseconds(1000));
  EXPECT_NEAR(half.rms, kHalfVolumeRms, kHalfVolumeRms * 0.25) << "volume lost with the station";
  EXPECT_NEAR(half.frequency, 440, 10);
}

TEST_F(Heard, PauseAndStopAreSilentAtOnce) {
  LUMIO_CONTRACT_CASE();
  player().SetVolume(100);
  Play("/hls/index.m3u8");
  EXPECT_NEAR(Listen(milliseconds(1000)).rms, kFullToneRms, 0.05);
  player().Pause();
  EXPECT_LT(Listen(milliseconds(1000)).rms, kSilence);

  Play("/icy.mp3");
  EXPECT_NEAR(Listen(milliseconds(1000)).rms, kFullToneRms, 0.05);
  player().Stop();
  EXPECT_LT(Listen(milliseconds(1000)).rms, kSilence);
}

// A station whose server drops the connection, or goes away and comes back, is heard again
// without the listener doing anything.
TEST_F(Heard, AStationThatDropsOrRestartsIsHeardAgain) {
  LUMIO_CONTRACT_CASE();
  player().SetVolume(100);
  Play("/drop.aac");
  const int before = RequestsFor("/drop.aac").count;
  ASSERT_EQ(Control("drop /drop.aac"), "ok");
  EXPECT_TRUE(
      WaitUntil([&] { return RequestsFor("/drop.aac").count > before; }, milliseconds(5000)))
      << "not asked again after the drop: " << made_->LastError();
  EXPECT_TRUE(PlaysWithin(player())) << made_->LastError();
  const auto after_drop = Listen(milliseconds(1500));
  EXPECT_NEAR(after_drop.frequency, 440, 10) << "not heard after the drop";
  EXPECT_GT(after_drop.rms, kFullToneRms / 2);

  ASSERT_EQ(ControlWhileRunning("restart 2500"), "ok");
  EXPECT_TRUE(PlaysWithin(player())) << made_->LastError();
  const auto after_restart = Listen(milliseconds(1500));
  EXPECT_NEAR(after_restart.frequency, 440, 10) << "not heard after the restart";
  EXPECT_GT(after_restart.rms, kFullToneRms / 2);
}

}  // namespace
}  // namespace lumio::test
