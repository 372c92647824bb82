#include "qt/text_label.h"

#include <QMouseEvent>
#include <QPainter>

#include "qt/fonts.h"

namespace lumio {

TextLabel::TextLabel(int controlId, QWidget* parent) : QWidget(parent), controlId_(controlId) {
  setAttribute(Qt::WA_TranslucentBackground);
  // Moves are left unhandled, so they pass on to the window.
  setMouseTracking(true);
  setFont(ProgramFont(12));
}

void TextLabel::setText(const QString& text) {
  if (text == text_) return;
  text_ = text;
  update();
}

bool TextLabel::event(QEvent* event) {
  // The window's own tip belongs to its background, not to the labels drawn on it.
  if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
    event->accept();
    return true;
  }
  return QWidget::event(event);
}

void TextLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(Qt::white);
  painter.setFont(font());
  painter.drawText(rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text_);
}

// Accepted, so the window behind never sees them: a press there would start a drag and a
// release open the menu.
void TextLabel::mousePressEvent(QMouseEvent* event) {
  event->accept();
}

void TextLabel::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
}

void TextLabel::mouseDoubleClickEvent(QMouseEvent* event) {
  event->accept();
}

}  // namespace lumio
