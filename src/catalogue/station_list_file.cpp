#include "catalogue/station_list_file.h"

#include <algorithm>
#include <vector>

#include "catalogue/station_line.h"
#include "store/atomic_file.h"
#include "store/list_codec.h"
#include "store/settings_file.h"

namespace lumio {

StationList DecodeStationList(std::string_view bytes) {
  StationList records;
  // One record per line at most: reserving once keeps a large catalogue from being copied
  // as the list grows.
  records.reserve(static_cast<size_t>(std::count(bytes.begin(), bytes.end(), '\n')));
  std::vector<std::string_view> fields;
  VisitListLines(bytes, [&](std::string_view line) {
    SplitFieldViews(line, "|", fields);
    if (fields.size() >= kStationFieldCount) records.push_back(ParseStationLine(fields));
  });
  return records;
}

StationList LoadStationList(const std::string& path) {
  auto bytes = ReadWholeFile(path);
  if (!bytes) return {};
  return DecodeStationList(*bytes);
}

bool SaveStationList(const std::string& path, const StationList& records) {
  std::vector<std::string> lines;
  lines.reserve(records.size());
  for (const StationRecord& r : records)
    lines.push_back(FormatStationLine(r));
  return SettingsFile().WriteLines(path, lines);
}

}  // namespace lumio
