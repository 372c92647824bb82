#pragma once
// The horizontal slider drawn from skin bitmaps (the volume control), made of a static control:
// a channel bitmap as the track, an optional active channel for the part left of the thumb, and
// a thumb bitmap with an optional active variant shown while the button is held. It posts
// WM_SLIDER_CHANGING (10449) to its parent while a drag moves the position and WM_SLIDER_CHANGED
// (10450) when a press ends or a key moved it, with wParam = control id, lParam = position.

#include <windows.h>

#include <cstdint>

#include "ports/window_layer.h"
#include "win/gdi_objects.h"
#include "win/subclass.h"

namespace lumio::win {

class SkinSlider final : public lumio::SliderControl, private SubclassedWindow {
 public:
  SkinSlider() = default;

  // Takes over the static control; false for no window.
  bool Subclass(HWND staticControl);
  using SubclassedWindow::hwnd;

  // Loads the track bitmaps (activeId 0: none) and resizes the control to the channel; channel
  // id 0 removes the track. False when a bitmap is missing.
  bool SetChannelBitmaps(int32_t channelId, int32_t activeId, bool transparent, COLORREF key,
                         int keyX, int keyY);
  // Loads the thumb bitmaps as SetChannelBitmaps does; the control keeps its size.
  bool SetThumbBitmaps(int32_t thumbId, int32_t activeId, bool transparent, COLORREF key, int keyX,
                       int keyY);
  // Stores the range, repainting when `redraw`; the position is not clamped again.
  void SetRange(int32_t min, int32_t max, bool redraw);
  // Whether a focused slider draws its dotted focus rectangle; repaints when `redraw`.
  void ShowFocusRect(bool show, bool redraw);

  // The core's view: key colour from the bitmaps' top-left pixel, no redraw.
  void SetChannelBitmaps(int32_t channelId, int32_t activeChannelId, bool transparent) override;
  void SetThumbBitmaps(int32_t thumbId, int32_t activeThumbId, bool transparent) override;
  void ShowFocusRect(bool show) override;
  void SetRange(int32_t min, int32_t max) override;
  // Clamps against max first, then min (min wins when min > max), and repaints.
  void SetPos(int32_t pos) override;
  int32_t GetPos() const override { return m_pos; }
  // Free space at the ends of the track; no repaint.
  void SetMargins(int32_t left, int32_t top, int32_t right, int32_t bottom) override;

  // x of the thumb centre for `pos`.
  int PosToPixel(int pos) const;
  // The position for thumb centre x (truncated).
  int PixelToPos(int x) const;
  bool isPressed() const { return m_pressed; }

 private:
  struct Layer {
    Bitmap bitmap;
    Bitmap mask;
  };
  bool LoadLayers(Layer& main, Layer& active, bool& hasActive, int32_t id, int32_t activeId,
                  bool transparent, COLORREF key, int keyX, int keyY);
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Paint();
  void OnButtonDown(int x);
  void DragTo(int x);
  void EndPress();
  void OnKeyDown(WPARAM key);
  void Post(UINT message) const;
  void Invalidate() const;

  int32_t m_max = 100;
  int32_t m_min = 0;
  int32_t m_pos = 0;
  int32_t m_page = 20;
  RECT m_client{};
  int m_width = 0;
  int m_height = 0;
  int m_thumbWidth = 0;
  int m_thumbHeight = 0;
  int m_marginLeft = 0;
  int m_marginRight = 0;
  int m_marginTop = 0;
  int m_marginBottom = 0;
  int m_savedX = -1;
  int m_savedY = -1;
  int m_grabOffset = 0;
  bool m_hasActiveChannel = false;
  bool m_hasActiveThumb = false;
  bool m_transparentChannel = false;
  bool m_transparentThumb = false;
  bool m_thumbLoaded = false;
  bool m_channelLoaded = false;
  bool m_pressed = false;
  bool m_hasFocus = false;
  bool m_focusRectDrawn = false;
  bool m_showFocusRect = true;
  Layer m_channel;
  Layer m_activeChannel;
  Layer m_thumb;
  Layer m_activeThumb;
  Bitmap m_savedArea;
};

}  // namespace lumio::win
