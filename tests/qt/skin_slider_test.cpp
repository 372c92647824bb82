// SkinSlider: the position/pixel formulas, mouse and keys, and the two queued signals.

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QtTest>

#include "pixels.h"
#include "qt/skin_drawing.h"
#include "qt/skin_slider.h"

namespace lumio {
namespace {

using test::At;
using test::Shot;
using test::Solid;

const QColor kChannel(0, 0, 200);
const QColor kActiveChannel(0, 180, 0);
const QColor kKey(255, 0, 255);
const QColor kThumb(220, 0, 0);
const QColor kActiveThumb(230, 230, 0);

// A 23 x 11 thumb whose first column has the key colour of its top-left pixel.
QImage Thumb(const QColor& body) {
  QImage image = Solid(23, 11, body);
  for (int y = 0; y < image.height(); ++y)
    image.setPixelColor(0, y, kKey);
  return image;
}

class SkinSliderTest : public QObject {
  Q_OBJECT

 private:
  QWidget window_;
  SkinSlider* slider_ = nullptr;

  // Mouse events go straight to the slider, so nothing else runs before the check that the
  // signals have not arrived yet.
  void Mouse(QEvent::Type type, int x, Qt::MouseButton button, Qt::MouseButtons buttons) {
    const QPointF local(x, 7);
    QMouseEvent event(type, local, slider_->mapToGlobal(local), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(slider_, &event);
  }
  void Press(int x) { Mouse(QEvent::MouseButtonPress, x, Qt::LeftButton, Qt::LeftButton); }
  void Drag(int x) { Mouse(QEvent::MouseMove, x, Qt::NoButton, Qt::LeftButton); }
  void Release(int x) { Mouse(QEvent::MouseButtonRelease, x, Qt::LeftButton, Qt::NoButton); }
  void Key(int key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(slider_, &event);
  }

 private slots:
  // The normal-mode volume slider: 180 x 15 channel, 23 x 11 thumb, margins 2, 3, 2, 0.
  void init() {
    window_.resize(300, 100);
    window_.setFocusPolicy(Qt::StrongFocus);
    delete slider_;
    slider_ = new SkinSlider(1020, &window_);
    slider_->move(60, 55);
    slider_->show();
    QVERIFY(slider_->SetChannelBitmaps(Solid(180, 15, kChannel), Solid(180, 15, kActiveChannel),
                                       false, kKeyFromPixel, 0, 0));
    QVERIFY(
        slider_->SetThumbBitmaps(Thumb(kThumb), Thumb(kActiveThumb), true, kKeyFromPixel, 0, 0));
    slider_->ShowFocusRect(false, false);
    slider_->SetRange(0, 100, false);
    slider_->SetPos(0);
    slider_->SetMargins(2, 3, 2, 0);
    window_.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window_));
    window_.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window_));
  }

  void ResizedToTheChannel() {
    QCOMPARE(slider_->size(), QSize(180, 15));
    QCOMPARE(slider_->controlId(), 1020);
  }

  void Formulas_data() {
    QTest::addColumn<int>("pos");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("back");
    QTest::newRow("min") << 0 << 13 << 0;
    QTest::newRow("max") << 100 << 166 << 100;
    // Both conversions truncate, so a position need not survive the round trip.
    QTest::newRow("middle") << 50 << 89 << 49;
    QTest::newRow("one") << 1 << 14 << 0;
  }

  void Formulas() {
    QFETCH(int, pos);
    QFETCH(int, x);
    QFETCH(int, back);
    QCOMPARE(slider_->PosToPixel(pos), x);
    QCOMPARE(slider_->PixelToPos(x), back);
  }

  void DragLimitsAtBothEnds() {
    QCOMPARE(slider_->PixelToPos(13), 0);
    QCOMPARE(slider_->PixelToPos(167), 100);
  }

  void SetPosClamps_data() {
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("pos");
    QTest::addColumn<int>("expected");
    QTest::newRow("inside") << 0 << 100 << 40 << 40;
    QTest::newRow("above") << 0 << 100 << 150 << 100;
    QTest::newRow("below") << 0 << 100 << -5 << 0;
    QTest::newRow("min wins when above max") << 10 << 5 << 7 << 10;
  }

  void SetPosClamps() {
    QFETCH(int, min);
    QFETCH(int, max);
    QFETCH(int, pos);
    QFETCH(int, expected);
    slider_->SetRange(min, max, true);
    slider_->SetPos(pos);
    QCOMPARE(slider_->GetPos(), expected);
  }

  void PressOffTheThumbJumpsThere() {
    QSignalSpy changing(slider_, &SkinSlider::sliderChanging);
    Press(13 + 30);
    QVERIFY(slider_->isPressed());
    QCOMPARE(slider_->GetPos(), 19);
    QCOMPARE(changing.count(), 0);  // posted, not yet delivered
    QCoreApplication::processEvents();
    QCOMPARE(changing.count(), 1);
    QCOMPARE(changing.at(0).at(0).toInt(), 1020);
    QCOMPARE(changing.at(0).at(1).toInt(), 19);
    Release(13 + 30);
  }

  void PressOnTheThumbKeepsTheGrabOffset() {
    slider_->SetPos(50);  // thumb centre 89
    QSignalSpy changing(slider_, &SkinSlider::sliderChanging);
    Press(92);
    QCoreApplication::processEvents();
    QCOMPARE(slider_->GetPos(), 50);
    QCOMPARE(changing.count(), 0);
    Drag(102);  // centre follows to 99
    QCOMPARE(slider_->GetPos(), 56);
    Release(102);
    QCoreApplication::processEvents();
    QCOMPARE(changing.count(), 1);
    QCOMPARE(changing.at(0).at(1).toInt(), 56);
  }

  void DragPastBothEndsAndRelease() {
    QSignalSpy changing(slider_, &SkinSlider::sliderChanging);
    QSignalSpy changed(slider_, &SkinSlider::sliderChanged);
    Press(80);
    Drag(-50);
    QCOMPARE(slider_->GetPos(), 0);
    Drag(500);
    QCOMPARE(slider_->GetPos(), 100);
    QCOMPARE(slider_->PosToPixel(slider_->GetPos()), 166);
    Release(500);
    QVERIFY(!slider_->isPressed());
    QCOMPARE(changed.count(), 0);
    QCoreApplication::processEvents();
    QCOMPARE(changing.count(), 3);
    QCOMPARE(changing.at(1).at(1).toInt(), 0);
    QCOMPARE(changing.at(2).at(1).toInt(), 100);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toInt(), 1020);
    QCOMPARE(changed.at(0).at(1).toInt(), 100);
    // The keyboard goes back to the window.
    QCOMPARE(QApplication::focusWidget(), &window_);
  }

  void SignalsCarryThePositionAtPostingTime() {
    QSignalSpy changed(slider_, &SkinSlider::sliderChanged);
    slider_->SetPos(40);
    Key(Qt::Key_Right);
    slider_->SetPos(90);
    QCoreApplication::processEvents();
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(1).toInt(), 41);
  }

  void MovesWithoutAPressDoNothing() {
    QSignalSpy changing(slider_, &SkinSlider::sliderChanging);
    Drag(120);
    QCoreApplication::processEvents();
    QCOMPARE(slider_->GetPos(), 0);
    QCOMPARE(changing.count(), 0);
  }

  void Keys_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("expected");
    QTest::newRow("page up at 10") << 10 << int(Qt::Key_PageUp) << 0;
    QTest::newRow("page down") << 50 << int(Qt::Key_PageDown) << 70;
    QTest::newRow("page down near max") << 95 << int(Qt::Key_PageDown) << 100;
    QTest::newRow("left") << 50 << int(Qt::Key_Left) << 49;
    QTest::newRow("up") << 50 << int(Qt::Key_Up) << 49;
    QTest::newRow("right") << 50 << int(Qt::Key_Right) << 51;
    QTest::newRow("down") << 50 << int(Qt::Key_Down) << 51;
    QTest::newRow("home") << 50 << int(Qt::Key_Home) << 0;
    QTest::newRow("end") << 50 << int(Qt::Key_End) << 100;
    QTest::newRow("left at min still reports") << 0 << int(Qt::Key_Left) << 0;
  }

  void Keys() {
    QFETCH(int, start);
    QFETCH(int, key);
    QFETCH(int, expected);
    slider_->SetPos(start);
    QSignalSpy changed(slider_, &SkinSlider::sliderChanged);
    Key(key);
    QCOMPARE(slider_->GetPos(), expected);
    QCOMPARE(changed.count(), 0);
    QCoreApplication::processEvents();
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toInt(), 1020);
    QCOMPARE(changed.at(0).at(1).toInt(), expected);
  }

  void OtherKeysReportNothing() {
    slider_->SetPos(30);
    QSignalSpy changed(slider_, &SkinSlider::sliderChanged);
    Key(Qt::Key_A);
    QCoreApplication::processEvents();
    QCOMPARE(slider_->GetPos(), 30);
    QCOMPARE(changed.count(), 0);
  }

  void PaintsTrackAndThumb() {
    slider_->SetPos(50);  // thumb centre 89, thumb x 78..100, y 2..12
    QImage shot = Shot(*slider_);
    QCOMPARE(At(shot, 40, 7), kActiveChannel);  // left of the thumb
    QCOMPARE(At(shot, 120, 7), kChannel);       // right of it
    QCOMPARE(At(shot, 85, 5), kThumb);
    QCOMPARE(At(shot, 78, 5), kActiveChannel);  // the thumb's key column lets the track show
    QCOMPARE(At(shot, 85, 1), kActiveChannel);  // above the thumb's fixed top edge
    QCOMPARE(At(shot, 85, 13), kActiveChannel);
    Press(89);
    shot = Shot(*slider_);
    QCOMPARE(At(shot, 85, 5), kActiveThumb);
    QCOMPARE(At(shot, 78, 5), kActiveChannel);
    Release(89);
    QCOMPARE(At(Shot(*slider_), 85, 5), kThumb);
  }

  void MissingBitmapsFailAndDrawNothing() {
    QVERIFY(!slider_->SetChannelBitmaps(999999, 0, false, kKeyFromPixel, 0, 0));
    QVERIFY(!slider_->SetThumbBitmaps(999998, 999999, true, kKeyFromPixel, 0, 0));
    Shot(*slider_);  // paints without a crash
    QVERIFY(slider_->SetChannelBitmaps(0, 0, false, kKeyFromPixel, 0, 0));
    QVERIFY(slider_->SetThumbBitmaps(0, 0, true, kKeyFromPixel, 0, 0));
    Shot(*slider_);
  }

  void EmptyRangeIsHarmless() {
    slider_->SetRange(5, 5, true);
    slider_->SetPos(9);
    QCOMPARE(slider_->GetPos(), 5);
    QCOMPARE(slider_->PosToPixel(5), 13);
    QCOMPARE(slider_->PixelToPos(100), 5);
    Press(100);
    Drag(150);
    Release(150);
    QCOMPARE(slider_->GetPos(), 5);
  }

  void cleanupTestCase() {
    delete slider_;
    slider_ = nullptr;
  }
};

}  // namespace
}  // namespace lumio

QTEST_MAIN(lumio::SkinSliderTest)
#include "skin_slider_test.moc"
