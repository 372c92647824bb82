#include "qt/skin_label.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include "qt/fonts.h"

namespace lumio {

namespace {

constexpr int kWindowFontHeight = 12;
constexpr int kLinkFontHeight = 14;
const QColor kLinkColor(255, 0, 0);
const QColor kBannerColor(172, 255, 255);

// The banner is a single line: line breaks show as spaces.
QString OneLine(QString text) {
  text.replace(QLatin1String("\r\n"), QLatin1String(" "));
  text.replace(QLatin1Char('\n'), QLatin1Char(' '));
  text.replace(QLatin1Char('\r'), QLatin1Char(' '));
  return text;
}

}  // namespace

SkinLabel::SkinLabel(int controlId, QWidget* parent)
    : QWidget(parent), controlId_(controlId), textColor_(palette().color(QPalette::WindowText)) {
  setFont(ProgramFont(kWindowFontHeight));
  setMouseTracking(true);
  setCursor(Qt::PointingHandCursor);
  connect(&timer_, &QTimer::timeout, this, &SkinLabel::ScrollTick);
}

void SkinLabel::SetText(const QString& text) {
  if (text == text_) return;
  text_ = text;
  // With nothing moving there is no wrap-around to wait for.
  if (displayed_.isEmpty() || !scrolling_) Display(text_);
}

void SkinLabel::SetTextColor(const QColor& color) {
  if (color != textColor_) {
    textColor_ = color;
    rendered_ = false;
  }
  update();
}

void SkinLabel::SetFontHeight(int height) {
  QFont font = this->font();
  if (height > 0) font.setPixelSize(height);
  SwitchFont(font);
  update();
}

void SkinLabel::StartScrolling(int step, int periodMs) {
  scrollStep_ = step;
  scrollPeriodMs_ = periodMs;
  scrolling_ = true;
  // A period of 0 would tick without pause and starve the user interface.
  if (periodMs > 0) timer_.start(periodMs);
}

void SkinLabel::SetScrollDirection(int direction) {
  scrollDirection_ = direction;
}

void SkinLabel::SetTop(int y) {
  restY_ = y;
  currentY_ = y;
}

void SkinLabel::SetBackgroundCaptured(bool captured) {
  // Qt paints the label over its parent's freshly painted skin, so a repaint is all it takes.
  if (!captured) update();
}

QPoint SkinLabel::drawingPoint() const {
  return scrolling_ ? QPoint(currentX_, currentY_) : QPoint(restX_, restY_);
}

QSize SkinLabel::textSize() {
  EnsureMeasured();
  return {textWidth_, textHeight_};
}

void SkinLabel::ScrollTick() {
  EnsureMeasured();
  switch (scrollDirection_) {
    case kScrollLeft:
      if (currentX_ > -textWidth_) {
        currentX_ -= scrollStep_;
      } else {
        Display(text_);
        currentX_ = width();
      }
      break;
    case kScrollRight:
      if (currentX_ < width()) {
        currentX_ += scrollStep_;
      } else {
        Display(text_);
        EnsureMeasured();
        currentX_ = -textWidth_;
      }
      break;
    case kScrollUp:
      if (currentY_ > -textHeight_) {
        currentY_ -= scrollStep_;
      } else {
        Display(text_);
        currentY_ = height();
      }
      break;
    case kScrollDown:
      if (currentY_ < height()) {
        currentY_ += scrollStep_;
      } else {
        Display(text_);
        EnsureMeasured();
        currentY_ = -textHeight_;
      }
      break;
    default:
      break;
  }
  update();
}

bool SkinLabel::event(QEvent* event) {
  // The banner is a link of its own: it never shows the tip of the window behind it.
  if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
    event->accept();
    return true;
  }
  return QWidget::event(event);
}

void SkinLabel::paintEvent(QPaintEvent* /*event*/) {
  EnsureRendered();
  if (rendering_.isNull()) return;
  QPainter painter(this);
  painter.drawPixmap(drawingPoint(), rendering_);
}

void SkinLabel::mouseMoveEvent(QMouseEvent* event) {
  SetTextColor(kLinkColor);
  QFont link = font();
  link.setUnderline(true);
  link.setPixelSize(kLinkFontHeight);
  SwitchFont(link);
  update();
  timer_.stop();
  event->accept();
}

void SkinLabel::leaveEvent(QEvent* event) {
  SetTextColor(kBannerColor);
  QFont plain = font();
  plain.setUnderline(false);
  plain.setPixelSize(kLinkFontHeight);
  SwitchFont(plain);
  update();
  if (scrolling_ && scrollPeriodMs_ > 0) timer_.start(scrollPeriodMs_);
  QWidget::leaveEvent(event);
}

void SkinLabel::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  event->accept();
  emit clicked();
}

void SkinLabel::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mouseDoubleClickEvent(event);
    return;
  }
  // The first press opened the page; the second must not open it again.
  event->accept();
}

void SkinLabel::SwitchFont(const QFont& font) {
  if (!useWindowFont_ && font == labelFont_) return;
  useWindowFont_ = false;
  labelFont_ = font;
  measured_ = false;
  rendered_ = false;
}

void SkinLabel::Display(const QString& text) {
  if (text == displayed_) return;
  displayed_ = text;
  // The new text has its own width: measuring again keeps the next wrap-around in place.
  measured_ = false;
  rendered_ = false;
  update();
}

void SkinLabel::EnsureMeasured() {
  if (measured_) return;
  const QFontMetrics metrics(drawingFont());
  textWidth_ = metrics.horizontalAdvance(OneLine(displayed_));
  textHeight_ = metrics.height();
  measured_ = true;
}

void SkinLabel::EnsureRendered() {
  EnsureMeasured();
  if (rendered_) return;
  rendered_ = true;
  rendering_ = QPixmap();
  if (textWidth_ <= 0 || textHeight_ <= 0) return;
  const qreal ratio = devicePixelRatioF();
  rendering_ = QPixmap(QSize(textWidth_, textHeight_) * ratio);
  rendering_.setDevicePixelRatio(ratio);
  rendering_.fill(Qt::transparent);
  QPainter painter(&rendering_);
  const QFont font = drawingFont();
  painter.setFont(font);
  painter.setPen(textColor_);
  painter.drawText(0, QFontMetrics(font).ascent(), OneLine(displayed_));
}

}  // namespace lumio
