#pragma once
// Reading CSV text (RFC 4180): cells separated by ",", rows ended by CR LF or LF, a cell in
// double quotes may hold commas, line ends and doubled quotes. A pure function of the bytes.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumio::tools {

struct CsvRow {
  size_t line = 0;  // 1-based line of the file on which the row starts
  std::vector<std::string> cells;
};

struct CsvError {
  size_t line = 0;  // 1-based line of the file where the fault was found
  std::string message;
};

struct CsvDocument {
  std::vector<CsvRow> rows;       // every row read before any error
  std::optional<CsvError> error;  // set when the text is not valid CSV
};

// The rows of `bytes`. A leading UTF-8 byte order mark is skipped, a missing final line end is
// accepted, and lines with nothing on them are not rows (a row of one empty cell is written
// as ""). Bytes are not checked for any encoding. Errors: a quote inside an unquoted cell,
// text after a closing quote, a quoted cell that never closes, a CR not followed by LF
// outside quotes.
CsvDocument ParseCsv(std::string_view bytes);

}  // namespace lumio::tools
