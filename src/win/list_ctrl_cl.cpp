#include "win/list_ctrl_cl.h"

#include <commctrl.h>

#include "text/wide_text.h"
#include "win/reflect.h"

namespace lumio::win {

namespace {

uint32_t RgbOf(COLORREF colour) {
  return Rgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
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
    : m_colours{0,
                0,
                0,
                0,
                RgbOf(GetSysColor(COLOR_HIGHLIGHT)),
                RgbOf(GetSysColor(COLOR_HIGHLIGHTTEXT))} {}

bool CListCtrlCl::Subclass(HWND listView) {
  if (!Attach(listView)) return false;
  const LONG_PTR style = GetWindowLongPtrW(listView, GWL_STYLE);
  SetWindowLongPtrW(listView, GWL_STYLE, style | LVS_OWNERDRAWFIXED);
  m_header.Subclass(reinterpret_cast<HWND>(SendMessageW(listView, LVM_GETHEADER, 0, 0)));
  m_colours.background = RgbOf(static_cast<COLORREF>(SendMessageW(listView, LVM_GETBKCOLOR, 0, 0)));

  const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
  InitCommonControlsEx(&classes);
  m_toolTip.Reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                  WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr));
  if (m_toolTip.get() != nullptr) {
    SendMessageW(m_toolTip.get(), TTM_ACTIVATE, TRUE, 0);
    // A tip breaks at its line feeds and wraps lines wider than this.
    SendMessageW(m_toolTip.get(), TTM_SETMAXTIPWIDTH, 0, kCellTipMaxWidth);
    SendMessageW(m_toolTip.get(), TTM_SETDELAYTIME, TTDT_AUTOMATIC, kCellTipDelayMs);
    TTTOOLINFOW tool = ToolFor(listView);
    tool.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(m_toolTip.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  return true;
}

int32_t CListCtrlCl::ClientWidth() const {
  RECT client{};
  if (hwnd() == nullptr || !GetClientRect(hwnd(), &client)) return 0;
  return client.right - client.left;
}

void CListCtrlCl::RefitColumns() {
  const int width = ClientWidth();
  for (int column = 0; column < m_columns.Count(); ++column) {
    const int shown = m_columns.Width(column, width);
    const int current =
        static_cast<int>(SendMessageW(hwnd(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
    if (current != shown) {
      SendMessageW(hwnd(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(shown, 0));
    }
  }
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

void CListCtrlCl::TrackCellTip(LPARAM point) {
  if (m_toolTip.get() == nullptr) return;
  LVHITTESTINFO hit{};
  hit.pt.x = static_cast<short>(static_cast<DWORD_PTR>(point) & 0xFFFF);
  hit.pt.y = static_cast<short>((static_cast<DWORD_PTR>(point) >> 16) & 0xFFFF);
  SendMessageW(hwnd(), LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  const std::optional<std::string> tip = m_tips.Hover(hit.iItem, hit.iSubItem);
  if (!tip) return;
  SetToolText(GbkToWide(*tip));
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
    case WM_MOUSEMOVE:
      // Tracked first, so that the move which changed the tip's text also shows it.
      TrackCellTip(lParam);
      RelayToToolTip(message, wParam, lParam);
      break;
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
      // A vertical scroll bar that comes with the rows takes its width from the client area.
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
