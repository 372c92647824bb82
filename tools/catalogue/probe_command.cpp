#include "tools/catalogue/probe_command.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>

#include "store/atomic_file.h"
#include "tools/catalogue/catalogue_tool.h"
#include "tools/catalogue/reachability_report.h"
#include "tools/catalogue/station_alternates.h"
#include "tools/catalogue/upstream_stations.h"
#include "tools/common/cell_values.h"
#include "tools/common/input_file.h"

namespace lumio::tools {
namespace {

bool TakeNumber(const std::string& arg, std::string_view option, int min, int max, int& value,
                std::string& usage) {
  std::string reason;
  auto number = ParseWholeNumber(std::string_view(arg).substr(option.size()), min, max, reason);
  if (!number) {
    usage = std::string(option.substr(2, option.size() - 3)) + " " + reason;
    return false;
  }
  value = static_cast<int>(*number);
  return true;
}

// "2025-01-31" and "2025-01-31T12:00:00Z" for now, in UTC.
std::pair<std::string, std::string> UtcNow() {
  using namespace std::chrono;
  const auto now = floor<seconds>(system_clock::now());
  const auto day = floor<days>(now);
  const year_month_day date{day};
  const hh_mm_ss time{now - day};
  char dateText[16];
  char stamp[32];
  std::snprintf(dateText, sizeof dateText, "%04d-%02u-%02u", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
  std::snprintf(stamp, sizeof stamp, "%sT%02d:%02d:%02dZ", dateText,
                static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                static_cast<int>(time.seconds().count()));
  return {dateText, stamp};
}

}  // namespace

bool ParseProbeArguments(const std::vector<std::string>& args, ProbeRequest& request,
                         std::string& usage) {
  std::vector<std::string> files;
  for (const std::string& arg : args) {
    if (arg.starts_with("--jobs=")) {
      if (!TakeNumber(arg, "--jobs=", 1, 256, request.settings.jobs, usage)) return false;
    } else if (arg.starts_with("--time-limit=")) {
      if (!TakeNumber(arg, "--time-limit=", 1, 300, request.settings.timeLimitSeconds, usage))
        return false;
    } else if (arg.starts_with("--ca-file=")) {
      request.settings.caFile = arg.substr(10);
    } else if (arg.starts_with("--")) {
      usage = "unknown option " + arg;
      return false;
    } else {
      files.push_back(arg);
    }
  }
  if (files.size() != 3) {
    usage = "probe takes STATIONS, ALTERNATES and REPORT_FOLDER";
    return false;
  }
  request.stationsPath = files[0];
  request.alternatesPath = files[1];
  request.folder = files[2];
  return true;
}

ToolResult RunProbe(const ProbeRequest& request) {
  std::string bytes;
  std::string reason;
  if (!ReadInputFile(request.stationsPath, bytes, reason))
    return CatalogueFailure(request.stationsPath + ": " + reason);
  CsvError error;
  auto stations = ReadUpstreamStations(bytes, error);
  if (!stations)
    return CatalogueFailure(request.stationsPath + ":" + std::to_string(error.line) + ": " +
                            error.message);
  if (!ReadInputFile(request.alternatesPath, bytes, reason))
    return CatalogueFailure(request.alternatesPath + ": " + reason);
  auto alternates = ReadStationAlternates(bytes, *stations, error);
  if (!alternates) {
    return CatalogueFailure(request.alternatesPath + ":" + std::to_string(error.line) + ": " +
                            error.message);
  }

  // Each address once, in data order; a row per station that names it.
  std::vector<ReachabilityRow> rows;
  std::vector<std::string> urls;
  std::map<std::string, size_t> indexOfUrl;
  std::vector<size_t> urlOfRow;
  for (size_t i = 0; i < stations->size(); ++i) {
    std::vector<std::string> addresses{(*stations)[i].url};
    addresses.insert(addresses.end(), (*alternates)[i].begin(), (*alternates)[i].end());
    for (size_t a = 0; a < addresses.size(); ++a) {
      auto [it, added] = indexOfUrl.emplace(addresses[a], urls.size());
      if (added) urls.push_back(addresses[a]);
      ReachabilityRow row;
      row.station = (*stations)[i].name;
      row.role = a == 0 ? "primary" : "alternate";
      row.url = addresses[a];
      rows.push_back(std::move(row));
      urlOfRow.push_back(it->second);
    }
  }

  const auto [date, stamp] = UtcNow();
  std::string why;
  auto outcomes = ProbeAddresses(urls, request.settings, why);
  if (!outcomes) return CatalogueFailure(why);
  std::map<StreamFailure, size_t> failures;
  for (const ProbeOutcome& outcome : *outcomes)
    ++failures[outcome.failure];
  for (size_t r = 0; r < rows.size(); ++r) {
    const ProbeOutcome& outcome = (*outcomes)[urlOfRow[r]];
    rows[r].checkedAt = stamp;
    rows[r].kind = outcome.kind;
    rows[r].failure = outcome.failure;
    rows[r].detail = outcome.detail;
  }

  const std::string report =
      (std::filesystem::path(request.folder) / ("reachability-" + date + ".csv")).string();
  if (!WriteFileAtomically(report, FormatReachabilityReport(rows)))
    return CatalogueFailure(report + ": cannot be written");
  std::string summary = report + ": " + std::to_string(urls.size()) + " addresses, " +
                        std::to_string(failures[StreamFailure::kNone]) + " play";
  for (const auto& [failure, count] : failures) {
    if (failure == StreamFailure::kNone) continue;
    summary += ", " + std::to_string(count) + " " + std::string(FailureName(failure));
  }
  return ToolResult{0, summary + "\n", {}};
}

}  // namespace lumio::tools
