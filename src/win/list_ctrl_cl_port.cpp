// CListCtrlCl as the core sees it: the ListControl port over the list view's messages, with the
// texts turned from GBK to UTF-16 and back at the edge.

#include "win/list_ctrl_cl.h"

#include <commctrl.h>

#include "ports/control_ids.h"
#include "text/wide_text.h"

namespace lumio::win {

void CListCtrlCl::InsertColumn(int32_t column, const std::string& heading, Format format,
                               int32_t width) {
  m_header.AddColumn(heading, format);
  std::wstring wide = GbkToWide(heading);
  LVCOLUMNW info{};
  info.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
  info.fmt = format;
  info.cx = width;
  info.pszText = wide.data();
  info.iSubItem = column;
  const int index = static_cast<int>(SendMessageW(
      hwnd(), LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&info)));
  if (index >= 0) m_columns.Insert(index, width, ClientWidth());
}

void CListCtrlCl::SetColumnWidth(int32_t column, int32_t width) {
  m_columns.SetWidth(column, width, ClientWidth());
  SendMessageW(hwnd(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(width, 0));
}

void CListCtrlCl::SetColours(const Colours& colours) {
  m_colours = colours;
  SendMessageW(hwnd(), LVM_SETBKCOLOR, 0, static_cast<LPARAM>(ToColorRef(colours.background)));
}

void CListCtrlCl::SetFontSize(int32_t height, int32_t width) {
  m_fontHeight = height;
  m_fontWidth = width;
}

void CListCtrlCl::LoadLevelBitmaps() {
  for (size_t level = 0; level < m_levels.size(); ++level) {
    m_levels[level] = LoadSkinBitmap(kBmpLevel0 + static_cast<int32_t>(level));
    m_levelSizes[level] = BitmapSize(m_levels[level].get());
  }
}

void CListCtrlCl::EnableCellTips(bool enable) {
  m_tips.Enable(enable);
}

void CListCtrlCl::DeleteAllItems() {
  if (SendMessageW(hwnd(), LVM_DELETEALLITEMS, 0, 0) != 0) RemoveAllCellTips();
}

void CListCtrlCl::RemoveAllCellTips() {
  m_tips.Clear();
}

void CListCtrlCl::SetCellTip(int32_t row, int32_t column, const std::string& text) {
  m_tips.Set(row, column, text);
}

void CListCtrlCl::InsertItem(int32_t row, const std::string& text) {
  std::wstring wide = GbkToWide(text);
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.pszText = wide.data();
  SendMessageW(hwnd(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void CListCtrlCl::SetItemText(int32_t row, int32_t column, const std::string& text) {
  std::wstring wide = GbkToWide(text);
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = wide.data();
  SendMessageW(hwnd(), LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

std::wstring CListCtrlCl::CellText(int item, int subItem) const {
  if (item < 0 || subItem < 0) return {};
  // A text that fills the buffer may have been cut: ask again with more room.
  for (size_t size = 256; size <= 65536; size *= 4) {
    std::wstring buffer(size, L'\0');
    LVITEMW cell{};
    cell.iSubItem = subItem;
    cell.pszText = buffer.data();
    cell.cchTextMax = static_cast<int>(size);
    const auto length = static_cast<size_t>(SendMessageW(
        hwnd(), LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&cell)));
    if (length + 1 < size) {
      buffer.resize(length);
      return buffer;
    }
  }
  return {};
}

std::string CListCtrlCl::GetItemText(int32_t row, int32_t column) const {
  if (row < 0 || row >= GetItemCount()) return {};
  std::string gbk;
  return WideToGbk(CellText(row, column), gbk) ? gbk : std::string();
}

int32_t CListCtrlCl::GetItemCount() const {
  return static_cast<int32_t>(SendMessageW(hwnd(), LVM_GETITEMCOUNT, 0, 0));
}

void CListCtrlCl::SetRedraw(bool redraw) {
  SendMessageW(hwnd(), WM_SETREDRAW, redraw ? TRUE : FALSE, 0);
  if (redraw) InvalidateRect(hwnd(), nullptr, TRUE);
}

void CListCtrlCl::SelectItem(int32_t row) {
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED;
  state.state = LVIS_SELECTED;
  SendMessageW(hwnd(), LVM_SETITEMSTATE, static_cast<WPARAM>(row),
               reinterpret_cast<LPARAM>(&state));
}

void CListCtrlCl::EnsureVisible(int32_t row) {
  SendMessageW(hwnd(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

}  // namespace lumio::win
