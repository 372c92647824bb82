#pragma once
// A push button made of a static control and a skin bitmap of four equal frames side by side
// (normal, hover, pressed, disabled; the program shows the first two): it holds a ButtonModel,
// feeds it the mouse and paints the frame it shows, with the hand cursor. It tells its parent
// what the model names, as a notifying static control would: WM_COMMAND with the control id and
// STN_CLICKED for a press, STN_DBLCLK for the second press of a double click, which is no click.
// Right clicks are its own: nothing reaches the dialog behind.

#include <windows.h>

#include <cstdint>

#include "controls/button_model.h"
#include "win/gdi_objects.h"
#include "win/subclass.h"

namespace lumio::win {

class SkinButton final : private SubclassedWindow {
 public:
  SkinButton() = default;
  ~SkinButton() = default;

  // Takes over the static control; false for no window.
  bool Subclass(HWND staticControl);
  // Releases the old skin and loads bitmap resource `bitmapId`; a missing one leaves the button
  // blank. No repaint: the caller invalidates the button when it changes a face at run time.
  void SetSkinBitmap(int32_t bitmapId);

  using SubclassedWindow::hwnd;
  const ButtonModel& model() const { return m_model; }

 private:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Paint();
  void Notify(int32_t code) const;

  ButtonModel m_model;
  Bitmap m_skin;
};

}  // namespace lumio::win
