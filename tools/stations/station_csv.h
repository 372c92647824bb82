#pragma once
// Station records as CSV: a header naming the record's fields, one row per record, texts in
// UTF-8 where the records hold GBK. Pure functions; the tool does the file work.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "catalogue/station_record.h"
#include "tools/common/csv_reader.h"

namespace lumio::tools {

// The columns in the order of a list file line; export writes them so.
inline constexpr std::array<std::string_view, 10> kStationCsvColumns = {
    "extraText1", "nid", "contentCategory", "regionCategory", "extraNumber",
    "popularity", "url", "timeStamp",       "name",           "extraText2",
};

struct ExportFault {
  size_t record = 0;  // 1-based, in list order
  std::string message;
};

// The CSV of `records` (header first, CR LF line ends); nullopt with `fault` set when a text is
// not valid GBK and so has no faithful UTF-8 form.
std::optional<std::string> StationsToCsv(const StationList& records, ExportFault& fault);

// The records of a CSV in any column order; a column left out gives the fresh record's value.
// nullopt with `error` (line and message) for bad CSV, an unknown or repeated column, a row
// of the wrong width, a number that is not whole or not in its field's range, a text with no
// GBK form, or a record a list file cannot hold faithfully.
std::optional<StationList> StationsFromCsv(std::string_view csv, CsvError& error);

}  // namespace lumio::tools
