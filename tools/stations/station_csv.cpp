#include "tools/stations/station_csv.h"

#include <cstdint>
#include <limits>
#include <variant>
#include <vector>

#include "text/gbk.h"
#include "tools/common/cell_values.h"
#include "tools/common/csv_header.h"
#include "tools/common/csv_writer.h"
#include "tools/common/station_fit.h"

namespace lumio::tools {
namespace {

using FieldRef =
    std::variant<SharedText StationRecord::*, int32_t StationRecord::*, uint32_t StationRecord::*>;

struct Column {
  std::string_view name;
  FieldRef field;
};

// Same order as kStationCsvColumns.
const Column kColumns[] = {
    {"extraText1", &StationRecord::extraText1},
    {"nid", &StationRecord::nid},
    {"contentCategory", &StationRecord::contentCategory},
    {"regionCategory", &StationRecord::regionCategory},
    {"extraNumber", &StationRecord::extraNumber},
    {"popularity", &StationRecord::popularity},
    {"url", &StationRecord::url},
    {"timeStamp", &StationRecord::timeStamp},
    {"name", &StationRecord::name},
    {"extraText2", &StationRecord::extraText2},
};
static_assert(std::size(kColumns) == kStationCsvColumns.size());

// Stores one cell into its field of `record`; false with `reason` when the cell is refused.
bool SetField(StationRecord& record, const Column& column, const std::string& cell,
              std::string& reason) {
  if (auto text = std::get_if<SharedText StationRecord::*>(&column.field)) {
    auto gbk = Utf8TextToGbk(cell, reason);
    if (!gbk) return false;
    record.*(*text) = std::move(*gbk);
    return true;
  }
  if (cell.empty()) return true;  // the fresh record's value stays
  if (auto number = std::get_if<int32_t StationRecord::*>(&column.field)) {
    auto value = ParseWholeNumber(cell, std::numeric_limits<int32_t>::min(),
                                  std::numeric_limits<int32_t>::max(), reason);
    if (!value) return false;
    record.*(*number) = static_cast<int32_t>(*value);
    return true;
  }
  auto value = ParseWholeNumber(cell, 0, std::numeric_limits<uint32_t>::max(), reason);
  if (!value) return false;
  record.*std::get<uint32_t StationRecord::*>(column.field) = static_cast<uint32_t>(*value);
  return true;
}

// The cell as quoted in a message: a refused number is shown when it is short plain text; a
// refused text is not (the reason names its fault, and the text may not be printable).
std::string Shown(const Column& column, std::string_view cell) {
  if (std::holds_alternative<SharedText StationRecord::*>(column.field) || cell.size() > 32)
    return {};
  for (char c : cell) {
    if (c < ' ' || c > '~') return {};
  }
  return " \"" + std::string(cell) + "\"";
}

}  // namespace

std::optional<std::string> StationsToCsv(const StationList& records, ExportFault& fault) {
  std::string csv;
  AppendCsvRow(csv, {kStationCsvColumns.begin(), kStationCsvColumns.end()});
  std::vector<std::string> cells(kStationCsvColumns.size());
  size_t number = 0;
  for (const StationRecord& record : records) {
    ++number;
    for (size_t i = 0; i < std::size(kColumns); ++i) {
      const FieldRef& field = kColumns[i].field;
      if (auto text = std::get_if<SharedText StationRecord::*>(&field)) {
        auto utf8 = GbkToUtf8(record.*(*text));
        if (!utf8) {
          fault = ExportFault{number, std::string(kColumns[i].name) + " is not valid GBK text"};
          return std::nullopt;
        }
        cells[i] = std::move(*utf8);
      } else if (auto signedField = std::get_if<int32_t StationRecord::*>(&field)) {
        cells[i] = std::to_string(record.*(*signedField));
      } else {
        cells[i] = std::to_string(record.*std::get<uint32_t StationRecord::*>(field));
      }
    }
    AppendCsvRow(csv, {cells.begin(), cells.end()});
  }
  return csv;
}

std::optional<StationList> StationsFromCsv(std::string_view csv, CsvError& error) {
  const CsvDocument doc = ParseCsv(csv);
  if (doc.error) {
    error = *doc.error;
    return std::nullopt;
  }
  auto header = CsvHeader::Read(doc, kStationCsvColumns, /*ignoreUnknown=*/false, error);
  if (!header) return std::nullopt;

  struct Present {
    const Column* column;
    size_t cell;
  };
  std::vector<Present> present;
  for (const Column& column : kColumns) {
    if (auto cell = header->Find(column.name)) present.push_back({&column, *cell});
  }

  StationList records;
  for (size_t r = 1; r < doc.rows.size(); ++r) {
    const CsvRow& row = doc.rows[r];
    if (auto wrongWidth = header->CheckWidth(row)) {
      error = *wrongWidth;
      return std::nullopt;
    }
    StationRecord record;
    for (const Present& p : present) {
      std::string reason;
      if (!SetField(record, *p.column, row.cells[p.cell], reason)) {
        error = CsvError{row.line, std::string(p.column->name) +
                                       Shown(*p.column, row.cells[p.cell]) + " " + reason};
        return std::nullopt;
      }
    }
    if (auto why = WhyListFileCannotHold(record)) {
      error = CsvError{row.line, *why};
      return std::nullopt;
    }
    records.push_back(std::move(record));
  }
  return records;
}

}  // namespace lumio::tools
