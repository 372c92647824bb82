#pragma once
// Owning handles for the GDI and USER objects the skinned controls create, so that every bitmap,
// font, brush, region, device context and selection is released on every path out of a paint
// handler; plus loading a skin bitmap by resource id.

#include <windows.h>

#include <cstdint>

#include "winbase/unique_handle.h"

namespace lumio::win {

using Bitmap = GdiObject<HBITMAP>;
using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;
using Region = GdiObject<HRGN>;

// A memory device context compatible with `reference` (the screen for nullptr).
class MemoryDC {
 public:
  explicit MemoryDC(HDC reference) : m_dc(CreateCompatibleDC(reference)) {}
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;
  ~MemoryDC() {
    if (m_dc != nullptr) DeleteDC(m_dc);
  }
  HDC get() const { return m_dc; }

 private:
  HDC m_dc;
};

// Selects an object into a device context and puts the previous one back at the end of the scope.
class SelectScope {
 public:
  SelectScope(HDC dc, HGDIOBJ object)
      : m_dc(dc), m_previous(object != nullptr ? SelectObject(dc, object) : nullptr) {}
  SelectScope(const SelectScope&) = delete;
  SelectScope& operator=(const SelectScope&) = delete;
  ~SelectScope() {
    if (m_previous != nullptr && m_previous != HGDI_ERROR) SelectObject(m_dc, m_previous);
  }

 private:
  HDC m_dc;
  HGDIOBJ m_previous;
};

// A window's client-area device context (GetDC / ReleaseDC).
class ClientDC {
 public:
  explicit ClientDC(HWND window) : m_window(window), m_dc(GetDC(window)) {}
  ClientDC(const ClientDC&) = delete;
  ClientDC& operator=(const ClientDC&) = delete;
  ~ClientDC() {
    if (m_dc != nullptr) ReleaseDC(m_window, m_dc);
  }
  HDC get() const { return m_dc; }

 private:
  HWND m_window;
  HDC m_dc;
};

// One paint cycle of a window (BeginPaint / EndPaint).
class PaintDC {
 public:
  explicit PaintDC(HWND window) : m_window(window), m_dc(BeginPaint(window, &m_paint)) {}
  PaintDC(const PaintDC&) = delete;
  PaintDC& operator=(const PaintDC&) = delete;
  ~PaintDC() { EndPaint(m_window, &m_paint); }
  HDC get() const { return m_dc; }

 private:
  HWND m_window;
  PAINTSTRUCT m_paint{};
  HDC m_dc;
};

// A window the object owns outright (a control's tooltip window), destroyed with it.
class OwnedWindow {
 public:
  OwnedWindow() = default;
  OwnedWindow(const OwnedWindow&) = delete;
  OwnedWindow& operator=(const OwnedWindow&) = delete;
  ~OwnedWindow() { Reset(); }
  HWND get() const { return m_window; }
  void Reset(HWND window = nullptr) {
    if (m_window != nullptr && IsWindow(m_window)) DestroyWindow(m_window);
    m_window = window;
  }

 private:
  HWND m_window = nullptr;
};

// The skin bitmap resource `id` of the program, as a device-dependent bitmap; empty when the
// program has no such bitmap.
inline Bitmap LoadSkinBitmap(int32_t id) {
  if (id <= 0 || id > 0xFFFF) return Bitmap();
  // MAKEINTRESOURCEW, without the macro's C casts.
  const auto* name = reinterpret_cast<const wchar_t*>(static_cast<ULONG_PTR>(id));
  return Bitmap(static_cast<HBITMAP>(
      LoadImageW(GetModuleHandleW(nullptr), name, IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
}

// Width and height of a bitmap; 0, 0 for none.
inline SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info{};
  if (bitmap == nullptr || GetObjectW(bitmap, sizeof(info), &info) == 0) return SIZE{0, 0};
  return SIZE{info.bmWidth, info.bmHeight};
}

// The core's 0xRRGGBB colour as GDI's 0x00BBGGRR.
constexpr COLORREF ToColorRef(uint32_t rgb) {
  return static_cast<COLORREF>(((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16));
}

// GDI's RGB(), without the macro's C casts.
constexpr COLORREF ColorRef(int r, int g, int b) {
  return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

}  // namespace lumio::win
