// The files the timers and the recorder keep or name: a task file the listener got wrong is
// kept and reported, never wiped; the song history counts a repeated title once; recordings
// get names every system can hold, in the folder the desktop means for music.

#include <filesystem>

#include <gtest/gtest.h>

#include "fakes/fake_clock.h"
#include "history/song_history.h"
#include "recording/recording_names.h"
#include "schedule/task_list.h"
#include "store/atomic_file.h"
#include "support/gbk_text.h"
#include "support/temp_dir.h"
#include "text/gbk.h"

namespace lumio {
namespace {

using test::Gbk;

TEST(TaskFile, LinesThatAreNoTaskAreReportedAndKeptAndTheRestRuns) {
  test::TempDir dir;
  const std::string path = dir.File("tasklst.ini");
  // A name may hold "|" and characters whose second byte is "\" or "|" (乗, 億).
  const std::string weekly = "play|07:00|12345|0|1|" + Gbk("中国之声");
  const std::string once = "record|22:30|2024-05-01|60|-5|" + Gbk("乗|億");
  const std::vector<std::string> bad = {
      "play|25:00|1|0|1|x",          "record|07:00|1|0|1|x",
      "record|07:00|1|181|1|x",      "play|07:00|8|0|1|x",
      "play|07:00|2023-02-29|0|1|x", "jump|07:00|1|0|1|x",
      "play|07:00|1|0|abc|x",        "play|07:00",
      "play|7:00|1|0|1|x",           "play|07:00|1|0|1|" + std::string(600, 'n')};
  std::string bytes = "# " + Gbk("我的定时任务") + "\r\n" + weekly + "\n\r\n";
  for (const std::string& line : bad)
    bytes += line + "\r\n";
  bytes += once;  // a hand-edited file may lack the last line end
  test::WriteBytes(path, bytes);

  TaskList list;
  EXPECT_FALSE(list.Load(path));
  ASSERT_EQ(list.Tasks().size(), 2u);
  EXPECT_EQ(FormatTaskLine(list.Tasks()[0]), weekly);
  EXPECT_EQ(list.Tasks()[0].weekdays, 0x1F);
  EXPECT_EQ(list.Tasks()[1].onceDay, DaysFromCivil(2024, 5, 1));
  EXPECT_EQ(list.Tasks()[1].name, Gbk("乗|億"));
  EXPECT_EQ(list.Tasks()[1].nid, -5);
  EXPECT_EQ(list.Problem(),
            Gbk("定时任务文件 tasklst.ini 中有 10 行无法读取（第 4、5、6、7、8 等 行），已跳过；"
                "文件中的这些行保持原样。"));
  EXPECT_EQ(test::ReadBytes(path), bytes);  // reading writes nothing

  // The listener's next change writes the tasks, and the lines it could not read as they were.
  ScheduledTask added;
  added.action = TaskAction::kRecord;
  added.hour = 6;
  added.weekdays = 0x60;
  added.recordMinutes = 30;
  added.nid = 9;
  added.name = "n";
  ASSERT_TRUE(list.Add(added));
  std::string expected =
      weekly + "\r\n" + once + "\r\nrecord|06:00|67|30|9|n\r\n# " + Gbk("我的定时任务") + "\r\n";
  for (const std::string& line : bad)
    expected += line + "\r\n";
  EXPECT_EQ(test::ReadBytes(path), expected);
  TaskList again;
  again.Load(path);
  EXPECT_EQ(again.Tasks(), list.Tasks());
}

TEST(TaskFile, AFileThatCannotBeReadIsNeverWrittenOver) {
  test::TempDir dir;
  // Something that is no file, and a file far too large to be a task file.
  const std::string folder = dir.File("folder");
  ASSERT_TRUE(std::filesystem::create_directory(folder));
  std::string large;
  while (large.size() <= kMaxTaskFileBytes)
    large += "play|07:00|1|0|1|x\r\n";
  test::WriteBytes(dir.File("large"), large);

  for (const std::string& path : {folder, dir.File("large")}) {
    TaskList list;
    EXPECT_FALSE(list.Load(path));
    EXPECT_EQ(
        list.Problem(),
        Gbk("无法读取定时任务文件 tasklst.ini，文件保持原样；本次对定时任务的修改不会保存。"));
    EXPECT_FALSE(list.Add(ScheduledTask{}));
    EXPECT_EQ(list.Tasks().size(), 1u);  // in force until the program ends
  }
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  EXPECT_EQ(test::ReadBytes(dir.File("large")), large);
}

TEST(SongHistory, CountsASongOnceKeepsTheLast200AndCopiesAsText) {
  test::TempDir dir;
  const std::string path = dir.File("songlst.ini");
  test::FakeClock clock;
  clock.SetLocal(2024, 5, 1, 7, 30);
  SongHistory history;
  history.Load(path);
  const std::string station = Gbk("音乐|台");
  EXPECT_TRUE(history.OnTitle(station, Gbk("歌手 - 歌"), clock.now));
  EXPECT_FALSE(
      history.OnTitle(station, Gbk("歌手 - 歌"), clock.now + 5));  // repeated by the stream
  EXPECT_FALSE(history.OnTitle(station, "", clock.now + 9));
  EXPECT_TRUE(history.OnTitle(station, "line\r\nbreak", clock.now + 60));
  EXPECT_EQ(history.AsText(clock), Gbk("2024-05-01 07:31  音乐/台  line  break\r\n"
                                       "2024-05-01 07:30  音乐/台  歌手 - 歌\r\n"));

  for (int i = 0; i < 205; ++i)
    history.OnTitle(station, "song " + std::to_string(i),
                    clock.now + 100 + static_cast<uint32_t>(i));
  ASSERT_EQ(history.Songs().size(), kMaxHeardSongs);
  EXPECT_EQ(history.Songs().front().title, "song 204");
  EXPECT_EQ(history.Songs().back().title, "song 5");
  SongHistory reloaded;
  reloaded.Load(path);
  EXPECT_EQ(reloaded.Songs(), history.Songs());

  // A history that cannot be read is left alone.
  const std::string folder = dir.File("folder");
  ASSERT_TRUE(std::filesystem::create_directory(folder));
  SongHistory unreadable;
  unreadable.Load(folder);
  EXPECT_TRUE(unreadable.OnTitle(station, "x", clock.now));
  EXPECT_TRUE(std::filesystem::is_directory(folder));
}

TEST(RecordingNames, NamesEverySystemCanHold) {
  LocalTime at;
  at.year = 2024;
  at.month = 5;
  at.day = 1;
  at.hour = 7;
  at.minute = 30;
  at.second = 5;
  const struct {
    std::string station;
    int32_t attempt;
    std::string stem;
  } cases[] = {
      {Gbk("中国之声"), 1, Gbk("中国之声 2024-05-01 073005")},
      {"a/b\\c:d*e?f\"g<h>i|j\tk", 1, "a_b_c_d_e_f_g_h_i_j_k 2024-05-01 073005"},
      {Gbk(" 乗億. . "), 2, Gbk("乗億 2024-05-01 073005 (2)")},  // 乗 and 億 end in "\" and "|"
      {"...", 1, Gbk("录音 2024-05-01 073005")},
  };
  for (const auto& c : cases)
    EXPECT_EQ(RecordingStem(c.station, at, c.attempt), c.stem) << c.stem;
}

TEST(RecordingNames, TheFolderIsBesideConfigOrInTheDesktopsMusicFolder) {
  RecordingFolderFacts facts;
  facts.programDir = "/opt/lumio/";
  facts.recordingsName = "录音";
  facts.home = "/home/li/";
  EXPECT_EQ(ChooseRecordingFolder(facts), "/opt/lumio/录音");

  facts.portable = false;
  const struct {
    std::string userDirs;
    std::string folder;
  } cases[] = {
      {"# written by xdg-user-dirs-update\nXDG_MUSIC_DIR=\"$HOME/音乐\"\n", "/home/li/音乐/Lumio"},
      {"XDG_MUSIC_DIR=\"/srv/music/\"\r\n", "/srv/music/Lumio"},
      {"XDG_MUSIC_DIR=\"$HOME/\"\n", "/home/li/Music/Lumio"},  // switched off
      {"XDG_MUSIC_DIR=\"relative\"\n", "/home/li/Music/Lumio"},
      {"", "/home/li/Music/Lumio"},
  };
  for (const auto& c : cases) {
    facts.userDirs = c.userDirs;
    EXPECT_EQ(ChooseRecordingFolder(facts), c.folder) << c.userDirs;
  }
  EXPECT_EQ(UserDirsPath(facts), "/home/li/.config/user-dirs.dirs");
  facts.xdgConfigHome = "/cfg";
  EXPECT_EQ(UserDirsPath(facts), "/cfg/user-dirs.dirs");
  facts.home.clear();
  facts.userDirs.clear();
  EXPECT_EQ(ChooseRecordingFolder(facts), "");
}

}  // namespace
}  // namespace lumio
