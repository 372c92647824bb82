#include "tools/catalogue/catalogue_tool.h"

#include <filesystem>
#include <limits>
#include <map>
#include <optional>
#include <string_view>

#include "catalogue/station_addresses.h"
#include "catalogue/station_list_file.h"
#include "store/atomic_file.h"
#include "tools/catalogue/catalogue_records.h"
#include "tools/catalogue/nid_assignment.h"
#include "tools/catalogue/nid_registry.h"
#include "tools/catalogue/probe_command.h"
#include "tools/catalogue/reachability_report.h"
#include "tools/catalogue/station_alternates.h"
#include "tools/catalogue/upstream_stations.h"
#include "tools/common/cell_values.h"
#include "tools/common/input_file.h"

namespace lumio::tools {
namespace {

constexpr const char* kProgram = "lumio-catalogue";
constexpr int32_t kDefaultMinPopularity = 2;
constexpr std::string_view kMinPopularityOption = "--min-popularity=";
constexpr std::string_view kAlternatesOption = "--alternates=";
constexpr std::string_view kReachabilityOption = "--reachability=";

constexpr const char* kUsage =
    "usage: lumio-catalogue assign STATIONS NIDS\n"
    "       lumio-catalogue build STATIONS NIDS OUTPUT [--min-popularity=N]\n"
    "                             [--alternates=ALTERNATES] [--reachability=REPORT]\n"
    "       lumio-catalogue probe STATIONS ALTERNATES REPORT_FOLDER [--jobs=N]\n"
    "                             [--time-limit=SECONDS]\n";

ToolResult UsageError(const std::string& message) {
  return ToolResult{2, {}, std::string(kProgram) + ": " + message + "\n" + kUsage};
}

std::string At(const std::string& path, const CsvError& error) {
  return path + ":" + std::to_string(error.line) + ": " + error.message;
}

// Reads and parses one input; `failure` holds the result to return when that fails.
std::optional<std::vector<UpstreamStation>> LoadStations(const std::string& path,
                                                         ToolResult& failure) {
  std::string bytes;
  std::string reason;
  if (!ReadInputFile(path, bytes, reason)) {
    failure = CatalogueFailure(path + ": " + reason);
    return std::nullopt;
  }
  CsvError error;
  auto stations = ReadUpstreamStations(bytes, error);
  if (!stations) failure = CatalogueFailure(At(path, error));
  return stations;
}

std::optional<std::vector<RegistryRow>> ParseRegistry(const std::string& path,
                                                      const std::string& bytes,
                                                      ToolResult& failure) {
  CsvError error;
  auto rows = ReadRegistry(bytes, error);
  if (!rows) failure = CatalogueFailure(At(path, error));
  return rows;
}

const char* OriginWord(NidOrigin origin) {
  switch (origin) {
    case NidOrigin::kKept:
      return "kept";
    case NidOrigin::kMoved:
      return "moved";
    case NidOrigin::kNew:
      return "new";
  }
  return "";
}

ToolResult Assign(const std::string& stationsPath, const std::string& registryPath) {
  ToolResult failure;
  auto stations = LoadStations(stationsPath, failure);
  if (!stations) return failure;

  std::string existing;
  std::string reason;
  // Only a registry that is surely absent may start afresh: ids must never be given twice.
  std::error_code unknown;
  const bool registryExists = std::filesystem::exists(registryPath, unknown);
  if (unknown) return CatalogueFailure(registryPath + ": " + unknown.message());
  if (registryExists && !ReadInputFile(registryPath, existing, reason))
    return CatalogueFailure(registryPath + ": " + reason);
  if (!registryExists) existing = EmptyRegistry();
  auto registry = ParseRegistry(registryPath, existing, failure);
  if (!registry) return failure;

  std::string error;
  auto assignment = AssignNids(*stations, *registry, error);
  if (!assignment) return CatalogueFailure(registryPath + ": " + error);

  ToolResult result;
  std::map<NidOrigin, size_t> counts;
  for (size_t i = 0; i < stations->size(); ++i) {
    const NidOrigin origin = assignment->origins[i];
    ++counts[origin];
    if (origin == NidOrigin::kKept) continue;
    result.out += std::string(OriginWord(origin)) + " " + std::to_string(assignment->nids[i]) +
                  " " + (*stations)[i].name + " " + (*stations)[i].url + "\n";
  }
  result.out += std::to_string(stations->size()) +
                " stations: " + std::to_string(counts[NidOrigin::kKept]) + " kept, " +
                std::to_string(counts[NidOrigin::kMoved]) + " moved, " +
                std::to_string(counts[NidOrigin::kNew]) + " new\n";
  if (assignment->added.empty() && registryExists) return result;
  if (!WriteFileAtomically(registryPath, AppendRegistryRows(existing, assignment->added)))
    return CatalogueFailure(registryPath + ": cannot be written");
  return result;
}

struct BuildOptions {
  int32_t minPopularity = kDefaultMinPopularity;
  std::string alternatesPath;    // "" for none
  std::string reachabilityPath;  // "" for none
};

std::optional<std::string> ReadNamedInput(const std::string& path, ToolResult& failure) {
  std::string bytes;
  std::string reason;
  if (!ReadInputFile(path, bytes, reason)) {
    failure = CatalogueFailure(path + ": " + reason);
    return std::nullopt;
  }
  return bytes;
}

// The other addresses file beside the catalogue: the shipped stations' alternates, by nid.
std::optional<std::string> AlternatesFile(const StationList& records,
                                          const std::vector<UpstreamStation>& stations,
                                          const std::vector<int32_t>& nids,
                                          const std::vector<std::vector<std::string>>& alternates,
                                          size_t& count, ToolResult& failure) {
  std::map<int32_t, size_t> stationOfNid;
  for (size_t i = 0; i < stations.size(); ++i)
    stationOfNid[nids[i]] = i;
  std::vector<AddressLine> lines;
  for (const StationRecord& record : records) {
    const size_t i = stationOfNid.at(record.nid);
    for (const std::string& url : alternates[i]) {
      std::string reason;
      auto gbk = Utf8TextToGbk(url, reason);
      if (!gbk) {
        failure = CatalogueFailure("alternate of " + stations[i].name + ": url " + reason);
        return std::nullopt;
      }
      lines.emplace_back(record.nid, std::move(*gbk));
    }
  }
  count = lines.size();
  return FormatAddressLines(lines);
}

ToolResult Build(const std::string& stationsPath, const std::string& registryPath,
                 const std::string& outputPath, const BuildOptions& options) {
  ToolResult failure;
  auto stations = LoadStations(stationsPath, failure);
  if (!stations) return failure;
  auto registryBytes = ReadNamedInput(registryPath, failure);
  if (!registryBytes) return failure;
  auto registry = ParseRegistry(registryPath, *registryBytes, failure);
  if (!registry) return failure;

  CsvError error;
  // Ids belong to the addresses the stations are registered under, before any is replaced.
  auto nids = LookUpNids(*stations, *registry, error);
  if (!nids) return CatalogueFailure(At(stationsPath, error));

  std::vector<std::vector<std::string>> alternates(stations->size());
  if (!options.alternatesPath.empty()) {
    auto bytes = ReadNamedInput(options.alternatesPath, failure);
    if (!bytes) return failure;
    auto read = ReadStationAlternates(*bytes, *stations, error);
    if (!read) return CatalogueFailure(At(options.alternatesPath, error));
    alternates = std::move(*read);
  }
  std::string reachabilityNote;
  if (!options.reachabilityPath.empty()) {
    auto bytes = ReadNamedInput(options.reachabilityPath, failure);
    if (!bytes) return failure;
    auto played = ReadReachability(*bytes, error);
    if (!played) return CatalogueFailure(At(options.reachabilityPath, error));
    const ReachabilityEffect effect = ApplyReachability(*stations, alternates, *played);
    std::vector<UpstreamStation> kept;
    std::vector<int32_t> keptNids;
    std::vector<std::vector<std::string>> keptAlternates;
    for (size_t i = 0; i < stations->size(); ++i) {
      if (effect.leftOut[i]) continue;
      kept.push_back(std::move((*stations)[i]));
      keptNids.push_back((*nids)[i]);
      keptAlternates.push_back(std::move(alternates[i]));
    }
    reachabilityNote = "; " + std::to_string(stations->size() - kept.size()) + " left out and " +
                       std::to_string(effect.repointed) + " starting with another address, by " +
                       options.reachabilityPath;
    *stations = std::move(kept);
    *nids = std::move(keptNids);
    alternates = std::move(keptAlternates);
  }

  auto records = BuildCatalogueRecords(*stations, *nids, options.minPopularity, error);
  if (!records) return CatalogueFailure(At(stationsPath, error));
  std::string alternatesNote;
  std::optional<std::string> alternatesFile;
  std::string alternatesOut;
  if (!options.alternatesPath.empty()) {
    size_t count = 0;
    alternatesFile = AlternatesFile(*records, *stations, *nids, alternates, count, failure);
    if (!alternatesFile) return failure;
    alternatesOut =
        (std::filesystem::path(outputPath).parent_path() / kAlternatesFileName).string();
    alternatesNote = ", " + std::to_string(count) + " other addresses in " + alternatesOut;
  }
  if (!SaveStationList(outputPath, *records))
    return CatalogueFailure(outputPath + ": cannot be written");
  if (alternatesFile && !WriteFileAtomically(alternatesOut, *alternatesFile))
    return CatalogueFailure(alternatesOut + ": cannot be written");
  return ToolResult{0,
                    outputPath + ": " + std::to_string(records->size()) + " of " +
                        std::to_string(stations->size()) + " stations (popularity " +
                        std::to_string(options.minPopularity) + " and up)" + alternatesNote +
                        reachabilityNote + "\n",
                    {}};
}

}  // namespace

ToolResult CatalogueFailure(const std::string& message) {
  return ToolResult{1, {}, std::string(kProgram) + ": " + message + "\n"};
}

ToolResult RunCatalogueTool(const std::vector<std::string>& args) {
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h"))
    return ToolResult{0, kUsage, {}};
  if (args.empty()) return UsageError("no command given");
  const std::string& command = args[0];
  if (command == "assign") {
    if (args.size() != 3) return UsageError("assign takes STATIONS and NIDS");
    return Assign(args[1], args[2]);
  }
  if (command == "build") {
    BuildOptions options;
    std::vector<std::string> files;
    for (size_t i = 1; i < args.size(); ++i) {
      const std::string& arg = args[i];
      if (arg.starts_with(kAlternatesOption)) {
        options.alternatesPath = arg.substr(kAlternatesOption.size());
        continue;
      }
      if (arg.starts_with(kReachabilityOption)) {
        options.reachabilityPath = arg.substr(kReachabilityOption.size());
        continue;
      }
      if (!arg.starts_with(kMinPopularityOption)) {
        files.push_back(arg);
        continue;
      }
      std::string reason;
      auto value = ParseWholeNumber(std::string_view(arg).substr(kMinPopularityOption.size()),
                                    std::numeric_limits<int32_t>::min(),
                                    std::numeric_limits<int32_t>::max(), reason);
      if (!value) return UsageError("the minimum popularity " + reason);
      options.minPopularity = static_cast<int32_t>(*value);
    }
    if (files.size() != 3) return UsageError("build takes STATIONS, NIDS and OUTPUT");
    return Build(files[0], files[1], files[2], options);
  }
  if (command == "probe") {
    ProbeRequest request;
    std::string usage;
    if (!ParseProbeArguments(std::vector<std::string>(args.begin() + 1, args.end()), request,
                             usage)) {
      return UsageError(usage);
    }
    return RunProbe(request);
  }
  return UsageError("unknown command \"" + command + "\"");
}

}  // namespace lumio::tools
