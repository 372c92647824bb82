#include "controls/slider_model.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "ports/control_ids.h"

namespace lumio {

namespace {

int32_t ClampToInt(double value) {
  return static_cast<int32_t>(std::clamp(value,
                                         static_cast<double>(std::numeric_limits<int32_t>::min()),
                                         static_cast<double>(std::numeric_limits<int32_t>::max())));
}

}  // namespace

int32_t SliderModel::ClampPos(int32_t pos, int32_t min, int32_t max) {
  if (pos > max) pos = max;
  if (pos < min) pos = min;
  return pos;
}

void SliderModel::SetChannel(int32_t width, int32_t height, bool hasActive, bool transparent) {
  m_channelWidth = width;
  m_channelHeight = height;
  m_hasActiveChannel = hasActive;
  m_transparentChannel = transparent;
  m_channelLoaded = true;
}

void SliderModel::RemoveChannel() {
  // Half a track, or one whose bitmaps are gone, would only mislead: none is drawn.
  m_channelLoaded = false;
  m_hasActiveChannel = false;
}

void SliderModel::SetThumb(int32_t width, int32_t height, bool hasActive, bool transparent) {
  m_thumbWidth = width;
  m_thumbHeight = height;
  m_hasActiveThumb = hasActive;
  m_transparentThumb = transparent;
  m_thumbLoaded = true;
}

void SliderModel::RemoveThumb() {
  m_thumbLoaded = false;
  m_hasActiveThumb = false;
}

void SliderModel::Resize(int32_t width, int32_t height) {
  m_width = width;
  m_height = height;
}

void SliderModel::SetRange(int32_t min, int32_t max) {
  m_min = min;
  m_max = max;
}

void SliderModel::SetPos(int32_t pos) {
  m_pos = ClampPos(pos, m_min, m_max);
}

void SliderModel::SetMargins(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  m_marginLeft = left;
  m_marginTop = top;
  m_marginRight = right;
  m_marginBottom = bottom;
}

int32_t SliderModel::PosToPixel(int32_t pos) const {
  // An empty range has one place for the thumb: the left end.
  if (m_max == m_min) return m_marginLeft + m_thumbWidth / 2;
  const double track =
      static_cast<double>(trackWidth()) - m_marginRight - m_thumbWidth - m_marginLeft;
  const double fraction = (static_cast<double>(pos) - m_min) / (static_cast<double>(m_max) - m_min);
  return ClampToInt(m_marginLeft + std::trunc(fraction * track) + m_thumbWidth / 2);
}

int32_t SliderModel::PixelToPos(int32_t x) const {
  const double track =
      static_cast<double>(trackWidth()) - m_marginRight - m_marginLeft - m_thumbWidth;
  // A track no wider than the thumb maps every pixel to the start.
  if (track == 0) return m_min;
  const double fraction = (static_cast<double>(x) - m_thumbWidth / 2 - m_marginLeft) / track;
  return ClampToInt(
      std::trunc(fraction * (static_cast<double>(m_max) - m_min) + static_cast<double>(m_min)));
}

Rect SliderModel::ThumbRect() const {
  return Rect::FromSize(PosToPixel(m_pos) - m_thumbWidth / 2, kThumbTop, m_thumbWidth,
                        m_thumbHeight);
}

std::optional<SliderMessage> SliderModel::Press(int32_t x) {
  m_pressed = true;
  const int32_t distance = x - PosToPixel(m_pos);
  // A press on the thumb keeps the pointer's place on it; elsewhere the thumb jumps to it.
  m_grabOffset = std::abs(distance) <= m_thumbWidth / 2 ? distance : 0;
  return DragTo(x);
}

std::optional<SliderMessage> SliderModel::Move(int32_t x) {
  if (!m_pressed) return std::nullopt;
  return DragTo(x);
}

std::optional<SliderMessage> SliderModel::DragTo(int32_t x) {
  int32_t v = x - m_grabOffset;
  if (v < m_marginLeft + m_thumbWidth / 2) v = m_marginLeft + m_thumbWidth / 2;
  if (v > trackWidth() - m_marginRight - m_thumbWidth / 2)
    v = trackWidth() - m_marginRight - m_thumbWidth / 2;
  if (v == PosToPixel(m_pos)) return std::nullopt;
  SetPos(PixelToPos(v));
  return SliderMessage{kMsgSliderChanging, m_pos};
}

std::optional<SliderMessage> SliderModel::Release() {
  m_pressed = false;
  return Changed();
}

std::optional<SliderMessage> SliderModel::CaptureLost() {
  // Hovering after a press that ended elsewhere must not drag the volume.
  if (!m_pressed) return std::nullopt;
  return Release();
}

std::optional<SliderMessage> SliderModel::Key(SliderKey key) {
  double pos = m_pos;
  switch (key) {
    case SliderKey::kLeft:
    case SliderKey::kUp:
      pos -= 1;
      break;
    case SliderKey::kRight:
    case SliderKey::kDown:
      pos += 1;
      break;
    case SliderKey::kHome:
      pos = m_min;
      break;
    case SliderKey::kEnd:
      pos = m_max;
      break;
    case SliderKey::kPageUp:
      pos -= m_page;
      break;
    case SliderKey::kPageDown:
      pos += m_page;
      break;
  }
  SetPos(ClampToInt(pos));
  // At an end the position stays, and the change is reported all the same.
  return Changed();
}

SliderMessage SliderModel::Changed() const {
  return SliderMessage{kMsgSliderChanged, m_pos};
}

}  // namespace lumio
