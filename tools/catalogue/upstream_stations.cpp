#include "tools/catalogue/upstream_stations.h"

#include <array>
#include <unordered_map>

#include "tools/common/cell_values.h"
#include "tools/common/csv_header.h"

namespace lumio::tools {
namespace {

constexpr std::array<std::string_view, 5> kStationColumns = {"name", "url", "content_category",
                                                             "region", "popularity"};

struct NumberColumn {
  std::string_view name;
  int32_t UpstreamStation::*field;
  int32_t min;
  int32_t max;
};

constexpr NumberColumn kNumbers[] = {
    {"content_category", &UpstreamStation::contentCategory, 1, 13},
    {"region", &UpstreamStation::region, 1, 25},
    {"popularity", &UpstreamStation::popularity, 0, 5},
};

}  // namespace

std::optional<std::vector<UpstreamStation>> ReadUpstreamStations(std::string_view csv,
                                                                 CsvError& error) {
  const CsvDocument doc = ParseCsv(csv);
  if (doc.error) {
    error = *doc.error;
    return std::nullopt;
  }
  auto header = CsvHeader::Read(doc, kStationColumns, /*ignoreUnknown=*/true, error);
  if (!header) return std::nullopt;
  const auto cells = header->FindAll(kStationColumns, error);
  if (!cells) return std::nullopt;
  const std::vector<size_t>& at = *cells;

  std::vector<UpstreamStation> stations;
  std::unordered_map<std::string, size_t> lineOfUrl;
  for (size_t r = 1; r < doc.rows.size(); ++r) {
    const CsvRow& row = doc.rows[r];
    if (auto wrongWidth = header->CheckWidth(row)) {
      error = *wrongWidth;
      return std::nullopt;
    }
    UpstreamStation station;
    station.line = row.line;
    station.name = row.cells[at[0]];
    station.url = row.cells[at[1]];
    if (station.name.empty() || station.url.empty()) {
      error = CsvError{row.line, station.name.empty() ? "empty name" : "empty url"};
      return std::nullopt;
    }
    for (size_t i = 0; i < std::size(kNumbers); ++i) {
      const NumberColumn& column = kNumbers[i];
      std::string reason;
      auto value = ParseWholeNumber(row.cells[at[2 + i]], column.min, column.max, reason);
      if (!value) {
        error = CsvError{row.line,
                         std::string(column.name) + " \"" + row.cells[at[2 + i]] + "\" " + reason};
        return std::nullopt;
      }
      station.*column.field = static_cast<int32_t>(*value);
    }
    auto [it, added] = lineOfUrl.emplace(station.url, row.line);
    if (!added) {
      error = CsvError{row.line, "url " + station.url + " is listed on line " +
                                     std::to_string(it->second) + " already"};
      return std::nullopt;
    }
    stations.push_back(std::move(station));
  }
  return stations;
}

}  // namespace lumio::tools
