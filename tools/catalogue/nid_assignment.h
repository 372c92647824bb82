#pragma once
// Station ids that survive rebuilds of the upstream data. A listener's favourites and history
// find their stations by id, so an id given once stays with its station and is never reused.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/catalogue/nid_registry.h"
#include "tools/catalogue/upstream_stations.h"

namespace lumio::tools {

enum class NidOrigin {
  kKept,   // the station's URL is in the registry
  kMoved,  // a new URL, and the name matches exactly one id whose URLs are all gone
  kNew,    // anything else: the highest id ever given + 1
};

struct NidAssignment {
  std::vector<int32_t> nids;       // one per station, in station order
  std::vector<NidOrigin> origins;  // one per station
  std::vector<RegistryRow> added;  // the rows to append to the registry, in station order
};

// The id of every station (URLs unique, as ReadUpstreamStations ensures). When two stations
// hold URLs of one id, the URL registered last keeps it and the other gets a new id; when two
// stations would take over the same vanished id, neither does. nullopt with `error` when the
// ids would pass the 32-bit range.
std::optional<NidAssignment> AssignNids(const std::vector<UpstreamStation>& stations,
                                        const std::vector<RegistryRow>& registry,
                                        std::string& error);

// The registered id of every station, for a build that must not invent ids. nullopt with
// `error` at the station's line when one has no id or shares its id with another.
std::optional<std::vector<int32_t>> LookUpNids(const std::vector<UpstreamStation>& stations,
                                               const std::vector<RegistryRow>& registry,
                                               CsvError& error);

}  // namespace lumio::tools
