#include "win/skin_button.h"

#include "win/control_input.h"

namespace lumio::win {

namespace {

constexpr UINT_PTR kLeaveTimer = 1;

}  // namespace

bool SkinButton::Subclass(HWND staticControl) {
  if (!Attach(staticControl)) return false;
  // Without SS_NOTIFY a static lets the mouse through to its parent.
  const LONG_PTR style = GetWindowLongPtrW(staticControl, GWL_STYLE);
  if ((style & SS_NOTIFY) == 0) SetWindowLongPtrW(staticControl, GWL_STYLE, style | SS_NOTIFY);
  return true;
}

void SkinButton::SetSkinBitmap(int32_t bitmapId) {
  m_skin = LoadSkinBitmap(bitmapId);
  const SIZE size = BitmapSize(m_skin.get());
  m_model.SetBitmapSize(size.cx, size.cy);
}

void SkinButton::Paint() {
  const PaintDC paint(hwnd());
  RECT client{};
  GetClientRect(hwnd(), &client);
  const Rect source = m_model.Source(client.right, client.bottom);
  if (!m_skin || source.width() <= 0 || source.height() <= 0) return;
  const MemoryDC memory(paint.get());
  const SelectScope selected(memory.get(), m_skin.get());
  BitBlt(paint.get(), 0, 0, source.width(), source.height(), memory.get(), source.left, source.top,
         SRCCOPY);
}

void SkinButton::Notify(int32_t code) const {
  SendMessageW(GetParent(hwnd()), WM_COMMAND,
               MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(hwnd())), static_cast<WORD>(code)),
               reinterpret_cast<LPARAM>(hwnd()));
}

LRESULT SkinButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsRightClickMessage(message)) return 0;
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_MOUSEMOVE: {
      const ButtonModel::Move move = m_model.MouseMove();
      if (move.trackLeave) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd(), 0};
        if (!TrackMouseEvent(&track)) m_model.LeaveNotTracked();
      }
      if (move.repaint) InvalidateRect(hwnd(), nullptr, TRUE);
      SetCursor(HandCursor());
      break;
    }
    case WM_SETCURSOR:
      // The class cursor would flash the arrow before every move sets the hand again.
      if (LOWORD(lParam) == HTCLIENT) {
        SetCursor(HandCursor());
        return TRUE;
      }
      break;
    case WM_MOUSELEAVE:
      if (m_model.MouseLeave()) InvalidateRect(hwnd(), nullptr, TRUE);
      KillTimer(hwnd(), kLeaveTimer);
      return 1;
    case WM_TIMER:
      KillTimer(hwnd(), wParam);
      break;
    // The model names the notification; the static's own would be a second one.
    case WM_LBUTTONDOWN:
      Notify(m_model.Press());
      return 0;
    case WM_LBUTTONDBLCLK:
      Notify(m_model.DoubleClick());
      return 0;
    default:
      break;
  }
  return Default(message, wParam, lParam);
}

}  // namespace lumio::win
