#include "win/offscreen_dc.h"

namespace lumio::win {

namespace {
constexpr COLORREF kWhite = ColorRef(255, 255, 255);
constexpr COLORREF kBlack = ColorRef(0, 0, 0);
}  // namespace

OffscreenDC::OffscreenDC(HDC target, const RECT& rect, bool copyBackground)
    : m_dc(target), m_target(target), m_rect(rect) {
  if (m_dc.get() == nullptr) return;
  // The bitmap is sized in device units, whatever the target's mapping mode.
  POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
  LPtoDP(target, corners, 2);
  const int width = corners[1].x - corners[0].x;
  const int height = corners[1].y - corners[0].y;
  m_bitmap.Reset(CreateCompatibleBitmap(target, width > 0 ? width : 1, height > 0 ? height : 1));
  m_previousBitmap = SelectObject(m_dc.get(), m_bitmap.get());
  SetMapMode(m_dc.get(), GetMapMode(target));
  SIZE extent{};
  GetWindowExtEx(target, &extent);
  SetWindowExtEx(m_dc.get(), extent.cx, extent.cy, nullptr);
  GetViewportExtEx(target, &extent);
  SetViewportExtEx(m_dc.get(), extent.cx, extent.cy, nullptr);
  DPtoLP(target, corners, 2);
  m_rect = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
  SetWindowOrgEx(m_dc.get(), m_rect.left, m_rect.top, nullptr);

  const int w = m_rect.right - m_rect.left;
  const int h = m_rect.bottom - m_rect.top;
  if (copyBackground) {
    BitBlt(m_dc.get(), m_rect.left, m_rect.top, w, h, target, m_rect.left, m_rect.top, SRCCOPY);
  } else {
    const Brush background(CreateSolidBrush(GetBkColor(target)));
    FillRect(m_dc.get(), &m_rect, background.get());
  }
}

OffscreenDC::~OffscreenDC() {
  if (m_dc.get() == nullptr) return;
  BitBlt(m_target, m_rect.left, m_rect.top, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top,
         m_dc.get(), m_rect.left, m_rect.top, SRCCOPY);
  if (m_previousBitmap != nullptr) SelectObject(m_dc.get(), m_previousBitmap);
}

void BuildMask(HBITMAP bitmap, Bitmap& mask, COLORREF key, int keyX, int keyY) {
  const SIZE size = BitmapSize(bitmap);
  mask.Reset(CreateBitmap(size.cx, size.cy, 1, 1, nullptr));
  if (bitmap == nullptr || !mask) return;
  const MemoryDC image(nullptr);
  const MemoryDC monochrome(nullptr);
  const SelectScope imageBitmap(image.get(), bitmap);
  const SelectScope maskBitmap(monochrome.get(), mask.get());
  if (key == kKeyFromPixel) key = GetPixel(image.get(), keyX, keyY);

  // Colour to monochrome: pixels of the source's background colour become 1 (white).
  const COLORREF oldBackground = SetBkColor(image.get(), key);
  BitBlt(monochrome.get(), 0, 0, size.cx, size.cy, image.get(), 0, 0, SRCCOPY);
  // Monochrome to colour: 1 becomes the background colour (black), 0 the text colour (white);
  // ANDed in, the key pixels turn black and the others stay.
  const COLORREF oldText = SetTextColor(image.get(), kWhite);
  SetBkColor(image.get(), kBlack);
  BitBlt(image.get(), 0, 0, size.cx, size.cy, monochrome.get(), 0, 0, SRCAND);
  SetTextColor(image.get(), oldText);
  SetBkColor(image.get(), oldBackground);
}

void BlitMasked(HDC dest, int x, int y, int w, int h, HDC source, int sx, int sy, HBITMAP mask) {
  const MemoryDC monochrome(nullptr);
  const SelectScope maskBitmap(monochrome.get(), mask);
  // The mask's white keeps the destination and its black clears it, whatever colours the
  // destination was left with.
  const COLORREF oldText = SetTextColor(dest, kBlack);
  const COLORREF oldBackground = SetBkColor(dest, kWhite);
  BitBlt(dest, x, y, w, h, monochrome.get(), sx, sy, SRCAND);
  BitBlt(dest, x, y, w, h, source, sx, sy, SRCPAINT);
  SetTextColor(dest, oldText);
  SetBkColor(dest, oldBackground);
}

void BlitBitmap(HDC dest, int x, int y, int w, int h, HDC source, int sx, int sy, HBITMAP mask,
                bool transparent) {
  if (transparent) {
    BlitMasked(dest, x, y, w, h, source, sx, sy, mask);
  } else {
    BitBlt(dest, x, y, w, h, source, sx, sy, SRCCOPY);
  }
}

void SaveArea(HDC dc, int x, int y, int w, int h, Bitmap& area) {
  area.Reset(CreateCompatibleBitmap(dc, w, h));
  if (!area) return;
  const MemoryDC copy(dc);
  const SelectScope selected(copy.get(), area.get());
  BitBlt(copy.get(), 0, 0, w, h, dc, x, y, SRCCOPY);
}

void RestoreArea(HDC dc, int x, int y, int w, int h, HBITMAP area) {
  if (area == nullptr) return;
  const MemoryDC copy(dc);
  const SelectScope selected(copy.get(), area);
  BitBlt(dc, x, y, w, h, copy.get(), 0, 0, SRCCOPY);
}

}  // namespace lumio::win
