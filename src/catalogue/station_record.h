#pragma once
#include <cstdint>
#include <vector>

#include "text/shared_text.h"

namespace lumio {

// One station. Texts are GBK bytes. A default-constructed record is the "fresh" record.
// Records are copied often (into the view, the history, the favourites); their texts share
// buffers, so a copy is cheap and still an independent value.
struct StationRecord {
  SharedText extraText1;  // carried through unchanged
  SharedText url;         // stream address handed to the player
  SharedText extraText2;  // carried through unchanged
  SharedText name;
  int32_t contentCategory = -1;
  int32_t regionCategory = -1;
  int32_t extraNumber = 0;  // carried through unchanged
  int32_t popularity = 0;   // 0..5 in the shipped catalogue; drawn as a level meter
  uint32_t timeStamp = 0;   // seconds since 1970 UTC; set when copied into history/favourites
  int32_t nid = 0;          // station id: web page parameter and duplicate identity

  friend bool operator==(const StationRecord&, const StationRecord&) = default;
};

// An ordered sequence of records: the catalogue, the favourites, the history, the view.
using StationList = std::vector<StationRecord>;

}  // namespace lumio
