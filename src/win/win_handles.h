#pragma once
// Owning handles for the USER objects of the window layer (the GDI ones are in gdi_objects.h),
// and the few conversions between the core's plain numbers and the Windows types that would
// otherwise need the headers' C-style cast macros.

#include <windows.h>

#include <cstdint>
#include <utility>

namespace lumio::win {

// A handle released by `Free` when the owner goes.
template <typename Handle, void (*Free)(Handle)>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : m_handle(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.m_handle, nullptr));
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { Reset(); }

  Handle get() const { return m_handle; }
  explicit operator bool() const { return m_handle != nullptr; }
  void Reset(Handle handle = nullptr) {
    if (m_handle != nullptr) Free(m_handle);
    m_handle = handle;
  }

 private:
  Handle m_handle = nullptr;
};

// The system's release functions are imported from DLLs, so their addresses are not constants a
// template can take: these small functions stand in for them.
namespace release {
inline void Menu(HMENU menu) {
  DestroyMenu(menu);
}
inline void Icon(HICON icon) {
  DestroyIcon(icon);
}
inline void Kernel(HANDLE handle) {
  CloseHandle(handle);
}
}  // namespace release

using UniqueMenu = UniqueHandle<HMENU, release::Menu>;
using UniqueIcon = UniqueHandle<HICON, release::Icon>;
// A kernel object's handle (a mutex, an event); not for a file's INVALID_HANDLE_VALUE.
using UniqueKernelHandle = UniqueHandle<HANDLE, release::Kernel>;

// MAKEINTRESOURCEW without the macro's C cast.
inline const wchar_t* ResourceId(int32_t id) {
  return reinterpret_cast<const wchar_t*>(static_cast<ULONG_PTR>(static_cast<WORD>(id)));
}

// A dialog procedure's answer for a message whose result travels in DWLP_MSGRESULT.
inline INT_PTR DialogResult(HWND dialog, LRESULT result) {
  SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result);
  return TRUE;
}

// The id of a dialog's child control window.
inline int32_t ControlId(HWND control) {
  return control != nullptr ? GetDlgCtrlID(control) : 0;
}

}  // namespace lumio::win
