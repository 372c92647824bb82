#pragma once
// A push button painted from a skin of four equal frames side by side, of which frame 0 shows
// normally and frame 1 while the pointer is over it. It is a notifying static control: a left
// press is the click (STN_CLICKED), the second press of a double click is none (STN_DBLCLK).

#include <cstdint>

#include "ports/geometry.h"

namespace lumio {

// Notification codes a static control sends its parent with WM_COMMAND.
inline constexpr int32_t kStnClicked = 0;
inline constexpr int32_t kStnDblClk = 1;

class ButtonModel {
 public:
  static constexpr int32_t kFrameCount = 4;
  static constexpr int32_t kNormalFrame = 0;
  static constexpr int32_t kHoverFrame = 1;

  // A new skin of `width` x `height` pixels (0 x 0: none). The frame shown stays.
  void SetBitmapSize(int32_t width, int32_t height);

  struct Move {
    bool repaint = false;     // the hover frame has just come
    bool trackLeave = false;  // ask to be told when the pointer leaves
  };
  // The pointer moves over the button.
  Move MouseMove();
  // The leave request could not be made: the next move asks again.
  void LeaveNotTracked() { m_tracking = false; }
  // The pointer left the button; true when the frame changed.
  bool MouseLeave();
  // A left press: the notification the parent gets at once.
  int32_t Press() const { return kStnClicked; }
  // The second press of a double click.
  int32_t DoubleClick() const { return kStnDblClk; }

  int32_t frame() const { return m_frame; }
  int32_t frameWidth() const { return m_frameWidth; }
  int32_t frameHeight() const { return m_frameHeight; }
  // The part of the skin copied to the control's top-left corner: the frame shown, cut to a
  // control of `width` x `height`; empty without a skin.
  Rect Source(int32_t width, int32_t height) const;

 private:
  int32_t m_frame = kNormalFrame;
  int32_t m_frameWidth = 0;
  int32_t m_frameHeight = 0;
  bool m_tracking = false;
};

}  // namespace lumio
