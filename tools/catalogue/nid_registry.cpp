#include "tools/catalogue/nid_registry.h"

#include <array>
#include <limits>

#include "tools/common/cell_values.h"
#include "tools/common/csv_header.h"
#include "tools/common/csv_writer.h"

namespace lumio::tools {
namespace {

constexpr std::array<std::string_view, 3> kRegistryColumns = {"nid", "url", "name"};

}  // namespace

std::string EmptyRegistry() {
  std::string csv;
  AppendCsvRow(csv, {kRegistryColumns.begin(), kRegistryColumns.end()});
  return csv;
}

std::optional<std::vector<RegistryRow>> ReadRegistry(std::string_view csv, CsvError& error) {
  const CsvDocument doc = ParseCsv(csv);
  if (doc.error) {
    error = *doc.error;
    return std::nullopt;
  }
  auto header = CsvHeader::Read(doc, kRegistryColumns, /*ignoreUnknown=*/false, error);
  if (!header) return std::nullopt;
  const auto cells = header->FindAll(kRegistryColumns, error);
  if (!cells) return std::nullopt;
  const std::vector<size_t>& at = *cells;

  std::vector<RegistryRow> rows;
  for (size_t r = 1; r < doc.rows.size(); ++r) {
    const CsvRow& row = doc.rows[r];
    if (auto wrongWidth = header->CheckWidth(row)) {
      error = *wrongWidth;
      return std::nullopt;
    }
    std::string reason;
    auto nid = ParseWholeNumber(row.cells[at[0]], 1, std::numeric_limits<int32_t>::max(), reason);
    if (!nid) {
      error = CsvError{row.line, "nid \"" + row.cells[at[0]] + "\" " + reason};
      return std::nullopt;
    }
    if (row.cells[at[1]].empty()) {
      error = CsvError{row.line, "empty url"};
      return std::nullopt;
    }
    rows.push_back(
        RegistryRow{row.line, static_cast<int32_t>(*nid), row.cells[at[1]], row.cells[at[2]]});
  }
  return rows;
}

std::string AppendRegistryRows(std::string existing, const std::vector<RegistryRow>& rows) {
  if (existing.empty()) existing = EmptyRegistry();
  if (existing.back() != '\n') existing.append("\r\n");
  for (const RegistryRow& row : rows) {
    const std::string nid = std::to_string(row.nid);
    AppendCsvRow(existing, {nid, row.url, row.name});
  }
  return existing;
}

}  // namespace lumio::tools
