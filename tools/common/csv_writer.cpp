#include "tools/common/csv_writer.h"

namespace lumio::tools {
namespace {

void AppendCell(std::string& out, std::string_view cell) {
  // A leading byte order mark is quoted too: at the start of a file the reader would drop it.
  if (cell.find_first_of(",\"\r\n") == std::string_view::npos &&
      !cell.starts_with("\xEF\xBB\xBF")) {
    out.append(cell);
    return;
  }
  out.push_back('"');
  for (char c : cell) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  out.push_back('"');
}

}  // namespace

void AppendCsvRow(std::string& out, const std::vector<std::string_view>& cells) {
  if (cells.size() == 1 && cells[0].empty()) {
    out.append("\"\"\r\n");
    return;
  }
  for (size_t i = 0; i < cells.size(); ++i) {
    if (i > 0) out.push_back(',');
    AppendCell(out, cells[i]);
  }
  out.append("\r\n");
}

}  // namespace lumio::tools
