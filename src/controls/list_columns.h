#pragma once
// The one rule for the widths of a list's columns: a column keeps the share of the client width
// it was given. The owner sets each width for the client width of the moment; when a vertical
// scroll bar comes with the rows (or goes), or the list is resized, every column shows at its
// width times the new client width over that one, rounded down, so the columns together never
// overflow into a horizontal scroll bar and a narrow last column stays whole.

#include <cstdint>
#include <vector>

namespace lumio {

class ListColumns {
 public:
  // Inserts a column `width` wide for a client `clientWidth` wide at `column` (at the end when
  // past it); its index, or -1 for a negative column.
  int32_t Insert(int32_t column, int32_t width, int32_t clientWidth);
  // False for a column that does not exist.
  bool SetWidth(int32_t column, int32_t width, int32_t clientWidth);
  // The width column `column` shows at client width `clientWidth` (0 when there is none). A width
  // given while the list had no width at all is kept as it is.
  int32_t Width(int32_t column, int32_t clientWidth) const;
  // The x where column `column` starts.
  int32_t Left(int32_t column, int32_t clientWidth) const;
  // The column at x, -1 left of the first or right of the last.
  int32_t At(int32_t x, int32_t clientWidth) const;
  int32_t Count() const { return static_cast<int32_t>(m_columns.size()); }

 private:
  struct Column {
    int32_t width = 0;
    int32_t clientWidth = 0;
  };
  std::vector<Column> m_columns;
};

}  // namespace lumio
