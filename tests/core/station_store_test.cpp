#include "catalogue/station_store.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "catalogue/categories.h"
#include "catalogue/station_list_file.h"
#include "support/temp_dir.h"
#include "text/literal.h"

namespace lumio {
namespace {

StationRecord Station(int32_t nid, int32_t content = 1, int32_t region = 1) {
  StationRecord r;
  r.nid = nid;
  r.name = "s" + std::to_string(nid);
  r.contentCategory = content;
  r.regionCategory = region;
  return r;
}

std::vector<int32_t> Nids(const StationList& list) {
  std::vector<int32_t> nids;
  for (const auto& r : list)
    nids.push_back(r.nid);
  return nids;
}

TEST(InsertFrontUnique, MovesAKnownStationToTheFrontWithoutGrowing) {
  StationList list{Station(1), Station(2), Station(3)};
  InsertFrontUnique(list, Station(3));
  EXPECT_EQ(Nids(list), (std::vector<int32_t>{3, 1, 2}));
}

TEST(InsertFrontUnique, RemovesOnlyTheFirstDuplicate) {
  StationList list{Station(1), Station(5), Station(2), Station(5)};
  StationRecord fresh = Station(5);
  fresh.name = "new";
  InsertFrontUnique(list, fresh);
  EXPECT_EQ(Nids(list), (std::vector<int32_t>{5, 1, 2, 5}));
  EXPECT_EQ(list.front().name, "new");
}

TEST(InsertFrontUnique, KeepsTwentyAndCutsAnOverfullListBack) {
  StationList list;
  for (int32_t i = 1; i <= 21; ++i)
    InsertFrontUnique(list, Station(i));
  ASSERT_EQ(list.size(), 20u);
  EXPECT_EQ(list.front().nid, 21);
  EXPECT_EQ(list.back().nid, 2);  // the oldest, 1, is gone

  StationList loaded;
  for (int32_t i = 1; i <= 30; ++i)
    loaded.push_back(Station(i));
  InsertFrontUnique(loaded, Station(99));
  EXPECT_EQ(loaded.size(), 20u);
}

TEST(InsertFrontUnique, StationsSharingAnIdReplaceEachOther) {
  StationList list{Station(0)};
  StationRecord other = Station(0);
  other.url = "elsewhere";
  InsertFrontUnique(list, other);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list.front().url, "elsewhere");
}

TEST(FillView, SelectsContentCategoriesFavouritesAndHistory) {
  const StationList catalogue{Station(1, 4), Station(2, 5), Station(3, 4), Station(4, 0)};
  const StationList favourites{Station(10), Station(11)};
  const StationList history{Station(20)};
  StationList view{Station(99)};
  struct Case {
    int32_t row;
    std::vector<int32_t> nids;
  } const cases[] = {
      {3, {1, 3}},     // 新闻: content 4, catalogue order
      {4, {2}},        // 音乐
      {12, {}},        // 综合: nothing
      {13, {10, 11}},  // 收藏
      {14, {20}},      // 最近
      {-1, {4}},       // below the rows: content 0
  };
  for (const auto& c : cases) {
    FillView(kContentCategories, c.row, catalogue, favourites, history, view);
    EXPECT_EQ(Nids(view), c.nids) << "row " << c.row;
  }
}

TEST(FillView, SelectsRegionsSkippingTen) {
  StationList catalogue;
  for (int32_t region = 0; region <= 26; ++region)
    catalogue.push_back(Station(region, 1, region));
  StationList view;
  struct Case {
    int32_t row;
    std::vector<int32_t> regions;
  } const cases[] = {
      {0, {1}},
      {8, {9}},
      {9, {11}},
      {13, {15}},
      {16, {18}},
      {17, {21, 22, 23, 24}},
      {18, {10, 19, 20, 25}},
      {-1, {0}},
  };
  for (const auto& c : cases) {
    FillView(kRegionCategories, c.row, catalogue, {}, {}, view);
    EXPECT_EQ(Nids(view), c.regions) << "row " << c.row;
  }
  // Rows 13 and 14 of the region table are regions, not the favourites and the history.
  FillView(kRegionCategories, 14, catalogue, {Station(77)}, {Station(78)}, view);
  EXPECT_EQ(Nids(view), std::vector<int32_t>{16});
}

TEST(Categories, TablesHoldTheirRowTexts) {
  ASSERT_EQ(ContentCategoryNames().size(), 15u);
  ASSERT_EQ(RegionCategoryNames().size(), 19u);
  EXPECT_EQ(ContentCategoryNames()[13], Literal("收藏").gbk());
  EXPECT_EQ(RegionCategoryNames()[17], Literal("西南").gbk());
  EXPECT_EQ(&CategoryNames(kRegionCategories), &RegionCategoryNames());
}

TEST(StationStore, LoadsAndSavesItsFilesAndLeavesFilesOfEmptyListsAlone) {
  test::TempDir dir;
  ASSERT_TRUE(std::filesystem::create_directory(dir.File("config")));
  StationStore store;
  store.SetProgramDir(dir.path());
  ASSERT_TRUE(SaveStationList(store.ConfigPath("chlst.ini"), {Station(1, 4), Station(2, 4)}));
  ASSERT_TRUE(SaveStationList(store.ConfigPath("favlst.ini"), {Station(7)}));

  store.LoadCatalogue();
  store.LoadFavourites();
  store.LoadHistory();
  EXPECT_EQ(Nids(store.m_catalogue), (std::vector<int32_t>{1, 2}));
  EXPECT_TRUE(store.m_history.empty());

  store.m_favourites.clear();
  EXPECT_TRUE(store.SaveFavourites());  // empty: the file keeps its record
  store.LoadFavourites();
  EXPECT_EQ(Nids(store.m_favourites), std::vector<int32_t>{7});

  store.m_categoryIndex = 3;
  store.FillView();
  EXPECT_TRUE(store.SaveViewList());
  store.m_view.clear();
  store.LoadViewList();
  EXPECT_EQ(Nids(store.m_view), (std::vector<int32_t>{1, 2}));
  EXPECT_TRUE(store.IsViewIndex(1));
  EXPECT_FALSE(store.IsViewIndex(2));
  EXPECT_FALSE(store.IsViewIndex(-1));

  store.Reset();
  EXPECT_TRUE(store.m_view.empty());
  EXPECT_TRUE(store.m_catalogue.empty());
  EXPECT_EQ(store.m_currentStation, -1);
  EXPECT_EQ(store.m_menuStation, -1);
}

}  // namespace
}  // namespace lumio
