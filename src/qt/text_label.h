#pragma once
// A label drawn straight onto the skin: white text, no background of its own. It owns the mouse
// over its area, as a notifying static does: it shows its own tooltip (none, rather than the
// window's, when it has none), and a press, release or double click on it reaches neither the
// window's drag nor its menus. A click on a label is no command. Pointer moves still reach the
// window, which watches the pointer for docking.

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
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  const int controlId_;
  QString text_;
};

}  // namespace lumio
