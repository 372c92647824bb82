#pragma once
// A push button made of a notifying static control (SS_NOTIFY) and a skin bitmap of four equal
// frames side by side (normal, hover, pressed, disabled; the program shows the first two): frame
// 0 normally, frame 1 with the hand cursor while the pointer is over it. Clicks stay the static
// control's own: the parent gets WM_COMMAND with the control id and STN_CLICKED for a press, and
// STN_DBLCLK for the second press of a double click, which is no click.

#include <windows.h>

#include <cstdint>

#include "win/gdi_objects.h"
#include "win/subclass.h"

namespace lumio::win {

class SkinButton final : private SubclassedWindow {
 public:
  SkinButton() = default;
  ~SkinButton() = default;

  // Takes over the static control (making sure it notifies its parent of clicks); false for no
  // window.
  bool Subclass(HWND staticControl);
  // Releases the old skin and loads bitmap resource `bitmapId`; a missing one leaves the button
  // blank. No repaint: the caller invalidates the button when it changes a face at run time.
  void SetSkinBitmap(int32_t bitmapId);

  using SubclassedWindow::hwnd;
  // The frame shown: 0 normal, 1 hover.
  int frame() const { return m_frame; }
  int frameWidth() const { return m_frameWidth; }
  int frameHeight() const { return m_frameHeight; }

 private:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Paint();
  void ShowFrame(int frame);

  int m_frame = 0;
  Bitmap m_skin;
  int m_frameWidth = 0;
  int m_frameHeight = 0;
  bool m_tracking = false;
};

}  // namespace lumio::win
