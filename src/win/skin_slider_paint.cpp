// Painting the skinned slider: into an off-screen picture over the parent's pixels (for a
// transparent channel), the track in its two parts, the thumb over the pixels it hides, and the
// dotted focus rectangle, which is drawn by inversion.

#include "win/offscreen_dc.h"
#include "win/skin_slider.h"

namespace lumio::win {

void SkinSlider::Paint() {
  const PaintDC paint(hwnd());
  const SliderModel& model = m_model;
  const bool transparentChannel = model.transparentChannel();
  const OffscreenDC dc(paint.get(), m_client, transparentChannel);
  const MemoryDC memory(dc.get());
  // Drawing the focus rectangle again over the same picture removes it; an opaque channel
  // covers it anyway.
  if (m_focusRectDrawn && (transparentChannel || !model.channelLoaded())) {
    DrawFocusRect(dc.get(), &m_client);
    m_focusRectDrawn = false;
  }
  const int width = model.trackWidth();
  const int height = model.trackHeight();
  if (model.channelLoaded()) {
    if (model.hasActiveChannel()) {
      // Right of the thumb the plain track, left of it the active one; each through its own
      // mask, so the two may differ in outline.
      const int px = model.ActiveChannelEnd();
      {
        const SelectScope selected(memory.get(), m_channel.bitmap.get());
        BlitBitmap(dc.get(), px, 0, width - px, height, memory.get(), px, 0, m_channel.mask.get(),
                   transparentChannel);
      }
      const SelectScope selected(memory.get(), m_activeChannel.bitmap.get());
      BlitBitmap(dc.get(), 0, 0, px, height, memory.get(), 0, 0, m_activeChannel.mask.get(),
                 transparentChannel);
    } else {
      const SelectScope selected(memory.get(), m_channel.bitmap.get());
      BlitBitmap(dc.get(), 0, 0, width, height, memory.get(), 0, 0, m_channel.mask.get(),
                 transparentChannel);
    }
  }
  const Rect thumb = model.ThumbRect();
  if (m_savedX != -1) {
    RestoreArea(dc.get(), m_savedX, m_savedY, thumb.width(), thumb.height(), m_savedArea.get());
    m_savedX = -1;
  }
  if (model.thumbLoaded()) {
    const Layer& layer = model.ActiveThumbShown() ? m_activeThumb : m_thumb;
    if (transparentChannel || !model.channelLoaded()) {
      m_savedX = thumb.left;
      m_savedY = model.marginTop();
      SaveArea(dc.get(), m_savedX, m_savedY, thumb.width(), thumb.height(), m_savedArea);
    }
    const SelectScope selected(memory.get(), layer.bitmap.get());
    BlitBitmap(dc.get(), thumb.left, thumb.top, thumb.width(), thumb.height(), memory.get(), 0, 0,
               layer.mask.get(), model.transparentThumb());
  }
  if (model.FocusRectShown()) {
    DrawFocusRect(dc.get(), &m_client);
    m_focusRectDrawn = true;
  }
}

}  // namespace lumio::win
