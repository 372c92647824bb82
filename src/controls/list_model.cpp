#include "controls/list_model.h"

#include <algorithm>
#include <utility>

namespace lumio {

int32_t ListModel::InsertColumn(int32_t column, int32_t width) {
  return m_columns.Insert(column, width, ClientWidth());
}

bool ListModel::SetColumnWidth(int32_t column, int32_t width) {
  return m_columns.SetWidth(column, width, ClientWidth());
}

int32_t ListModel::ColumnWidth(int32_t column) const {
  return m_columns.Width(column, ClientWidth());
}

int32_t ListModel::InsertItem(int32_t row, std::string text) {
  if (row < 0) return -1;
  row = std::min(row, ItemCount());
  Row added;
  added.cells.reserve(static_cast<size_t>(std::max(ColumnCount(), 1)));
  added.cells.push_back(std::move(text));
  m_rows.insert(m_rows.begin() + row, std::move(added));
  if (m_focusRow >= row) ++m_focusRow;
  return row;
}

bool ListModel::SetItemText(int32_t row, int32_t column, std::string text) {
  if (!IsRow(row) || column < 0 || column >= std::max(ColumnCount(), 1)) return false;
  std::vector<std::string>& cells = m_rows[static_cast<size_t>(row)].cells;
  if (static_cast<size_t>(column) >= cells.size()) cells.resize(static_cast<size_t>(column) + 1);
  cells[static_cast<size_t>(column)] = std::move(text);
  return true;
}

const std::string& ListModel::ItemText(int32_t row, int32_t column) const {
  static const std::string kNone;
  if (!IsRow(row) || column < 0) return kNone;
  const std::vector<std::string>& cells = m_rows[static_cast<size_t>(row)].cells;
  return static_cast<size_t>(column) < cells.size() ? cells[static_cast<size_t>(column)] : kNone;
}

void ListModel::DeleteAllItems() {
  m_rows.clear();
  m_tips.Clear();
  m_tips.ForgetHovered();
  m_top = 0;
  m_focusRow = -1;
  m_pressRow = -1;
}

void ListModel::SetItemSelected(int32_t row, bool selected) {
  if (IsRow(row)) m_rows[static_cast<size_t>(row)].selected = selected;
}

bool ListModel::IsItemSelected(int32_t row) const {
  return IsRow(row) && m_rows[static_cast<size_t>(row)].selected;
}

void ListModel::Resize(int32_t width, int32_t height) {
  m_width = std::max(width, 0);
  m_height = std::max(height, 0);
}

int32_t ListModel::RowHeight() const {
  return std::max(m_rowHeight > 0 ? m_rowHeight : m_fontRowHeight, 1);
}

bool ListModel::NeedsScrollBar() const {
  return static_cast<int64_t>(ItemCount()) * RowHeight() > m_height;
}

int32_t ListModel::ClientWidth() const {
  return std::max(m_width - (NeedsScrollBar() ? m_scrollBarWidth : 0), 0);
}

int32_t ListModel::PageRows() const {
  return std::max(m_height / RowHeight(), 1);
}

int32_t ListModel::MaxTopIndex() const {
  return std::max(ItemCount() - m_height / RowHeight(), 0);
}

int32_t ListModel::TopIndex() const {
  return std::clamp(m_top, 0, MaxTopIndex());
}

void ListModel::ScrollTo(int32_t top) {
  const int32_t before = TopIndex();
  m_top = std::clamp(top, 0, MaxTopIndex());
  // The cells moved under a still pointer: it is over another cell now.
  if (m_top != before) m_tips.ForgetHovered();
}

void ListModel::EnsureVisible(int32_t row) {
  if (!IsRow(row)) return;
  const int32_t top = TopIndex();
  if (row < top) {
    ScrollTo(row);
  } else if (row >= top + PageRows()) {
    ScrollTo(row - PageRows() + 1);
  }
}

int32_t ListModel::RowAt(Point point) const {
  if (point.y < 0) return -1;
  const int64_t row = static_cast<int64_t>(TopIndex()) + point.y / RowHeight();
  return row < ItemCount() ? static_cast<int32_t>(row) : -1;
}

int32_t ListModel::ColumnAt(Point point) const {
  return m_columns.At(point.x, ClientWidth());
}

Rect ListModel::CellLabelRect(int32_t row, int32_t column) const {
  if (!IsRow(row) || column < 0 || column >= ColumnCount()) return {};
  const int32_t height = RowHeight();
  const int32_t client = ClientWidth();
  const int32_t left = m_columns.Left(column, client);
  Rect label =
      Rect::FromSize(left, (row - TopIndex()) * height, m_columns.Width(column, client), height);
  if (column == 0) label.left = std::min(label.left + 2, label.right);
  return label;
}

std::optional<ListNotification> ListModel::Press(ListButton button, Point point, bool ctrl) {
  const int32_t row = RowAt(point);
  if (button == ListButton::kLeft) {
    if (ctrl) {
      if (row >= 0) SetItemSelected(row, !IsItemSelected(row));
    } else {
      // Below the rows this clears the selection.
      SelectOnly(row);
    }
    m_leftClickPending = true;
  } else {
    // A right click keeps a selection it lands in, and otherwise selects the row under it.
    if (row >= 0 && !IsItemSelected(row)) SelectOnly(row);
    m_rightClickPending = true;
  }
  if (row >= 0) m_focusRow = row;
  m_pressRow = row;
  return std::nullopt;
}

std::optional<ListNotification> ListModel::Release(ListButton button) {
  bool& pending = button == ListButton::kLeft ? m_leftClickPending : m_rightClickPending;
  if (!pending) return std::nullopt;
  pending = false;
  return ListNotification{button == ListButton::kLeft ? kNmClick : kNmRClick, m_pressRow};
}

std::optional<ListNotification> ListModel::DoubleClick(ListButton button, Point point, bool ctrl) {
  if (button != ListButton::kLeft) return Press(button, point, ctrl);
  const int32_t row = RowAt(point);
  SelectOnly(row);
  if (row >= 0) m_focusRow = row;
  // The second press of a double click is not a click of its own.
  m_leftClickPending = false;
  return ListNotification{kNmDblClk, row};
}

void ListModel::Key(ListKey key) {
  const int32_t page = PageRows();
  int32_t row = m_focusRow;
  switch (key) {
    case ListKey::kUp:
      row = row < 0 ? 0 : row - 1;
      break;
    case ListKey::kDown:
      row = row < 0 ? 0 : row + 1;
      break;
    case ListKey::kHome:
      row = 0;
      break;
    case ListKey::kEnd:
      row = ItemCount() - 1;
      break;
    case ListKey::kPageUp:
      row = row < 0 ? 0 : row - page;
      break;
    case ListKey::kPageDown:
      row = row < 0 ? 0 : row + page;
      break;
  }
  if (ItemCount() == 0) return;
  row = std::clamp(row, 0, ItemCount() - 1);
  SelectOnly(row);
  m_focusRow = row;
  EnsureVisible(row);
}

std::optional<std::string> ListModel::Hover(Point point) {
  const int32_t item = RowAt(point);
  return m_tips.Hover(item, item < 0 ? -1 : ColumnAt(point));
}

void ListModel::SelectOnly(int32_t row) {
  for (Row& each : m_rows)
    each.selected = false;
  SetItemSelected(row, true);
}

}  // namespace lumio
