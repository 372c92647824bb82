#pragma once
// The category list and the station list of the main window and the commands on them: choosing
// a category, playing a station by double click or from its menu, opening its page, adding it
// to the favourites, and finding stations by name.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "catalogue/station_store.h"
#include "playback/playback_controller.h"
#include "ports/clock.h"
#include "ports/window_layer.h"

namespace lumio {

class StationCommands {
 public:
  StationCommands(WindowLayer& window, StationStore& store, PlaybackController& playback,
                  const Clock& clock);

  // Sets up both lists at start-up and fills them: the content categories and m_view.
  void InitStationLists();
  // Refills the station list from m_view.
  void FillStationList();

  void ShowContentCategories();  // command 1006
  void ShowRegionCategories();   // command 1007
  // A click on the category list; row -1 when it hit no row.
  void OnCategoryClick(int32_t row);

  // Plays the station of `row`, makes the view the remembered one and records the station in
  // the history.
  void OnStationDblClk(int32_t row);
  // Opens the station menu for `row`.
  void OnStationRClick(int32_t row);
  // What the station menu holds when it opens; StationMenu() until set.
  void SetStationMenu(std::function<std::vector<MenuItem>()> menu) {
    m_stationMenu = std::move(menu);
  }
  void OnPlayStation();  // menu 32773
  // The station menu's 开始录音: plays the row clicked as a double click would, unless it is
  // the station playing already. False when the row is gone (nothing to record).
  bool PlayMenuStationToRecord();
  void OnOpenStationPage();  // menu 32774, 32776, 32775
  void OnAddFavourite();     // menu 32777
  void OnMoreStations();     // menu 32778

  // Selects every row whose name contains m_findText (case-sensitive, whole GBK characters),
  // scrolls to the last one, and empties m_findText.
  void FindStation();

  std::string m_findText;

 private:
  void ShowCategories(int32_t kind);
  std::string CellTip(const StationRecord& station) const;
  StationRecord StampedCopy(const StationRecord& station) const;

  WindowLayer& m_window;
  StationStore& m_store;
  PlaybackController& m_playback;
  const Clock& m_clock;
  std::function<std::vector<MenuItem>()> m_stationMenu;
};

}  // namespace lumio
