#include "win/background_painter.h"

#include "win/gdi_objects.h"

namespace lumio::win {

LRESULT PaintBackground(HWND dialog, HDC dc, HBITMAP background, HICON icon,
                        const std::wstring* title, HFONT titleFont) {
  const LRESULT erased = DefWindowProcW(dialog, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client{};
  GetClientRect(dialog, &client);
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  if (width <= 0 || height <= 0) return erased;

  MemoryDC memory(dc);
  Bitmap canvas(CreateCompatibleBitmap(dc, width, height));
  if (memory.get() == nullptr || !canvas) return erased;
  SelectScope onCanvas(memory.get(), canvas.get());
  {
    MemoryDC skin(dc);
    SelectScope withSkin(skin.get(), background);
    // Without a background only the icon and the title are drawn.
    if (background != nullptr) BitBlt(memory.get(), 0, 0, width, height, skin.get(), 0, 0, SRCCOPY);
  }
  if (icon != nullptr) DrawIconEx(memory.get(), 4, 4, icon, 16, 16, 0, nullptr, DI_NORMAL);
  if (title != nullptr) {
    SelectScope withFont(memory.get(), titleFont);
    SetBkMode(memory.get(), TRANSPARENT);
    SetTextColor(memory.get(), GetTextColor(dc));
    RECT line{24, 6, 220, 20};
    DrawTextW(memory.get(), title->c_str(), -1, &line, 0);
  }
  BitBlt(dc, 0, 0, width, height, memory.get(), 0, 0, SRCCOPY);
  return erased;
}

}  // namespace lumio::win
