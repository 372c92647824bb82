#include "qt/mpris_station_watch.h"

#include <algorithm>

namespace lumio {
void MprisStationWatch::SetURL(const std::string& url) {
  NoteStation({url});
  m_player.SetURL(url);
}

void MprisStationWatch::SetURLs(const std::vector<std::string>& urls) {
  NoteStation(urls);
  m_player.SetURLs(urls);
}

// A station starts as the current element of the view, from any of its addresses (the one it
// last played from comes first); the other lists are only a fallback.
void MprisStationWatch::NoteStation(const std::vector<std::string>& urls) {
  const auto given = [&](const StationRecord& r) {
    return std::find(urls.begin(), urls.end(), r.url.str()) != urls.end();
  };
  const StationRecord* found = nullptr;
  if (m_store) {
    if (m_store->IsViewIndex(m_store->m_currentStation)) {
      const StationRecord& current =
          m_store->m_view[static_cast<size_t>(m_store->m_currentStation)];
      if (given(current)) found = &current;
    }
    for (const StationList* list :
         {&m_store->m_view, &m_store->m_history, &m_store->m_favourites, &m_store->m_catalogue}) {
      if (found) break;
      auto it = std::find_if(list->begin(), list->end(), given);
      if (it != list->end()) found = &*it;
    }
  }
  if (found) {
    m_station = *found;
  } else {
    m_station = StationRecord{};
    m_station.url = SharedText(urls.empty() ? std::string() : urls.front());
  }
  m_hasStation = true;
}

}  // namespace lumio
