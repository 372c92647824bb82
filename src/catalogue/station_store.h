#pragma once
// The catalogue store: the four station sequences of the main window, the indices into them,
// and their list files in the config folder.

#include <cstdint>
#include <string>

#include "catalogue/station_addresses.h"
#include "catalogue/station_record.h"
#include "store/config_path.h"

namespace lumio {

// The most records the history and the favourites keep after an insertion.
inline constexpr size_t kMaxRecentStations = 20;

// Removes the first record of `list` with the `nid` of `record`, inserts `record` at the front
// and keeps at most kMaxRecentStations records.
void InsertFrontUnique(StationList& list, const StationRecord& record);

class StationStore {
 public:
  // `programDir` ends with "/"; the list files live in its "config/" folder.
  void SetProgramDir(const std::string& programDir) {
    SetLocation(PortableConfigLocation(programDir));
  }
  // Also where the station's other addresses are read: beside the catalogue that is read.
  void SetLocation(ConfigLocation location);
  // `fileName` in the folder of the list files.
  std::string ConfigPath(const char* fileName) const;

  // Start-up state: no view, no catalogue, no current or menu station, content categories.
  void Reset();

  // Each loader replaces its sequence with its file's records; a missing file gives none.
  void LoadViewList();    // config/retlst.ini into m_view
  void LoadFavourites();  // config/favlst.ini into m_favourites
  void LoadHistory();     // config/playlst.ini into m_history
  void LoadCatalogue();   // the first catalogue of the location that exists into m_catalogue

  // Each saver writes its sequence to its file, unless the sequence is empty (the file then
  // keeps what it held). False when the file could not be written.
  bool SaveViewList() const;
  bool SaveHistory() const;
  bool SaveFavourites() const;

  // Rebuilds m_view from m_categoryKind and m_categoryIndex.
  void FillView();

  // True when `index` names an element of m_view.
  bool IsViewIndex(int64_t index) const {
    return index >= 0 && static_cast<uint64_t>(index) < m_view.size();
  }

  StationList m_catalogue;
  StationList m_favourites;  // newest first
  StationList m_history;     // newest first
  StationList m_view;        // exactly the rows of the station list
  int32_t m_currentStation = -1;
  int32_t m_menuStation = -1;
  int32_t m_categoryKind = 0;
  int32_t m_categoryIndex = 0;
  // Where else each station can be played from (config/chalt.txt, config/chlast.txt).
  StationAddresses m_addresses;

 private:
  bool Save(const char* fileName, const StationList& list) const;

  ConfigLocation m_location = PortableConfigLocation("");
};

}  // namespace lumio
