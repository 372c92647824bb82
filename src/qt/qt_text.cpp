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

}  // namespace lumio
