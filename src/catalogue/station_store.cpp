#include "catalogue/station_store.h"

#include <algorithm>

#include "catalogue/categories.h"
#include "catalogue/station_list_file.h"
#include "store/settings_file.h"

namespace lumio {

void InsertFrontUnique(StationList& list, const StationRecord& record) {
  auto same = std::find_if(list.begin(), list.end(),
                           [&](const StationRecord& r) { return r.nid == record.nid; });
  if (same != list.end()) list.erase(same);
  list.insert(list.begin(), record);
  if (list.size() > kMaxRecentStations) list.resize(kMaxRecentStations);
}

void StationStore::SetLocation(ConfigLocation location) {
  m_location = std::move(location);
  // The shipped other addresses belong to the shipped catalogue; the one each station last
  // played from is the listener's, with the lists.
  std::string alternates = ConfigPath(kAlternatesFileName);
  const SettingsFile files;
  for (const std::string& catalogue : m_location.catalogues) {
    if (!files.FileExists(catalogue)) continue;
    const size_t slash = catalogue.find_last_of("/\\");
    if (slash != std::string::npos)
      alternates = catalogue.substr(0, slash + 1) + kAlternatesFileName;
    break;
  }
  m_addresses.SetFiles(alternates, ConfigPath(kLastPlayedFileName));
}

std::string StationStore::ConfigPath(const char* fileName) const {
  return PathInFolder(m_location.folder, fileName);
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
  m_catalogue.clear();
  const SettingsFile files;
  for (const std::string& path : m_location.catalogues) {
    if (!files.FileExists(path)) continue;
    m_catalogue = LoadStationList(path);
    return;
  }
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
