#include "qt/mpris_station_watch.h"

#include <algorithm>

namespace lumio {
namespace {

const StationRecord* FindByUrl(const StationList& list, const std::string& url) {
  auto it = std::find_if(list.begin(), list.end(),
                         [&](const StationRecord& r) { return r.url.str() == url; });
  return it == list.end() ? nullptr : &*it;
}

}  // namespace

void MprisStationWatch::SetURL(const std::string& url) {
  // A station starts as the current element of the view; the other lists are only a fallback.
  const StationRecord* found = nullptr;
  if (m_store) {
    if (m_store->IsViewIndex(m_store->m_currentStation)) {
      const StationRecord& current =
          m_store->m_view[static_cast<size_t>(m_store->m_currentStation)];
      if (current.url.str() == url) found = &current;
    }
    for (const StationList* list :
         {&m_store->m_view, &m_store->m_history, &m_store->m_favourites, &m_store->m_catalogue}) {
      if (!found) found = FindByUrl(*list, url);
    }
  }
  if (found) {
    m_station = *found;
  } else {
    m_station = StationRecord{};
    m_station.url = SharedText(url);
  }
  m_hasStation = true;
  m_player.SetURL(url);
}

}  // namespace lumio
