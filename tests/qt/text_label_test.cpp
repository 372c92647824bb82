// TextLabel: the labels take their own mouse. A press, release or double click on one never
// reaches the window behind it (where it would drag the window or open a menu), its tooltip
// shows on hover, and pointer moves still reach the window.

#include <QApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QToolTip>
#include <QtTest>

#include "qt/text_label.h"

namespace lumio {
namespace {

// Stands in for the main window: counts the mouse events that reach its background.
class Background : public QWidget {
 public:
  int presses = 0;
  int releases = 0;
  int doubleClicks = 0;
  int moves = 0;

 protected:
  void mousePressEvent(QMouseEvent*) override { ++presses; }
  void mouseReleaseEvent(QMouseEvent*) override { ++releases; }
  void mouseDoubleClickEvent(QMouseEvent*) override { ++doubleClicks; }
  void mouseMoveEvent(QMouseEvent*) override { ++moves; }
};

class TextLabelTest : public QObject {
  Q_OBJECT

 private:
  Background window_;
  TextLabel* stationName_ = nullptr;
  TextLabel* status_ = nullptr;

 private slots:
  void initTestCase() {
    window_.resize(300, 100);
    window_.setMouseTracking(true);
    window_.setToolTip(QStringLiteral("欢迎"));
    stationName_ = new TextLabel(1013, &window_);
    stationName_->setGeometry(10, 50, 200, 30);
    stationName_->setText(QStringLiteral("Lumio网络收音机"));
    stationName_->setToolTip(QStringLiteral("系统时间"));
    status_ = new TextLabel(1014, &window_);
    status_->setGeometry(210, 60, 80, 15);
    window_.show();
    window_.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window_));
  }

  void ClicksStayOnTheLabel_data() {
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::newRow("left") << Qt::LeftButton;
    QTest::newRow("right") << Qt::RightButton;
  }

  // Sent through the window, as the windowing system delivers them.
  void ClicksStayOnTheLabel() {
    QFETCH(Qt::MouseButton, button);
    QWindow* window = window_.windowHandle();
    window_.presses = window_.releases = window_.doubleClicks = 0;
    const QPoint onName(30, 60);
    QTest::mouseClick(window, button, {}, onName);
    QTest::mouseDClick(window, button, {}, onName);
    QTest::mouseClick(window, button, {}, QPoint(215, 65));
    QCOMPARE(window_.presses, 0);
    QCOMPARE(window_.releases, 0);
    QCOMPARE(window_.doubleClicks, 0);
    // The background itself still gets its clicks.
    QTest::mouseClick(window, button, {}, QPoint(250, 20));
    QCOMPARE(window_.presses, 1);
    QCOMPARE(window_.releases, 1);
  }

  void MovesReachTheWindow() {
    QTest::mouseMove(&window_, QPoint(250, 20));
    window_.moves = 0;
    QTest::mouseMove(stationName_, QPoint(30, 10));
    QTest::mouseMove(stationName_, QPoint(40, 12));
    QVERIFY(window_.moves >= 1);
  }

  void HoverShowsTheLabelsOwnTip() {
    QToolTip::hideText();
    QTRY_VERIFY(!QToolTip::isVisible());
    QTest::mouseMove(&window_, QPoint(250, 20));
    QTest::mouseMove(stationName_, QPoint(60, 10));
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), QStringLiteral("系统时间"));
    QToolTip::hideText();
    QTRY_VERIFY(!QToolTip::isVisible());

    // A label without a tip of its own shows none, not the window's.
    const QPoint pos(5, 5);
    QHelpEvent help(QEvent::ToolTip, pos, status_->mapToGlobal(pos));
    QApplication::sendEvent(status_, &help);
    QVERIFY(!QToolTip::isVisible() || QToolTip::text() != QStringLiteral("欢迎"));
  }

  void cleanupTestCase() { QToolTip::hideText(); }
};

}  // namespace
}  // namespace lumio

QTEST_MAIN(lumio::TextLabelTest)
#include "text_label_test.moc"
