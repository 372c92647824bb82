#include "win/skin_slider.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "ports/control_ids.h"
#include "win/offscreen_dc.h"

namespace lumio::win {

namespace {

// The thumb's top edge is fixed; the top margin only places the saved area.
constexpr int kThumbTop = 2;

int ClampToInt(double value) {
  return static_cast<int>(std::clamp(value, static_cast<double>(std::numeric_limits<int>::min()),
                                     static_cast<double>(std::numeric_limits<int>::max())));
}

int PointX(LPARAM lParam) {
  return static_cast<short>(static_cast<DWORD_PTR>(lParam) & 0xFFFF);
}

}  // namespace

bool SkinSlider::Subclass(HWND staticControl) {
  if (!Attach(staticControl)) return false;
  GetClientRect(staticControl, &m_client);
  m_width = m_client.right;
  m_height = m_client.bottom;
  return true;
}

bool SkinSlider::LoadLayers(Layer& main, Layer& active, bool& hasActive, int32_t id,
                            int32_t activeId, bool transparent, COLORREF key, int keyX, int keyY) {
  main.bitmap = LoadSkinBitmap(id);
  main.mask.Reset();
  if (!main.bitmap) return false;
  if (transparent) BuildMask(main.bitmap.get(), main.mask, key, keyX, keyY);
  active.bitmap.Reset();
  active.mask.Reset();
  hasActive = false;
  if (activeId == 0) return true;
  active.bitmap = LoadSkinBitmap(activeId);
  if (!active.bitmap) {
    main.bitmap.Reset();
    main.mask.Reset();
    return false;
  }
  if (transparent) BuildMask(active.bitmap.get(), active.mask, key, keyX, keyY);
  hasActive = true;
  return true;
}

bool SkinSlider::SetChannelBitmaps(int32_t channelId, int32_t activeId, bool transparent,
                                   COLORREF key, int keyX, int keyY) {
  if (channelId == 0 || !LoadLayers(m_channel, m_activeChannel, m_hasActiveChannel, channelId,
                                    activeId, transparent, key, keyX, keyY)) {
    // Half a track, or a track of bitmaps that are gone, would only mislead: none is drawn.
    m_channelLoaded = false;
    m_channel = {};
    m_activeChannel = {};
    m_hasActiveChannel = false;
    return channelId == 0;
  }
  const SIZE size = BitmapSize(m_channel.bitmap.get());
  m_width = size.cx;
  m_height = size.cy;
  if (hwnd() != nullptr) {
    SetWindowPos(hwnd(), nullptr, 0, 0, m_width, m_height, SWP_NOMOVE | SWP_NOZORDER);
    GetClientRect(hwnd(), &m_client);
  }
  m_transparentChannel = transparent;
  m_channelLoaded = true;
  return true;
}

bool SkinSlider::SetThumbBitmaps(int32_t thumbId, int32_t activeId, bool transparent, COLORREF key,
                                 int keyX, int keyY) {
  if (thumbId == 0 || !LoadLayers(m_thumb, m_activeThumb, m_hasActiveThumb, thumbId, activeId,
                                  transparent, key, keyX, keyY)) {
    m_thumbLoaded = false;
    m_thumb = {};
    m_activeThumb = {};
    m_hasActiveThumb = false;
    m_savedArea.Reset();
    m_savedX = -1;
    return thumbId == 0;
  }
  const SIZE size = BitmapSize(m_thumb.bitmap.get());
  m_thumbWidth = size.cx;
  m_thumbHeight = size.cy;
  if (!m_channelLoaded && hwnd() != nullptr) {
    GetClientRect(hwnd(), &m_client);
    m_width = m_client.right;
    m_height = m_client.bottom;
  }
  m_transparentThumb = transparent;
  m_thumbLoaded = true;
  return true;
}

void SkinSlider::SetChannelBitmaps(int32_t channelId, int32_t activeChannelId, bool transparent) {
  SetChannelBitmaps(channelId, activeChannelId, transparent, kKeyFromPixel, 0, 0);
}

void SkinSlider::SetThumbBitmaps(int32_t thumbId, int32_t activeThumbId, bool transparent) {
  SetThumbBitmaps(thumbId, activeThumbId, transparent, kKeyFromPixel, 0, 0);
}

void SkinSlider::SetRange(int32_t min, int32_t max, bool redraw) {
  m_min = min;
  m_max = max;
  if (redraw) Invalidate();
}

void SkinSlider::SetRange(int32_t min, int32_t max) {
  SetRange(min, max, false);
}

void SkinSlider::ShowFocusRect(bool show, bool redraw) {
  m_showFocusRect = show;
  if (redraw) Invalidate();
}

void SkinSlider::ShowFocusRect(bool show) {
  ShowFocusRect(show, false);
}

void SkinSlider::SetPos(int32_t pos) {
  if (pos > m_max) pos = m_max;
  if (pos < m_min) pos = m_min;
  m_pos = pos;
  Invalidate();
}

void SkinSlider::SetMargins(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  m_marginLeft = left;
  m_marginTop = top;
  m_marginRight = right;
  m_marginBottom = bottom;
}

int SkinSlider::PosToPixel(int pos) const {
  // An empty range has one place for the thumb: the left end.
  if (m_max == m_min) return m_marginLeft + m_thumbWidth / 2;
  const double track = static_cast<double>(m_width) - m_marginRight - m_thumbWidth - m_marginLeft;
  const double fraction = (static_cast<double>(pos) - m_min) / (static_cast<double>(m_max) - m_min);
  return ClampToInt(m_marginLeft + std::trunc(fraction * track) + m_thumbWidth / 2);
}

int SkinSlider::PixelToPos(int x) const {
  const double track = static_cast<double>(m_width) - m_marginRight - m_marginLeft - m_thumbWidth;
  // A track no wider than the thumb maps every pixel to the start.
  if (track == 0) return m_min;
  const double fraction = (static_cast<double>(x) - m_thumbWidth / 2 - m_marginLeft) / track;
  return ClampToInt(
      std::trunc(fraction * (static_cast<double>(m_max) - m_min) + static_cast<double>(m_min)));
}

void SkinSlider::Paint() {
  const PaintDC paint(hwnd());
  const OffscreenDC dc(paint.get(), m_client, m_transparentChannel);
  const MemoryDC memory(dc.get());
  // The focus rectangle is drawn by inversion: drawing it again over the same picture removes it.
  // An opaque channel covers it anyway.
  if (m_focusRectDrawn && (m_transparentChannel || !m_channelLoaded)) {
    DrawFocusRect(dc.get(), &m_client);
    m_focusRectDrawn = false;
  }
  if (m_channelLoaded) {
    if (m_hasActiveChannel) {
      // Right of the thumb the plain track, left of it the active one; each through its own
      // mask, so the two may differ in outline.
      const int px = PosToPixel(m_pos);
      {
        const SelectScope selected(memory.get(), m_channel.bitmap.get());
        BlitBitmap(dc.get(), px, 0, m_width - px, m_height, memory.get(), px, 0,
                   m_channel.mask.get(), m_transparentChannel);
      }
      const SelectScope selected(memory.get(), m_activeChannel.bitmap.get());
      BlitBitmap(dc.get(), 0, 0, px, m_height, memory.get(), 0, 0, m_activeChannel.mask.get(),
                 m_transparentChannel);
    } else {
      const SelectScope selected(memory.get(), m_channel.bitmap.get());
      BlitBitmap(dc.get(), 0, 0, m_width, m_height, memory.get(), 0, 0, m_channel.mask.get(),
                 m_transparentChannel);
    }
  }
  if (m_savedX != -1) {
    RestoreArea(dc.get(), m_savedX, m_savedY, m_thumbWidth, m_thumbHeight, m_savedArea.get());
    m_savedX = -1;
  }
  if (m_thumbLoaded) {
    const Layer& thumb = (m_hasActiveThumb && m_pressed) ? m_activeThumb : m_thumb;
    const int left = PosToPixel(m_pos) - m_thumbWidth / 2;
    if (m_transparentChannel || !m_channelLoaded) {
      m_savedX = left;
      m_savedY = m_marginTop;
      SaveArea(dc.get(), m_savedX, m_savedY, m_thumbWidth, m_thumbHeight, m_savedArea);
    }
    const SelectScope selected(memory.get(), thumb.bitmap.get());
    BlitBitmap(dc.get(), left, kThumbTop, m_thumbWidth, m_thumbHeight, memory.get(), 0, 0,
               thumb.mask.get(), m_transparentThumb);
  }
  if (m_showFocusRect && m_hasFocus) {
    DrawFocusRect(dc.get(), &m_client);
    m_focusRectDrawn = true;
  }
}

void SkinSlider::OnButtonDown(int x) {
  SetCapture(hwnd());
  SetFocus(hwnd());
  m_pressed = true;
  const int distance = x - PosToPixel(m_pos);
  // A press on the thumb keeps the pointer's place on it; elsewhere the thumb jumps to it.
  m_grabOffset = std::abs(distance) <= m_thumbWidth / 2 ? distance : 0;
  DragTo(x);
  Invalidate();
}

void SkinSlider::DragTo(int x) {
  int v = x - m_grabOffset;
  if (v < m_marginLeft + m_thumbWidth / 2) v = m_marginLeft + m_thumbWidth / 2;
  if (v > m_width - m_marginRight - m_thumbWidth / 2)
    v = m_width - m_marginRight - m_thumbWidth / 2;
  if (v == PosToPixel(m_pos)) return;
  SetPos(PixelToPos(v));
  Post(static_cast<UINT>(kMsgSliderChanging));
}

void SkinSlider::EndPress() {
  m_pressed = false;
  Invalidate();
  Post(static_cast<UINT>(kMsgSliderChanged));
}

void SkinSlider::OnKeyDown(WPARAM key) {
  double pos = m_pos;
  switch (key) {
    case VK_LEFT:
    case VK_UP:
      pos -= 1;
      break;
    case VK_RIGHT:
    case VK_DOWN:
      pos += 1;
      break;
    case VK_HOME:
      pos = m_min;
      break;
    case VK_END:
      pos = m_max;
      break;
    case VK_PRIOR:
      pos -= m_page;
      break;
    case VK_NEXT:
      pos += m_page;
      break;
    default:
      return;
  }
  SetPos(ClampToInt(pos));
  Post(static_cast<UINT>(kMsgSliderChanged));
}

void SkinSlider::Post(UINT message) const {
  PostMessageW(GetParent(hwnd()), message, static_cast<WPARAM>(GetDlgCtrlID(hwnd())),
               static_cast<LPARAM>(m_pos));
}

void SkinSlider::Invalidate() const {
  if (hwnd() != nullptr) InvalidateRect(hwnd(), nullptr, TRUE);
}

LRESULT SkinSlider::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return TRUE;
    case WM_NCHITTEST:
      // A static without SS_NOTIFY would let the mouse through to the dialog.
      return HTCLIENT;
    case WM_SIZE:
      GetClientRect(hwnd(), &m_client);
      if (!m_channelLoaded) {
        m_width = m_client.right;
        m_height = m_client.bottom;
      }
      break;
    case WM_LBUTTONDOWN:
      OnButtonDown(PointX(lParam));
      break;
    case WM_LBUTTONDBLCLK:
      // The static class turns a quick second press into a double click; on a slider it is a
      // press like any other, which may start a drag.
      OnButtonDown(PointX(lParam));
      return 0;
    case WM_MOUSEMOVE:
      if (!m_pressed) return 0;
      DragTo(PointX(lParam));
      break;
    case WM_LBUTTONUP:
      // Cleared before the capture goes, so that losing the capture here ends nothing twice.
      m_pressed = false;
      ReleaseCapture();
      SetFocus(GetParent(hwnd()));
      EndPress();
      break;
    case WM_CAPTURECHANGED:
      // A press that lost the mouse to another window (a menu, a dialog) has ended: hovering
      // afterwards must not drag the volume.
      if (m_pressed && reinterpret_cast<HWND>(lParam) != hwnd()) EndPress();
      break;
    case WM_KEYDOWN:
      OnKeyDown(wParam);
      break;
    case WM_GETDLGCODE:
      if (GetKeyState(VK_TAB) < 0) break;
      return DLGC_WANTARROWS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      const LRESULT result = Default(message, wParam, lParam);
      m_hasFocus = message == WM_SETFOCUS;
      Invalidate();
      return result;
    }
    case WM_DESTROY: {
      const LRESULT result = Default(message, wParam, lParam);
      m_channel = {};
      m_activeChannel = {};
      m_thumb = {};
      m_activeThumb = {};
      m_savedArea.Reset();
      m_channelLoaded = false;
      m_thumbLoaded = false;
      return result;
    }
    default:
      break;
  }
  return Default(message, wParam, lParam);
}

}  // namespace lumio::win
