#pragma once
// Flicker-free painting and bitmaps with a transparent key colour. OffscreenDC stands in for a
// paint device context: everything drawn into it lands in an off-screen bitmap of the painted
// rectangle, which reaches the window in one block copy when the object goes away. The five
// helpers prepare a bitmap and its monochrome mask for transparent drawing, draw through such a
// mask, and keep and put back a rectangle of pixels.

#include <windows.h>

#include "win/gdi_objects.h"

namespace lumio::win {

// Key colour argument meaning "the colour of the bitmap's key pixel".
inline constexpr COLORREF kKeyFromPixel = 0xFF000000;

class OffscreenDC {
 public:
  // Ready for drawing over `rect` (logical units of `target`): starting from the target's
  // current pixels when `copyBackground`, else filled with the target's background colour.
  OffscreenDC(HDC target, const RECT& rect, bool copyBackground);
  // Copies the rectangle to the target at the same place.
  ~OffscreenDC();
  OffscreenDC(const OffscreenDC&) = delete;
  OffscreenDC& operator=(const OffscreenDC&) = delete;

  HDC get() const { return m_dc.get(); }

 private:
  MemoryDC m_dc;
  Bitmap m_bitmap;
  HGDIOBJ m_previousBitmap = nullptr;
  HDC m_target;
  RECT m_rect;
};

// Makes `mask` a monochrome bitmap of `bitmap`'s size, white where `bitmap` has the key colour
// (`key`, or for kKeyFromPixel the colour of pixel (keyX, keyY)) and black elsewhere, and turns
// those key pixels of `bitmap` black, so that BlitMasked can OR it in.
void BuildMask(HBITMAP bitmap, Bitmap& mask, COLORREF key, int keyX, int keyY);

// Draws the (sx, sy, w, h) part of `source` (a DC holding a bitmap prepared by BuildMask) at
// (x, y), leaving `dest` untouched wherever the bitmap had the key colour.
void BlitMasked(HDC dest, int x, int y, int w, int h, HDC source, int sx, int sy, HBITMAP mask);

// BlitMasked when `transparent`, otherwise a plain copy.
void BlitBitmap(HDC dest, int x, int y, int w, int h, HDC source, int sx, int sy, HBITMAP mask,
                bool transparent);

// Replaces `area` with a copy of the (x, y, w, h) pixels of `dc`.
void SaveArea(HDC dc, int x, int y, int w, int h, Bitmap& area);

// Puts a saved area back at (x, y) of `dc`.
void RestoreArea(HDC dc, int x, int y, int w, int h, HBITMAP area);

}  // namespace lumio::win
