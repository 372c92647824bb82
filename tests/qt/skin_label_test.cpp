// SkinLabel on Qt: the text it draws where the model puts it over the skin behind, the link under
// a real pointer, and the clicks that leave it. Ticks are driven by hand; the label's own timer
// cannot fire while the test runs no event loop.

#include <QApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QToolTip>
#include <QtTest>

#include "parent_window.h"
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

// The banner as the main window configures it.
void Configure(SkinLabel& label) {
  label.setGeometry(20, 30, 200, 20);
  label.SetTextColor(kBanner);
  label.SetFontHeight(14);
  label.StartScrolling(5, 200);
  label.SetScrollDirection(BannerModel::kLeft);
  label.SetTop(0);
}

class SkinLabelTest : public QObject {
  Q_OBJECT

 private:
  test::ParentWindow window_;
  SkinLabel* label_ = nullptr;

 private slots:
  void init() {
    window_.resize(300, 100);
    window_.setAutoFillBackground(true);
    QPalette palette = window_.palette();
    palette.setColor(QPalette::Window, kWindow);
    window_.setPalette(palette);
    delete label_;
    label_ = new SkinLabel(1023, &window_);
    Configure(*label_);
    label_->SetText(kWelcome);
    label_->show();
    window_.presses = window_.releases = 0;
  }

  // The first paint measures the text; only then does it move, and the ink moves with it.
  void TextIsDrawnWhereItIsAndMovesAfterTheFirstPaint() {
    label_->ScrollTick();
    QCOMPARE(label_->model().drawingPoint(), (Point{3, 0}));
    QImage shot = Shot(*label_);
    QRect ink = InkBounds(shot, shot.rect(), kWindow);
    QVERIFY2(ink.left() >= 3 && ink.left() <= 5, qPrintable(QString::number(ink.left())));
    QVERIFY(label_->model().textExtent().width > 200);
    for (int i = 0; i < 10; ++i)
      label_->ScrollTick();
    shot = Shot(*label_);
    // The text now starts 50 px further left, outside the label: its ink touches the left edge.
    QCOMPARE(InkBounds(shot, shot.rect(), kWindow).left(), 0);
    while (label_->model().drawingPoint().x != 200)
      label_->ScrollTick();
    for (int i = 0; i < 4; ++i)
      label_->ScrollTick();
    shot = Shot(*label_);
    ink = InkBounds(shot, shot.rect(), kWindow);
    QVERIFY2(ink.left() >= 180 && ink.left() <= 182, qPrintable(QString::number(ink.left())));
  }

  void UnderThePointerARedLinkThatStandsStill() {
    window_.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window_));
    QTest::mouseMove(&window_, QPoint(280, 90));
    QVERIFY(label_->isScrollTimerActive());
    QTest::mouseMove(label_, QPoint(50, 10));
    QVERIFY(!label_->isScrollTimerActive());
    QVERIFY(label_->drawingFont().underline());
    // The cursor the window shows now, not just the one the label asks for.
    QCOMPARE(window_.windowHandle()->cursor().shape(), Qt::PointingHandCursor);
    const QImage red = Shot(*label_);
    QVERIFY(test::InkCount(red, red.rect(), kWindow) > 0);
    bool sawRed = false;
    for (int y = 0; y < red.height() && !sawRed; ++y) {
      for (int x = 0; x < red.width() && !sawRed; ++x)
        sawRed = red.pixelColor(x, y) == QColor(255, 0, 0);
    }
    QVERIFY(sawRed);
    QTest::mouseMove(&window_, QPoint(280, 90));
    QVERIFY(label_->isScrollTimerActive());
    QVERIFY(!label_->drawingFont().underline());
    QVERIFY(window_.windowHandle()->cursor().shape() != Qt::PointingHandCursor);
  }

  // A press opens the page once, a double click too; no click reaches the window behind.
  void ClicksLeaveTheBannerAndNothingElse() {
    window_.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window_));
    QSignalSpy clicked(label_, &SkinLabel::clicked);
    QTest::mouseClick(label_, Qt::RightButton, {}, QPoint(20, 10));
    QCOMPARE(clicked.count(), 0);
    QTest::mousePress(label_, Qt::LeftButton, {}, QPoint(20, 10));
    QCOMPARE(clicked.count(), 1);
    QTest::mouseRelease(label_, Qt::LeftButton, {}, QPoint(20, 10));
    QTest::mouseDClick(window_.windowHandle(), Qt::LeftButton, {}, QPoint(40, 40));
    QCOMPARE(clicked.count(), 2);
    QCOMPARE(window_.presses + window_.releases, 0);
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
    Configure(banner);
    banner.SetText(QStringLiteral("欢迎"));
    Shot(skin);
    const Point at = banner.model().drawingPoint();
    const BannerModel::Extent extent = banner.model().textExtent();
    const QRect text(banner.mapTo(&skin, QPoint(at.x, at.y)), QSize(extent.width, extent.height));
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
