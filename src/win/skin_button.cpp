#include "win/skin_button.h"

#include <algorithm>

namespace lumio::win {

namespace {
constexpr int kFrameCount = 4;
constexpr int kNormalFrame = 0;
constexpr int kHoverFrame = 1;
constexpr UINT_PTR kLeaveTimer = 1;

HCURSOR HandCursor() {
  return LoadCursorW(nullptr, reinterpret_cast<const wchar_t*>(static_cast<ULONG_PTR>(32649)));
}
}  // namespace

bool SkinButton::Subclass(HWND staticControl) {
  if (!Attach(staticControl)) return false;
  // Without SS_NOTIFY a static lets the mouse through to its parent and reports no click.
  const LONG_PTR style = GetWindowLongPtrW(staticControl, GWL_STYLE);
  if ((style & SS_NOTIFY) == 0) SetWindowLongPtrW(staticControl, GWL_STYLE, style | SS_NOTIFY);
  return true;
}

void SkinButton::SetSkinBitmap(int32_t bitmapId) {
  m_skin = LoadSkinBitmap(bitmapId);
  const SIZE size = BitmapSize(m_skin.get());
  m_frameWidth = size.cx / kFrameCount;
  m_frameHeight = size.cy;
}

void SkinButton::Paint() {
  const PaintDC paint(hwnd());
  if (!m_skin || m_frameWidth <= 0) return;
  RECT client{};
  GetClientRect(hwnd(), &client);
  // A control larger than a frame shows what was there beyond it; the frame never spills over.
  const int width = std::min<int>(m_frameWidth, client.right);
  const int height = std::min<int>(m_frameHeight, client.bottom);
  const MemoryDC memory(paint.get());
  const SelectScope selected(memory.get(), m_skin.get());
  BitBlt(paint.get(), 0, 0, width, height, memory.get(), m_frame * m_frameWidth, 0, SRCCOPY);
}

void SkinButton::ShowFrame(int frame) {
  if (m_frame == frame) return;
  m_frame = frame;
  InvalidateRect(hwnd(), nullptr, TRUE);
}

LRESULT SkinButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_MOUSEMOVE: {
      if (!m_tracking) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd(), 0};
        m_tracking = TrackMouseEvent(&track) != FALSE;
      }
      ShowFrame(kHoverFrame);
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
      ShowFrame(kNormalFrame);
      m_tracking = false;
      KillTimer(hwnd(), kLeaveTimer);
      return 1;
    case WM_TIMER:
      KillTimer(hwnd(), wParam);
      break;
    default:
      break;
  }
  return Default(message, wParam, lParam);
}

}  // namespace lumio::win
