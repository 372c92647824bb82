#pragma once
// The station id registry (res/catalogue/nids.csv): one row nid,url,name for every stream URL
// an id was ever given. Rows are only ever appended, so an id, once shipped, is never given to
// another station. When a URL appears in several rows, the last one holds.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/common/csv_reader.h"

namespace lumio::tools {

struct RegistryRow {
  size_t line = 0;  // where the row is in the file; 0 for a row not yet written
  int32_t nid = 0;
  std::string url;
  std::string name;  // the upstream name when the row was added, UTF-8
};

// Ids are positive so that the web page's nid=%d reads plainly; the first one is this.
inline constexpr int32_t kFirstNid = 1001;

// The text of a registry that holds no row yet.
std::string EmptyRegistry();

// The rows of the registry's bytes, in file order. nullopt with `error` for bad CSV, a header
// that is not nid,url,name (in any order), a nid that is not a positive whole number, or an
// empty URL.
std::optional<std::vector<RegistryRow>> ReadRegistry(std::string_view csv, CsvError& error);

// The registry's bytes with `rows` appended; the existing bytes stay as they are.
std::string AppendRegistryRows(std::string existing, const std::vector<RegistryRow>& rows);

}  // namespace lumio::tools
