#pragma once
// Where the main window is and where it was saved: the fields the layouts, the docking and the
// tray share.

#include <cstdint>

#include "ports/control_ids.h"
#include "ports/geometry.h"

namespace lumio {

struct WindowPlacement {
  int32_t m_nWorkAreaRight = 0;  // the right edge the window docks at, screen pixels
  int32_t m_nWorkAreaTop = 0;    // the top edge the window docks at
  int32_t m_nSavedX = 0;         // LastX of the settings file
  int32_t m_nSavedY = 0;         // LastY
  int32_t m_nWindowX = 0;        // the window in the current mode
  int32_t m_nWindowY = 0;
  int32_t m_nWindowHeight = 0;
  int32_t m_nWindowWidth = 0;
  int32_t m_nTopMost = 0;  // 1: the normal window stays above others
  int32_t m_nMode = 0;     // 1: normal window; anything else: the mini bar

  bool IsNormalMode() const { return m_nMode == kModeNormal; }
  Rect WindowRectAt(int32_t x, int32_t y) const {
    return Rect::FromSize(x, y, m_nWindowWidth, m_nWindowHeight);
  }
};

}  // namespace lumio
