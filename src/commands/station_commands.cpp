#include "commands/station_commands.h"

#include "catalogue/categories.h"
#include "commands/menus.h"
#include "commands/web_pages.h"
#include "ports/control_ids.h"
#include "store/find_text.h"
#include "text/literal.h"

namespace lumio {
namespace {

const Literal kNameHeading("名称");
const Literal kPopularityHeading("热度");
const Literal kTipMiddle("\n频率: 未知\n类型: 未知\n热度: ");

}  // namespace

StationCommands::StationCommands(WindowLayer& window, StationStore& store,
                                 PlaybackController& playback, const Clock& clock)
    : m_window(window), m_store(store), m_playback(playback), m_clock(clock) {}

std::string StationCommands::CellTip(const StationRecord& station) const {
  return station.name + kTipMiddle.gbk() + std::to_string(station.popularity);
}

StationRecord StationCommands::StampedCopy(const StationRecord& station) const {
  StationRecord copy = station;
  copy.timeStamp = m_clock.NowSeconds();
  return copy;
}

void StationCommands::InitStationLists() {
  ListControl& categories = m_window.List(kIdcCategoryList);
  categories.InsertColumn(0, kNameHeading, ListControl::kCentre, categories.ClientWidth());
  const auto& names = CategoryNames(m_store.m_categoryKind);
  for (size_t i = 0; i < names.size(); ++i)
    categories.InsertItem(static_cast<int32_t>(i), names[i]);

  ListControl& stations = m_window.List(kIdcStationList);
  const int32_t width = stations.ClientWidth();
  stations.InsertColumn(0, kNameHeading, ListControl::kLeft, width * 7 / 8);
  stations.InsertColumn(1, kPopularityHeading, ListControl::kRight, width / 8);
  FillStationList();
  if (!m_store.m_view.empty()) m_store.m_currentStation = 0;
  stations.EnableCellTips(true);
  stations.LoadLevelBitmaps();
  m_store.m_categoryKind = kContentCategories;
}

void StationCommands::FillStationList() {
  ListControl& stations = m_window.List(kIdcStationList);
  stations.SetRedraw(false);
  stations.DeleteAllItems();
  stations.RemoveAllCellTips();
  int32_t row = 0;
  for (const StationRecord& station : m_store.m_view) {
    stations.InsertItem(row, station.name.str());
    stations.SetItemText(row, 1, std::to_string(station.popularity));
    stations.SetCellTip(row, 0, CellTip(station));
    ++row;
  }
  stations.SetRedraw(true);
}

void StationCommands::ShowCategories(int32_t kind) {
  m_store.m_categoryKind = kind;
  ListControl& categories = m_window.List(kIdcCategoryList);
  categories.DeleteAllItems();
  const bool content = kind == kContentCategories;
  categories.SetRowHeight(content ? 20 : 16);
  categories.SetFontSize(content ? 14 : 12, 0);
  const auto& names = CategoryNames(kind);
  for (size_t i = 0; i < names.size(); ++i)
    categories.InsertItem(static_cast<int32_t>(i), names[i]);
}

void StationCommands::ShowContentCategories() {
  ShowCategories(kContentCategories);
}
void StationCommands::ShowRegionCategories() {
  ShowCategories(kRegionCategories);
}

void StationCommands::OnCategoryClick(int32_t row) {
  m_store.m_currentStation = 0;
  m_store.m_categoryIndex = row;
  m_store.FillView();
  FillStationList();
}

void StationCommands::OnStationDblClk(int32_t row) {
  if (m_window.List(kIdcStationList).GetItemText(row, 0).empty() || !m_store.IsViewIndex(row))
    return;
  m_playback.PlayStation(row);
  m_store.m_currentStation = row;
  m_store.SaveViewList();
  InsertFrontUnique(m_store.m_history, StampedCopy(m_store.m_view[static_cast<size_t>(row)]));
  m_store.SaveHistory();
}

void StationCommands::OnStationRClick(int32_t row) {
  if (m_window.List(kIdcStationList).GetItemText(row, 0).empty()) return;
  m_store.m_menuStation = row;
  m_window.ShowPopupMenu(m_stationMenu ? m_stationMenu() : StationMenu());
}

void StationCommands::OnPlayStation() {
  if (!m_store.IsViewIndex(m_store.m_menuStation)) return;
  m_playback.PlayStation(m_store.m_menuStation);
  m_store.m_currentStation = m_store.m_menuStation;
  m_store.m_menuStation = -1;
}

bool StationCommands::PlayMenuStationToRecord() {
  const int32_t row = m_store.m_menuStation;
  m_store.m_menuStation = -1;
  if (!m_store.IsViewIndex(row)) return false;
  const StationRecord& station = m_store.m_view[static_cast<size_t>(row)];
  const StationRecord* live = m_playback.LiveStation();
  // Started again, the station playing would lose the seconds of its new connection.
  if (live != nullptr && live->nid == station.nid && live->name == station.name) return true;
  OnStationDblClk(row);
  return true;
}

void StationCommands::OnOpenStationPage() {
  if (!m_store.IsViewIndex(m_store.m_menuStation)) return;
  const int32_t nid = m_store.m_view[static_cast<size_t>(m_store.m_menuStation)].nid;
  OpenWebPage(m_window, StationPagePath(nid));
  m_store.m_menuStation = -1;
}

void StationCommands::OnAddFavourite() {
  if (!m_store.IsViewIndex(m_store.m_menuStation)) return;
  const StationRecord copy =
      StampedCopy(m_store.m_view[static_cast<size_t>(m_store.m_menuStation)]);
  m_store.m_menuStation = -1;
  InsertFrontUnique(m_store.m_favourites, copy);
  m_store.SaveFavourites();
}

void StationCommands::OnMoreStations() {
  m_store.m_menuStation = -1;
  OpenWebPage(m_window, kStationGuidePage);
}

void StationCommands::FindStation() {
  if (m_findText.empty()) return;
  ListControl& stations = m_window.List(kIdcStationList);
  int32_t row = 0;
  for (const StationRecord& station : m_store.m_view) {
    if (FindText(station.name, m_findText) >= 0) {
      stations.SelectItem(row);
      stations.EnsureVisible(row);
    }
    ++row;
  }
  m_findText.clear();
}

}  // namespace lumio
