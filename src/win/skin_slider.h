#pragma once
// The horizontal slider drawn from skin bitmaps (the volume control), made of a static control:
// it holds a SliderModel, feeds it the mouse, the capture and the keys, posts the messages the
// model names to its parent (WM_SLIDER_CHANGING and WM_SLIDER_CHANGED, wParam = control id,
// lParam = position), and paints the channel, the active channel left of the thumb and the thumb
// (its active variant while the button is held) where the model puts them.

#include <windows.h>

#include <cstdint>
#include <optional>

#include "controls/slider_model.h"
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
  const SliderModel& model() const { return m_model; }

  // Loads the track bitmaps (activeId 0: none) and resizes the control to the channel; channel
  // id 0 removes the track. False when a bitmap is missing; the track is then left empty.
  bool SetChannelBitmaps(int32_t channelId, int32_t activeId, bool transparent, COLORREF key,
                         int keyX, int keyY);
  // Loads the thumb bitmaps as SetChannelBitmaps does; the control keeps its size.
  bool SetThumbBitmaps(int32_t thumbId, int32_t activeId, bool transparent, COLORREF key, int keyX,
                       int keyY);

  // The core's view: key colour from the bitmaps' top-left pixel, no redraw.
  void SetChannelBitmaps(int32_t channelId, int32_t activeChannelId, bool transparent) override;
  void SetThumbBitmaps(int32_t thumbId, int32_t activeThumbId, bool transparent) override;
  void ShowFocusRect(bool show) override;
  // Stores the range; the position is not clamped again.
  void SetRange(int32_t min, int32_t max) override;
  // Clamps (see SliderModel) and repaints.
  void SetPos(int32_t pos) override;
  int32_t GetPos() const override { return m_model.pos(); }
  // Free space at the ends of the track; no repaint.
  void SetMargins(int32_t left, int32_t top, int32_t right, int32_t bottom) override;

 private:
  struct Layer {
    Bitmap bitmap;
    Bitmap mask;
  };
  bool LoadLayers(Layer& main, Layer& active, int32_t id, int32_t activeId, bool transparent,
                  COLORREF key, int keyX, int keyY);
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Paint();
  void Post(const std::optional<SliderMessage>& message) const;
  void Invalidate() const;

  SliderModel m_model;
  RECT m_client{};
  int m_savedX = -1;
  int m_savedY = -1;
  bool m_focusRectDrawn = false;
  Layer m_channel;
  Layer m_activeChannel;
  Layer m_thumb;
  Layer m_activeThumb;
  Bitmap m_savedArea;
};

}  // namespace lumio::win
