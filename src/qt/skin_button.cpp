#include "qt/skin_button.h"

#include <QMouseEvent>
#include <QPainter>

#include "qt/skin_resources.h"

namespace lumio {

namespace {
constexpr int kFrameCount = 4;
constexpr int kNormalFrame = 0;
constexpr int kHoverFrame = 1;
}  // namespace

SkinButton::SkinButton(int controlId, QWidget* parent) : QWidget(parent), controlId_(controlId) {
  setMouseTracking(true);
  setCursor(Qt::PointingHandCursor);
}

void SkinButton::SetSkinBitmap(int bitmapId) {
  SetSkinImage(SkinBitmap(bitmapId));
}

void SkinButton::SetSkinImage(const QImage& image) {
  skin_ = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_RGB32);
  frameWidth_ = skin_.width() / kFrameCount;
  frameHeight_ = skin_.height();
}

void SkinButton::paintEvent(QPaintEvent* /*event*/) {
  if (skin_.isNull() || frameWidth_ <= 0) return;
  QPainter painter(this);
  painter.drawImage(QPoint(0, 0), skin_, QRect(frame_ * frameWidth_, 0, frameWidth_, frameHeight_));
}

void SkinButton::mouseMoveEvent(QMouseEvent* event) {
  // Only the entry repaints; further moves over the button change nothing.
  ShowFrame(kHoverFrame);
  QWidget::mouseMoveEvent(event);
}

void SkinButton::leaveEvent(QEvent* event) {
  ShowFrame(kNormalFrame);
  QWidget::leaveEvent(event);
}

void SkinButton::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    pressed_ = true;
    event->accept();
    return;
  }
  QWidget::mousePressEvent(event);
}

void SkinButton::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mouseReleaseEvent(event);
    return;
  }
  const bool click = pressed_ && rect().contains(event->position().toPoint());
  pressed_ = false;
  event->accept();
  if (click) emit clicked(controlId_);
}

void SkinButton::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mouseDoubleClickEvent(event);
    return;
  }
  // Qt would take this for a second press, so a double click on Play would start and at once
  // pause; the first click has reported the command already.
  pressed_ = false;
  event->accept();
}

void SkinButton::ShowFrame(int frame) {
  if (frame_ == frame) return;
  frame_ = frame;
  update();
}

}  // namespace lumio
