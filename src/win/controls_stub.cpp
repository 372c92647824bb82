#include "win/controls_stub.h"

#include <commctrl.h>

#include <algorithm>

#include "text/wide_text.h"

namespace lumio::win {
namespace {

COLORREF ToColorRef(uint32_t rgb) {
  return static_cast<COLORREF>(((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16));
}

}  // namespace

bool SkinButton::Subclass(HWND window) {
  m_hwnd = window;
  return window != nullptr;
}
void SkinButton::SetSkinBitmap(int32_t) {}

bool SkinSlider::Subclass(HWND window) {
  m_hwnd = window;
  return window != nullptr;
}
void SkinSlider::SetRange(int32_t min, int32_t max) {
  m_min = min;
  m_max = max;
}
void SkinSlider::SetPos(int32_t pos) {
  m_pos = std::clamp(pos, m_min, std::max(m_min, m_max));
}

bool SkinLabel::Subclass(HWND window) {
  m_hwnd = window;
  return window != nullptr;
}
void SkinLabel::SetText(const std::string& text) {
  if (m_hwnd) SetWindowTextW(m_hwnd, GbkToWide(text).c_str());
}

bool CListCtrlCl::Subclass(HWND listView) {
  m_hwnd = listView;
  return listView != nullptr;
}

LRESULT CListCtrlCl::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
  return m_hwnd ? SendMessageW(m_hwnd, message, wParam, lParam) : 0;
}

void CListCtrlCl::InsertColumn(int32_t column, const std::string& heading, Format format,
                               int32_t width) {
  std::wstring text = GbkToWide(heading);
  LVCOLUMNW c{};
  c.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
  c.fmt = format == kRight ? LVCFMT_RIGHT : format == kCentre ? LVCFMT_CENTER : LVCFMT_LEFT;
  c.cx = width;
  c.pszText = text.data();
  Send(LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&c));
}

void CListCtrlCl::SetColumnWidth(int32_t column, int32_t width) {
  Send(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), width);
}

int32_t CListCtrlCl::ClientWidth() const {
  RECT r{};
  if (m_hwnd) GetClientRect(m_hwnd, &r);
  return r.right - r.left;
}

void CListCtrlCl::SetColours(const Colours& colours) {
  Send(LVM_SETBKCOLOR, 0, static_cast<LPARAM>(ToColorRef(colours.background)));
  Send(LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(ToColorRef(colours.evenRow)));
  Send(LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ToColorRef(colours.text)));
}

void CListCtrlCl::DeleteAllItems() {
  Send(LVM_DELETEALLITEMS, 0, 0);
}

void CListCtrlCl::InsertItem(int32_t row, const std::string& text) {
  std::wstring wide = GbkToWide(text);
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.pszText = wide.data();
  Send(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void CListCtrlCl::SetItemText(int32_t row, int32_t column, const std::string& text) {
  std::wstring wide = GbkToWide(text);
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = wide.data();
  Send(LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

std::string CListCtrlCl::GetItemText(int32_t row, int32_t column) const {
  if (row < 0 || row >= GetItemCount()) return {};
  wchar_t buffer[512] = {};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = buffer;
  item.cchTextMax = 512;
  Send(LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  std::string gbk;
  return WideToGbk(buffer, gbk) ? gbk : std::string();
}

int32_t CListCtrlCl::GetItemCount() const {
  return static_cast<int32_t>(Send(LVM_GETITEMCOUNT, 0, 0));
}

void CListCtrlCl::SetRedraw(bool redraw) {
  Send(WM_SETREDRAW, redraw ? TRUE : FALSE, 0);
  if (redraw && m_hwnd) InvalidateRect(m_hwnd, nullptr, TRUE);
}

void CListCtrlCl::SelectItem(int32_t row) {
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED;
  item.state = LVIS_SELECTED;
  Send(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void CListCtrlCl::EnsureVisible(int32_t row) {
  Send(LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

bool ReflectToControl(HWND, UINT, WPARAM, LPARAM, LRESULT*) {
  return false;
}

}  // namespace lumio::win
