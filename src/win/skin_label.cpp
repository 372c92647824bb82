#include "win/skin_label.h"

#include "text/wide_text.h"
#include "win/reflect.h"

namespace lumio::win {

namespace {

constexpr UINT_PTR kScrollTimer = 1;
constexpr LONG kLinkFontHeight = 14;
constexpr COLORREF kLinkColour = ColorRef(255, 0, 0);
constexpr COLORREF kBannerColour = ColorRef(172, 255, 255);
enum Direction : int32_t { kLeft = 0, kRight = 1, kUp = 2, kDown = 3 };

// The banner is one line: line breaks show as spaces.
std::wstring OneLine(std::wstring text) {
  for (wchar_t& c : text) {
    if (c == L'\r' || c == L'\n') c = L' ';
  }
  return text;
}

HCURSOR HandCursor() {
  return LoadCursorW(nullptr, reinterpret_cast<const wchar_t*>(static_cast<ULONG_PTR>(32649)));
}

}  // namespace

SkinLabel::SkinLabel() : m_textColor(GetSysColor(COLOR_WINDOWTEXT)) {}

bool SkinLabel::Subclass(HWND staticControl) {
  if (!Attach(staticControl)) return false;
  const int length = GetWindowTextLengthW(staticControl);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(staticControl, text.data(), length + 1)));
  std::string gbk;
  if (WideToGbk(text, gbk)) m_text = gbk;
  return true;
}

void SkinLabel::SetText(const std::string& text) {
  // Nothing shown yet: even the stored text is news.
  if (text == m_text && !m_displayed.empty()) return;
  m_text = text;
  // With nothing moving there is no wrap-around to wait for.
  if (m_displayed.empty() || !m_scrolling) Display(m_text);
}

void SkinLabel::SetTextColor(uint32_t rgb) {
  ApplyTextColor(ToColorRef(rgb));
}

void SkinLabel::ApplyTextColor(COLORREF colour) {
  m_textColor = colour;
  Invalidate();
}

void SkinLabel::SetFontHeight(int32_t height) {
  SwitchFont(height, false, false);
  Invalidate();
}

void SkinLabel::StartScrolling(int32_t stepPixels, int32_t periodMs) {
  m_scrollStep = stepPixels;
  m_scrollPeriod = periodMs;
  m_scrolling = true;
  m_positionSet = true;
  StartTimer();
}

void SkinLabel::SetScrollDirection(int32_t direction) {
  m_scrollDirection = direction;
}

void SkinLabel::SetTop(int32_t y) {
  m_restY = y;
  m_currentY = y;
}

void SkinLabel::SetBackgroundCaptured(bool captured) {
  m_backgroundCaptured = captured;
}

POINT SkinLabel::drawingPoint() const {
  return m_scrolling ? POINT{m_currentX, m_currentY} : POINT{m_restX, m_restY};
}

HFONT SkinLabel::DrawingFont() const {
  if (!m_useWindowFont) return m_labelFont.get();
  auto font = reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0));
  return font != nullptr ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void SkinLabel::SwitchFont(LONG height, bool keepWidth, bool underline) {
  auto base = reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0));
  if (base == nullptr) base = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  LOGFONTW font{};
  GetObjectW(base, sizeof(font), &font);
  font.lfHeight = height;
  if (!keepWidth) font.lfWidth = 0;
  font.lfUnderline = underline ? TRUE : FALSE;
  m_labelFont.Reset(CreateFontIndirectW(&font));
  m_useWindowFont = false;
  m_measured = false;
}

void SkinLabel::Display(const std::string& text) {
  if (text == m_displayed) return;
  m_displayed = text;
  m_displayedWide = OneLine(GbkToWide(text));
  // The new text has its own width: the next wrap-around must wait for all of it.
  m_measured = false;
  Invalidate();
}

void SkinLabel::Measure(HDC dc) {
  const SelectScope font(dc, DrawingFont());
  SIZE extent{};
  GetTextExtentPoint32W(dc, m_displayedWide.c_str(), static_cast<int>(m_displayedWide.size()),
                        &extent);
  m_textWidth = extent.cx;
  m_textHeight = extent.cy;
  m_measured = true;
}

void SkinLabel::Draw(HDC dc) {
  RECT client{};
  GetClientRect(hwnd(), &client);
  if (!m_backgroundCaptured) {
    // What the parent painted behind the label is the banner's background from now on.
    m_background.Reset(CreateCompatibleBitmap(dc, client.right, client.bottom));
    const MemoryDC copy(dc);
    const SelectScope selected(copy.get(), m_background.get());
    BitBlt(copy.get(), 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    m_backgroundCaptured = true;
  }
  {
    const MemoryDC copy(dc);
    const SelectScope selected(copy.get(), m_background.get());
    BitBlt(dc, 0, 0, client.right, client.bottom, copy.get(), 0, 0, SRCCOPY);
  }
  const int saved = SaveDC(dc);
  SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, m_textColor);
  IntersectClipRect(dc, client.left, client.top, client.right, client.bottom);
  if (!m_measured) Measure(dc);
  if (!m_positionSet) {
    m_currentX = m_restX;
    m_currentY = m_restY;
    m_positionSet = true;
  }
  const POINT at = drawingPoint();
  SelectObject(dc, DrawingFont());
  TextOutW(dc, at.x, at.y, m_displayedWide.c_str(), static_cast<int>(m_displayedWide.size()));
  RestoreDC(dc, saved);
}

void SkinLabel::Tick() {
  if (!m_measured) return;
  RECT client{};
  GetClientRect(hwnd(), &client);
  // The text that waited for the wrap-around takes over as the old one leaves; it is measured
  // at once, as moving right or down places it by its own size.
  const auto wrap = [this] {
    Display(m_text);
    if (!m_measured) {
      const ClientDC dc(hwnd());
      Measure(dc.get());
    }
  };
  switch (m_scrollDirection) {
    case kLeft:
      if (m_currentX > client.left - m_textWidth) {
        m_currentX -= m_scrollStep;
      } else {
        wrap();
        m_currentX = client.right;
      }
      break;
    case kRight:
      if (m_currentX < client.right) {
        m_currentX += m_scrollStep;
      } else {
        wrap();
        m_currentX = client.left - m_textWidth;
      }
      break;
    case kUp:
      if (m_currentY > client.top - m_textHeight) {
        m_currentY -= m_scrollStep;
      } else {
        wrap();
        m_currentY = client.bottom;
      }
      break;
    case kDown:
      if (m_currentY < client.bottom) {
        m_currentY += m_scrollStep;
      } else {
        wrap();
        m_currentY = client.top - m_textHeight;
      }
      break;
    default:
      break;
  }
  Invalidate();
}

void SkinLabel::Hover() {
  if (m_hovering) return;
  m_hovering = true;
  ApplyTextColor(kLinkColour);
  SwitchFont(kLinkFontHeight, true, true);
  // The link stands still under the pointer.
  StopTimer();
}

void SkinLabel::Leave() {
  m_hovering = false;
  ApplyTextColor(kBannerColour);
  SwitchFont(kLinkFontHeight, false, false);
  if (m_scrolling) StartTimer();
}

void SkinLabel::StartTimer() {
  // A period of 0 would tick without pause and starve the user interface.
  if (hwnd() == nullptr || m_scrollPeriod <= 0) return;
  m_timerRunning = SetTimer(hwnd(), kScrollTimer, static_cast<UINT>(m_scrollPeriod), nullptr) != 0;
}

void SkinLabel::StopTimer() {
  if (hwnd() != nullptr) KillTimer(hwnd(), kScrollTimer);
  m_timerRunning = false;
}

void SkinLabel::Invalidate() const {
  if (hwnd() != nullptr) InvalidateRect(hwnd(), nullptr, TRUE);
}

LRESULT SkinLabel::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == ReflectQueryMessage()) return wParam == WM_CTLCOLORSTATIC ? 1 : 0;
  switch (message) {
    case WM_ERASEBKGND:
      Draw(reinterpret_cast<HDC>(wParam));
      return TRUE;
    case WM_PAINT: {
      // Everything is drawn by the erase that BeginPaint asks for.
      const PaintDC paint(hwnd());
      return 0;
    }
    case WM_TIMER:
      if (wParam != kScrollTimer) break;
      Tick();
      return 0;
    case WM_NCHITTEST:
      // A static without SS_NOTIFY would let the mouse through to the dialog.
      return HTCLIENT;
    case WM_MOUSEMOVE: {
      TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd(), 0};
      TrackMouseEvent(&track);
      Hover();
      SetCursor(HandCursor());
      return 0;
    }
    case WM_SETCURSOR:
      if (LOWORD(lParam) != HTCLIENT) break;
      SetCursor(HandCursor());
      return TRUE;
    case WM_MOUSELEAVE:
      Leave();
      return 0;
    case WM_LBUTTONDOWN:
      if (m_onClick) m_onClick();
      return 0;
    case WM_LBUTTONDBLCLK:
      // The first press of the double click opened the page; the second must not again.
      return 0;
    case kOcmBase + WM_CTLCOLORSTATIC:
      SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    case WM_DESTROY: {
      const LRESULT result = Default(message, wParam, lParam);
      StopTimer();
      return result;
    }
    default:
      break;
  }
  return Default(message, wParam, lParam);
}

}  // namespace lumio::win
