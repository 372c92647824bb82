#pragma once
// A report-style list view of its own, for a window layer that has none (the Win32 list view
// does all this itself): rows of cell texts, the selection with Ctrl and right clicks, the
// notifications a click gives (NM_CLICK, NM_DBLCLK, NM_RCLICK with the row, -1 below the rows),
// the keys that move the selection, hit testing, the vertical scroll range, the column widths of
// ListColumns, and the cell tips under the pointer.
//
// Texts are bytes in the window layer's encoding; only their first byte is read (the level).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "controls/cell_tips.h"
#include "controls/list_columns.h"
#include "ports/geometry.h"

namespace lumio {

// The list view notification codes.
inline constexpr int32_t kNmClick = -2;
inline constexpr int32_t kNmDblClk = -3;
inline constexpr int32_t kNmRClick = -5;

struct ListNotification {
  int32_t code = 0;
  int32_t row = -1;
  friend bool operator==(const ListNotification&, const ListNotification&) = default;
};

enum class ListButton { kLeft, kRight };
enum class ListKey { kUp, kDown, kHome, kEnd, kPageUp, kPageDown };

class ListModel {
 public:
  // Columns, at the current client width (see ListColumns).
  int32_t InsertColumn(int32_t column, int32_t width);
  bool SetColumnWidth(int32_t column, int32_t width);
  // The width a column shows now.
  int32_t ColumnWidth(int32_t column) const;
  int32_t ColumnCount() const { return m_columns.Count(); }

  // Rows. InsertItem: at `row` (the end when past it); its index, or -1 for a negative row.
  int32_t InsertItem(int32_t row, std::string text);
  // False for a row that does not exist or a column past the columns.
  bool SetItemText(int32_t row, int32_t column, std::string text);
  // "" for a cell that does not exist.
  const std::string& ItemText(int32_t row, int32_t column) const;
  int32_t ItemCount() const { return static_cast<int32_t>(m_rows.size()); }
  // Every row and every cell tip goes; a refilled list starts at its top.
  void DeleteAllItems();
  // Sets one row's selected state, leaving the others alone.
  void SetItemSelected(int32_t row, bool selected);
  bool IsItemSelected(int32_t row) const;

  // Geometry. The list's inside size, the width of the vertical scroll bar it shows when the
  // rows do not fit, and the row height (0 or less: the font's, `fontRowHeight`).
  void Resize(int32_t width, int32_t height);
  void SetScrollBarWidth(int32_t width) { m_scrollBarWidth = width; }
  void SetRowHeight(int32_t height) { m_rowHeight = height; }
  void SetFontRowHeight(int32_t height) { m_fontRowHeight = height; }
  int32_t RowHeight() const;
  bool NeedsScrollBar() const;
  // The width the rows are drawn in: without the scroll bar when there is one.
  int32_t ClientWidth() const;
  int32_t ClientHeight() const { return m_height; }

  // Scrolling by whole rows: the first row shown, the last first row, rows in a page.
  int32_t TopIndex() const;
  int32_t MaxTopIndex() const;
  int32_t PageRows() const;
  void ScrollTo(int32_t top);
  // Scrolls until `row` is wholly shown.
  void EnsureVisible(int32_t row);

  // Hit testing, in the list's inside coordinates: the row (-1 below the rows), the column
  // (-1 right of the columns).
  int32_t RowAt(Point point) const;
  int32_t ColumnAt(Point point) const;
  // A cell's label: the column's extent across the row, column 0 from 2 pixels in; empty for a
  // cell that does not exist.
  Rect CellLabelRect(int32_t row, int32_t column) const;

  // Mouse and keys, with the notification to send. A double click's second press is its own
  // (NM_DBLCLK), not a click.
  std::optional<ListNotification> Press(ListButton button, Point point, bool ctrl);
  std::optional<ListNotification> Release(ListButton button);
  std::optional<ListNotification> DoubleClick(ListButton button, Point point, bool ctrl);
  // Moves the selection and the focus, scrolling to it, without a notification.
  void Key(ListKey key);

  CellTips& tips() { return m_tips; }
  const CellTips& tips() const { return m_tips; }
  // The pointer moved to `point`: the tip text from now on, if it changes (see CellTips).
  std::optional<std::string> Hover(Point point);

 private:
  struct Row {
    std::vector<std::string> cells;
    bool selected = false;
  };
  void SelectOnly(int32_t row);
  bool IsRow(int32_t row) const { return row >= 0 && row < ItemCount(); }

  ListColumns m_columns;
  std::vector<Row> m_rows;
  CellTips m_tips;
  int32_t m_width = 0;
  int32_t m_height = 0;
  int32_t m_scrollBarWidth = 0;
  int32_t m_rowHeight = 0;
  int32_t m_fontRowHeight = 1;
  int32_t m_top = 0;
  int32_t m_focusRow = -1;
  int32_t m_pressRow = -1;
  bool m_leftClickPending = false;
  bool m_rightClickPending = false;
};

}  // namespace lumio
