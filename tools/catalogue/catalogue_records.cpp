#include "tools/catalogue/catalogue_records.h"

#include <algorithm>
#include <utility>

#include "text/gbk.h"
#include "tools/common/cell_values.h"
#include "tools/common/station_fit.h"

namespace lumio::tools {
namespace {

// Stand-ins, UTF-8 to UTF-8: the separator, then characters the upstream names use that GBK
// lacks, each mapped to the GBK character a reader takes for the same.
const std::pair<std::string_view, std::string_view> kStandIns[] = {
    {"|", "｜"},
    {"•", "·"},   // U+2022 bullet -> U+00B7 middle dot
    {"‧", "·"},   // U+2027 hyphenation point
    {"・", "·"},  // U+30FB katakana middle dot
};

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

}  // namespace

std::optional<std::string> StationNameToGbk(std::string_view utf8, std::string& reason) {
  std::string name(utf8);
  for (const auto& [from, to] : kStandIns)
    name = ReplaceAll(std::move(name), from, to);
  return Utf8TextToGbk(name, reason);
}

std::optional<StationList> BuildCatalogueRecords(const std::vector<UpstreamStation>& stations,
                                                 const std::vector<int32_t>& nids,
                                                 int32_t minPopularity, CsvError& error) {
  StationList records;
  for (size_t i = 0; i < stations.size(); ++i) {
    const UpstreamStation& station = stations[i];
    std::string reason;
    StationRecord record;
    auto name = StationNameToGbk(station.name, reason);
    if (!name) {
      error = CsvError{station.line, "name \"" + station.name + "\" " + reason +
                                         "; give it a stand-in in the catalogue builder"};
      return std::nullopt;
    }
    auto url = Utf8TextToGbk(station.url, reason);
    if (!url) {
      error = CsvError{station.line, "url " + reason};
      return std::nullopt;
    }
    record.name = std::move(*name);
    record.url = std::move(*url);
    record.contentCategory = station.contentCategory;
    record.regionCategory = station.region;
    record.popularity = station.popularity;
    record.nid = nids.at(i);
    record.timeStamp = 0;
    if (auto why = WhyListFileCannotHold(record)) {
      error = CsvError{station.line, *why};
      return std::nullopt;
    }
    if (station.popularity >= minPopularity) records.push_back(std::move(record));
  }
  std::stable_sort(
      records.begin(), records.end(),
      [](const StationRecord& a, const StationRecord& b) { return a.popularity > b.popularity; });
  return records;
}

}  // namespace lumio::tools
