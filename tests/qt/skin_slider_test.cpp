// SkinSlider on Qt: the track and thumb it paints where the model puts them, and that real mouse
// and keys reach the model and leave as the two queued signals.

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QtTest>

#include "parent_window.h"
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
  test::ParentWindow window_;
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

  void PaintsTrackAndThumb() {
    QCOMPARE(slider_->size(), QSize(180, 15));
    slider_->SetPos(50);  // thumb centre 89, thumb x 78..100, y 2..12
    QImage shot = Shot(*slider_);
    QCOMPARE(At(shot, 40, 7), kActiveChannel);  // left of the thumb
    QCOMPARE(At(shot, 120, 7), kChannel);       // right of it
    QCOMPARE(At(shot, 85, 5), kThumb);
    QCOMPARE(At(shot, 78, 5), kActiveChannel);  // the thumb's key column lets the track show
    QCOMPARE(At(shot, 85, 1), kActiveChannel);  // above the thumb's fixed top edge
    QCOMPARE(At(shot, 85, 13), kActiveChannel);
    Press(89);
    QCOMPARE(At(Shot(*slider_), 85, 5), kActiveThumb);
    Release(89);
    QCOMPARE(At(Shot(*slider_), 85, 5), kThumb);
    // A missing bitmap leaves nothing to draw, and nothing to crash on.
    QVERIFY(!slider_->SetChannelBitmaps(999999, 0, false, kKeyFromPixel, 0, 0));
    QVERIFY(!slider_->SetThumbBitmaps(999998, 999999, true, kKeyFromPixel, 0, 0));
    Shot(*slider_);
  }

  // The signals are posted: they carry the position of their moment and arrive after the
  // handler; the release hands the keyboard back to the window.
  void ADragLeavesAsQueuedSignals() {
    QSignalSpy changing(slider_, &SkinSlider::sliderChanging);
    QSignalSpy changed(slider_, &SkinSlider::sliderChanged);
    Press(43);
    Drag(500);
    QCOMPARE(changing.count(), 0);
    slider_->SetPos(30);
    Release(500);
    QCOMPARE(changed.count(), 0);
    QCoreApplication::processEvents();
    QCOMPARE(changing.count(), 2);
    QCOMPARE(changing.at(0), QVariantList({1020, 19}));
    QCOMPARE(changing.at(1), QVariantList({1020, 100}));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0), QVariantList({1020, 30}));
    QCOMPARE(QApplication::focusWidget(), &window_);
    QTest::keyClick(slider_, Qt::Key_PageDown);
    QCoreApplication::processEvents();
    QCOMPARE(changed.last(), QVariantList({1020, 50}));
  }

  // A menu that opens mid-press takes the mouse: the press ends there, and the pointer passing
  // over the slider afterwards moves nothing.
  void APopupMidPressEndsThePress() {
    QSignalSpy changed(slider_, &SkinSlider::sliderChanged);
    QTest::mousePress(slider_, Qt::LeftButton, {}, QPoint(90, 7));
    QVERIFY(slider_->model().pressed());
    QMenu menu(&window_);
    menu.addAction(QStringLiteral("菜单"));
    menu.popup(window_.mapToGlobal(QPoint(10, 10)));
    QTRY_VERIFY(!slider_->model().pressed());
    menu.close();
    const int pos = slider_->GetPos();
    Drag(20);
    QCoreApplication::processEvents();
    QCOMPARE(slider_->GetPos(), pos);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0), QVariantList({1020, pos}));
  }

  void KeepsItsOwnRightClicks() {
    QTest::mouseClick(slider_, Qt::RightButton, {}, QPoint(90, 7));
    QCOMPARE(window_.presses + window_.releases, 0);
    QCOMPARE(slider_->GetPos(), 0);
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
