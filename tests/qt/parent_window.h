#pragma once
// A window standing in for the main window behind a control: it counts the mouse buttons that
// come through to it, as a right click on the background opens the tray menu.

#include <QMouseEvent>
#include <QWidget>

namespace lumio::test {

class ParentWindow : public QWidget {
 public:
  int presses = 0;
  int releases = 0;

 protected:
  void mousePressEvent(QMouseEvent*) override { ++presses; }
  void mouseReleaseEvent(QMouseEvent*) override { ++releases; }
  void mouseDoubleClickEvent(QMouseEvent*) override { ++presses; }
};

}  // namespace lumio::test
