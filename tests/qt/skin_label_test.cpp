// SkinLabel: scrolling by steps, wrap-around, a new text at the wrap-around, hover and leave.
// Ticks are driven by hand; the label's own timer cannot fire while the test runs no event loop.

#include <QApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QToolTip>
#include <QtTest>

#include "pixels.h"
#include "qt/skin_label.h"

namespace lumio {
namespace {

using test::InkBounds;
using test::Shot;

const QColor kBanner(172, 255, 255);
const QColor kWindow(20, 40, 60);
const QString kWelcome = QStringLiteral("欢迎使用Lumio网络收音机1.2 - Tarvel网络");

// A skin that differs from pixel to pixel, so that any stale or shifted copy of it shows.
QImage Pattern(int variant) {
  QImage image(300, 100, QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const int a = (x * 7 + y * 3) % 200;
      const int b = (y * 11 + x) % 200;
      image.setPixel(x, y, variant == 0 ? qRgb(a, b, 40) : qRgb(40, a, b));
    }
  }
  return image;
}

class Skinned : public QWidget {
 public:
  explicit Skinned(const QImage& image) : skin(image) { resize(image.size()); }
  QImage skin;

 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, skin); }
};

class SkinLabelTest : public QObject {
  Q_OBJECT

 private:
  QWidget window_;
  SkinLabel* label_ = nullptr;

  void SetWindowColor(const QColor& color) {
    QPalette palette = window_.palette();
    palette.setColor(QPalette::Window, color);
    window_.setPalette(palette);
  }

 private slots:
  // Configured as the main window configures its banner.
  void init() {
    window_.resize(300, 100);
    window_.setAutoFillBackground(true);
    SetWindowColor(kWindow);
    delete label_;
    label_ = new SkinLabel(1023, &window_);
    label_->setGeometry(20, 30, 200, 20);
    label_->show();
    label_->SetTextColor(kBanner);
    label_->SetFontHeight(14);
    label_->StartScrolling(5, 200);
    label_->SetScrollDirection(SkinLabel::kScrollLeft);
    label_->SetTop(0);
    label_->SetText(kWelcome);
  }

  void ScrollsLeftByStepsAndWraps() {
    QCOMPARE(label_->displayedText(), kWelcome);
    QCOMPARE(label_->drawingPoint(), QPoint(3, 0));
    const int width = label_->textSize().width();
    QVERIFY(width > 200);
    int x = 3;
    while (x > -width) {
      label_->ScrollTick();
      x -= 5;
      QCOMPARE(label_->drawingPoint(), QPoint(x, 0));
    }
    label_->ScrollTick();
    QCOMPARE(label_->drawingPoint(), QPoint(200, 0));
    label_->ScrollTick();
    QCOMPARE(label_->drawingPoint(), QPoint(195, 0));
  }

  void TextIsDrawnWhereItIs() {
    QImage shot = Shot(*label_);
    QRect ink = InkBounds(shot, shot.rect(), kWindow);
    QVERIFY(!ink.isEmpty());
    QVERIFY2(ink.left() >= 3 && ink.left() <= 5, qPrintable(QString::number(ink.left())));
    for (int i = 0; i < 10; ++i)
      label_->ScrollTick();
    shot = Shot(*label_);
    ink = InkBounds(shot, shot.rect(), kWindow);
    // The text now starts 50 px further left, outside the label: its ink touches the left edge.
    QCOMPARE(ink.left(), 0);
    // After the wrap-around the text comes in from the right edge.
    while (label_->drawingPoint().x() != 200)
      label_->ScrollTick();
    for (int i = 0; i < 4; ++i)
      label_->ScrollTick();
    shot = Shot(*label_);
    ink = InkBounds(shot, shot.rect(), kWindow);
    QVERIFY2(ink.left() >= 180 && ink.left() <= 182, qPrintable(QString::number(ink.left())));
  }

  void NewTextTakesOverAtTheWrapAround() {
    label_->ScrollTick();
    const QString next = QStringLiteral("新的文字");
    label_->SetText(next);
    QCOMPARE(label_->text(), next);
    QCOMPARE(label_->displayedText(), kWelcome);
    int ticks = 0;
    while (label_->drawingPoint().x() != 200 && ticks < 1000) {
      QCOMPARE(label_->displayedText(), kWelcome);
      label_->ScrollTick();
      ++ticks;
    }
    QCOMPARE(label_->displayedText(), next);
    // The wrap-around of the new text follows its own width.
    const int width = label_->textSize().width();
    QVERIFY(width < 100);
    int x = 200;
    while (x > -width) {
      label_->ScrollTick();
      x -= 5;
    }
    label_->ScrollTick();
    QCOMPARE(label_->drawingPoint().x(), 200);
  }

  void SameTextChangesNothing() {
    label_->ScrollTick();
    label_->SetText(kWelcome);
    QCOMPARE(label_->displayedText(), kWelcome);
    QCOMPARE(label_->drawingPoint(), QPoint(-2, 0));
  }

  void StillLabelShowsANewTextAtOnce() {
    SkinLabel still(1, &window_);
    still.SetText(QStringLiteral("一"));
    still.SetText(QStringLiteral("二"));
    QCOMPARE(still.displayedText(), QStringLiteral("二"));
    QCOMPARE(still.drawingPoint(), QPoint(3, 3));
  }

  void OtherDirections_data() {
    QTest::addColumn<int>("direction");
    QTest::addColumn<int>("dx");
    QTest::addColumn<int>("dy");
    QTest::newRow("right") << int(SkinLabel::kScrollRight) << 5 << 0;
    QTest::newRow("up") << int(SkinLabel::kScrollUp) << 0 << -5;
    QTest::newRow("down") << int(SkinLabel::kScrollDown) << 0 << 5;
  }

  void OtherDirections() {
    QFETCH(int, direction);
    QFETCH(int, dx);
    QFETCH(int, dy);
    label_->SetScrollDirection(direction);
    const QSize text = label_->textSize();
    QPoint expected = label_->drawingPoint();
    for (int i = 0; i < 3; ++i) {
      label_->ScrollTick();
      expected += QPoint(dx, dy);
      QCOMPARE(label_->drawingPoint(), expected);
    }
    // Run to the wrap-around: the text restarts beyond the opposite edge.
    QPoint before = label_->drawingPoint();
    for (int i = 0; i < 1000; ++i) {
      label_->ScrollTick();
      const QPoint now = label_->drawingPoint();
      if (now.x() * dx < before.x() * dx || now.y() * dy < before.y() * dy) break;
      before = now;
    }
    const QPoint wrapped = label_->drawingPoint();
    if (direction == SkinLabel::kScrollRight) QCOMPARE(wrapped.x(), -text.width());
    if (direction == SkinLabel::kScrollUp) QCOMPARE(wrapped.y(), 20);
    if (direction == SkinLabel::kScrollDown) QCOMPARE(wrapped.y(), -text.height());
  }

  void HoverStopsAsARedLinkAndLeaveRestores() {
    window_.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window_));
    QTest::mouseMove(&window_, QPoint(280, 90));
    QVERIFY(label_->isScrollTimerActive());
    label_->ScrollTick();
    const QPoint where = label_->drawingPoint();

    QTest::mouseMove(label_, QPoint(50, 10));
    QVERIFY(!label_->isScrollTimerActive());
    QCOMPARE(label_->textColor(), QColor(255, 0, 0));
    QVERIFY(label_->drawingFont().underline());
    QCOMPARE(label_->drawingFont().pixelSize(), 14);
    // The cursor the window shows now, not just the one the label asks for.
    QCOMPARE(window_.windowHandle()->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(label_->drawingPoint(), where);
    const QImage red = Shot(*label_);
    bool sawRed = false;
    for (int y = 0; y < red.height() && !sawRed; ++y) {
      for (int x = 0; x < red.width() && !sawRed; ++x) {
        sawRed = red.pixelColor(x, y) == QColor(255, 0, 0);
      }
    }
    QVERIFY(sawRed);

    QTest::mouseMove(&window_, QPoint(280, 90));
    QVERIFY(label_->isScrollTimerActive());
    QCOMPARE(label_->textColor(), kBanner);
    QVERIFY(!label_->drawingFont().underline());
    QCOMPARE(label_->drawingPoint(), where);
    QVERIFY(window_.windowHandle()->cursor().shape() != Qt::PointingHandCursor);
  }

  void LeftPressReportsAClick() {
    window_.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window_));
    QSignalSpy clicked(label_, &SkinLabel::clicked);
    QTest::mouseClick(label_, Qt::RightButton, {}, QPoint(20, 10));
    QCOMPARE(clicked.count(), 0);
    QTest::mousePress(label_, Qt::LeftButton, {}, QPoint(20, 10));
    QCOMPARE(clicked.count(), 1);
    QTest::mouseRelease(label_, Qt::LeftButton, {}, QPoint(20, 10));
    // A double click, as the windowing system delivers it, opens the page once.
    QTest::mouseDClick(window_.windowHandle(), Qt::LeftButton, {}, QPoint(40, 40));
    QCOMPARE(clicked.count(), 2);
  }

  void NeverShowsTheWindowsTip() {
    window_.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window_));
    window_.setToolTip(QStringLiteral("窗口"));
    const QPoint pos(20, 10);
    QHelpEvent help(QEvent::ToolTip, pos, label_->mapToGlobal(pos));
    QApplication::sendEvent(label_, &help);
    QVERIFY(!QToolTip::isVisible() || QToolTip::text() != QStringLiteral("窗口"));
    window_.setToolTip(QString());
  }

  // Around the letters the skin shows pixel for pixel, and after a skin change the new one.
  void SkinShowsAroundTheText() {
    Skinned skin(Pattern(0));
    SkinLabel banner(1023, &skin);
    banner.setGeometry(20, 30, 200, 20);
    banner.SetTextColor(kBanner);
    banner.SetFontHeight(14);
    banner.SetTop(0);
    banner.SetText(QStringLiteral("欢迎"));
    const QRect text(banner.mapTo(&skin, banner.drawingPoint()), banner.textSize());
    QVERIFY(QRect(20, 30, 200, 20).contains(text));
    for (int variant : {0, 1}) {
      if (variant == 1) {
        skin.skin = Pattern(1);
        skin.update();
        banner.SetBackgroundCaptured(false);
      }
      const QImage shot = Shot(skin);
      int mismatches = 0;
      int ink = 0;
      for (int y = 30; y < 50; ++y) {
        for (int x = 20; x < 220; ++x) {
          const bool same = shot.pixel(x, y) == skin.skin.pixel(x, y);
          if (text.contains(x, y)) {
            ink += same ? 0 : 1;
          } else {
            mismatches += same ? 0 : 1;
          }
        }
      }
      QVERIFY2(mismatches == 0, qPrintable(QString::number(mismatches)));
      QVERIFY(ink > 20);
    }
  }

  void cleanupTestCase() {
    delete label_;
    label_ = nullptr;
  }
};

}  // namespace
}  // namespace lumio

QTEST_MAIN(lumio::SkinLabelTest)
#include "skin_label_test.moc"
