#include "desktop_icons.h"

#include "small_bitmaps.h"

#include <QDir>
#include <QPainter>
#include <QSvgGenerator>

namespace skin {

namespace {

// The SVG is the large icon's drawing; the smallest PNGs thicken the mark, which a vector
// picture needs not.
constexpr int kSvgSize = 64;

bool MakeFolder(const QDir& base, const QString& path, QString& error) {
  if (base.mkpath(path)) return true;
  error = QStringLiteral("cannot create %1").arg(base.filePath(path));
  return false;
}

}  // namespace

bool WriteDesktopIcons(const QString& folder, QString& error) {
  const QDir base(folder);
  for (int size : kDesktopIconSizes) {
    const QString dir = QStringLiteral("hicolor/%1x%1/apps").arg(size);
    if (!MakeFolder(base, dir, error)) return false;
    const QString path = base.filePath(dir + QStringLiteral("/lumio.png"));
    if (!PaintAppIcon(size, false).convertToFormat(QImage::Format_ARGB32).save(path, "PNG")) {
      error = QStringLiteral("cannot write %1").arg(path);
      return false;
    }
  }
  const QString dir = QStringLiteral("hicolor/scalable/apps");
  if (!MakeFolder(base, dir, error)) return false;
  QSvgGenerator svg;
  svg.setFileName(base.filePath(dir + QStringLiteral("/lumio.svg")));
  svg.setSize(QSize(kSvgSize, kSvgSize));
  svg.setViewBox(QRect(0, 0, kSvgSize, kSvgSize));
  svg.setTitle(QStringLiteral("Lumio"));
  svg.setDescription(QStringLiteral("The Lumio program icon"));
  QPainter painter;
  if (!painter.begin(&svg)) {
    error = QStringLiteral("cannot write %1").arg(svg.fileName());
    return false;
  }
  DrawAppIcon(painter, kSvgSize, false);
  painter.end();
  return true;
}

}  // namespace skin
