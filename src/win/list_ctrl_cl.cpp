#include "win/list_ctrl_cl.h"

#include <commctrl.h>

#include <algorithm>

#include "ports/control_ids.h"
#include "text/wide_text.h"
#include "win/reflect.h"

namespace lumio::win {

namespace {

constexpr int kTipMaxWidth = 100;
constexpr int kTipDelayMs = 100;

char CodeOfFormat(int format) {
  switch (format) {
    case ListControl::kLeft:
      return CHeaderCtrlCl::kAlignLeft;
    case ListControl::kRight:
      return CHeaderCtrlCl::kAlignRight;
    default:
      return CHeaderCtrlCl::kAlignCentre;
  }
}

TTTOOLINFOW ToolFor(HWND list) {
  // The size of the oldest tool record every comctl32 takes, manifest or not.
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_IDISHWND;
  tool.hwnd = GetParent(list);
  tool.uId = reinterpret_cast<UINT_PTR>(list);
  return tool;
}

}  // namespace

CListCtrlCl::CListCtrlCl()
    : m_selectionBkColor(GetSysColor(COLOR_HIGHLIGHT)),
      m_selectionTextColor(GetSysColor(COLOR_HIGHLIGHTTEXT)) {}

bool CListCtrlCl::Subclass(HWND listView) {
  if (!Attach(listView)) return false;
  const LONG_PTR style = GetWindowLongPtrW(listView, GWL_STYLE);
  SetWindowLongPtrW(listView, GWL_STYLE, style | LVS_OWNERDRAWFIXED);
  m_header.Subclass(reinterpret_cast<HWND>(SendMessageW(listView, LVM_GETHEADER, 0, 0)));

  const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
  InitCommonControlsEx(&classes);
  m_toolTip.Reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                  WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr));
  if (m_toolTip.get() != nullptr) {
    SendMessageW(m_toolTip.get(), TTM_ACTIVATE, TRUE, 0);
    // A tip breaks at its line feeds and wraps lines wider than this.
    SendMessageW(m_toolTip.get(), TTM_SETMAXTIPWIDTH, 0, kTipMaxWidth);
    SendMessageW(m_toolTip.get(), TTM_SETDELAYTIME, TTDT_AUTOMATIC, kTipDelayMs);
    TTTOOLINFOW tool = ToolFor(listView);
    tool.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(m_toolTip.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  return true;
}

int CListCtrlCl::InsertColumn(int column, const std::wstring& heading, int format, int width,
                              int subItem) {
  m_header.AddColumn(heading, CodeOfFormat(format));
  LVCOLUMNW info{};
  info.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
  info.fmt = format;
  info.cx = width;
  info.pszText = const_cast<wchar_t*>(heading.c_str());
  info.iSubItem = subItem;
  const int index = static_cast<int>(SendMessageW(
      hwnd(), LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&info)));
  if (index >= 0) {
    m_ownerWidths.insert(
        m_ownerWidths.begin() + std::min<size_t>(static_cast<size_t>(index), m_ownerWidths.size()),
        width);
    m_ownerClientWidth = ClientWidth();
  }
  return index;
}

void CListCtrlCl::InsertColumn(int32_t column, const std::string& heading, Format format,
                               int32_t width) {
  InsertColumn(column, GbkToWide(heading), format, width, column);
}

void CListCtrlCl::SetColumnWidth(int32_t column, int32_t width) {
  SendMessageW(hwnd(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(width, 0));
  if (column >= 0 && static_cast<size_t>(column) < m_ownerWidths.size()) {
    m_ownerWidths[static_cast<size_t>(column)] = width;
    m_ownerClientWidth = ClientWidth();
  }
}

int32_t CListCtrlCl::ClientWidth() const {
  RECT client{};
  if (hwnd() == nullptr || !GetClientRect(hwnd(), &client)) return 0;
  return client.right - client.left;
}

void CListCtrlCl::RefitColumns() {
  // A vertical scroll bar that comes with the rows takes its width from the client area; the
  // columns keep their shares of it instead of overflowing into a horizontal scroll bar.
  const int width = ClientWidth();
  if (m_ownerClientWidth <= 0 || width <= 0) return;
  for (size_t column = 0; column < m_ownerWidths.size(); ++column) {
    const long long scaled =
        static_cast<long long>(m_ownerWidths[column]) * width / m_ownerClientWidth;
    const int current =
        static_cast<int>(SendMessageW(hwnd(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
    if (current != scaled) {
      SendMessageW(hwnd(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column),
                   MAKELPARAM(static_cast<int>(scaled), 0));
    }
  }
}

void CListCtrlCl::SetColours(const Colours& colours) {
  SendMessageW(hwnd(), LVM_SETBKCOLOR, 0, static_cast<LPARAM>(ToColorRef(colours.background)));
  SetRowBkColors(ToColorRef(colours.evenRow), ToColorRef(colours.oddRow));
  SetNormalTextColor(ToColorRef(colours.text));
  SetSelectionBkColor(ToColorRef(colours.selectionBackground));
  SetSelectionTextColor(ToColorRef(colours.selectionText));
}

bool CListCtrlCl::SetNormalTextColor(COLORREF colour) {
  m_normalTextColor = colour;
  return true;
}

void CListCtrlCl::SetSelectionBkColor(COLORREF colour) {
  m_selectionBkColor = colour;
}

void CListCtrlCl::SetSelectionTextColor(COLORREF colour) {
  m_selectionTextColor = colour;
}

void CListCtrlCl::SetRowBkColors(COLORREF even, COLORREF odd) {
  m_evenRowBkColor = even;
  m_oddRowBkColor = odd;
}

void CListCtrlCl::SetRowHeight(int32_t height) {
  m_rowHeight = height;
  if (hwnd() == nullptr) return;
  // The list view measures its rows again when told its size changed; the reflected
  // WM_MEASUREITEM then answers with the stored height.
  RECT window{};
  GetWindowRect(hwnd(), &window);
  WINDOWPOS position{};
  position.hwnd = hwnd();
  position.cx = window.right - window.left;
  position.cy = window.bottom - window.top;
  position.flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
  SendMessageW(hwnd(), WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&position));
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void CListCtrlCl::SetFontSize(int32_t height, int32_t width) {
  m_fontHeight = height;
  m_fontWidth = width;
}

void CListCtrlCl::LoadLevelBitmaps() {
  for (int level = 0; level < kLevelCount; ++level) {
    m_levels[static_cast<size_t>(level)] = LoadSkinBitmap(kBmpLevel0 + level);
    m_levelSizes[static_cast<size_t>(level)] =
        BitmapSize(m_levels[static_cast<size_t>(level)].get());
  }
}

void CListCtrlCl::EnableCellTips(bool enable) {
  m_cellTipsEnabled = enable;
}

void CListCtrlCl::DeleteAllItems() {
  if (SendMessageW(hwnd(), LVM_DELETEALLITEMS, 0, 0) != 0) RemoveAllCellTips();
}

void CListCtrlCl::RemoveAllCellTips() {
  m_cellTips.clear();
}

void CListCtrlCl::SetCellTip(int32_t row, int32_t column, const std::string& text) {
  m_cellTips[{row, column}] = GbkToWide(text);
}

std::wstring CListCtrlCl::GetCellTip(int item, int subItem) const {
  const auto found = m_cellTips.find({item, subItem});
  return found == m_cellTips.end() ? std::wstring() : found->second;
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

void CListCtrlCl::TrackCellTip(LPARAM point) {
  if (!m_cellTipsEnabled || m_toolTip.get() == nullptr) return;
  LVHITTESTINFO hit{};
  hit.pt.x = static_cast<short>(static_cast<DWORD_PTR>(point) & 0xFFFF);
  hit.pt.y = static_cast<short>((static_cast<DWORD_PTR>(point) >> 16) & 0xFFFF);
  SendMessageW(hwnd(), LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  if (hit.iItem == m_lastItem && hit.iSubItem == m_lastSubItem) return;
  m_lastItem = hit.iItem;
  m_lastSubItem = hit.iSubItem;
  // A cell without a stored text gets an empty one, which shows no tip.
  SetToolText(hit.iItem == -1 || hit.iSubItem == -1 ? std::wstring()
                                                    : GetCellTip(hit.iItem, hit.iSubItem));
  SendMessageW(m_toolTip.get(), TTM_POP, 0, 0);
}

void CListCtrlCl::SetToolText(const std::wstring& text) {
  TTTOOLINFOW tool = ToolFor(hwnd());
  tool.lpszText = const_cast<wchar_t*>(text.c_str());
  // The one tool keeps its place; only its text changes.
  SendMessageW(m_toolTip.get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void CListCtrlCl::RelayToToolTip(UINT message, WPARAM wParam, LPARAM lParam) const {
  if (m_toolTip.get() == nullptr) return;
  MSG relayed{};
  relayed.hwnd = hwnd();
  relayed.message = message;
  relayed.wParam = wParam;
  relayed.lParam = lParam;
  relayed.time = static_cast<DWORD>(GetMessageTime());
  GetCursorPos(&relayed.pt);
  SendMessageW(m_toolTip.get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

LRESULT CListCtrlCl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == ReflectQueryMessage()) {
    return wParam == WM_DRAWITEM || wParam == WM_MEASUREITEM ? 1 : 0;
  }
  switch (message) {
    case kOcmBase + WM_DRAWITEM:
      DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case kOcmBase + WM_MEASUREITEM:
      if (m_rowHeight > 0) {
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = static_cast<UINT>(m_rowHeight);
      }
      return TRUE;
    case WM_MOUSEMOVE: {
      // Tracked first, so that the move which changed the tip's text also shows it.
      TrackCellTip(lParam);
      RelayToToolTip(message, wParam, lParam);
      break;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      RelayToToolTip(message, wParam, lParam);
      break;
    case WM_PAINT: {
      // Column 0 is filled from 2 px left of its label, which the list view does not always
      // count as the row's when it repaints one: a row that lost the selection would keep a
      // strip of the selection colour at the left edge.
      RECT update{};
      if (GetUpdateRect(hwnd(), &update, FALSE) && update.left > 0) {
        const RECT edge{0, update.top, update.left, update.bottom};
        InvalidateRect(hwnd(), &edge, FALSE);
      }
      break;
    }
    case WM_SIZE: {
      const LRESULT result = Default(message, wParam, lParam);
      RefitColumns();
      return result;
    }
    case WM_DESTROY: {
      const LRESULT result = Default(message, wParam, lParam);
      m_toolTip.Reset();
      return result;
    }
    default:
      break;
  }
  return Default(message, wParam, lParam);
}

}  // namespace lumio::win
