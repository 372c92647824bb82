#pragma once
// The reachability report of `lumio-catalogue probe`: one CSV row per address of the catalogue
// data, saying whether it plays (and what: mp3, aac, ogg, hls, playlist) or why it fails (the
// reasons a listener reads). The builder takes the latest report to leave out the stations
// none of whose addresses played and to put an address that played first.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "playback/stream_failure.h"
#include "tools/catalogue/upstream_stations.h"
#include "tools/common/csv_reader.h"

namespace lumio::tools {

struct ReachabilityRow {
  std::string checkedAt;  // UTC, "2025-01-31T12:00:00Z"
  std::string station;    // its name
  std::string role;       // "primary" or "alternate"
  std::string url;
  std::string kind;                              // what plays; "" when it fails
  StreamFailure failure = StreamFailure::kNone;  // why it fails
  std::string detail;                            // what the server said, for a maintainer

  bool plays() const { return failure == StreamFailure::kNone; }
};

// The report file's bytes for `rows`, header first.
std::string FormatReachabilityReport(const std::vector<ReachabilityRow>& rows);

// The name of the reason column's value for `failure` ("gone", "bad-certificate", ...).
std::string_view FailureName(StreamFailure failure);

// Whether each address of a report played: address -> true when it played. The header must
// hold url and result (other columns are let through); a result is "plays" or "fails".
// nullopt with `error` at the row's line otherwise.
std::optional<std::map<std::string, bool>> ReadReachability(std::string_view csv, CsvError& error);

struct ReachabilityEffect {
  std::vector<bool> leftOut;  // per station: every address of it failed
  size_t repointed = 0;       // stations that now start with an alternate
};

// Applies a report to the stations and their other addresses (parallel): a station whose
// every address failed is marked left out; the others have their addresses ordered played,
// then not checked, then failed (keeping their order within each), the first becoming the
// station's url. Addresses the report does not name count as not checked.
ReachabilityEffect ApplyReachability(std::vector<UpstreamStation>& stations,
                                     std::vector<std::vector<std::string>>& alternates,
                                     const std::map<std::string, bool>& played);

}  // namespace lumio::tools
