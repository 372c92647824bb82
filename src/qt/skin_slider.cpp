#include "qt/skin_slider.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <optional>

#include "ports/control_ids.h"
#include "qt/skin_drawing.h"
#include "qt/skin_resources.h"

namespace lumio {

namespace {

std::optional<SliderKey> KeyOf(int key) {
  switch (key) {
    case Qt::Key_Left:
      return SliderKey::kLeft;
    case Qt::Key_Up:
      return SliderKey::kUp;
    case Qt::Key_Right:
      return SliderKey::kRight;
    case Qt::Key_Down:
      return SliderKey::kDown;
    case Qt::Key_Home:
      return SliderKey::kHome;
    case Qt::Key_End:
      return SliderKey::kEnd;
    case Qt::Key_PageUp:
      return SliderKey::kPageUp;
    case Qt::Key_PageDown:
      return SliderKey::kPageDown;
    default:
      return std::nullopt;
  }
}

}  // namespace

SkinSlider::SkinSlider(int controlId, QWidget* parent) : QWidget(parent), controlId_(controlId) {
  setFocusPolicy(Qt::ClickFocus);
  model_.Resize(width(), height());
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
    SetChannelBitmaps(QImage(), QImage(), transparent, key, keyX, keyY);
    return false;
  }
  return SetChannelBitmaps(channel, active, transparent, key, keyX, keyY);
}

bool SkinSlider::SetChannelBitmaps(const QImage& channel, const QImage& active, bool transparent,
                                   QRgb key, int keyX, int keyY) {
  channel_ = MakeLayer(channel, transparent, key, keyX, keyY);
  activeChannel_ = MakeLayer(active, transparent, key, keyX, keyY);
  if (channel.isNull()) {
    model_.RemoveChannel();
  } else {
    model_.SetChannel(channel.width(), channel.height(), !active.isNull(), transparent);
    resize(channel.size());
  }
  update();
  return true;
}

bool SkinSlider::SetThumbBitmaps(int thumbId, int activeId, bool transparent, QRgb key, int keyX,
                                 int keyY) {
  if (thumbId == 0) return SetThumbBitmaps(QImage(), QImage(), transparent, key, keyX, keyY);
  const QImage thumb = SkinBitmap(thumbId);
  const QImage active = activeId != 0 ? SkinBitmap(activeId) : QImage();
  if (thumb.isNull() || (activeId != 0 && active.isNull())) {
    SetThumbBitmaps(QImage(), QImage(), transparent, key, keyX, keyY);
    return false;
  }
  return SetThumbBitmaps(thumb, active, transparent, key, keyX, keyY);
}

bool SkinSlider::SetThumbBitmaps(const QImage& thumb, const QImage& active, bool transparent,
                                 QRgb key, int keyX, int keyY) {
  thumb_ = MakeLayer(thumb, transparent, key, keyX, keyY);
  activeThumb_ = MakeLayer(active, transparent, key, keyX, keyY);
  if (thumb.isNull()) {
    model_.RemoveThumb();
  } else {
    model_.SetThumb(thumb.width(), thumb.height(), !active.isNull(), transparent);
  }
  update();
  return true;
}

void SkinSlider::SetRange(int min, int max, bool redraw) {
  model_.SetRange(min, max);
  if (redraw) update();
}

void SkinSlider::SetPos(int pos) {
  model_.SetPos(pos);
  update();
}

void SkinSlider::SetMargins(int left, int top, int right, int bottom) {
  model_.SetMargins(left, top, right, bottom);
}

void SkinSlider::ShowFocusRect(bool show, bool redraw) {
  model_.ShowFocusRect(show);
  if (redraw) update();
}

void SkinSlider::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  const int width = model_.trackWidth();
  const int height = model_.trackHeight();
  const bool transparentChannel = model_.transparentChannel();
  if (model_.channelLoaded()) {
    if (model_.hasActiveChannel()) {
      // Right of the thumb the plain track, left of it the active one; each bitmap is drawn
      // through its own mask so the two may have different outlines.
      const int px = model_.ActiveChannelEnd();
      BlitBitmap(painter, px, 0, width - px, height, channel_.bitmap, px, 0, channel_.masked,
                 transparentChannel);
      BlitBitmap(painter, 0, 0, px, height, activeChannel_.bitmap, 0, 0, activeChannel_.masked,
                 transparentChannel);
    } else {
      BlitBitmap(painter, 0, 0, width, height, channel_.bitmap, 0, 0, channel_.masked,
                 transparentChannel);
    }
  }
  if (model_.thumbLoaded()) {
    const Layer& thumb = model_.ActiveThumbShown() ? activeThumb_ : thumb_;
    const Rect place = model_.ThumbRect();
    BlitBitmap(painter, place.left, place.top, place.width(), place.height(), thumb.bitmap, 0, 0,
               thumb.masked, model_.transparentThumb());
  }
  if (model_.FocusRectShown()) {
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }
}

void SkinSlider::resizeEvent(QResizeEvent* event) {
  model_.Resize(width(), height());
  QWidget::resizeEvent(event);
}

bool SkinSlider::event(QEvent* event) {
  // Qt's counterpart of a lost capture: the mouse went to a pop-up or another window mid-press.
  if (event->type() == QEvent::UngrabMouse) EndPressElsewhere();
  return QWidget::event(event);
}

void SkinSlider::mousePressEvent(QMouseEvent* event) {
  // Every button's press is the slider's own; only the left one moves it.
  event->accept();
  if (event->button() != Qt::LeftButton) return;
  // Qt keeps delivering the mouse to the pressed widget until release, as a capture would.
  setFocus(Qt::MouseFocusReason);
  Post(model_.Press(qRound(event->position().x())));
  update();
}

void SkinSlider::mouseDoubleClickEvent(QMouseEvent* event) {
  // A quick second press is a press like any other, which may start a drag.
  mousePressEvent(event);
}

void SkinSlider::mouseMoveEvent(QMouseEvent* event) {
  if (!model_.pressed()) return QWidget::mouseMoveEvent(event);
  event->accept();
  // The release went elsewhere (the window lost the mouse mid-press): the press ended there.
  if (!(event->buttons() & Qt::LeftButton)) return EndPressElsewhere();
  Post(model_.Move(qRound(event->position().x())));
  update();
}

void SkinSlider::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  if (event->button() != Qt::LeftButton) return;
  const std::optional<SliderMessage> changed = model_.Release();
  if (QWidget* parent = parentWidget()) {
    parent->setFocus(Qt::OtherFocusReason);
  } else {
    clearFocus();
  }
  update();
  Post(changed);
}

void SkinSlider::keyPressEvent(QKeyEvent* event) {
  const std::optional<SliderKey> key = KeyOf(event->key());
  if (!key) return QWidget::keyPressEvent(event);
  Post(model_.Key(*key));
  update();
  event->accept();
}

void SkinSlider::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  model_.SetFocus(true);
  update();
}

void SkinSlider::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  model_.SetFocus(false);
  // A menu or a dialog that took the keyboard mid-press took the mouse too.
  if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
    EndPressElsewhere();
  update();
}

void SkinSlider::EndPressElsewhere() {
  const std::optional<SliderMessage> changed = model_.CaptureLost();
  if (!changed) return;
  update();
  Post(changed);
}

void SkinSlider::Post(const std::optional<SliderMessage>& message) {
  if (!message) return;
  const SliderMessage posted = *message;
  QMetaObject::invokeMethod(
      this,
      [this, posted] {
        if (posted.message == kMsgSliderChanging) {
          emit sliderChanging(controlId_, posted.pos);
        } else {
          emit sliderChanged(controlId_, posted.pos);
        }
      },
      Qt::QueuedConnection);
}

}  // namespace lumio
