#include "qt/text_label.h"

#include <QPainter>

#include "qt/fonts.h"

namespace lumio {

TextLabel::TextLabel(int controlId, QWidget* parent) : QWidget(parent), controlId_(controlId) {
  setAttribute(Qt::WA_TranslucentBackground);
  setAttribute(Qt::WA_TransparentForMouseEvents);  // clicks fall through to the window
  setFont(ProgramFont(12));
}

void TextLabel::setText(const QString& text) {
  if (text == text_) return;
  text_ = text;
  update();
}

void TextLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(Qt::white);
  painter.setFont(font());
  painter.drawText(rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text_);
}

}  // namespace lumio
