#include "tools/common/csv_header.h"

#include <algorithm>

namespace lumio::tools {

std::optional<CsvHeader> CsvHeader::Read(const CsvDocument& doc,
                                         std::span<const std::string_view> known,
                                         bool ignoreUnknown, CsvError& error) {
  if (doc.rows.empty()) {
    error = CsvError{1, "no header row"};
    return std::nullopt;
  }
  const CsvRow& row = doc.rows.front();
  CsvHeader header;
  header.line_ = row.line;
  for (const std::string& name : row.cells) {
    const bool isKnown = std::find(known.begin(), known.end(), name) != known.end();
    if (!isKnown && !ignoreUnknown) {
      error = CsvError{row.line, "unknown column \"" + name + "\""};
      return std::nullopt;
    }
    if (isKnown && header.Find(name)) {
      error = CsvError{row.line, "column \"" + name + "\" appears twice"};
      return std::nullopt;
    }
    header.names_.push_back(name);
  }
  return header;
}

std::optional<size_t> CsvHeader::Find(std::string_view name) const {
  auto it = std::find(names_.begin(), names_.end(), name);
  if (it == names_.end()) return std::nullopt;
  return static_cast<size_t>(it - names_.begin());
}

std::optional<std::vector<size_t>> CsvHeader::FindAll(std::span<const std::string_view> names,
                                                      CsvError& error) const {
  std::vector<size_t> cells;
  cells.reserve(names.size());
  for (std::string_view name : names) {
    auto cell = Find(name);
    if (!cell) {
      error = CsvError{line_, "no column \"" + std::string(name) + "\""};
      return std::nullopt;
    }
    cells.push_back(*cell);
  }
  return cells;
}

std::optional<CsvError> CsvHeader::CheckWidth(const CsvRow& row) const {
  if (row.cells.size() == names_.size()) return std::nullopt;
  const auto cells = [](size_t n) { return std::to_string(n) + (n == 1 ? " cell" : " cells"); };
  return CsvError{row.line, "the row has " + cells(row.cells.size()) + ", the header has " +
                                cells(names_.size())};
}

}  // namespace lumio::tools
