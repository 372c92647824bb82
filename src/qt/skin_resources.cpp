#include "qt/skin_resources.h"

#include <QString>

namespace lumio {

QImage SkinBitmap(int id) {
  QImage image(QStringLiteral(":/skin/%1.bmp").arg(id));
  if (image.isNull()) return image;
  // One pixel format for every bitmap, so key colours compare exactly.
  return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace lumio
