#pragma once
// The shipped catalogue (config/chlst.ini) made from the upstream stations and their ids.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/station_record.h"
#include "tools/catalogue/upstream_stations.h"
#include "tools/common/csv_reader.h"

namespace lumio::tools {

// A station name as GBK for a list file: "|" (the field separator) becomes the full-width
// "｜", and a character GBK lacks becomes its look-alike from a small table. nullopt with
// `reason` when a character has no GBK form and no look-alike.
std::optional<std::string> StationNameToGbk(std::string_view utf8, std::string& reason);

// The records of the stations whose popularity is at least `minPopularity`, most popular
// first and in upstream order among equals: name, url, both categories, popularity and the
// id of `nids` (parallel to `stations`); every other field as in a fresh record, timeStamp 0.
// Every station is converted, shipped or not, so that a lower threshold cannot fail later.
// nullopt with `error` at the station's line when one cannot be stored faithfully.
std::optional<StationList> BuildCatalogueRecords(const std::vector<UpstreamStation>& stations,
                                                 const std::vector<int32_t>& nids,
                                                 int32_t minPopularity, CsvError& error);

}  // namespace lumio::tools
