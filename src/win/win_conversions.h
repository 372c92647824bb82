#pragma once
// The few conversions between the core's plain numbers and the Windows types that would
// otherwise need the headers' C-style cast macros.

#include <windows.h>

#include <cstdint>

#include "controls/header_model.h"

namespace lumio::win {

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

// DrawText's alignment flag for a column's alignment.
inline UINT DrawTextAlignment(TextAlign align) {
  switch (align) {
    case TextAlign::kLeft:
      return DT_LEFT;
    case TextAlign::kCentre:
      return DT_CENTER;
    case TextAlign::kRight:
      return DT_RIGHT;
  }
  return DT_LEFT;
}

}  // namespace lumio::win
