#include "tools/stations/stations_tool.h"

#include "catalogue/station_list_file.h"
#include "tools/common/input_file.h"
#include "tools/stations/station_csv.h"

namespace lumio::tools {
namespace {

constexpr const char* kProgram = "lumio-stations";

constexpr const char* kUsage = "usage: lumio-stations export FILE | import CSV FILE | --help\n";

constexpr const char* kHelp =
    "usage: lumio-stations export FILE\n"
    "       lumio-stations import CSV FILE\n"
    "\n"
    "  export FILE       write the stations of the station list FILE (such as\n"
    "                    config/chlst.ini or config/favlst.ini) to standard output as\n"
    "                    UTF-8 CSV with a header row\n"
    "  import CSV FILE   write the station list FILE from a UTF-8 CSV with a header row\n"
    "                    naming any of the columns\n"
    "                    extraText1,nid,contentCategory,regionCategory,extraNumber,\n"
    "                    popularity,url,timeStamp,name,extraText2\n"
    "                    (a column left out, or an empty cell, gives the default value)\n"
    "\n"
    "Exit status: 0 done, 1 bad input (nothing is written), 2 wrong usage.\n";

ToolResult Failure(const std::string& message) {
  return ToolResult{1, {}, std::string(kProgram) + ": " + message + "\n"};
}

ToolResult UsageError(const std::string& message) {
  return ToolResult{2, {}, std::string(kProgram) + ": " + message + "\n" + kUsage};
}

ToolResult Export(const std::string& path) {
  std::string bytes;
  std::string reason;
  if (!ReadInputFile(path, bytes, reason)) return Failure(path + ": " + reason);
  ExportFault fault;
  auto csv = StationsToCsv(DecodeStationList(bytes), fault);
  if (!csv)
    return Failure(path + ": record " + std::to_string(fault.record) + ": " + fault.message);
  return ToolResult{0, std::move(*csv), {}};
}

ToolResult Import(const std::string& csvPath, const std::string& listPath) {
  std::string bytes;
  std::string reason;
  if (!ReadInputFile(csvPath, bytes, reason)) return Failure(csvPath + ": " + reason);
  CsvError error;
  auto records = StationsFromCsv(bytes, error);
  if (!records) return Failure(csvPath + ":" + std::to_string(error.line) + ": " + error.message);
  if (!SaveStationList(listPath, *records)) return Failure(listPath + ": cannot be written");
  return ToolResult{};
}

}  // namespace

ToolResult RunStationsTool(const std::vector<std::string>& args) {
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) return ToolResult{0, kHelp, {}};
  if (args.empty()) return UsageError("no command given");
  const std::string& command = args[0];
  if (command == "export") {
    if (args.size() != 2) return UsageError("export takes one FILE");
    return Export(args[1]);
  }
  if (command == "import") {
    if (args.size() != 3) return UsageError("import takes a CSV and a FILE");
    return Import(args[1], args[2]);
  }
  return UsageError("unknown command \"" + command + "\"");
}

}  // namespace lumio::tools
