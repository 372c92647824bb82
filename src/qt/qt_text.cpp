#include "qt/qt_text.h"

#include "text/gbk.h"

namespace lumio {

QString ToQString(const std::string& gbk) {
  return QString::fromStdString(GbkToUtf8Lossy(gbk));
}

std::string ToGbk(const QString& text) {
  if (auto whole = Utf8ToGbk(text.toStdString())) return *whole;
  std::string gbk;
  for (const QChar& c : text) {
    // Surrogate halves are handled as their pair below.
    if (c.isHighSurrogate()) continue;
    const QString one = c.isLowSurrogate() ? QStringLiteral("?") : QString(c);
    gbk += Utf8ToGbk(one.toStdString()).value_or("?");
  }
  return gbk;
}

std::optional<std::string> ToGbkExactly(const QString& text) {
  // A surrogate half without its partner has no UTF-8 form: Qt would write "?" in its place.
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      ++i;
    } else if (text[i].isSurrogate()) {
      return std::nullopt;
    }
  }
  return Utf8ToGbk(text.toStdString());
}

}  // namespace lumio
