// SkinButton: which frame shows, the hover frame while the pointer is over it, and clicks
// (a double click is one).

#include <QPainter>
#include <QSignalSpy>
#include <QtTest>

#include "pixels.h"
#include "qt/skin_button.h"

namespace lumio {
namespace {

using test::At;
using test::Shot;

const QColor kFrameColors[4] = {QColor(200, 0, 0), QColor(0, 200, 0), QColor(0, 0, 200),
                                QColor(200, 200, 0)};

// A 140 x 35 skin of four 35 x 35 frames, each in its own colour.
QImage FourFrames() {
  QImage image(140, 35, QImage::Format_RGB32);
  QPainter painter(&image);
  for (int i = 0; i < 4; ++i)
    painter.fillRect(i * 35, 0, 35, 35, kFrameColors[i]);
  return image;
}

class SkinButtonTest : public QObject {
  Q_OBJECT

 private:
  QWidget window_;
  SkinButton* button_ = nullptr;

 private slots:
  void init() {
    window_.resize(200, 100);
    delete button_;
    button_ = new SkinButton(1016, &window_);
    button_->SetSkinImage(FourFrames());
    button_->setGeometry(20, 20, 35, 35);
    button_->show();
    window_.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window_));
    QTest::mouseMove(&window_, QPoint(150, 80));
  }

  void HoverShowsFrameOneUntilLeave() {
    QCOMPARE(button_->frameWidth(), 35);
    QCOMPARE(button_->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(At(Shot(*button_), 17, 17), kFrameColors[0]);
    QTest::mouseMove(button_, QPoint(10, 10));
    QCOMPARE(button_->frame(), 1);
    QTest::mouseMove(button_, QPoint(20, 12));
    QCOMPARE(button_->frame(), 1);
    const QImage hover = Shot(*button_);
    QCOMPARE(At(hover, 0, 0), kFrameColors[1]);
    QCOMPARE(At(hover, 34, 34), kFrameColors[1]);
    QTest::mouseMove(&window_, QPoint(150, 80));
    QCOMPARE(button_->frame(), 0);
    QCOMPARE(At(Shot(*button_), 17, 17), kFrameColors[0]);
    // A second visit hovers again.
    QTest::mouseMove(button_, QPoint(5, 5));
    QCOMPARE(button_->frame(), 1);
  }

  void ClickReportsTheControlId_data() {
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QPoint>("releaseAt");
    QTest::addColumn<int>("clicks");
    QTest::newRow("left click") << Qt::LeftButton << QPoint(10, 10) << 1;
    QTest::newRow("released outside") << Qt::LeftButton << QPoint(60, 10) << 0;
    QTest::newRow("right click") << Qt::RightButton << QPoint(10, 10) << 0;
  }

  void ClickReportsTheControlId() {
    QFETCH(Qt::MouseButton, button);
    QFETCH(QPoint, releaseAt);
    QFETCH(int, clicks);
    QSignalSpy spy(button_, &SkinButton::clicked);
    QTest::mousePress(button_, button, {}, QPoint(10, 10));
    QTest::mouseRelease(button_, button, {}, releaseAt);
    QCOMPARE(spy.count(), clicks);
    if (clicks > 0) QCOMPARE(spy.at(0).at(0).toInt(), 1016);
  }

  // A double click on Next must skip one station, not two; a later click is a click again.
  // Sent through the window, as the windowing system delivers them: press, release, double
  // click, release.
  void DoubleClickIsOneClick() {
    QSignalSpy spy(button_, &SkinButton::clicked);
    QWindow* window = window_.windowHandle();
    const QPoint at = button_->mapTo(&window_, QPoint(10, 10));
    QTest::mouseDClick(window, Qt::LeftButton, {}, at);
    QCOMPARE(spy.count(), 1);
    QTest::mouseClick(window, Qt::LeftButton, {}, at);
    QCOMPARE(spy.count(), 2);
  }

  void MissingBitmapDrawsNothing() {
    window_.setAutoFillBackground(true);
    QPalette palette = window_.palette();
    palette.setColor(QPalette::Window, QColor(1, 2, 3));
    window_.setPalette(palette);
    button_->SetSkinBitmap(999999);
    button_->update();
    QCOMPARE(button_->frameWidth(), 0);
    QCOMPARE(At(test::Shot(window_), 30, 30), QColor(1, 2, 3));
  }

  void cleanupTestCase() {
    delete button_;
    button_ = nullptr;
  }
};

}  // namespace
}  // namespace lumio

QTEST_MAIN(lumio::SkinButtonTest)
#include "skin_button_test.moc"
