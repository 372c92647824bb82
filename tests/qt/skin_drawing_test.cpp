// Key-colour transparency: key pixels leave the destination alone, every other pixel is drawn.

#include <QPainter>
#include <QtTest>

#include "pixels.h"
#include "qt/skin_drawing.h"

namespace lumio {
namespace {

using test::At;
using test::Solid;

const QColor kKey(255, 0, 255);
const QColor kBody(200, 30, 30);
const QColor kDest(10, 120, 10);

// A 6 x 4 bitmap in the body colour whose first column has the key colour.
QImage KeyedBitmap() {
  QImage image = Solid(6, 4, kBody);
  for (int y = 0; y < image.height(); ++y)
    image.setPixelColor(0, y, kKey);
  return image;
}

class SkinDrawingTest : public QObject {
  Q_OBJECT

 private slots:
  void MaskedBlitSkipsOnlyKeyPixels() {
    const QImage bitmap = KeyedBitmap();
    const QImage masked = BuildMask(bitmap, kKeyFromPixel, 0, 0);
    QImage dest = Solid(10, 6, kDest);
    {
      QPainter painter(&dest);
      BlitMasked(painter, 2, 1, 6, 4, masked, 0, 0);
    }
    QCOMPARE(At(dest, 2, 1), kDest);  // the key column
    QCOMPARE(At(dest, 2, 4), kDest);
    QCOMPARE(At(dest, 3, 1), kBody);
    QCOMPARE(At(dest, 7, 4), kBody);
    QCOMPARE(At(dest, 8, 1), kDest);  // outside the blit
  }

  void PartsOutsideTheBitmapDrawNothing() {
    const QImage bitmap = KeyedBitmap();
    QImage dest = Solid(10, 6, kDest);
    {
      QPainter painter(&dest);
      // Source columns 4..9 of a 6-wide bitmap: only 4 and 5 exist.
      BlitBitmap(painter, 0, 0, 6, 4, bitmap, 4, 0, QImage(), false);
    }
    QCOMPARE(At(dest, 0, 0), kBody);
    QCOMPARE(At(dest, 1, 3), kBody);
    QCOMPARE(At(dest, 2, 0), kDest);
  }

  void NullBitmapsDrawNothing() {
    QImage dest = Solid(4, 4, kDest);
    {
      QPainter painter(&dest);
      BlitBitmap(painter, 0, 0, 4, 4, QImage(), 0, 0, QImage(), true);
      BlitBitmap(painter, 0, 0, 4, 4, QImage(), 0, 0, QImage(), false);
    }
    QVERIFY(BuildMask(QImage(), kKeyFromPixel, 0, 0).isNull());
    QCOMPARE(At(dest, 1, 1), kDest);
  }
};

}  // namespace
}  // namespace lumio

QTEST_MAIN(lumio::SkinDrawingTest)
#include "skin_drawing_test.moc"
