#include "qt/skin_slider.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>
#include <limits>

#include "qt/skin_drawing.h"
#include "qt/skin_resources.h"

namespace lumio {

namespace {

// The thumb's top edge is fixed; the top margin does not move it.
constexpr int kThumbTop = 2;

int ClampToInt(long long value) {
  return static_cast<int>(std::clamp<long long>(value, std::numeric_limits<int>::min(),
                                                std::numeric_limits<int>::max()));
}

}  // namespace

SkinSlider::SkinSlider(int controlId, QWidget* parent) : QWidget(parent), controlId_(controlId) {
  setFocusPolicy(Qt::ClickFocus);
  width_ = width();
  height_ = height();
}

SkinSlider::Layer SkinSlider::MakeLayer(const QImage& image, bool transparent, QRgb key, int keyX,
                                        int keyY) {
  Layer layer;
  if (image.isNull()) return layer;
  layer.bitmap = image.convertToFormat(QImage::Format_RGB32);
  if (transparent) layer.masked = BuildMask(layer.bitmap, key, keyX, keyY);
  return layer;
}

bool SkinSlider::SetChannelBitmaps(int channelId, int activeId, bool transparent, QRgb key,
                                   int keyX, int keyY) {
  if (channelId == 0) return SetChannelBitmaps(QImage(), QImage(), transparent, key, keyX, keyY);
  const QImage channel = SkinBitmap(channelId);
  const QImage active = activeId != 0 ? SkinBitmap(activeId) : QImage();
  if (channel.isNull() || (activeId != 0 && active.isNull())) {
    // The old track is gone either way; half of a new one would only mislead.
    channel_ = {};
    activeChannel_ = {};
    hasActiveChannel_ = false;
    return false;
  }
  return SetChannelBitmaps(channel, active, transparent, key, keyX, keyY);
}

bool SkinSlider::SetChannelBitmaps(const QImage& channel, const QImage& active, bool transparent,
                                   QRgb key, int keyX, int keyY) {
  if (channel.isNull()) {
    channelLoaded_ = false;
    channel_ = {};
    activeChannel_ = {};
    hasActiveChannel_ = false;
    return true;
  }
  channel_ = MakeLayer(channel, transparent, key, keyX, keyY);
  activeChannel_ = MakeLayer(active, transparent, key, keyX, keyY);
  hasActiveChannel_ = !activeChannel_.isNull();
  width_ = channel_.bitmap.width();
  height_ = channel_.bitmap.height();
  resize(width_, height_);
  transparentChannel_ = transparent;
  channelLoaded_ = true;
  return true;
}

bool SkinSlider::SetThumbBitmaps(int thumbId, int activeId, bool transparent, QRgb key, int keyX,
                                 int keyY) {
  if (thumbId == 0) return SetThumbBitmaps(QImage(), QImage(), transparent, key, keyX, keyY);
  const QImage thumb = SkinBitmap(thumbId);
  const QImage active = activeId != 0 ? SkinBitmap(activeId) : QImage();
  if (thumb.isNull() || (activeId != 0 && active.isNull())) {
    thumb_ = {};
    activeThumb_ = {};
    hasActiveThumb_ = false;
    return false;
  }
  return SetThumbBitmaps(thumb, active, transparent, key, keyX, keyY);
}

bool SkinSlider::SetThumbBitmaps(const QImage& thumb, const QImage& active, bool transparent,
                                 QRgb key, int keyX, int keyY) {
  if (thumb.isNull()) {
    thumbLoaded_ = false;
    thumb_ = {};
    activeThumb_ = {};
    hasActiveThumb_ = false;
    return true;
  }
  thumb_ = MakeLayer(thumb, transparent, key, keyX, keyY);
  activeThumb_ = MakeLayer(active, transparent, key, keyX, keyY);
  hasActiveThumb_ = !activeThumb_.isNull();
  thumbWidth_ = thumb_.bitmap.width();
  thumbHeight_ = thumb_.bitmap.height();
  if (!channelLoaded_) {
    width_ = width();
    height_ = height();
  }
  transparentThumb_ = transparent;
  thumbLoaded_ = true;
  return true;
}

void SkinSlider::SetRange(int min, int max, bool redraw) {
  min_ = min;
  max_ = max;
  if (redraw) update();
}

void SkinSlider::SetPos(int pos) {
  if (pos > max_) pos = max_;
  if (pos < min_) pos = min_;
  pos_ = pos;
  update();
}

void SkinSlider::SetMargins(int left, int top, int right, int bottom) {
  marginLeft_ = left;
  marginTop_ = top;
  marginRight_ = right;
  marginBottom_ = bottom;
}

void SkinSlider::ShowFocusRect(bool show, bool redraw) {
  showFocusRect_ = show;
  if (redraw) update();
}

int SkinSlider::PosToPixel(int pos) const {
  const int track = width_ - marginRight_ - thumbWidth_ - marginLeft_;
  // An empty range has only one place for the thumb: the left end.
  if (max_ == min_) return marginLeft_ + thumbWidth_ / 2;
  const double fraction =
      static_cast<double>(static_cast<long long>(pos) - min_) / (static_cast<double>(max_) - min_);
  const double offset = std::trunc(fraction * track);
  return ClampToInt(static_cast<long long>(marginLeft_) + static_cast<long long>(offset) +
                    thumbWidth_ / 2);
}

int SkinSlider::PixelToPos(int x) const {
  const int track = width_ - marginRight_ - marginLeft_ - thumbWidth_;
  // A track no wider than the thumb has no pixel to position mapping: everything is the start.
  if (track == 0) return min_;
  const double fraction = (static_cast<double>(x) - thumbWidth_ / 2 - marginLeft_) / track;
  const double pos = std::trunc(fraction * (static_cast<double>(max_) - min_) + min_);
  return ClampToInt(
      static_cast<long long>(std::clamp(pos, static_cast<double>(std::numeric_limits<int>::min()),
                                        static_cast<double>(std::numeric_limits<int>::max()))));
}

void SkinSlider::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  if (channelLoaded_) {
    if (hasActiveChannel_) {
      // Right of the thumb the plain track, left of it the active one; each bitmap is drawn
      // through its own mask so the two may have different outlines.
      const int px = PosToPixel(pos_);
      BlitBitmap(painter, px, 0, width_ - px, height_, channel_.bitmap, px, 0, channel_.masked,
                 transparentChannel_);
      BlitBitmap(painter, 0, 0, px, height_, activeChannel_.bitmap, 0, 0, activeChannel_.masked,
                 transparentChannel_);
    } else {
      BlitBitmap(painter, 0, 0, width_, height_, channel_.bitmap, 0, 0, channel_.masked,
                 transparentChannel_);
    }
  }
  if (thumbLoaded_) {
    const Layer& thumb = (hasActiveThumb_ && pressed_) ? activeThumb_ : thumb_;
    BlitBitmap(painter, PosToPixel(pos_) - thumbWidth_ / 2, kThumbTop, thumbWidth_, thumbHeight_,
               thumb.bitmap, 0, 0, thumb.masked, transparentThumb_);
  }
  if (showFocusRect_ && hasFocus()) {
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }
}

void SkinSlider::resizeEvent(QResizeEvent* event) {
  // Without a channel the track is the whole slider.
  if (!channelLoaded_) {
    width_ = width();
    height_ = height();
  }
  QWidget::resizeEvent(event);
}

void SkinSlider::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  // Qt keeps delivering the mouse to the pressed widget until release, as a capture would.
  setFocus(Qt::MouseFocusReason);
  pressed_ = true;
  const int x = event->position().toPoint().x();
  const int distance = x - PosToPixel(pos_);
  // A press on the thumb keeps the pointer's place on it; elsewhere the thumb jumps to it.
  grabOffset_ = std::abs(distance) <= thumbWidth_ / 2 ? distance : 0;
  DragTo(x);
  update();
  event->accept();
}

void SkinSlider::mouseMoveEvent(QMouseEvent* event) {
  if (!pressed_) return;
  DragTo(event->position().toPoint().x());
  event->accept();
}

void SkinSlider::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mouseReleaseEvent(event);
    return;
  }
  pressed_ = false;
  if (QWidget* parent = parentWidget()) {
    parent->setFocus(Qt::OtherFocusReason);
  } else {
    clearFocus();
  }
  update();
  PostChanged();
  event->accept();
}

void SkinSlider::DragTo(int x) {
  int v = x - grabOffset_;
  if (v < marginLeft_ + thumbWidth_ / 2) v = marginLeft_ + thumbWidth_ / 2;
  if (v > width_ - marginRight_ - thumbWidth_ / 2) v = width_ - marginRight_ - thumbWidth_ / 2;
  if (v == PosToPixel(pos_)) return;
  SetPos(PixelToPos(v));
  PostChanging();
}

void SkinSlider::keyPressEvent(QKeyEvent* event) {
  long long pos = pos_;
  switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
      pos -= 1;
      break;
    case Qt::Key_Right:
    case Qt::Key_Down:
      pos += 1;
      break;
    case Qt::Key_Home:
      pos = min_;
      break;
    case Qt::Key_End:
      pos = max_;
      break;
    case Qt::Key_PageUp:
      pos -= page_;
      break;
    case Qt::Key_PageDown:
      pos += page_;
      break;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  SetPos(ClampToInt(pos));
  PostChanged();
  event->accept();
}

void SkinSlider::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  update();
}

void SkinSlider::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  update();
}

void SkinSlider::PostChanging() {
  const int pos = pos_;
  QMetaObject::invokeMethod(
      this, [this, pos] { emit sliderChanging(controlId_, pos); }, Qt::QueuedConnection);
}

void SkinSlider::PostChanged() {
  const int pos = pos_;
  QMetaObject::invokeMethod(
      this, [this, pos] { emit sliderChanged(controlId_, pos); }, Qt::QueuedConnection);
}

}  // namespace lumio
