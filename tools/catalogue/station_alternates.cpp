#include "tools/catalogue/station_alternates.h"

#include <algorithm>
#include <array>
#include <unordered_map>

#include "tools/common/csv_header.h"

namespace lumio::tools {
namespace {

constexpr std::array<std::string_view, 2> kAlternateColumns = {"name", "alternate_url"};
constexpr size_t kAmbiguous = static_cast<size_t>(-1);

}  // namespace

std::optional<std::vector<std::vector<std::string>>> ReadStationAlternates(
    std::string_view csv, const std::vector<UpstreamStation>& stations, CsvError& error) {
  const CsvDocument doc = ParseCsv(csv);
  if (doc.error) {
    error = *doc.error;
    return std::nullopt;
  }
  auto header = CsvHeader::Read(doc, kAlternateColumns, /*ignoreUnknown=*/true, error);
  if (!header) return std::nullopt;
  const auto at = header->FindAll(kAlternateColumns, error);
  if (!at) return std::nullopt;

  std::unordered_map<std::string, size_t> stationOfName;
  for (size_t i = 0; i < stations.size(); ++i) {
    auto [it, added] = stationOfName.emplace(stations[i].name, i);
    if (!added) it->second = kAmbiguous;
  }
  std::vector<std::vector<std::string>> alternates(stations.size());
  for (size_t r = 1; r < doc.rows.size(); ++r) {
    const CsvRow& row = doc.rows[r];
    if (auto wrongWidth = header->CheckWidth(row)) {
      error = *wrongWidth;
      return std::nullopt;
    }
    const std::string& name = row.cells[(*at)[0]];
    const std::string& url = row.cells[(*at)[1]];
    if (url.empty()) {
      error = CsvError{row.line, "empty alternate_url"};
      return std::nullopt;
    }
    const auto found = stationOfName.find(name);
    if (found == stationOfName.end() || found->second == kAmbiguous) {
      error =
          CsvError{row.line, "\"" + name + "\" is " +
                                 (found == stationOfName.end() ? "no station's name"
                                                               : "the name of several stations")};
      return std::nullopt;
    }
    std::vector<std::string>& list = alternates[found->second];
    if (url != stations[found->second].url &&
        std::find(list.begin(), list.end(), url) == list.end())
      list.push_back(url);
  }
  return alternates;
}

}  // namespace lumio::tools
