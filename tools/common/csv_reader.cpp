#include "tools/common/csv_reader.h"

namespace lumio::tools {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Walks the text once; each call of ReadRow consumes one row and its line end.
class CsvScanner {
 public:
  explicit CsvScanner(std::string_view bytes) : bytes_(bytes) {
    if (bytes_.starts_with(kUtf8Bom)) pos_ = kUtf8Bom.size();
  }

  bool AtEnd() const { return pos_ >= bytes_.size(); }

  // Consumes an empty line; false when the next line holds something.
  bool SkipEmptyLine() {
    if (Peek('\n')) {
      ++pos_;
    } else if (Peek('\r') && Peek('\n', 1)) {
      pos_ += 2;
    } else {
      return false;
    }
    ++line_;
    return true;
  }

  bool ReadRow(CsvRow& row, std::optional<CsvError>& error) {
    row.line = line_;
    row.cells.clear();
    for (;;) {
      std::string cell;
      const bool read = Peek('"') ? ReadQuoted(cell, error) : ReadUnquoted(cell, error);
      if (!read) return false;
      row.cells.push_back(std::move(cell));
      if (AtEnd()) return true;
      const char c = bytes_[pos_];
      if (c == ',') {
        ++pos_;
        continue;
      }
      if (c == '\n' || (c == '\r' && Peek('\n', 1))) {
        pos_ += c == '\n' ? 1 : 2;
        ++line_;
        return true;
      }
      // Only a lone CR can stop a cell here: the cell readers stop at nothing else.
      error = CsvError{line_, "carriage return without a line feed outside quotes"};
      return false;
    }
  }

 private:
  bool Peek(char c, size_t ahead = 0) const {
    return pos_ + ahead < bytes_.size() && bytes_[pos_ + ahead] == c;
  }

  bool ReadUnquoted(std::string& cell, std::optional<CsvError>& error) {
    const size_t start = pos_;
    while (pos_ < bytes_.size()) {
      const char c = bytes_[pos_];
      if (c == ',' || c == '\n' || c == '\r') break;
      if (c == '"') {
        error = CsvError{line_, "a quote inside a cell that does not start with a quote"};
        return false;
      }
      ++pos_;
    }
    cell.assign(bytes_.substr(start, pos_ - start));
    return true;
  }

  bool ReadQuoted(std::string& cell, std::optional<CsvError>& error) {
    const size_t openedOn = line_;
    ++pos_;  // the opening quote
    for (;;) {
      if (AtEnd()) {
        error = CsvError{openedOn, "a quoted cell is never closed"};
        return false;
      }
      const char c = bytes_[pos_];
      if (c == '"') {
        if (Peek('"', 1)) {
          cell.push_back('"');
          pos_ += 2;
          continue;
        }
        ++pos_;
        break;
      }
      if (c == '\n') ++line_;
      cell.push_back(c);
      ++pos_;
    }
    if (AtEnd() || Peek(',') || Peek('\n') || Peek('\r')) return true;
    error = CsvError{line_, "text after the closing quote of a cell"};
    return false;
  }

  std::string_view bytes_;
  size_t pos_ = 0;
  size_t line_ = 1;
};

}  // namespace

CsvDocument ParseCsv(std::string_view bytes) {
  CsvDocument doc;
  CsvScanner scanner(bytes);
  while (!scanner.AtEnd()) {
    if (scanner.SkipEmptyLine()) continue;
    CsvRow row;
    if (!scanner.ReadRow(row, doc.error)) break;
    doc.rows.push_back(std::move(row));
  }
  return doc;
}

}  // namespace lumio::tools
