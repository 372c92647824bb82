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
struct Cache {
  Bitmaps decoded;
  std::future<Bitmaps> ahead;  // the whole skin, while it is decoded ahead
};

Cache& TheCache() {
  static Cache cache;
  return cache;
}

}  // namespace

void DecodeSkinAhead() {
  Cache& cache = TheCache();
  if (cache.decoded.isEmpty() && !cache.ahead.valid())
    cache.ahead = std::async(std::launch::async, DecodeAll);
}

QImage SkinBitmap(int id) {
  Cache& cache = TheCache();
  if (cache.ahead.valid()) cache.decoded = cache.ahead.get();
  Bitmaps& decoded = cache.decoded;
  auto it = decoded.constFind(id);
  if (it != decoded.constEnd()) return *it;
  QImage image = Decode(QStringLiteral(":/skin/%1.bmp").arg(id));
  decoded.insert(id, image);
  return image;
}

}  // namespace lumio
