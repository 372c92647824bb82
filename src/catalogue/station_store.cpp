#include "catalogue/station_store.h"

#include <algorithm>

#include "catalogue/categories.h"
#include "catalogue/station_list_file.h"
#include "store/config_path.h"

namespace lumio {

void InsertFrontUnique(StationList& list, const StationRecord& record) {
  auto same = std::find_if(list.begin(), list.end(),
                           [&](const StationRecord& r) { return r.nid == record.nid; });
  if (same != list.end()) list.erase(same);
  list.insert(list.begin(), record);
  if (list.size() > kMaxRecentStations) list.resize(kMaxRecentStations);
}

void StationStore::SetProgramDir(std::string programDir) {
  m_programDir = std::move(programDir);
  m_addresses.SetFiles(ConfigPath(kAlternatesFileName), ConfigPath(kLastPlayedFileName));
}

std::string StationStore::ConfigPath(const char* fileName) const {
  return lumio::ConfigPath(m_programDir, fileName);
}

void StationStore::Reset() {
  m_view.clear();
  m_catalogue.clear();
  m_currentStation = -1;
  m_menuStation = -1;
  m_categoryKind = kContentCategories;
}

void StationStore::LoadViewList() {
  m_view = LoadStationList(ConfigPath("retlst.ini"));
}
void StationStore::LoadFavourites() {
  m_favourites = LoadStationList(ConfigPath("favlst.ini"));
}
void StationStore::LoadHistory() {
  m_history = LoadStationList(ConfigPath("playlst.ini"));
}
void StationStore::LoadCatalogue() {
  m_catalogue = LoadStationList(ConfigPath("chlst.ini"));
}

bool StationStore::Save(const char* fileName, const StationList& list) const {
  if (list.empty()) return true;
  return SaveStationList(ConfigPath(fileName), list);
}

bool StationStore::SaveViewList() const {
  return Save("retlst.ini", m_view);
}
bool StationStore::SaveHistory() const {
  return Save("playlst.ini", m_history);
}
bool StationStore::SaveFavourites() const {
  return Save("favlst.ini", m_favourites);
}

void StationStore::FillView() {
  lumio::FillView(m_categoryKind, m_categoryIndex, m_catalogue, m_favourites, m_history, m_view);
}

}  // namespace lumio
