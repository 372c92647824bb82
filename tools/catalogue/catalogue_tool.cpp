#include "tools/catalogue/catalogue_tool.h"

#include <filesystem>
#include <limits>
#include <map>
#include <optional>
#include <string_view>

#include "catalogue/station_list_file.h"
#include "store/atomic_file.h"
#include "tools/catalogue/catalogue_records.h"
#include "tools/catalogue/nid_assignment.h"
#include "tools/catalogue/nid_registry.h"
#include "tools/catalogue/upstream_stations.h"
#include "tools/common/cell_values.h"
#include "tools/common/input_file.h"

namespace lumio::tools {
namespace {

constexpr const char* kProgram = "lumio-catalogue";
constexpr int32_t kDefaultMinPopularity = 2;
constexpr std::string_view kMinPopularityOption = "--min-popularity=";

constexpr const char* kUsage =
    "usage: lumio-catalogue assign STATIONS NIDS\n"
    "       lumio-catalogue build STATIONS NIDS OUTPUT [--min-popularity=N]\n";

ToolResult Failure(const std::string& message) {
  return ToolResult{1, {}, std::string(kProgram) + ": " + message + "\n"};
}

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
    failure = Failure(path + ": " + reason);
    return std::nullopt;
  }
  CsvError error;
  auto stations = ReadUpstreamStations(bytes, error);
  if (!stations) failure = Failure(At(path, error));
  return stations;
}

std::optional<std::vector<RegistryRow>> ParseRegistry(const std::string& path,
                                                      const std::string& bytes,
                                                      ToolResult& failure) {
  CsvError error;
  auto rows = ReadRegistry(bytes, error);
  if (!rows) failure = Failure(At(path, error));
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
  if (unknown) return Failure(registryPath + ": " + unknown.message());
  if (registryExists && !ReadInputFile(registryPath, existing, reason))
    return Failure(registryPath + ": " + reason);
  if (!registryExists) existing = EmptyRegistry();
  auto registry = ParseRegistry(registryPath, existing, failure);
  if (!registry) return failure;

  std::string error;
  auto assignment = AssignNids(*stations, *registry, error);
  if (!assignment) return Failure(registryPath + ": " + error);

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
    return Failure(registryPath + ": cannot be written");
  return result;
}

ToolResult Build(const std::string& stationsPath, const std::string& registryPath,
                 const std::string& outputPath, int32_t minPopularity) {
  ToolResult failure;
  auto stations = LoadStations(stationsPath, failure);
  if (!stations) return failure;
  std::string bytes;
  std::string reason;
  if (!ReadInputFile(registryPath, bytes, reason)) return Failure(registryPath + ": " + reason);
  auto registry = ParseRegistry(registryPath, bytes, failure);
  if (!registry) return failure;

  CsvError error;
  auto nids = LookUpNids(*stations, *registry, error);
  if (!nids) return Failure(At(stationsPath, error));
  auto records = BuildCatalogueRecords(*stations, *nids, minPopularity, error);
  if (!records) return Failure(At(stationsPath, error));
  if (!SaveStationList(outputPath, *records)) return Failure(outputPath + ": cannot be written");
  return ToolResult{0,
                    outputPath + ": " + std::to_string(records->size()) + " of " +
                        std::to_string(stations->size()) + " stations (popularity " +
                        std::to_string(minPopularity) + " and up)\n",
                    {}};
}

}  // namespace

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
    int32_t minPopularity = kDefaultMinPopularity;
    std::vector<std::string> files;
    for (size_t i = 1; i < args.size(); ++i) {
      const std::string& arg = args[i];
      if (!arg.starts_with(kMinPopularityOption)) {
        files.push_back(arg);
        continue;
      }
      std::string reason;
      auto value = ParseWholeNumber(std::string_view(arg).substr(kMinPopularityOption.size()),
                                    std::numeric_limits<int32_t>::min(),
                                    std::numeric_limits<int32_t>::max(), reason);
      if (!value) return UsageError("the minimum popularity " + reason);
      minPopularity = static_cast<int32_t>(*value);
    }
    if (files.size() != 3) return UsageError("build takes STATIONS, NIDS and OUTPUT");
    return Build(files[0], files[1], files[2], minPopularity);
  }
  return UsageError("unknown command \"" + command + "\"");
}

}  // namespace lumio::tools
