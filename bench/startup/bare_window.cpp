// The least a Qt 6 Widgets program does to put a window on the screen: a frameless window of the
// main window's size, shown at once. The yardstick of the start-up benchmark.

#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowFlags(Qt::FramelessWindowHint);
  window.setWindowTitle(QStringLiteral("bare Qt window"));
  window.resize(300, 580);
  window.show();
  return app.exec();
}
