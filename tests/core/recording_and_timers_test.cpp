// Recording and the sleep timer as the listener reaches them: the two menus, the play-time
// label, the tray tip and the player's tap, through the main window's logic.

#include "app/recording_and_timers.h"

#include <algorithm>
#include <filesystem>
#include <memory>

#include <gtest/gtest.h>

#include "app/radio_dlg.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_media_player.h"
#include "fakes/fake_window_layer.h"
#include "ports/control_ids.h"
#include "stream/stream_builders.h"
#include "support/temp_dir.h"
#include "text/literal.h"
#include "text/program_name.h"

namespace lumio {
namespace {

StationRecord Station(int32_t nid, std::string name) {
  StationRecord r;
  r.nid = nid;
  r.name = std::move(name);
  r.url = "http://127.0.0.1/" + std::to_string(nid);
  r.contentCategory = 4;
  return r;
}

// `seconds` of MP3 sound at 128 kbit/s (38.28 frames a second).
std::string Sound(int seconds) {
  std::string bytes;
  for (int i = 0; i < seconds * 1000 / 26 + 1; ++i)
    bytes += stream::test::Mp3Frame();
  return bytes;
}

const MenuItem* Find(const std::vector<MenuItem>& menu, const char* utf8) {
  for (const MenuItem& item : menu) {
    if (item.text == Literal(utf8).gbk()) return &item;
    if (const MenuItem* inner = Find(item.submenu, utf8)) return inner;
  }
  return nullptr;
}

class RecordingAndTimersTest : public ::testing::Test {
 protected:
  RecordingAndTimersTest() {
    std::filesystem::create_directory(dir.File("config"));
    test::WriteBytes(dir.File("config/base.ini"), "[sys]\r\nMode=1\r\n");
    dlg = std::make_unique<CRadioDlg>(window, player, clock, dir.path());
    EXPECT_TRUE(dlg->OnInitDialog());
    dlg->m_store.m_catalogue = {Station(1, "CNR News"), Station(3, "news 2")};
    dlg->OnCategoryClick(3);  // 新闻
  }

  const std::vector<MenuItem>& TrayMenu() {
    dlg->ShowTrayMenu();
    return window.menus.back();
  }
  const std::vector<MenuItem>& StationMenu() {
    dlg->OnStationRClick(0);
    return window.menus.back();
  }
  // Chooses the entry called `utf8` of `menu`, as a click on it would.
  void Choose(const std::vector<MenuItem>& menu, const char* utf8) {
    const MenuItem* item = Find(menu, utf8);
    ASSERT_NE(item, nullptr) << utf8;
    dlg->OnCommand(item->command);
  }
  // `seconds` of the station's sound, with each second's ticks.
  void Play(int seconds) {
    for (int i = 0; i < seconds; ++i) {
      player.tap->OnStreamBytes(Sound(1));
      clock.now += 1;
      dlg->OnTimer(kTimerTimedFeatures);
      dlg->OnTimer(kTimerPlayTime);
    }
  }
  std::string Label() { return window.Text(kIdcPlayTime); }
  std::string Recording() const { return dlg->m_timed.Features().GetRecorder().FilePath(); }

  test::TempDir dir;
  test::FakeWindowLayer window;
  test::FakeMediaPlayer player;
  test::FakeClock clock;
  std::unique_ptr<CRadioDlg> dlg;
};

TEST_F(RecordingAndTimersTest, BothMenusRecordThePlayingStationAndTheLabelShowsHowLong) {
  // Nothing plays: the listener is told why, and nothing records.
  EXPECT_EQ(Find(TrayMenu(), "停止录音"), nullptr);
  Choose(TrayMenu(), "开始录音");
  EXPECT_EQ(window.messageBoxes, std::vector<std::string>{"没有正在播放的电台，无法录音"});
  EXPECT_FALSE(dlg->m_timed.Features().IsRecording());

  ASSERT_NE(player.tap, nullptr);
  dlg->OnStationDblClk(0);
  player.tap->OnStreamStart();
  Play(2);
  EXPECT_EQ(Label(), "00:02");
  Choose(StationMenu(), "开始录音");
  Play(3);
  EXPECT_EQ(Label(), "录音 00:03");
  EXPECT_EQ(window.controls[kIdcPlayTime], Rect::FromSize(230, 25, 60, 20));  // room for it all
  EXPECT_TRUE(Find(TrayMenu(), "停止录音"));
  EXPECT_TRUE(Find(StationMenu(), "停止录音"));
  EXPECT_EQ(Find(StationMenu(), "开始录音"), nullptr);
  const std::string file = Recording();
  const auto grown = std::filesystem::file_size(file);
  EXPECT_GT(grown, 0u);

  Choose(TrayMenu(), "停止录音");
  EXPECT_EQ(Label(), "00:05");  // the play time is back at once
  EXPECT_EQ(window.controls[kIdcPlayTime], Rect::FromSize(260, 25, 30, 20));
  Play(1);
  EXPECT_EQ(Label(), "00:06");
  EXPECT_EQ(std::filesystem::file_size(file), grown);  // the file ended with the recording
  EXPECT_TRUE(Find(TrayMenu(), "开始录音"));

  // Stopping the station ends a recording too, and the label keeps the time it stood at.
  Choose(StationMenu(), "开始录音");
  Play(2);
  dlg->OnCommand(kIdcStop);
  clock.now += 1;
  dlg->OnTimer(kTimerTimedFeatures);
  EXPECT_FALSE(dlg->m_timed.Features().IsRecording());
  EXPECT_EQ(Label(), "00:08");
  EXPECT_EQ(window.messageBoxes.size(), 1u);
}

// The station menu's 开始录音 is for the row clicked: another station is played first, and its
// file holds nothing of the one before; the row already playing records at once, unrestarted.
TEST_F(RecordingAndTimersTest, TheStationMenuRecordsTheRowClicked) {
  const size_t second = Sound(1).size();
  dlg->OnStationDblClk(0);
  player.tap->OnStreamStart();
  Play(2);
  dlg->OnStationRClick(1);
  Choose(window.menus.back(), "开始录音");
  EXPECT_EQ(player.urls, std::vector<std::string>{"http://127.0.0.1/3"});
  EXPECT_EQ(dlg->m_store.m_currentStation, 1);
  EXPECT_TRUE(dlg->m_timed.Features().IsRecording());
  Play(1);  // CNR News's last second, still on its way
  EXPECT_EQ(Recording(), "");
  player.tap->OnStreamStart();
  Play(3);
  const std::filesystem::path file = Recording();
  EXPECT_TRUE(file.filename().string().starts_with("news 2 ")) << file;
  EXPECT_GT(std::filesystem::file_size(file), 2 * second);
  EXPECT_LE(std::filesystem::file_size(file), 3 * second);
  Choose(TrayMenu(), "停止录音");

  const size_t opens = player.calls.size();
  dlg->OnStationRClick(1);
  Choose(window.menus.back(), "开始录音");
  Play(1);
  EXPECT_EQ(player.calls.size(), opens);
  EXPECT_NE(Recording(), file.string());
  EXPECT_GT(std::filesystem::file_size(Recording()), 0u);
  EXPECT_TRUE(window.messageBoxes.empty());
}

TEST_F(RecordingAndTimersTest, TheSleepMenuChecksTheRunningChoiceAndTheTrayTipCountsDown) {
  const MenuItem* sleep = Find(TrayMenu(), "定时停止");
  ASSERT_NE(sleep, nullptr);
  ASSERT_EQ(sleep->submenu.size(), 7u);
  for (const MenuItem& choice : sleep->submenu)
    EXPECT_FALSE(choice.checked);

  dlg->OnStationDblClk(0);
  player.title = "Song";
  dlg->OnTimer(kTimerPlayTime);
  const std::string stationTip = window.trayTip;
  Choose(TrayMenu(), "30 分钟");
  EXPECT_TRUE(Find(TrayMenu(), "30 分钟")->checked);
  EXPECT_FALSE(Find(TrayMenu(), "15 分钟")->checked);
  EXPECT_EQ(window.trayTip, stationTip + "\n" + Literal("定时停止 30:00").gbk());
  clock.now += 65;
  dlg->OnTimer(kTimerTimedFeatures);
  EXPECT_EQ(window.trayTip, stationTip + "\n" + Literal("定时停止 28:55").gbk());

  // A new title reaches the tip below the sleep time.
  player.title = "Other";
  dlg->OnTimer(kTimerPlayTime);
  dlg->OnTimer(kTimerTimedFeatures);
  EXPECT_EQ(window.trayTip, "CNR News - Other\n" + Literal("定时停止 28:55").gbk());

  Choose(TrayMenu(), "取消");
  EXPECT_EQ(window.trayTip, "CNR News - Other");
  for (const MenuItem& choice : Find(TrayMenu(), "定时停止")->submenu)
    EXPECT_FALSE(choice.checked);

  // A timer that ran out stops the station and leaves the menu unchecked.
  Choose(TrayMenu(), "15 分钟");
  for (int i = 0; i < 15 * 60 + 1; ++i) {
    clock.now += 1;
    dlg->OnTimer(kTimerTimedFeatures);
  }
  EXPECT_NE(std::find(player.calls.begin(), player.calls.end(), "stop"), player.calls.end());
  EXPECT_FALSE(Find(TrayMenu(), "15 分钟")->checked);
  EXPECT_EQ(window.trayTip, ProgramTitle());
}

// The player's threads hand bytes to the tap until the program has taken it back: the tap must
// not outlive the recorder behind it, nor a recording outlive the program.
TEST_F(RecordingAndTimersTest, TheTapIsWithdrawnAndTheRecordingFinishedWhenTheProgramEnds) {
  ASSERT_NE(player.tap, nullptr);
  dlg->OnStationDblClk(0);
  player.tap->OnStreamStart();
  Choose(TrayMenu(), "开始录音");
  Play(2);
  player.tap->OnStreamBytes(Sound(1));  // since the last tick
  dlg->OnCancel();
  EXPECT_EQ(player.tap, nullptr);
  EXPECT_FALSE(dlg->m_timed.Features().IsRecording());
  EXPECT_FALSE(window.TimerArmed(kTimerTimedFeatures));
  EXPECT_EQ(std::filesystem::file_size(Recording()), 3 * Sound(1).size());

  // A program that never got to close its window takes it back as it goes.
  dlg->OnInitDialog();
  ASSERT_NE(player.tap, nullptr);
  dlg.reset();
  EXPECT_EQ(player.tap, nullptr);
}

// A favourite need not be in the category showing: its task plays it all the same.
TEST_F(RecordingAndTimersTest, TheTrayMenuOpensTheDialogsAndAFavouritesTaskPlaysItAnywhere) {
  StationRecord far = Station(9, "far away");
  far.contentCategory = 5;
  dlg->m_store.m_favourites = {far};
  dlg->OnStationDblClk(0);
  std::vector<std::string> offered;
  window.taskDialogActions = [&offered](TaskDialogModel& model) {
    offered = model.Stations();
    TaskFields fields = model.Defaults();  // once, at the next minute
    fields.station = 1;
    EXPECT_EQ(model.Add(fields).message, "");
  };
  Choose(TrayMenu(), "定时任务...");
  ASSERT_EQ(window.taskDialogRuns, 1);
  ASSERT_EQ(offered.size(), 2u);
  EXPECT_EQ(offered[1], "far away");
  EXPECT_NE(test::ReadBytes(dir.File("config/tasklst.ini")).find("|9|far away"), std::string::npos);

  clock.now += 120;
  dlg->OnTimer(kTimerTimedFeatures);
  EXPECT_EQ(player.urls, std::vector<std::string>{"http://127.0.0.1/9"});
  EXPECT_TRUE(dlg->m_timed.Features().Tasks().empty());
  EXPECT_TRUE(window.messageBoxes.empty());

  Choose(TrayMenu(), "歌曲记录...");
  EXPECT_EQ(window.songHistoryTables.size(), 1u);
}

}  // namespace
}  // namespace lumio
