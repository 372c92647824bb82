#include "qt/skin_resources.h"

#include <QHash>
#include <QString>

namespace lumio {

QImage SkinBitmap(int id) {
  // Each bitmap is decoded once: a mode switch sets dozens of them again. QImage shares its
  // pixels, so the cache costs one copy of the skin.
  static QHash<int, QImage> decoded;
  auto it = decoded.constFind(id);
  if (it != decoded.constEnd()) return *it;
  QImage image(QStringLiteral(":/skin/%1.bmp").arg(id));
  // One pixel format for every bitmap, so key colours compare exactly.
  if (!image.isNull()) image = image.convertToFormat(QImage::Format_RGB32);
  decoded.insert(id, image);
  return image;
}

}  // namespace lumio
