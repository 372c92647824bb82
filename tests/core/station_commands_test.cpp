#include "commands/station_commands.h"

#include <filesystem>

#include <algorithm>

#include <gtest/gtest.h>

#include "app/radio_dlg.h"
#include "catalogue/station_list_file.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_media_player.h"
#include "fakes/fake_window_layer.h"
#include "ports/control_ids.h"
#include "support/temp_dir.h"
#include "text/literal.h"

namespace lumio {
namespace {

StationRecord Station(int32_t nid, std::string name, int32_t content = 4) {
  StationRecord r;
  r.nid = nid;
  r.name = std::move(name);
  r.url = "http://127.0.0.1/" + std::to_string(nid);
  r.contentCategory = content;
  r.popularity = nid % 6;
  r.timeStamp = 5;
  return r;
}

class StationCommandsTest : public ::testing::Test {
 protected:
  StationCommandsTest() {
    std::filesystem::create_directory(dir.File("config"));
    store.SetProgramDir(dir.path());
    store.Reset();
    store.m_catalogue = {Station(1, "CNR News"), Station(2, "Music FM", 5), Station(3, "news 2"),
                         Station(4, Literal("交通广播").gbk())};
  }

  void ShowNews() {
    commands.OnCategoryClick(3);  // 新闻: content 4
  }
  const test::FakeList& Stations() { return window.lists[kIdcStationList]; }
  StationList Saved(const char* file) { return LoadStationList(dir.File("config/") + file); }

  test::TempDir dir;
  test::FakeWindowLayer window;
  test::FakeMediaPlayer player;
  test::FakeClock clock;
  StationStore store;
  int32_t mode = kModeNormal;
  PlaybackController playback{window, player, store, mode, nullptr};
  StationCommands commands{window, store, playback, clock};
};

TEST_F(StationCommandsTest, InitFillsBothListsAndPicksTheFirstStation) {
  store.m_view = {Station(7, "A"), Station(8, "B")};
  commands.InitStationLists();
  const auto& categories = window.lists[kIdcCategoryList];
  ASSERT_EQ(categories.columns.size(), 1u);
  EXPECT_EQ(categories.columns[0].format, ListControl::kCentre);
  EXPECT_EQ(categories.columns[0].width, 52);
  EXPECT_EQ(categories.rows.size(), 15u);
  ASSERT_EQ(Stations().columns.size(), 2u);
  EXPECT_EQ(Stations().columns[1].format, ListControl::kRight);
  EXPECT_EQ(Stations().rows, (std::vector<std::vector<std::string>>{{"A", "1"}, {"B", "2"}}));
  EXPECT_EQ(Stations().tips.at({1, 0}), "B" + Literal("\n频率: 未知\n类型: 未知\n热度: 2").gbk());
  EXPECT_EQ(store.m_currentStation, 0);
  EXPECT_TRUE(Stations().cellTips);
  EXPECT_TRUE(Stations().levelBitmaps);
}

TEST_F(StationCommandsTest, ACategoryClickRefillsTheListWithRedrawOffAndResetsTheCurrentStation) {
  store.m_currentStation = 3;
  ShowNews();
  EXPECT_EQ(store.m_currentStation, 0);
  EXPECT_EQ(Stations().rows.size(), 3u);
  EXPECT_EQ(Stations().redrawOffCount, 1);
  EXPECT_TRUE(Stations().redraw);
  commands.OnCategoryClick(-1);  // below the rows: content 0, nothing
  EXPECT_TRUE(Stations().rows.empty());
  EXPECT_EQ(store.m_currentStation, 0);
  EXPECT_EQ(test::ReadBytes(dir.File("config/retlst.ini")), "<missing>");
}

TEST_F(StationCommandsTest, SwitchingTablesChangesOnlyTheCategoryList) {
  ShowNews();
  commands.ShowRegionCategories();
  EXPECT_EQ(window.lists[kIdcCategoryList].rows.size(), 19u);
  EXPECT_EQ(window.lists[kIdcCategoryList].rowHeight, 16);
  EXPECT_EQ(window.lists[kIdcCategoryList].fontHeight, 12);
  EXPECT_EQ(Stations().rows.size(), 3u);
  EXPECT_EQ(store.m_categoryIndex, 3);
  commands.ShowContentCategories();
  EXPECT_EQ(window.lists[kIdcCategoryList].rowHeight, 20);
  EXPECT_EQ(store.m_categoryKind, 0);
}

TEST_F(StationCommandsTest, ADoubleClickPlaysAndSavesTheViewAndTheHistory) {
  ShowNews();
  clock.now = 1'800'000'000;
  commands.OnStationDblClk(1);
  EXPECT_EQ(player.url, "http://127.0.0.1/3");
  EXPECT_EQ(store.m_currentStation, 1);
  EXPECT_EQ(Saved("retlst.ini"), store.m_view);
  const StationList history = Saved("playlst.ini");
  ASSERT_EQ(history.size(), 1u);
  EXPECT_EQ(history[0].nid, 3);
  EXPECT_EQ(history[0].timeStamp, 1'800'000'000u);
  EXPECT_EQ(store.m_view[1].timeStamp, 5u);  // the view keeps its own copy
  EXPECT_EQ(store.m_catalogue[2].timeStamp, 5u);

  commands.OnStationDblClk(0);
  commands.OnStationDblClk(1);  // again: moves to the front, the history does not grow
  ASSERT_EQ(store.m_history.size(), 2u);
  EXPECT_EQ(store.m_history[0].nid, 3);
}

TEST_F(StationCommandsTest, ADoubleClickOutsideTheRowsDoesNothing) {
  ShowNews();
  for (int32_t row : {-1, 3, 100})
    commands.OnStationDblClk(row);
  EXPECT_TRUE(player.url.empty());
  EXPECT_TRUE(store.m_history.empty());
  EXPECT_EQ(test::ReadBytes(dir.File("config/playlst.ini")), "<missing>");
}

TEST_F(StationCommandsTest, TheStationMenuWorksOnTheRightClickedRowOnly) {
  ShowNews();
  commands.OnStationRClick(-1);
  EXPECT_TRUE(window.menus.empty());
  commands.OnStationRClick(2);
  ASSERT_EQ(window.menus.size(), 1u);
  EXPECT_EQ(window.menus[0].size(), 7u);
  EXPECT_EQ(store.m_menuStation, 2);

  commands.OnPlayStation();
  EXPECT_EQ(player.url, "http://127.0.0.1/4");
  EXPECT_EQ(store.m_currentStation, 2);
  EXPECT_EQ(store.m_menuStation, -1);
  EXPECT_TRUE(store.m_history.empty());  // "播放" leaves the history alone
  EXPECT_EQ(test::ReadBytes(dir.File("config/retlst.ini")), "<missing>");

  commands.OnPlayStation();  // no row: nothing
  commands.OnOpenStationPage();
  commands.OnAddFavourite();
  EXPECT_TRUE(window.openedUrls.empty());
  EXPECT_TRUE(store.m_favourites.empty());
}

// The menu's three page entries, chosen as a listener would: by their text, through the main
// window's command routing.
TEST_F(StationCommandsTest, ThePageEntriesOfTheStationMenuOpenTheSamePageForTheStation) {
  CRadioDlg dlg(window, player, clock, dir.path());
  ASSERT_TRUE(dlg.OnInitDialog());
  dlg.m_store.m_catalogue = store.m_catalogue;
  dlg.m_store.m_catalogue.push_back(Station(-17, "neg"));
  dlg.OnCategoryClick(3);
  const std::string page = "http://radio.tarvel.net/ent/playerrd.php?nid=-17&softid=1&ver=1.2";
  for (const char* entry : {"在线播放", "电台介绍", "举报"}) {
    window.openedUrls.clear();
    dlg.OnStationRClick(3);
    ASSERT_FALSE(window.menus.empty());
    const std::vector<MenuItem>& menu = window.menus.back();
    auto item = std::find_if(menu.begin(), menu.end(),
                             [&](const MenuItem& i) { return i.text == Literal(entry).gbk(); });
    ASSERT_NE(item, menu.end()) << entry;
    dlg.OnCommand(item->command);
    EXPECT_EQ(window.openedUrls, std::vector<std::string>{page}) << entry;
    EXPECT_EQ(dlg.m_store.m_menuStation, -1) << entry;
    dlg.OnCommand(item->command);  // the menu is gone: its row is forgotten
    EXPECT_EQ(window.openedUrls.size(), 1u) << entry;
  }
  EXPECT_TRUE(player.url.empty());
  EXPECT_TRUE(dlg.m_store.m_favourites.empty());
  dlg.OnCommand(kCmdMoreStations);
  EXPECT_EQ(window.openedUrls.back(),
            "http://radio.tarvel.net/ent/radio.php?softid=1&ver=1.2&softname=velotune");
}

TEST_F(StationCommandsTest, AddingAFavouriteSavesItButLeavesTheShownRows) {
  commands.OnCategoryClick(13);  // 收藏, empty
  EXPECT_TRUE(Stations().rows.empty());
  store.m_view = {Station(9, "fav")};
  commands.FillStationList();
  commands.OnStationRClick(0);
  clock.now = 123;
  commands.OnAddFavourite();
  EXPECT_EQ(Stations().rows.size(), 1u);
  const StationList saved = Saved("favlst.ini");
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_EQ(saved[0].timeStamp, 123u);
}

TEST_F(StationCommandsTest, FindSelectsEveryMatchKeepsEarlierSelectionsAndScrollsToTheLast) {
  store.m_view = {Station(1, "CNR News"), Station(2, "news A"), Station(3, "Music"),
                  Station(4, "News B"), Station(5, "\x83|News")};
  commands.FillStationList();
  window.lists[kIdcStationList].selected = {2};
  commands.m_findText = "News";
  commands.FindStation();
  EXPECT_EQ(Stations().selected, (std::set<int32_t>{0, 2, 3, 4}));
  EXPECT_EQ(Stations().visible, 4);
  EXPECT_TRUE(commands.m_findText.empty());

  commands.m_findText = "none";
  commands.FindStation();
  EXPECT_EQ(Stations().selected.size(), 4u);

  // "|N" starts on the second byte of 0x83 0x7C: never a match.
  window.lists[kIdcStationList].selected.clear();
  commands.m_findText = "|N";
  commands.FindStation();
  EXPECT_TRUE(Stations().selected.empty());
}

}  // namespace
}  // namespace lumio
