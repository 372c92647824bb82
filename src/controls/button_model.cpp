#include "controls/button_model.h"

#include <algorithm>

namespace lumio {

void ButtonModel::SetBitmapSize(int32_t width, int32_t height) {
  m_frameWidth = std::max(width, 0) / kFrameCount;
  m_frameHeight = std::max(height, 0);
}

ButtonModel::Move ButtonModel::MouseMove() {
  Move move;
  move.trackLeave = !m_tracking;
  m_tracking = true;
  // Only the entry repaints; further moves over the button change nothing.
  move.repaint = m_frame != kHoverFrame;
  m_frame = kHoverFrame;
  return move;
}

bool ButtonModel::MouseLeave() {
  m_tracking = false;
  const bool changed = m_frame != kNormalFrame;
  m_frame = kNormalFrame;
  return changed;
}

Rect ButtonModel::Source(int32_t width, int32_t height) const {
  if (m_frameWidth <= 0 || m_frameHeight <= 0) return {};
  // A control larger than a frame shows what was there beyond it; the frame never spills over.
  return Rect::FromSize(m_frame * m_frameWidth, 0, std::clamp(width, 0, m_frameWidth),
                        std::clamp(height, 0, m_frameHeight));
}

}  // namespace lumio
