#include "qt/skin_button.h"

#include <QMouseEvent>
#include <QPainter>

#include "qt/model_paint.h"
#include "qt/skin_resources.h"

namespace lumio {

SkinButton::SkinButton(int controlId, QWidget* parent) : QWidget(parent), controlId_(controlId) {
  setMouseTracking(true);
  setCursor(Qt::PointingHandCursor);
}

void SkinButton::SetSkinBitmap(int bitmapId) {
  SetSkinImage(SkinBitmap(bitmapId));
}

void SkinButton::SetSkinImage(const QImage& image) {
  skin_ = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_RGB32);
  model_.SetBitmapSize(skin_.width(), skin_.height());
}

void SkinButton::paintEvent(QPaintEvent* /*event*/) {
  const Rect source = model_.Source(width(), height());
  if (skin_.isNull() || source.width() <= 0 || source.height() <= 0) return;
  QPainter painter(this);
  painter.drawImage(QPoint(0, 0), skin_, ToQRect(source));
}

void SkinButton::mouseMoveEvent(QMouseEvent* event) {
  // Qt reports the leave by itself: the model's request for it needs nothing here. The move goes
  // on to the window, which follows the pointer over all of itself.
  if (model_.MouseMove().repaint) update();
  QWidget::mouseMoveEvent(event);
}

void SkinButton::leaveEvent(QEvent* event) {
  if (model_.MouseLeave()) update();
  QWidget::leaveEvent(event);
}

void SkinButton::mousePressEvent(QMouseEvent* event) {
  // Every button's press is the button's own; only the left one is a click.
  event->accept();
  if (event->button() == Qt::LeftButton) Notify(model_.Press());
}

void SkinButton::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
}

void SkinButton::mouseDoubleClickEvent(QMouseEvent* event) {
  // Qt would take this for a second press, so a double click on Play would start and at once
  // pause.
  event->accept();
  if (event->button() == Qt::LeftButton) Notify(model_.DoubleClick());
}

void SkinButton::Notify(int32_t code) {
  if (code != kStnClicked) return;
  // Posted, as the command may open a modal dialog: the press is handled before it runs.
  QMetaObject::invokeMethod(
      this, [this] { emit clicked(controlId_); }, Qt::QueuedConnection);
}

}  // namespace lumio
