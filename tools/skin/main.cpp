// lumio-skin-gen: paints every skin bitmap of Lumio and writes them as <id>.bmp (24-bit) plus
// the icon as 128.png into a folder; the committed res/skin is its output. With --preview it
// also writes a picture of both windows with every control in place, for judging the look; with
// --desktop-icons the program icon for the desktop's icon theme (committed in res/desktop/icons).
//
//   lumio-skin-gen OUTPUT_DIR [--preview FILE.png] [--preview-scale N] [--desktop-icons DIR]

#include "desktop_icons.h"
#include "paint_util.h"
#include "preview.h"
#include "skin_ids.h"
#include "skin_set.h"

#include <QDir>
#include <QFontInfo>
#include <QGuiApplication>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

namespace {

void Fail(const QString& message) {
  std::fprintf(stderr, "lumio-skin-gen: %s\n", qPrintable(message));
}

int Usage() {
  std::fprintf(stderr,
               "usage: lumio-skin-gen OUTPUT_DIR [--preview FILE.png] [--preview-scale N] "
               "[--desktop-icons DIR]\n");
  return 2;
}

// Without the CJK font, Chinese captions would be baked into the bitmaps as empty boxes.
bool CheckFont() {
  const QFont font = skin::SkinFont(12);
  const QString family = QFontInfo(font).family();
  if (family != QString::fromLatin1(skin::kFontFamily)) {
    Fail(QStringLiteral("font \"%1\" is not installed (got \"%2\"); install fonts-wqy-microhei")
             .arg(QString::fromLatin1(skin::kFontFamily), family));
    return false;
  }
  for (const QString& text : skin::SkinTexts()) {
    if (!skin::FontCovers(font, text)) {
      Fail(QStringLiteral("font \"%1\" has no glyphs for \"%2\"").arg(family, text));
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  // Painting needs no display; fonts come through fontconfig either way.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);

  QStringList args = QGuiApplication::arguments().mid(1);
  QString output;
  QString preview;
  QString desktopIcons;
  int scale = 2;
  for (int i = 0; i < args.size(); ++i) {
    if (args[i] == QLatin1String("--preview") && i + 1 < args.size()) {
      preview = args[++i];
    } else if (args[i] == QLatin1String("--desktop-icons") && i + 1 < args.size()) {
      desktopIcons = args[++i];
    } else if (args[i] == QLatin1String("--preview-scale") && i + 1 < args.size()) {
      bool ok = false;
      scale = args[++i].toInt(&ok);
      if (!ok || scale < 1 || scale > 8) return Usage();
    } else if (!args[i].startsWith(QLatin1String("--")) && output.isEmpty()) {
      output = args[i];
    } else {
      return Usage();
    }
  }
  if (output.isEmpty()) return Usage();
  if (!CheckFont()) return 1;

  QDir dir(output);
  if (!dir.mkpath(QStringLiteral("."))) {
    Fail(QStringLiteral("cannot create %1").arg(output));
    return 1;
  }

  const std::map<int, QImage> bitmaps = skin::BuildSkin();
  for (const auto& [id, image] : bitmaps) {
    const QString path = dir.filePath(QStringLiteral("%1.bmp").arg(id));
    if (!skin::WriteBmp24(image, path)) {
      Fail(QStringLiteral("cannot write %1").arg(path));
      return 1;
    }
  }
  const QImage icon = skin::BuildIconPng();
  const QString icon_path = dir.filePath(QStringLiteral("%1.png").arg(skin::kBmpIcon));
  if (!icon.convertToFormat(QImage::Format_ARGB32).save(icon_path, "PNG")) {
    Fail(QStringLiteral("cannot write %1").arg(icon_path));
    return 1;
  }
  std::printf("wrote %zu bitmaps and the icon to %s\n", bitmaps.size(), qPrintable(output));

  if (!desktopIcons.isEmpty()) {
    QString error;
    if (!skin::WriteDesktopIcons(desktopIcons, error)) {
      Fail(error);
      return 1;
    }
    std::printf("wrote the desktop icons to %s\n", qPrintable(desktopIcons));
  }

  if (!preview.isEmpty()) {
    if (!skin::ComposePreview(bitmaps, icon, scale).save(preview, "PNG")) {
      Fail(QStringLiteral("cannot write %1").arg(preview));
      return 1;
    }
    std::printf("wrote the preview to %s\n", qPrintable(preview));
  }
  return EXIT_SUCCESS;
}
