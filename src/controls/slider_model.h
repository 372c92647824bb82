#pragma once
// The horizontal slider drawn from skin bitmaps (the volume control): where the thumb sits for a
// position and which position a pointer x gives, what a press, a drag, a release, a lost capture
// and a key do, and which message goes to the parent: WM_SLIDER_CHANGING (10449) while a drag
// moves the position, WM_SLIDER_CHANGED (10450) when a press ends or a key moved it, each with
// the position as it was when the message was posted.

#include <cstdint>
#include <optional>

#include "ports/geometry.h"

namespace lumio {

struct SliderMessage {
  int32_t message = 0;  // kMsgSliderChanging or kMsgSliderChanged
  int32_t pos = 0;
  friend bool operator==(const SliderMessage&, const SliderMessage&) = default;
};

enum class SliderKey { kLeft, kUp, kRight, kDown, kHome, kEnd, kPageUp, kPageDown };

class SliderModel {
 public:
  // The thumb's top edge, whatever the top margin (which places only the saved area).
  static constexpr int32_t kThumbTop = 2;

  // The designed clamp: against max first, then min, so min wins when min > max.
  static int32_t ClampPos(int32_t pos, int32_t min, int32_t max);

  // A channel bitmap of `width` x `height` was loaded: it is the track, and the control takes
  // its size.
  void SetChannel(int32_t width, int32_t height, bool hasActive, bool transparent);
  // No channel (none asked for, or its bitmap is missing): the whole control is the track.
  void RemoveChannel();
  void SetThumb(int32_t width, int32_t height, bool hasActive, bool transparent);
  void RemoveThumb();
  // The control's client size.
  void Resize(int32_t width, int32_t height);

  // Stores the range; the position is not clamped again.
  void SetRange(int32_t min, int32_t max);
  void SetPos(int32_t pos);
  void SetMargins(int32_t left, int32_t top, int32_t right, int32_t bottom);
  void ShowFocusRect(bool show) { m_showFocusRect = show; }
  void SetFocus(bool focus) { m_hasFocus = focus; }

  // Input, each with the message to post, if any. x is in client pixels.
  std::optional<SliderMessage> Press(int32_t x);
  std::optional<SliderMessage> Move(int32_t x);
  // Every release the slider receives ends a change, drag or not.
  std::optional<SliderMessage> Release();
  // The mouse went to another window (a menu, a dialog) during a press: the press ends there.
  std::optional<SliderMessage> CaptureLost();
  std::optional<SliderMessage> Key(SliderKey key);

  // x of the thumb centre for `pos`.
  int32_t PosToPixel(int32_t pos) const;
  // The position for thumb centre x (truncated).
  int32_t PixelToPos(int32_t x) const;

  int32_t pos() const { return m_pos; }
  int32_t min() const { return m_min; }
  int32_t max() const { return m_max; }
  bool pressed() const { return m_pressed; }
  bool channelLoaded() const { return m_channelLoaded; }
  bool thumbLoaded() const { return m_thumbLoaded; }
  bool hasActiveChannel() const { return m_channelLoaded && m_hasActiveChannel; }
  bool transparentChannel() const { return m_transparentChannel; }
  bool transparentThumb() const { return m_transparentThumb; }
  int32_t marginTop() const { return m_marginTop; }
  int32_t marginBottom() const { return m_marginBottom; }
  // The track: the channel's size, or the control's without a channel.
  int32_t trackWidth() const { return m_channelLoaded ? m_channelWidth : m_width; }
  int32_t trackHeight() const { return m_channelLoaded ? m_channelHeight : m_height; }
  // Where the active channel gives way to the plain one: the thumb centre.
  int32_t ActiveChannelEnd() const { return PosToPixel(m_pos); }
  Rect ThumbRect() const;
  // The active thumb shows while the button is held.
  bool ActiveThumbShown() const { return m_thumbLoaded && m_hasActiveThumb && m_pressed; }
  bool FocusRectShown() const { return m_showFocusRect && m_hasFocus; }

 private:
  std::optional<SliderMessage> DragTo(int32_t x);
  SliderMessage Changed() const;

  int32_t m_max = 100;
  int32_t m_min = 0;
  int32_t m_pos = 0;
  int32_t m_page = 20;
  int32_t m_width = 0;
  int32_t m_height = 0;
  int32_t m_channelWidth = 0;
  int32_t m_channelHeight = 0;
  int32_t m_thumbWidth = 0;
  int32_t m_thumbHeight = 0;
  int32_t m_marginLeft = 0;
  int32_t m_marginRight = 0;
  int32_t m_marginTop = 0;
  int32_t m_marginBottom = 0;
  int32_t m_grabOffset = 0;
  bool m_hasActiveChannel = false;
  bool m_hasActiveThumb = false;
  bool m_transparentChannel = false;
  bool m_transparentThumb = false;
  bool m_thumbLoaded = false;
  bool m_channelLoaded = false;
  bool m_pressed = false;
  bool m_hasFocus = false;
  bool m_showFocusRect = true;
};

}  // namespace lumio
