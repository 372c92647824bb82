#pragma once
// A list of stations large enough that writing it takes more than one write call.

#include <cstddef>
#include <cstdint>
#include <string>

#include "catalogue/station_record.h"

namespace lumio::test {

// `count` stations whose names and addresses all carry `tag`, so that two lists differ in every
// line.
inline StationList ManyStations(size_t count, const std::string& tag) {
  StationList list(count);
  for (size_t i = 0; i < count; ++i) {
    list[i].nid = static_cast<int32_t>(i);
    list[i].name = tag + std::to_string(i);
    list[i].url = "http://127.0.0.1:8000/" + tag + "/" + std::to_string(i) + ".mp3";
  }
  return list;
}

}  // namespace lumio::test
