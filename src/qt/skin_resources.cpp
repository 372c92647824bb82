#include "qt/skin_resources.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QHash>
#include <QString>
#include <future>

namespace lumio {
namespace {

using Bitmaps = QHash<int, QImage>;

QImage Decode(const QString& path) {
  QImage image(path);
  // One pixel format for every bitmap, so key colours compare exactly.
  if (!image.isNull()) image = image.convertToFormat(QImage::Format_RGB32);
  return image;
}

Bitmaps DecodeAll() {
  Bitmaps bitmaps;
  QDirIterator it(QStringLiteral(":/skin"), {QStringLiteral("*.bmp")}, QDir::Files);
  while (it.hasNext()) {
    const QString path = it.next();
    bool isId = false;
    const int id = QFileInfo(path).completeBaseName().toInt(&isId);
    if (isId) bitmaps.insert(id, Decode(path));
  }
  return bitmaps;
}

// Each bitmap is decoded once: a mode switch sets dozens of them again. QImage shares its
// pixels, so the cache costs one copy of the skin.
Bitmaps& Decoded() {
  static Bitmaps decoded;
  return decoded;
}

std::future<Bitmaps>& Ahead() {
  static std::future<Bitmaps> ahead;
  return ahead;
}

}  // namespace

void DecodeSkinAhead() {
  if (Decoded().isEmpty() && !Ahead().valid()) Ahead() = std::async(std::launch::async, DecodeAll);
}

QImage SkinBitmap(int id) {
  Bitmaps& decoded = Decoded();
  if (Ahead().valid()) decoded = Ahead().get();
  auto it = decoded.constFind(id);
  if (it != decoded.constEnd()) return *it;
  QImage image = Decode(QStringLiteral(":/skin/%1.bmp").arg(id));
  decoded.insert(id, image);
  return image;
}

}  // namespace lumio
