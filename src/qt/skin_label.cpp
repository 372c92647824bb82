#include "qt/skin_label.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include "qt/fonts.h"
#include "qt/model_paint.h"

namespace lumio {

namespace {

constexpr int kWindowFontHeight = 12;

// The banner is a single line: line breaks show as spaces.
QString OneLine(QString text) {
  text.replace(QLatin1String("\r\n"), QLatin1String(" "));
  text.replace(QLatin1Char('\n'), QLatin1Char(' '));
  text.replace(QLatin1Char('\r'), QLatin1Char(' '));
  return text;
}

// The model keeps texts as UTF-8 bytes.
QString FromModel(const std::string& text) {
  return QString::fromStdString(text);
}

}  // namespace

SkinLabel::SkinLabel(int controlId, QWidget* parent) : QWidget(parent), controlId_(controlId) {
  setFont(ProgramFont(kWindowFontHeight));
  setMouseTracking(true);
  setCursor(Qt::PointingHandCursor);
  model_.SetTextColour(FromQColor(palette().color(QPalette::WindowText)));
  model_.Resize(width(), height());
  connect(&timer_, &QTimer::timeout, this, &SkinLabel::ScrollTick);
}

void SkinLabel::SetText(const QString& text) {
  model_.SetText(text.toStdString());
  Changed();
}

void SkinLabel::SetTextColor(const QColor& color) {
  model_.SetTextColour(FromQColor(color));
  Changed();
}

void SkinLabel::SetFontHeight(int height) {
  model_.SetFontHeight(height);
  Changed();
}

void SkinLabel::StartScrolling(int step, int periodMs) {
  model_.StartScrolling(step, periodMs);
  Changed();
}

void SkinLabel::SetScrollDirection(int direction) {
  model_.SetScrollDirection(direction);
}

void SkinLabel::SetTop(int y) {
  model_.SetTop(y);
  Changed();
}

void SkinLabel::SetBackgroundCaptured(bool captured) {
  // Qt paints the label over its parent's freshly painted skin, so a repaint is all it takes.
  if (!captured) update();
}

QString SkinLabel::text() const {
  return FromModel(model_.text());
}

QString SkinLabel::displayedText() const {
  return FromModel(model_.displayedText());
}

QFont SkinLabel::drawingFont() const {
  const BannerModel::Font& wanted = model_.font();
  QFont drawing = font();
  if (wanted.windowFont) return drawing;
  // Qt fonts scale their width with their height; the window font's own width is its height's.
  if (wanted.height > 0) drawing.setPixelSize(wanted.height);
  drawing.setUnderline(wanted.underline);
  return drawing;
}

BannerModel::Extent SkinLabel::Measure(const std::string& text) const {
  const QFontMetrics metrics(drawingFont());
  return {metrics.horizontalAdvance(OneLine(FromModel(text))), metrics.height()};
}

void SkinLabel::ScrollTick() {
  if (model_.Tick([this](const std::string& text) { return Measure(text); })) update();
}

void SkinLabel::Changed() {
  if (model_.timerWanted()) {
    if (!timer_.isActive() || timer_.interval() != model_.periodMs())
      timer_.start(model_.periodMs());
  } else {
    timer_.stop();
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
  const Point at = model_.Paint([this](const std::string& text) { return Measure(text); });
  const QString text = OneLine(displayedText());
  const QFont drawing = drawingFont();
  const QColor color = ToQColor(model_.colour());
  if (text != renderedText_ || drawing != renderedFont_ || color != renderedColor_ ||
      rendering_.isNull()) {
    renderedText_ = text;
    renderedFont_ = drawing;
    renderedColor_ = color;
    const BannerModel::Extent extent = model_.textExtent();
    rendering_ = QPixmap();
    if (extent.width > 0 && extent.height > 0) {
      const qreal ratio = devicePixelRatioF();
      rendering_ = QPixmap(QSize(extent.width, extent.height) * ratio);
      rendering_.setDevicePixelRatio(ratio);
      rendering_.fill(Qt::transparent);
      QPainter painter(&rendering_);
      painter.setFont(drawing);
      painter.setPen(color);
      painter.drawText(0, QFontMetrics(drawing).ascent(), text);
    }
  }
  if (rendering_.isNull()) return;
  QPainter painter(this);
  painter.drawPixmap(QPoint(at.x, at.y), rendering_);
}

void SkinLabel::resizeEvent(QResizeEvent* event) {
  model_.Resize(width(), height());
  QWidget::resizeEvent(event);
}

void SkinLabel::mouseMoveEvent(QMouseEvent* event) {
  if (model_.Hover()) Changed();
  event->accept();
}

void SkinLabel::leaveEvent(QEvent* event) {
  if (model_.Leave()) Changed();
  QWidget::leaveEvent(event);
}

void SkinLabel::mousePressEvent(QMouseEvent* event) {
  // Every button's press is the banner's own; only the left one is a click.
  event->accept();
  if (event->button() == Qt::LeftButton && model_.Press()) emit clicked();
}

void SkinLabel::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
}

void SkinLabel::mouseDoubleClickEvent(QMouseEvent* event) {
  // The first press opened the page; the second must not open it again.
  event->accept();
  if (event->button() == Qt::LeftButton && model_.DoubleClick()) emit clicked();
}

}  // namespace lumio
