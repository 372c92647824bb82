// SkinButton on Qt: the frames it paints, and that real clicks reach it and leave it as the
// command of its control id, on press.

#include <QPainter>
#include <QSignalSpy>
#include <QtTest>

#include "parent_window.h"
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
  test::ParentWindow window_;
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
    window_.presses = window_.releases = 0;
  }

  void PaintsTheFrameThePointerAsksFor() {
    QCOMPARE(button_->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(At(Shot(*button_), 17, 17), kFrameColors[0]);
    QTest::mouseMove(button_, QPoint(10, 10));
    const QImage hover = Shot(*button_);
    QCOMPARE(At(hover, 0, 0), kFrameColors[1]);
    QCOMPARE(At(hover, 34, 34), kFrameColors[1]);
    QTest::mouseMove(&window_, QPoint(150, 80));
    QCOMPARE(At(Shot(*button_), 17, 17), kFrameColors[0]);
  }

  // The command leaves on the press, right after it is handled; a double click on Next skips
  // one station, not two; no button's click reaches the window behind.
  void ClicksOnPressOncePerDoubleClickAndKeepsItsOwnRightClicks() {
    QSignalSpy spy(button_, &SkinButton::clicked);
    QWindow* window = window_.windowHandle();
    const QPoint at = button_->mapTo(&window_, QPoint(10, 10));
    QTest::mousePress(window, Qt::LeftButton, {}, at);
    QTRY_COMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), 1016);
    QTest::mouseRelease(window, Qt::LeftButton, {}, at);
    QTest::mouseDClick(window, Qt::LeftButton, {}, at);
    QTest::qWait(20);
    QCOMPARE(spy.count(), 2);
    QTest::mouseClick(window, Qt::RightButton, {}, at);
    QTest::qWait(20);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(window_.presses + window_.releases, 0);
  }

  void MissingBitmapDrawsNothing() {
    window_.setAutoFillBackground(true);
    QPalette palette = window_.palette();
    palette.setColor(QPalette::Window, QColor(1, 2, 3));
    window_.setPalette(palette);
    button_->SetSkinBitmap(999999);
    button_->update();
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
