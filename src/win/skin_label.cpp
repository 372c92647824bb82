#include "win/skin_label.h"

#include "text/wide_text.h"
#include "win/control_input.h"
#include "win/reflect.h"

namespace lumio::win {

namespace {

constexpr UINT_PTR kScrollTimer = 1;

// The banner is one line: line breaks show as spaces.
std::wstring OneLine(const std::string& gbk) {
  std::wstring text = GbkToWide(gbk);
  for (wchar_t& c : text) {
    if (c == L'\r' || c == L'\n') c = L' ';
  }
  return text;
}

HFONT WindowFont(HWND window) {
  auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
  return font != nullptr ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

}  // namespace

SkinLabel::SkinLabel() {
  // GDI's 0x00BBGGRR the other way round: the model's colours are 0xRRGGBB.
  const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
  m_model.SetTextColour(Rgb(text & 0xFF, (text >> 8) & 0xFF, (text >> 16) & 0xFF));
}

bool SkinLabel::Subclass(HWND staticControl) {
  if (!Attach(staticControl)) return false;
  const int length = GetWindowTextLengthW(staticControl);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(staticControl, text.data(), length + 1)));
  std::string gbk;
  if (WideToGbk(text, gbk)) m_model.SetInitialText(gbk);
  RECT client{};
  GetClientRect(staticControl, &client);
  m_model.Resize(client.right, client.bottom);
  return true;
}

void SkinLabel::SetText(const std::string& text) {
  m_model.SetText(text);
  Changed();
}

void SkinLabel::SetTextColor(uint32_t rgb) {
  m_model.SetTextColour(rgb);
  Changed();
}

void SkinLabel::SetFontHeight(int32_t height) {
  m_model.SetFontHeight(height);
  Changed();
}

void SkinLabel::StartScrolling(int32_t stepPixels, int32_t periodMs) {
  m_model.StartScrolling(stepPixels, periodMs);
  Changed();
}

void SkinLabel::SetScrollDirection(int32_t direction) {
  m_model.SetScrollDirection(direction);
}

void SkinLabel::SetTop(int32_t y) {
  m_model.SetTop(y);
  Changed();
}

void SkinLabel::SetBackgroundCaptured(bool captured) {
  m_backgroundCaptured = captured;
}

HFONT SkinLabel::DrawingFont() {
  const BannerModel::Font& wanted = m_model.font();
  if (wanted.windowFont) return WindowFont(hwnd());
  if (!m_labelFont || !(wanted == m_labelFontMade)) {
    LOGFONTW font{};
    GetObjectW(WindowFont(hwnd()), sizeof(font), &font);
    font.lfHeight = wanted.height;
    if (!wanted.keepWidth) font.lfWidth = 0;
    font.lfUnderline = wanted.underline ? TRUE : FALSE;
    m_labelFont.Reset(CreateFontIndirectW(&font));
    m_labelFontMade = wanted;
  }
  return m_labelFont.get();
}

BannerModel::Extent SkinLabel::Measure(HDC dc, const std::string& text) {
  const SelectScope font(dc, DrawingFont());
  const std::wstring line = OneLine(text);
  SIZE extent{};
  GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &extent);
  return {extent.cx, extent.cy};
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
  ::SetTextColor(dc, ToColorRef(m_model.colour()));
  IntersectClipRect(dc, client.left, client.top, client.right, client.bottom);
  const Point at = m_model.Paint([&](const std::string& text) { return Measure(dc, text); });
  SelectObject(dc, DrawingFont());
  const std::wstring line = OneLine(m_model.displayedText());
  TextOutW(dc, at.x, at.y, line.c_str(), static_cast<int>(line.size()));
  RestoreDC(dc, saved);
}

void SkinLabel::Changed() {
  const int32_t wanted = m_model.timerWanted() && hwnd() != nullptr ? m_model.periodMs() : 0;
  if (wanted != m_timerPeriod) {
    if (wanted > 0) {
      m_timerPeriod =
          SetTimer(hwnd(), kScrollTimer, static_cast<UINT>(wanted), nullptr) != 0 ? wanted : 0;
    } else {
      KillTimer(hwnd(), kScrollTimer);
      m_timerPeriod = 0;
    }
  }
  Invalidate();
}

void SkinLabel::Invalidate() const {
  if (hwnd() != nullptr) InvalidateRect(hwnd(), nullptr, TRUE);
}

LRESULT SkinLabel::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == ReflectQueryMessage()) return wParam == WM_CTLCOLORSTATIC ? 1 : 0;
  if (IsRightClickMessage(message)) return 0;
  switch (message) {
    case WM_ERASEBKGND:
      Draw(reinterpret_cast<HDC>(wParam));
      return TRUE;
    case WM_PAINT: {
      // Everything is drawn by the erase that BeginPaint asks for.
      const PaintDC paint(hwnd());
      return 0;
    }
    case WM_TIMER: {
      if (wParam != kScrollTimer) break;
      const ClientDC dc(hwnd());
      if (m_model.Tick([&](const std::string& text) { return Measure(dc.get(), text); }))
        Invalidate();
      return 0;
    }
    case WM_SIZE:
      m_model.Resize(LOWORD(lParam), HIWORD(lParam));
      break;
    case WM_NCHITTEST:
      // A static without SS_NOTIFY would let the mouse through to the dialog.
      return HTCLIENT;
    case WM_MOUSEMOVE: {
      TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd(), 0};
      TrackMouseEvent(&track);
      if (m_model.Hover()) Changed();
      SetCursor(HandCursor());
      return 0;
    }
    case WM_SETCURSOR:
      if (LOWORD(lParam) != HTCLIENT) break;
      SetCursor(HandCursor());
      return TRUE;
    case WM_MOUSELEAVE:
      if (m_model.Leave()) Changed();
      return 0;
    case WM_LBUTTONDOWN:
      if (m_model.Press() && m_onClick) m_onClick();
      return 0;
    case WM_LBUTTONDBLCLK:
      if (m_model.DoubleClick() && m_onClick) m_onClick();
      return 0;
    case kOcmBase + WM_CTLCOLORSTATIC:
      SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    case WM_DESTROY: {
      const LRESULT result = Default(message, wParam, lParam);
      KillTimer(hwnd(), kScrollTimer);
      m_timerPeriod = 0;
      return result;
    }
    default:
      break;
  }
  return Default(message, wParam, lParam);
}

}  // namespace lumio::win
