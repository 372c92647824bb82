#pragma once
// The upstream station data (res/catalogue/stations.csv), kept verbatim as it is published:
// name,url,content_category,region,popularity,source in UTF-8.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/common/csv_reader.h"

namespace lumio::tools {

struct UpstreamStation {
  size_t line = 0;  // where the row starts in the file, for messages
  std::string name;
  std::string url;
  int32_t contentCategory = 0;  // 1..13
  int32_t region = 0;           // 1..25
  int32_t popularity = 0;       // 0..5
};

// The stations of the file's bytes in file order. Columns other than the five used are
// ignored. nullopt with `error` for bad CSV, a missing column, an empty name or URL, a number
// outside its documented range, or a URL listed twice (it identifies the station).
std::optional<std::vector<UpstreamStation>> ReadUpstreamStations(std::string_view csv,
                                                                 CsvError& error);

}  // namespace lumio::tools
