// fuzz-links: lumio_tools_common
// The CSV reader on any bytes: it must not crash, and whatever it reads, the writer must write
// so that the reader reads the same cells again.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "tools/common/csv_reader.h"
#include "tools/common/csv_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace lumio::tools;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const CsvDocument doc = ParseCsv(bytes);
  if (doc.error && (doc.error->line == 0 || doc.error->message.empty())) std::abort();

  std::string written;
  size_t previousLine = 0;
  for (const CsvRow& row : doc.rows) {
    if (row.cells.empty() || row.line <= previousLine) std::abort();
    previousLine = row.line;
    AppendCsvRow(written, {row.cells.begin(), row.cells.end()});
  }
  const CsvDocument again = ParseCsv(written);
  if (again.error || again.rows.size() != doc.rows.size()) std::abort();
  for (size_t i = 0; i < doc.rows.size(); ++i) {
    if (again.rows[i].cells != doc.rows[i].cells) std::abort();
  }
  return 0;
}
