// The sleep timer and the schedule on the fake clock, as a listener meets them: the fade and
// the volume afterwards, tasks across midnight and across clock changes, and a scheduled
// recording that comes while another station plays.

#include "schedule/timed_features.h"

#include <map>

#include <gtest/gtest.h>

#include "fakes/fake_clock.h"
#include "store/config_path.h"
#include "stream/stream_builders.h"
#include "support/gbk_text.h"
#include "support/temp_dir.h"
#include "text/gbk.h"

namespace lumio {
namespace {

using test::Gbk;

class FakeProgram final : public ProgramControls {
 public:
  std::optional<CurrentStation> PlayingStation() const override { return playing; }
  std::string PlayingTitle() const override { return title; }
  bool PlayStationById(int32_t nid, const std::string&) override {
    const auto found = stations.find(nid);
    if (found == stations.end()) return false;
    playing = CurrentStation{nid, found->second};
    calls.push_back("play " + std::to_string(nid));
    return true;
  }
  void StopPlayback() override {
    playing.reset();
    calls.push_back("stop");
  }
  int32_t VolumeSetting() const override { return setting; }
  void SetPlayerVolume(int32_t volume) override {
    playerVolume = volume;
    calls.push_back("volume " + std::to_string(volume));
  }

  std::map<int32_t, std::string> stations = {{1, "one"}, {2, "two"}, {3, "three"}};
  std::optional<CurrentStation> playing;
  std::string title;
  int32_t setting = 50;
  int32_t playerVolume = 50;
  std::vector<std::string> calls;
};

class TimedFeaturesTest : public ::testing::Test {
 protected:
  TimedFeaturesTest() {
    clock.SetLocal(2024, 4, 28, 6, 0);  // a Sunday
    features.onMessage = [this](const std::string& m) { messages.push_back(m); };
  }

  // Starts the program with these lines in its task file.
  void Start(const std::string& taskLines) {
    test::WriteBytes(dir.File("tasklst.ini"), taskLines);
    features.Load({dir.File("tasklst.ini"), dir.File("songlst.ini"), dir.path() + "rec"});
  }
  // Lets the clock run to a local time, ticking every `step` seconds as the program does (a
  // busy machine's ticks are seconds late, never minutes).
  void RunTo(int32_t day, int32_t hour, int32_t minute, uint32_t step = 10) {
    test::FakeClock target = clock;
    target.SetLocal(2024, 4, day, hour, minute);
    while (clock.now + step <= target.now) {
      clock.now += step;
      features.OnTick();
    }
    clock.now = target.now;
    features.OnTick();
  }
  std::vector<std::string> Plays() const {
    std::vector<std::string> plays;
    for (const std::string& call : program.calls)
      if (call.rfind("play", 0) == 0 || call == "stop") plays.push_back(call);
    return plays;
  }

  test::TempDir dir;
  test::FakeClock clock;
  FakeProgram program;
  SystemRecordingDisk disk;
  TimedFeatures features{program, clock, disk};
  std::vector<std::string> messages;
};

using Calls = std::vector<std::string>;

TEST_F(TimedFeaturesTest, TheSleepTimerFadesTheLastHalfMinuteThenStopsAndGivesTheVolumeBack) {
  Start("");
  program.playing = CurrentStation{1, "one"};
  features.SetSleepTimer(15);
  EXPECT_EQ(features.SleepText(), Gbk("定时停止 15:00"));
  RunTo(28, 6, 14, 1);
  EXPECT_EQ(features.SleepText(), Gbk("定时停止 01:00"));
  EXPECT_TRUE(program.calls.empty());
  RunTo(28, 6, 15, 1);

  // One step a second from the listener's 50 down to nearly nothing, then the stop, then the
  // player back at 50 for whatever plays next; the setting itself was never touched.
  Calls expected;
  for (int remaining = 30; remaining >= 1; --remaining) {
    const std::string step = "volume " + std::to_string((50 * remaining + 15) / 30);
    if (expected.empty() || expected.back() != step) expected.push_back(step);
  }
  expected.push_back("stop");
  expected.push_back("volume 50");
  EXPECT_EQ(program.calls, expected);
  EXPECT_EQ(program.setting, 50);
  EXPECT_FALSE(features.Sleep().IsSet());
  EXPECT_EQ(features.SleepText(), "");
}

TEST_F(TimedFeaturesTest, ASleepTimerCancelledInItsFadeOrOutrunByTheClockDoesNoHarm) {
  Start("");
  program.playing = CurrentStation{1, "one"};
  features.SetSleepTimer(30);
  RunTo(28, 6, 29, 1);
  clock.now += 45;
  features.OnTick();
  ASSERT_LT(program.playerVolume, 50);
  features.SetSleepTimer(0);
  EXPECT_EQ(program.playerVolume, 50);
  EXPECT_TRUE(program.playing);

  // The clock set back an hour does not give the timer another hour.
  features.SetSleepTimer(15);
  RunTo(28, 6, 40, 1);
  clock.now -= 3600;
  features.OnTick();
  EXPECT_EQ(features.Sleep().RemainingSeconds(), 5 * 60 - 15);
  for (int i = 0; i < 5 * 60 - 15; ++i) {
    clock.now += 1;
    features.OnTick();
  }
  EXPECT_FALSE(program.playing);
  EXPECT_EQ(program.playerVolume, 50);
}

// Monday's task at midnight runs when Sunday ends; the one-off task on Sunday at 23:59 runs and
// leaves the list; Sunday's own tasks before midnight are not run on Monday.
TEST_F(TimedFeaturesTest, TasksRunAcrossMidnightOnTheirDays) {
  clock.SetLocal(2024, 4, 28, 23, 50);
  Start(
      "play|00:00|1|0|2|two\r\n"
      "play|23:59|2024-04-28|0|1|one\r\n"
      "play|23:55|7|0|3|three\r\n"
      "play|00:05|7|0|3|three\r\n");
  RunTo(29, 0, 10);
  EXPECT_EQ(Plays(), (Calls{"play 3", "play 1", "play 2"}));
  EXPECT_EQ(features.Tasks().size(), 3u);
  EXPECT_EQ(test::ReadBytes(dir.File("tasklst.ini")),
            "play|00:00|1|0|2|two\r\n"
            "play|23:55|7|0|3|three\r\n"
            "play|00:05|7|0|3|three\r\n");
}

TEST_F(TimedFeaturesTest, AClockSetBackRunsNothingTwiceAndOneSetForwardRunsNothingLate) {
  clock.SetLocal(2024, 4, 29, 7, 0, 30);
  Start(
      "play|07:00|1234567|0|1|one\r\n"
      "play|07:30|1234567|0|2|two\r\n"
      "play|09:00|1234567|0|3|three\r\n"
      "play|09:30|1234567|0|1|one\r\n");
  // Started half a minute after 07:00: that one was missed while the program did not run.
  RunTo(29, 7, 40);
  EXPECT_EQ(Plays(), (Calls{"play 2"}));

  // Summer time ends, or the listener puts the clock back an hour: 07:00 and 07:30 come again.
  clock.SetLocal(2024, 4, 29, 6, 40);
  RunTo(29, 7, 45);
  EXPECT_EQ(Plays(), (Calls{"play 2"}));

  // Put forward across 09:00 by twenty minutes: too late to start that station now. A minute
  // forward across 09:30 is still in time.
  clock.SetLocal(2024, 4, 29, 9, 20);
  features.OnTick();
  RunTo(29, 9, 29, 1);
  clock.SetLocal(2024, 4, 29, 9, 30, 50);
  features.OnTick();
  EXPECT_EQ(Plays(), (Calls{"play 2", "play 1"}));

  // The next morning it all runs again.
  program.playing.reset();
  RunTo(30, 7, 35, 60);
  EXPECT_EQ(Plays(), (Calls{"play 2", "play 1", "play 1", "play 2"}));
}

// The file holds the station it is named after: not the last second of the station before,
// still on its way when the listener switched and pressed record, nor the next one.
TEST_F(TimedFeaturesTest, ARecordingHoldsOnlyItsOwnStation) {
  Start("");
  StreamTap& tap = features.Tap();
  const auto frames = [](int count, uint8_t seed) {
    std::string bytes;
    for (int i = 0; i < count; ++i)
      bytes += stream::test::Mp3Frame(false, seed);
    return bytes;
  };
  program.playing = CurrentStation{1, "one"};
  tap.OnStreamStart();
  tap.OnStreamBytes(frames(40, 1));
  features.OnTick();
  EXPECT_EQ(features.StartRecording(), "");  // from the next whole frame on
  tap.OnStreamBytes(frames(40, 1));
  features.OnTick();
  const std::string first = features.GetRecorder().FilePath();

  program.playing = CurrentStation{2, "two"};
  tap.OnStreamBytes(frames(10, 1));
  EXPECT_EQ(features.StartRecording(), "");
  tap.OnStreamStart();
  tap.OnStreamBytes(frames(40, 2));
  features.OnTick();
  const std::string second = features.GetRecorder().FilePath();
  program.playing = CurrentStation{3, "three"};
  tap.OnStreamStart();
  tap.OnStreamBytes(frames(40, 3));
  features.OnTick();

  EXPECT_FALSE(features.IsRecording());
  EXPECT_EQ(first, PathInFolder(dir.path() + "rec", "one 2024-04-28 060000.mp3"));
  EXPECT_EQ(test::ReadBytes(first), frames(40, 1));
  EXPECT_EQ(second, PathInFolder(dir.path() + "rec", "two 2024-04-28 060000.mp3"));
  EXPECT_EQ(test::ReadBytes(second), frames(40, 2));
  program.playing.reset();
  EXPECT_EQ(features.StartRecording(), Gbk("没有正在播放的电台，无法录音"));
}

// The player hands its stream over at any moment and the tick takes it once a second: a stop
// (at the program's exit too) must not leave that last second, nor its new song, out.
TEST_F(TimedFeaturesTest, AStopKeepsWhatArrivedSinceTheLastTick) {
  Start("");
  StreamTap& tap = features.Tap();
  std::string sound;
  for (int i = 0; i < 80; ++i)
    sound += stream::test::Mp3Frame(false, static_cast<uint8_t>(i));
  program.playing = CurrentStation{1, "one"};
  tap.OnStreamStart();
  ASSERT_EQ(features.StartRecording(), "");
  tap.OnStreamBytes(sound.substr(0, sound.size() / 2));
  features.OnTick();
  tap.OnStreamTitle(Gbk("歌手 - 新歌"));
  tap.OnStreamBytes(sound.substr(sound.size() / 2));
  features.StopRecording();

  const std::string file = features.GetRecorder().FilePath();
  EXPECT_EQ(test::ReadBytes(file), sound);
  const std::string sheet = test::ReadBytes(file.substr(0, file.size() - 3) + "cue");
  EXPECT_NE(sheet.find("TITLE \"新歌\""), std::string::npos) << sheet;
}

// A scheduled recording while another station plays: it switches over, records only the new
// station (not what is still on its way from the old one), ends at its length, and gives the
// listener their station back. A scheduled station meanwhile does not cut it short.
TEST_F(TimedFeaturesTest, AScheduledRecordingTakesOverAndGivesTheStationBack) {
  clock.SetLocal(2024, 4, 29, 7, 59);
  Start(
      "record|08:00|1|2|2|two\r\n"
      "play|08:01|1|0|3|three\r\n");
  program.playing = CurrentStation{1, "one"};
  StreamTap& tap = features.Tap();
  const auto frames = [](int count, uint8_t seed) {
    std::string bytes;
    for (int i = 0; i < count; ++i)
      bytes += stream::test::Mp3Frame(false, seed);
    return bytes;
  };
  tap.OnStreamStart();
  tap.OnStreamBytes(frames(40, 1));
  RunTo(29, 8, 0, 1);
  EXPECT_EQ(Plays(), (Calls{"play 2"}));
  ASSERT_TRUE(features.IsRecording());

  // The old station's last bytes, then the new connection: 40 frames a second for 2.5 minutes.
  tap.OnStreamBytes(frames(40, 1));
  tap.OnStreamStart();
  for (int second = 0; second < 150; ++second) {
    tap.OnStreamBytes(frames(40, 2));
    clock.now += 1;
    features.OnTick();
  }
  EXPECT_FALSE(features.IsRecording());
  EXPECT_EQ(Plays(), (Calls{"play 2", "play 1"}));
  EXPECT_EQ(messages, Calls{Gbk("正在录音，定时播放已跳过：three")});
  const std::string file = test::ReadBytes(features.GetRecorder().FilePath());
  EXPECT_EQ(file, frames(4594, 2));  // two minutes of sound, all of the new station
  EXPECT_EQ(features.GetRecorder().FilePath(),
            PathInFolder(dir.path() + "rec", "two 2024-04-29 080000.mp3"));
}

}  // namespace
}  // namespace lumio
