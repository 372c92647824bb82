#include "tools/catalogue/nid_assignment.h"

#include <algorithm>
#include <limits>
#include <map>
#include <set>
#include <unordered_map>

namespace lumio::tools {
namespace {

struct Owner {
  int32_t nid;
  size_t row;  // index into the registry; a later row wins
};

std::unordered_map<std::string, Owner> OwnersByUrl(const std::vector<RegistryRow>& registry) {
  std::unordered_map<std::string, Owner> owners;
  for (size_t i = 0; i < registry.size(); ++i)
    owners[registry[i].url] = Owner{registry[i].nid, i};
  return owners;
}

}  // namespace

std::optional<NidAssignment> AssignNids(const std::vector<UpstreamStation>& stations,
                                        const std::vector<RegistryRow>& registry,
                                        std::string& error) {
  const auto owners = OwnersByUrl(registry);
  constexpr int32_t kUnassigned = 0;
  NidAssignment result;
  result.nids.assign(stations.size(), kUnassigned);
  result.origins.assign(stations.size(), NidOrigin::kNew);

  // Kept: a registered URL keeps its id; of several stations on one id the latest URL wins.
  std::map<int32_t, size_t> holder;  // id -> station index
  for (size_t i = 0; i < stations.size(); ++i) {
    auto owner = owners.find(stations[i].url);
    if (owner == owners.end()) continue;
    auto [it, first] = holder.emplace(owner->second.nid, i);
    if (!first && owners.at(stations[it->second].url).row < owner->second.row) it->second = i;
  }
  for (const auto& [nid, i] : holder) {
    result.nids[i] = nid;
    result.origins[i] = NidOrigin::kKept;
  }

  // Moved: the names under which ids that no station holds any more were registered.
  std::map<std::string, std::set<int32_t>> vanishedByName;
  for (const RegistryRow& row : registry) {
    if (!holder.contains(row.nid)) vanishedByName[row.name].insert(row.nid);
  }
  std::map<int32_t, std::vector<size_t>> takers;
  for (size_t i = 0; i < stations.size(); ++i) {
    if (owners.contains(stations[i].url)) continue;  // not a new URL
    auto named = vanishedByName.find(stations[i].name);
    if (named != vanishedByName.end() && named->second.size() == 1)
      takers[*named->second.begin()].push_back(i);
  }
  for (const auto& [nid, candidates] : takers) {
    if (candidates.size() != 1) continue;  // ambiguous: nobody takes it
    result.nids[candidates.front()] = nid;
    result.origins[candidates.front()] = NidOrigin::kMoved;
  }

  // New: ids above every id ever given.
  int32_t highest = kFirstNid - 1;
  for (const RegistryRow& row : registry)
    highest = std::max(highest, row.nid);
  for (size_t i = 0; i < stations.size(); ++i) {
    if (result.nids[i] != kUnassigned) {
      if (result.origins[i] == NidOrigin::kMoved)
        result.added.push_back({0, result.nids[i], stations[i].url, stations[i].name});
      continue;
    }
    if (highest == std::numeric_limits<int32_t>::max()) {
      error = "no station id is left below 2147483648";
      return std::nullopt;
    }
    result.nids[i] = ++highest;
    result.added.push_back({0, result.nids[i], stations[i].url, stations[i].name});
  }
  return result;
}

std::optional<std::vector<int32_t>> LookUpNids(const std::vector<UpstreamStation>& stations,
                                               const std::vector<RegistryRow>& registry,
                                               CsvError& error) {
  const auto owners = OwnersByUrl(registry);
  std::unordered_map<int32_t, size_t> lineOfNid;
  std::vector<int32_t> nids;
  nids.reserve(stations.size());
  for (const UpstreamStation& station : stations) {
    auto owner = owners.find(station.url);
    if (owner == owners.end()) {
      error = CsvError{station.line, "station \"" + station.name + "\" (" + station.url +
                                         ") has no id; run lumio-catalogue assign"};
      return std::nullopt;
    }
    auto [it, first] = lineOfNid.emplace(owner->second.nid, station.line);
    if (!first) {
      error = CsvError{station.line,
                       "station \"" + station.name + "\" has id " +
                           std::to_string(owner->second.nid) + ", as has the station on line " +
                           std::to_string(it->second) + "; run lumio-catalogue assign"};
      return std::nullopt;
    }
    nids.push_back(owner->second.nid);
  }
  return nids;
}

}  // namespace lumio::tools
