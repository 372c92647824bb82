// The skin as the window gets it: decoded ahead on another thread or on demand, the same pixels.

#include <QImage>
#include <QtTest>

#include "qt/skin_resources.h"

namespace lumio {
namespace {

class SkinResourcesTest : public QObject {
  Q_OBJECT

 private slots:
  // Runs first in a fresh process, so the bitmaps below come from the decoding ahead.
  void BitmapsDecodedAheadMatchADecodeOnDemand() {
    DecodeSkinAhead();
    for (int id : {128, 131, 142, 164, 169, 178, 182, 197}) {
      const QImage ahead = SkinBitmap(id);
      QVERIFY2(!ahead.isNull(), qPrintable(QStringLiteral("bitmap %1").arg(id)));
      QCOMPARE(ahead.format(), QImage::Format_RGB32);
      QCOMPARE(
          ahead,
          QImage(QStringLiteral(":/skin/%1.bmp").arg(id)).convertToFormat(QImage::Format_RGB32));
    }
  }

  void UnknownIdIsANullImage() {
    QVERIFY(SkinBitmap(999999).isNull());
    DecodeSkinAhead();  // too late to start again: changes nothing
    QVERIFY(!SkinBitmap(131).isNull());
  }
};

}  // namespace
}  // namespace lumio

QTEST_MAIN(lumio::SkinResourcesTest)
#include "skin_resources_test.moc"
