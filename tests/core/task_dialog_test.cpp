// The 定时任务 dialog as a listener uses it: what 添加 makes of the fields and refuses, the rows
// it shows, and 删除 while the schedule runs beneath the open dialog; and the song list's times.

#include "schedule/task_dialog.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "fakes/fake_clock.h"
#include "history/song_history_table.h"
#include "support/gbk_text.h"
#include "support/temp_dir.h"
#include "text/gbk.h"

namespace lumio {
namespace {

using test::Gbk;

class QuietProgram final : public ProgramControls {
 public:
  std::optional<CurrentStation> PlayingStation() const override { return playing; }
  std::string PlayingTitle() const override { return {}; }
  bool PlayStationById(int32_t nid, const std::string& name) override {
    playing = CurrentStation{nid, name};
    return true;
  }
  void StopPlayback() override { playing.reset(); }
  int32_t VolumeSetting() const override { return 50; }
  void SetPlayerVolume(int32_t) override {}

  std::optional<CurrentStation> playing;
};

class TaskDialogTest : public ::testing::Test {
 protected:
  TaskDialogTest() {
    clock.SetLocal(2024, 4, 28, 6, 0);  // a Sunday
    features.Load({dir.File("tasklst.ini"), dir.File("songlst.ini"), dir.path() + "rec"});
  }
  TaskDialog Dialog(std::optional<CurrentStation> playing = CurrentStation{7, Gbk("音乐台")}) {
    return TaskDialog(features, clock, playing, favourites, 180);
  }
  TaskFields Fields(std::string time, bool record = false, std::string minutes = "60") {
    TaskFields fields;
    fields.time = std::move(time);
    fields.record = record;
    fields.minutes = std::move(minutes);
    fields.station = 0;
    return fields;
  }

  test::TempDir dir;
  test::FakeClock clock;
  QuietProgram program;
  SystemRecordingDisk disk;
  TimedFeatures features{program, clock, disk};
  std::vector<CurrentStation> favourites = {{3, Gbk("新闻台")}, {7, Gbk("音乐台")}};
};

TEST(TaskTimeTest, ReadsTheTimesAListenerTypesAndRefusesTheRest) {
  struct Case {
    std::string text;
    std::optional<int32_t> hourMinute;  // hour * 100 + minute
  };
  const Case cases[] = {
      {"07:30", 730},
      {"7:30", 730},
      {" 23:59 ", 2359},
      {"0:00", 0},
      {Gbk("8：05"), 805},  // the full-width colon of a Chinese input method
      {"24:00", {}},
      {"12:60", {}},
      {"7:5", {}},
      {"730", {}},
      {"", {}},
      {"ab:cd", {}},
      {"-1:30", {}},
      {"123:45", {}},
  };
  for (const Case& c : cases) {
    const std::optional<TaskTime> time = ParseTaskTime(c.text);
    ASSERT_EQ(time.has_value(), c.hourMinute.has_value()) << c.text;
    if (time) {
      EXPECT_EQ(time->hour * 100 + time->minute, *c.hourMinute) << c.text;
    }
  }
}

TEST_F(TaskDialogTest, AddRefusesWhatCouldNotRunSayingWhyAndWritesNothing) {
  struct Case {
    TaskFields fields;
    bool nothingPlaysNorIsFavourite;
    std::string why;  // a part of the message
  };
  TaskFields noStation = Fields("07:30");
  noStation.station = -1;
  TaskFields pastTheList = Fields("07:30");
  pastTheList.station = 5;
  const Case cases[] = {
      {Fields("07:30"), true, "没有可选的电台"},
      {noStation, false, "请选择电台"},
      {pastTheList, false, "请选择电台"},
      {Fields("25:00"), false, "时间"},
      {Fields(""), false, "时间"},
      {Fields("07:30", true, "0"), false, "1 到 180 分钟"},
      {Fields("07:30", true, "181"), false, "1 到 180 分钟"},
      {Fields("07:30", true, ""), false, "1 到 180 分钟"},
      {Fields("07:30", true, "-5"), false, "1 到 180 分钟"},
      {Fields("07:30", true, "99999999999"), false, "1 到 180 分钟"},
  };
  for (const Case& c : cases) {
    const std::vector<CurrentStation> saved = favourites;
    if (c.nothingPlaysNorIsFavourite) favourites.clear();
    TaskDialog dialog = Dialog(c.nothingPlaysNorIsFavourite
                                   ? std::nullopt
                                   : std::optional<CurrentStation>(CurrentStation{7, "x"}));
    favourites = saved;
    const TaskDialogOutcome outcome = dialog.Add(c.fields);
    EXPECT_FALSE(outcome.changed) << c.why;
    EXPECT_NE(outcome.message.find(Gbk(c.why)), std::string::npos) << c.why;
  }
  EXPECT_TRUE(features.Tasks().empty());
  EXPECT_FALSE(std::filesystem::exists(dir.File("tasklst.ini")));

  // A task the list already holds is refused too, not run twice.
  TaskDialog dialog = Dialog();
  EXPECT_TRUE(dialog.Add(Fields("07:30")).message.empty());
  const TaskDialogOutcome again = dialog.Add(Fields("7:30"));
  EXPECT_FALSE(again.changed);
  EXPECT_NE(again.message, "");
  EXPECT_EQ(features.Tasks().size(), 1u);
}

TEST_F(TaskDialogTest, AddedTasksAreSavedAndShownAsTheListenerChoseThem) {
  TaskDialog dialog = Dialog();
  // The one playing comes first and is not offered twice among the favourites.
  EXPECT_EQ(dialog.Stations(),
            (std::vector<std::string>{Gbk("音乐台（正在播放）"), Gbk("新闻台")}));
  const TaskFields defaults = dialog.Defaults();
  EXPECT_EQ(defaults.time, "06:01");
  EXPECT_EQ(defaults.station, 0);

  TaskFields morning = Fields("07:30", true, " 90 ");  // later today
  TaskFields early = Fields("05:00", false, "abc");    // already past today: tomorrow
  TaskFields weekly = Fields("18:05");
  weekly.weekdays = 0b0010101;  // Monday, Wednesday, Friday
  weekly.station = 1;
  TaskFields daily = Fields("22:00");
  daily.weekdays = 0x7F;
  for (const TaskFields& fields : {morning, early, weekly, daily}) {
    const TaskDialogOutcome outcome = dialog.Add(fields);
    EXPECT_TRUE(outcome.changed);
    EXPECT_EQ(outcome.message, "");
  }

  const std::vector<TableRow> expected = {
      {"07:30", Gbk("一次 04-28"), Gbk("录音 90 分钟"), Gbk("音乐台")},
      {"05:00", Gbk("一次 04-29"), Gbk("播放"), Gbk("音乐台")},
      {"18:05", Gbk("周一三五"), Gbk("播放"), Gbk("新闻台")},
      {"22:00", Gbk("每天"), Gbk("播放"), Gbk("音乐台")},
  };
  EXPECT_EQ(dialog.Rows(), expected);
  EXPECT_EQ(features.Tasks()[2].nid, 3);

  // Written at once: a fresh start reads the same tasks.
  TaskList reread;
  ASSERT_TRUE(reread.Load(dir.File("tasklst.ini")));
  EXPECT_EQ(reread.Tasks(), features.Tasks());
}

TEST_F(TaskDialogTest, RemoveTakesTheTaskShownEvenWhenATaskRanWhileTheDialogWasOpen) {
  TaskDialog dialog = Dialog();
  ASSERT_TRUE(dialog.Add(Fields("06:02")).changed);  // once, in two minutes
  TaskFields weekly = Fields("06:30");
  weekly.weekdays = 0x7F;
  ASSERT_TRUE(dialog.Add(weekly).changed);
  TaskFields evening = Fields("20:00");
  ASSERT_TRUE(dialog.Add(evening).changed);
  ASSERT_EQ(dialog.Rows().size(), 3u);

  // The first task runs and leaves the list beneath the open dialog. The listener removes the
  // row they see as the third (20:00, second in the list now), then the first, which ran.
  clock.now += 180;
  features.OnTick();
  ASSERT_EQ(features.Tasks().size(), 2u);
  EXPECT_TRUE(dialog.Remove(2).changed);
  ASSERT_EQ(features.Tasks().size(), 1u);
  EXPECT_EQ(features.Tasks()[0].minute, 30);
  const TaskDialogOutcome ran = dialog.Remove(0);
  EXPECT_TRUE(ran.changed);
  EXPECT_NE(ran.message, "");
  EXPECT_NE(dialog.Remove(-1).message, "");  // nothing selected
  ASSERT_EQ(features.Tasks().size(), 1u);

  TaskList reread;
  ASSERT_TRUE(reread.Load(dir.File("tasklst.ini")));
  EXPECT_EQ(reread.Tasks(), features.Tasks());
}

TEST(SongHistoryTableTest, ShowsEachSongAtTheLocalTimeItWasHeard) {
  test::FakeClock clock;
  clock.SetLocal(2024, 4, 28, 23, 58);
  const std::vector<HeardSong> songs = {{clock.now, "a", "one"}, {clock.now - 86400, "b", "two"}};
  const SongHistoryTable table = MakeSongHistoryTable(songs, clock, "text");
  const std::vector<TableRow> expected = {{"04-28 23:58", "a", "one"}, {"04-27 23:58", "b", "two"}};
  EXPECT_EQ(table.rows, expected);
  EXPECT_EQ(table.copyText, "text");
}

}  // namespace
}  // namespace lumio
