#include "app/radio_dlg.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "app/config_file.h"
#include "catalogue/station_list_file.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_media_player.h"
#include "fakes/fake_window_layer.h"
#include "ports/control_ids.h"
#include "support/temp_dir.h"
#include "text/gbk.h"

namespace lumio {
namespace {

class RadioDlgTest : public ::testing::Test {
 protected:
  RadioDlgTest() {
    window.onMove = [this] { dlg.OnMove(); };
  }

  // Writes config/base.ini with these lines before start-up.
  void Settings(const std::string& lines) {
    std::filesystem::create_directory(dir.File("config"));
    test::WriteBytes(dir.File("config/base.ini"), "[sys]\r\n" + lines);
  }
  std::string Setting(const char* key) {
    return SettingsFile().ReadValue(dir.File("config/base.ini"), "sys", key);
  }
  void Start() { ASSERT_TRUE(dlg.OnInitDialog()); }

  test::TempDir dir;
  test::FakeWindowLayer window;
  test::FakeMediaPlayer player;
  test::FakeClock clock;
  CRadioDlg dlg{window, player, clock, dir.path()};
};

TEST_F(RadioDlgTest, FirstStartCreatesTheSettingsAndOpensTheMiniBar) {
  Start();
  EXPECT_EQ(test::ReadBytes(dir.File("config/base.ini")), DefaultConfigText());
  EXPECT_EQ(window.window, Rect::FromSize(500, 50, 400, 34));
  EXPECT_TRUE(window.topMost);
  EXPECT_EQ(window.background, kBmpMiniBackground);
  EXPECT_FALSE(window.drawTitle);
  EXPECT_EQ(window.Text(kIdcStationName), "Lumio网络收音机");
  EXPECT_EQ(window.Text(kIdcStatus), "");
  EXPECT_EQ(window.fonts[kIdcStationName], 12);
  EXPECT_EQ(window.controls[kIdcStationList].width(), 0);
  EXPECT_TRUE(window.trayIcon);
  EXPECT_TRUE(window.visible);
  EXPECT_EQ(window.slider.pos, 50);
  EXPECT_EQ(window.banner.period, 200);
  EXPECT_EQ(window.banner.step, 5);
  EXPECT_EQ(window.banner.colour, Rgb(172, 255, 255));
  EXPECT_EQ(window.TimerPeriod(kTimerLoadCatalogue), 1500);
  EXPECT_EQ(window.lists[kIdcCategoryList].rows.size(), 15u);
  EXPECT_TRUE(dlg.m_store.m_catalogue.empty());  // not before the timer
}

TEST_F(RadioDlgTest, TheCatalogueLoadsWhenTimerTwoFires) {
  Settings("Mode=1\r\n");
  StationRecord station;
  station.name = "x";
  station.contentCategory = 4;
  std::filesystem::create_directory(dir.File("config"));
  ASSERT_TRUE(SaveStationList(dir.File("config/chlst.ini"), {station, station}));
  Start();
  dlg.OnCategoryClick(3);
  EXPECT_TRUE(dlg.m_store.m_view.empty());  // before the catalogue: nothing
  dlg.OnTimer(kTimerLoadCatalogue);
  EXPECT_FALSE(window.TimerArmed(kTimerLoadCatalogue));
  dlg.OnCategoryClick(3);
  EXPECT_EQ(dlg.m_store.m_view.size(), 2u);
  EXPECT_EQ(window.lists[kIdcStationList].rows.size(), 2u);
}

TEST_F(RadioDlgTest, ModeOneOpensTheNormalWindowAtItsSavedPlace) {
  Settings("Mode=1\r\nTopMost=0\r\nLastX=200\r\nLastY=150\r\nVolumn=\r\n");
  Start();
  EXPECT_EQ(window.window, Rect::FromSize(200, 150, 300, 580));
  EXPECT_FALSE(window.topMost);
  EXPECT_EQ(window.background, kBmpNormalBackground);
  EXPECT_TRUE(window.drawTitle);
  EXPECT_EQ(window.Text(kIdcPlayTime), "00:00");
  EXPECT_EQ(window.fonts[kIdcStationName], 16);
  EXPECT_EQ(window.slider.pos, 50);                                // an empty volume means 50
  EXPECT_EQ(window.lists[kIdcStationList].columns[0].width, 210);  // 240 * 7 / 8
  EXPECT_EQ(window.lists[kIdcStationList].columns[1].width, 30);
  EXPECT_EQ(window.Bitmap(kIdcPlay), kBmpPlayNormal);
}

TEST_F(RadioDlgTest, APlaceNearTheRightOrTopEdgeOrOffScreenIsReset) {
  struct Case {
    const char* settings;
    Rect expected;
  } const cases[] = {
      {"Mode=1\r\nLastX=900\r\nLastY=50\r\n", Rect::FromSize(674, 100, 300, 580)},
      {"Mode=1\r\nLastX=100\r\nLastY=3\r\n", Rect::FromSize(674, 100, 300, 580)},
      {"Mode=2\r\nLastX=614\r\nLastY=50\r\n", Rect::FromSize(574, 100, 400, 34)},
      {"Mode=1\r\nLastX=-5000\r\nLastY=50\r\n", Rect::FromSize(674, 100, 300, 580)},
      {"Mode=1\r\nLastX=10\r\nLastY=9000\r\n", Rect::FromSize(674, 100, 300, 580)},
  };
  for (const auto& c : cases) {
    test::TempDir d;
    test::FakeWindowLayer w;
    test::FakeMediaPlayer p;
    CRadioDlg radio(w, p, clock, d.path());
    w.onMove = [&] { radio.OnMove(); };
    std::filesystem::create_directory(d.File("config"));
    test::WriteBytes(d.File("config/base.ini"), std::string("[sys]\r\n") + c.settings);
    ASSERT_TRUE(radio.OnInitDialog());
    EXPECT_EQ(w.window, c.expected) << c.settings;
    const std::string base = test::ReadBytes(d.File("config/base.ini"));
    EXPECT_NE(base.find("LastX=" + std::to_string(c.expected.left)), std::string::npos) << base;
    EXPECT_NE(base.find("LastY=100"), std::string::npos) << base;
  }
}

TEST_F(RadioDlgTest, ASavedTopBetweenFourAndTenSnapsToTheTopAtStartUp) {
  Settings("Mode=1\r\nLastX=300\r\nLastY=7\r\n");
  Start();
  EXPECT_EQ(window.window.top, 0);
  EXPECT_EQ(dlg.m_docking.m_nDockKind, 6);
  EXPECT_FALSE(dlg.m_docking.m_bMoveGuard);
  EXPECT_EQ(window.TimerPeriod(kTimerAutoHide), 1000);
  EXPECT_EQ(Setting("LastY"), "7");  // the snap does not save
}

TEST_F(RadioDlgTest, AConfigFolderThatCannotBeMadeEndsStartUpWithAMessage) {
  test::WriteBytes(dir.File("config"), "a file where the folder should be");
  EXPECT_FALSE(dlg.OnInitDialog());
  EXPECT_EQ(window.messageBoxes, std::vector<std::string>{"无法创建配置文件，请检查磁盘空间"});
  EXPECT_FALSE(window.trayIcon);
  EXPECT_FALSE(window.visible);
}

TEST_F(RadioDlgTest, KeysEnterDoesNothingEscapeClosesAtOnceAltSpaceOpensTheSystemMenu) {
  Start();
  window.TakeLog();
  EXPECT_TRUE(dlg.PreTranslateMessage(kKeyReturn, false));
  EXPECT_TRUE(dlg.PreTranslateMessage(kKeyReturn, true));
  EXPECT_FALSE(dlg.PreTranslateMessage(kKeySpace, false));  // a plain space is the control's
  EXPECT_FALSE(dlg.PreTranslateMessage('A', true));
  EXPECT_FALSE(dlg.PreTranslateMessage(kKeyEscape, true));  // Alt+Esc is the desktop's
  EXPECT_TRUE(window.TakeLog().empty());

  EXPECT_TRUE(dlg.PreTranslateMessage(kKeySpace, true));
  EXPECT_EQ(window.TakeLog(), std::vector<std::string>{"system menu"});
  EXPECT_TRUE(dlg.PreTranslateMessage(kKeyEscape, false));
  EXPECT_EQ(window.TakeLog(), std::vector<std::string>{"close"});  // no fade step first
  EXPECT_EQ(window.alpha, 255);
}

TEST_F(RadioDlgTest, BothModesRegisterTheWholeTooltipTable) {
  const std::vector<std::pair<int32_t, std::string>> table = {
      {0, "欢迎使用Lumio网络收音机1.2 - Tarvel网络"},
      {kIdcHide, "最小化"},
      {kIdcClose, "关闭窗口"},
      {kIdcSettings, "系统设置"},
      {kIdcModeSwitch, "切换显示模式"},
      {kIdcPlay, "播放"},
      {kIdcStop, "停止"},
      {kIdcPrevious, "上一个"},
      {kIdcNext, "下一个"},
      {kIdcMute, "静音"},
      {kIdcVolume, "音量"},
      {kIdcPlayTime, "播放时间"},
      {kIdcStationName, "系统时间"},
      {kIdcContent, "按内容分类"},
      {kIdcRegion, "按地域分类"},
      {kIdcCategoryList, "分类列表"},
      {kIdcSettings2, "设置"},
      {kIdcAdd, "添加"},
      {kIdcFind, "查找"},
      {kIdcAbout, "关于"},
      {kIdcHelp, "帮助"},
  };
  auto registered = [this] {
    std::vector<std::pair<int32_t, std::string>> tips;
    for (const auto& [id, gbk] : window.toolTips)
      tips.emplace_back(id, GbkToUtf8Lossy(gbk));
    window.toolTips.clear();
    return tips;
  };
  Settings("Mode=1\r\nLastX=200\r\nLastY=150\r\n");
  Start();
  EXPECT_EQ(registered(), table);
  dlg.ToggleMode();
  EXPECT_EQ(registered(), table) << "mini bar";
  dlg.ToggleMode();
  EXPECT_EQ(registered(), table) << "normal window again";
}

TEST_F(RadioDlgTest, ExitFadesInSixStepsThenClosesAndTeardownEmptiesTheCatalogue) {
  int exitsBegun = 0;
  dlg.SetExitHandler([&] {
    ++exitsBegun;
    EXPECT_EQ(window.alpha, 255) << "the program is told before the fade";
  });
  Start();
  dlg.m_store.m_catalogue.resize(3);
  window.TakeLog();
  dlg.OnCommand(kIdcClose);
  EXPECT_EQ(exitsBegun, 1);
  std::vector<int32_t> alphas{window.alpha};
  while (window.TimerArmed(kTimerFade)) {
    dlg.OnTimer(kTimerFade);
    if (!window.closePosted) alphas.push_back(window.alpha);
  }
  EXPECT_EQ(alphas, (std::vector<int32_t>{215, 175, 135, 95, 55, 15}));
  EXPECT_TRUE(window.closePosted);
  dlg.OnCancel();
  EXPECT_TRUE(dlg.m_store.m_catalogue.empty());
  EXPECT_FALSE(window.trayIcon);
}

TEST_F(RadioDlgTest, ExitClosesAtOnceWhereTheWindowCannotFade) {
  Start();
  window.alphaSupported = false;
  dlg.OnCommand(kCmdExit);
  EXPECT_TRUE(window.closePosted);
  EXPECT_FALSE(window.TimerArmed(kTimerFade));
}

TEST_F(RadioDlgTest, TrayNotificationsAndMenuRoutes) {
  Start();
  EXPECT_EQ(dlg.OnTrayNotify(127, kTrayDoubleClick), 1);
  window.visible = false;
  EXPECT_EQ(dlg.OnTrayNotify(kTrayIconId, kTrayDoubleClick), 0);
  EXPECT_TRUE(window.visible);
  window.TakeLog();
  EXPECT_EQ(dlg.OnTrayNotify(kTrayIconId, kTrayRightButtonUp), 0);
  EXPECT_EQ(window.TakeLog(), (std::vector<std::string>{"foreground", "menu"}));
  ASSERT_EQ(window.menus.back().size(), 14u);
  EXPECT_EQ(window.menus.back()[2].command, kCmdMiniMode);

  struct Route {
    int32_t command;
    std::string url;
  } const routes[] = {
      {kCmdTrayMoreStations, "/ent/radio.php?softid=1&ver=1.2&softname=velotune"},
      {kCmdStationGuide, "/ent/radio.php?softid=1&ver=1.2&softname=velotune"},
      {kCmdOnlineHelp, "/ent/help.php?softid=1&ver=1.2&softname=velotune"},
      {kIdcHelp, "/ent/help.php?softid=1&ver=1.2&softname=velotune"},
  };
  for (const auto& r : routes) {
    dlg.OnCommand(r.command);
    ASSERT_FALSE(window.openedUrls.empty());
    EXPECT_EQ(window.openedUrls.back(), "http://radio.tarvel.net" + r.url) << r.command;
    EXPECT_EQ(window.openedHow.back(), "open 5") << r.command;
  }
  // The About box's links show the browser normally; the banner leaves the verb to the desktop.
  dlg.OnAboutLink(1032);
  dlg.OnAboutLink(1033);
  dlg.OnBannerClick();
  EXPECT_EQ(std::vector<std::string>(window.openedUrls.end() - 3, window.openedUrls.end()),
            (std::vector<std::string>{"http://radio.tarvel.net/?softid=1&ver=1.2",
                                      "http://radio.tarvel.net" + std::string(routes[2].url),
                                      "http://radio.tarvel.net/radio.php?softid=1&ver=1.2"}));
  EXPECT_EQ(std::vector<std::string>(window.openedHow.end() - 3, window.openedHow.end()),
            (std::vector<std::string>{"open 1", "open 1", "- 1"}));
  dlg.OnCommand(kCmdAboutUs);
  dlg.OnCommand(kIdcAbout);
  dlg.OnCommand(kCmdSysAbout);
  EXPECT_EQ(window.aboutRuns, 3);
  dlg.OnCommand(kCmdTraySettings);  // does nothing
  dlg.OnCommand(kIdcHide);
  EXPECT_FALSE(window.visible);
  EXPECT_TRUE(window.trayIcon);
  dlg.OnCommand(kIdcSettings);
  EXPECT_EQ(window.menus.size(), 2u);
}

TEST_F(RadioDlgTest, BackgroundClicksOpenTheTrayMenuAsTheModeAllows) {
  Settings("Mode=1\r\nLastX=200\r\nLastY=150\r\n");
  Start();
  dlg.OnRButtonUp();
  EXPECT_TRUE(window.menus.empty());  // normal mode: a right click does nothing
  dlg.OnLButtonUp(true);
  EXPECT_TRUE(window.menus.empty());  // the end of a drag opens no menu
  dlg.OnLButtonUp(false);
  EXPECT_EQ(window.menus.size(), 1u);
  dlg.ToggleMode();  // to the mini bar: the first release opens no menu
  dlg.OnLButtonUp(false);
  EXPECT_EQ(window.menus.size(), 1u);
  dlg.OnLButtonUp(false);
  EXPECT_EQ(window.menus.size(), 2u);
  dlg.OnRButtonUp();
  EXPECT_EQ(window.menus.size(), 3u);

  dlg.ToggleMode();
  dlg.ToggleMode();  // the mini bar again; a drag's release is that first release
  dlg.OnLButtonUp(true);
  dlg.OnLButtonUp(false);
  EXPECT_EQ(window.menus.size(), 4u);
}

TEST_F(RadioDlgTest, ToggleModeKeepsThePositionAndIsNotSaved) {
  Settings("Mode=1\r\nTopMost=0\r\nLastX=200\r\nLastY=150\r\n");
  Start();
  dlg.OnCommand(kIdcModeSwitch);
  EXPECT_EQ(window.window, Rect::FromSize(200, 150, 400, 34));
  EXPECT_TRUE(window.topMost);  // the mini bar is always on top
  EXPECT_EQ(window.banner.recaptures, 1);
  EXPECT_EQ(window.lists[kIdcStationList].columns[0].width, 0);
  EXPECT_EQ(Setting("Mode"), "1");  // the switch is not saved
  dlg.OnCommand(kCmdMiniMode);
  EXPECT_EQ(window.window, Rect::FromSize(200, 150, 300, 580));
  EXPECT_FALSE(window.topMost);
}

TEST_F(RadioDlgTest, ShowFromTrayBringsADockedNormalWindowBackIntoView) {
  Settings("Mode=1\r\nLastX=200\r\nLastY=150\r\n");
  Start();
  window.DragTo(720, 150);  // docks at the right edge
  ASSERT_EQ(dlg.m_docking.m_nDockKind, 1);
  dlg.OnCommand(kCmdShowWindow);
  EXPECT_EQ(dlg.m_docking.m_nDockKind, 0);
  EXPECT_EQ(window.window, Rect::FromSize(674, 100, 300, 580));
  EXPECT_EQ(Setting("LastX"), "674");
  EXPECT_EQ(Setting("LastY"), "100");
  EXPECT_FALSE(window.TimerArmed(kTimerAutoHide));

  dlg.ToggleMode();
  window.DragTo(500, 300);
  window.visible = false;
  dlg.OnCommand(kCmdShowWindow);  // mini bar: shown where it is
  EXPECT_TRUE(window.visible);
  EXPECT_EQ(window.window.left, 500);
}

TEST_F(RadioDlgTest, MuteFaceSurvivesAModeSwitch) {
  Settings("Mode=1\r\nLastX=200\r\nLastY=150\r\n");
  Start();
  dlg.OnCommand(kIdcMute);
  dlg.ToggleMode();
  dlg.ToggleMode();
  EXPECT_EQ(window.Bitmap(kIdcMute), kBmpMuteOn);
  EXPECT_TRUE(player.mute);
}

TEST_F(RadioDlgTest, VolumeIsSavedWhenTheSliderChangeEnds) {
  Start();
  window.slider.pos = 77;
  dlg.OnSliderChanging(kIdcVolume, 77);
  EXPECT_EQ(Setting("Volumn"), "50");
  dlg.OnSliderChanged(kIdcVolume, 77);
  EXPECT_EQ(Setting("Volumn"), "77");
}

// A primary screen of 1280 x 800 and a second one to its left, 1024 x 768.
TEST_F(RadioDlgTest, APlaceOnAnyScreenIsKeptAndOnlyAPlaceOnNoneIsReset) {
  const std::vector<Monitor> screens = {
      {Rect::FromSize(0, 0, 1280, 800), Rect::FromSize(0, 0, 1280, 770)},
      {Rect::FromSize(-1024, 0, 1024, 768), Rect::FromSize(-1024, 0, 1024, 768)}};
  struct Case {
    const char* settings;
    Rect expected;
    bool rewritten;
  } const cases[] = {
      {"Mode=1\r\nLastX=-900\r\nLastY=120\r\n", Rect::FromSize(-900, 120, 300, 580), false},
      {"Mode=2\r\nLastX=-600\r\nLastY=300\r\n", Rect::FromSize(-600, 300, 400, 34), false},
      // Near the left screen's right edge: a boundary, not an edge; the place is kept.
      {"Mode=1\r\nLastX=-305\r\nLastY=120\r\n", Rect::FromSize(-305, 120, 300, 580), false},
      // Near the desktop's right edge, and on no screen at all: reset on the primary.
      {"Mode=1\r\nLastX=975\r\nLastY=120\r\n", Rect::FromSize(930, 100, 300, 580), true},
      {"Mode=1\r\nLastX=-3000\r\nLastY=120\r\n", Rect::FromSize(930, 100, 300, 580), true},
  };
  for (const auto& c : cases) {
    test::TempDir d;
    test::FakeWindowLayer w;
    w.monitors = screens;
    test::FakeMediaPlayer p;
    CRadioDlg radio(w, p, clock, d.path());
    w.onMove = [&] { radio.OnMove(); };
    std::filesystem::create_directory(d.File("config"));
    const std::string before = std::string("[sys]\r\n") + c.settings;
    test::WriteBytes(d.File("config/base.ini"), before);
    ASSERT_TRUE(radio.OnInitDialog());
    EXPECT_EQ(w.window, c.expected) << c.settings;
    EXPECT_EQ(radio.m_docking.m_nDockKind, kDockNone) << c.settings;
    const std::string after = test::ReadBytes(d.File("config/base.ini"));
    EXPECT_EQ(after != before, c.rewritten) << after;
  }

  // Shown again from the tray after docking at the left screen's higher top: fully in view,
  // 50 pixels from the desktop's right edge and clear of the top edge there.
  Settings("Mode=1\r\nLastX=-900\r\nLastY=120\r\n");
  window.monitors = {
      screens[0], {Rect::FromSize(-1024, -100, 1024, 768), Rect::FromSize(-1024, -100, 1024, 768)}};
  Start();
  window.DragTo(-900, -95);
  ASSERT_EQ(dlg.m_docking.m_nDockKind, kDockTop);
  EXPECT_EQ(window.window.top, -100);
  dlg.OnCommand(kCmdShowWindow);
  EXPECT_EQ(window.window, Rect::FromSize(930, 100, 300, 580));
  EXPECT_EQ(dlg.m_docking.m_nDockKind, kDockNone);
}

// A drag moves the window hundreds of times: its place is kept in memory and written a few
// times a second, and at once where the drag ends; the program's end writes what is left.
TEST_F(RadioDlgTest, ADragWritesItsPlaceWhenItEndsNotAtEveryMove) {
  Settings("Mode=1\r\nLastX=200\r\nLastY=150\r\n");
  Start();
  auto place = [this] { return Setting("LastX") + "," + Setting("LastY"); };
  for (int i = 1; i <= 300; ++i)
    window.DragTo(200 + i, 150 + i / 2);
  EXPECT_EQ(place(), "200,150") << "written during the drag before its timer";
  EXPECT_EQ(window.TimerPeriod(kTimerSavePosition), 250);
  dlg.OnTimer(kTimerSavePosition);
  EXPECT_EQ(place(), "500,300");  // the newest place, in one write with both keys
  EXPECT_FALSE(window.TimerArmed(kTimerSavePosition));

  window.DragTo(420, 310);
  window.DragTo(430, 320);
  dlg.OnLButtonUp(true);
  EXPECT_EQ(place(), "430,320");
  EXPECT_FALSE(window.TimerArmed(kTimerSavePosition));
  EXPECT_TRUE(window.menus.empty());

  // A move the desktop made, with no release: the timer writes it.
  window.DragTo(440, 330);
  dlg.OnTimer(kTimerSavePosition);
  EXPECT_EQ(place(), "440,330");

  // Escape right after a drag, and the exit command's fade: nothing is lost.
  window.DragTo(450, 340);
  dlg.PreTranslateMessage(kKeyEscape, false);
  dlg.OnCancel();
  EXPECT_EQ(place(), "450,340");
  window.DragTo(460, 350);
  dlg.OnCommand(kCmdExit);
  EXPECT_EQ(place(), "460,350");
}

}  // namespace
}  // namespace lumio
