#include "qt/fonts.h"

#include <QFontMetrics>
#include <QStringList>

namespace lumio {

namespace {
constexpr int kDefaultPixelHeight = 12;
}  // namespace

QFont ProgramFont(int pixelHeight, bool bold) {
  QFont font;
  // Qt takes the first family that is installed; fontconfig's own substitutes for a missing
  // "SimSun" are Latin-only fonts, so the CJK families must be named explicitly.
  font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Micro Hei"),
                    QStringLiteral("Noto Sans CJK SC")});
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixelHeight > 0 ? pixelHeight : kDefaultPixelHeight);
  font.setWeight(bold ? QFont::Bold : QFont::Normal);
  return font;
}

bool FontCanShow(const QFont& font, const QString& text) {
  const QFontMetrics metrics(font);
  for (const char32_t ch : text.toUcs4()) {
    const QChar::Category category = QChar::category(ch);
    // Line breaks and other control characters are never drawn as glyphs.
    if (category == QChar::Other_Control || category == QChar::Other_Format) continue;
    if (!metrics.inFontUcs4(ch)) return false;
  }
  return true;
}

}  // namespace lumio
