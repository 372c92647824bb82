#pragma once
// The header row of a CSV document: which column holds which named value.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tools/common/csv_reader.h"

namespace lumio::tools {

class CsvHeader {
 public:
  // Reads the first row of `doc` as the header. Every name must be one of `known` and appear
  // once, unless `ignoreUnknown`, when other names are let through (a later data version may
  // add columns). nullopt with `error` set when there is no row or a name is refused.
  static std::optional<CsvHeader> Read(const CsvDocument& doc,
                                       std::span<const std::string_view> known, bool ignoreUnknown,
                                       CsvError& error);

  // The cell index of the column `name`; nullopt when the header lacks it.
  std::optional<size_t> Find(std::string_view name) const;

  // The cell index of each of `names`, in their order; nullopt with `error` set naming the first
  // column the header lacks.
  std::optional<std::vector<size_t>> FindAll(std::span<const std::string_view> names,
                                             CsvError& error) const;

  // The number of header cells, which every row must have.
  size_t width() const { return names_.size(); }

  // nullopt when `row` has as many cells as the header, else the error to report.
  std::optional<CsvError> CheckWidth(const CsvRow& row) const;

 private:
  std::vector<std::string> names_;
  size_t line_ = 1;
};

}  // namespace lumio::tools
