#pragma once
// A label drawn straight onto the skin: white text, no background of its own.

#include <QString>
#include <QWidget>

namespace lumio {

class TextLabel : public QWidget {
  Q_OBJECT

 public:
  explicit TextLabel(int controlId, QWidget* parent = nullptr);

  int controlId() const { return controlId_; }
  void setText(const QString& text);
  const QString& text() const { return text_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const int controlId_;
  QString text_;
};

}  // namespace lumio
