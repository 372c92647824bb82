#pragma once
// The other addresses of the upstream stations (res/catalogue/alternates.csv, kept verbatim as
// published: name,alternate_url,source in UTF-8), keyed to the stations they belong to.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/catalogue/upstream_stations.h"
#include "tools/common/csv_reader.h"

namespace lumio::tools {

// Per station of `stations` (same order), its other addresses in file order; an address that
// is the station's own or repeats one before is left out. A row names its station by name.
// nullopt with `error` at the row's line for bad CSV, a missing column, an empty address, or a
// name that is no station's or more than one's.
std::optional<std::vector<std::vector<std::string>>> ReadStationAlternates(
    std::string_view csv, const std::vector<UpstreamStation>& stations, CsvError& error);

}  // namespace lumio::tools
