#pragma once
// Owners of the system handles both Windows folders hold (kernel objects, menus, icons, GDI
// objects, WinHTTP and BCrypt handles): each is released exactly once, by its owner, whatever
// way the owner goes.

#include <windows.h>

#include <utility>

namespace lumio::win {

// A handle released by `Free` when the owner goes; null means none.
template <typename Handle, auto Free>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : m_handle(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { Reset(); }

  Handle get() const { return m_handle; }
  explicit operator bool() const { return m_handle != nullptr; }
  // Releases the held handle and takes `handle` instead.
  void Reset(Handle handle = nullptr) {
    if (m_handle != nullptr) Free(m_handle);
    m_handle = handle;
  }
  // Gives up ownership without releasing.
  Handle Release() { return std::exchange(m_handle, nullptr); }

 private:
  Handle m_handle = nullptr;
};

// The system's release functions are imported from DLLs, and some take more than the handle:
// these small functions give the template one constant, one-argument shape to call.
namespace release {
inline void Kernel(HANDLE handle) {
  CloseHandle(handle);
}
inline void Menu(HMENU menu) {
  DestroyMenu(menu);
}
inline void Icon(HICON icon) {
  DestroyIcon(icon);
}
inline void GdiObject(HGDIOBJ object) {
  DeleteObject(object);
}
}  // namespace release

// A kernel object's handle (a mutex, an event, a thread); not for a file's INVALID_HANDLE_VALUE.
using UniqueKernelHandle = UniqueHandle<HANDLE, release::Kernel>;
using UniqueMenu = UniqueHandle<HMENU, release::Menu>;
using UniqueIcon = UniqueHandle<HICON, release::Icon>;
// An HBITMAP, HFONT, HBRUSH or HRGN deleted with DeleteObject. Stock objects must not be put in.
template <typename Handle>
using GdiObject = UniqueHandle<Handle, release::GdiObject>;

}  // namespace lumio::win
