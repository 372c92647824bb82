#pragma once
// Writing CSV text (RFC 4180) that ParseCsv reads back cell for cell.

#include <string>
#include <string_view>
#include <vector>

namespace lumio::tools {

// Appends one row ending in CR LF. A cell holding a comma, a quote, CR or LF, or starting with
// a byte order mark, is quoted with its quotes doubled; a row of one empty cell is written as ""
// so that it is not an empty line.
void AppendCsvRow(std::string& out, const std::vector<std::string_view>& cells);

}  // namespace lumio::tools
