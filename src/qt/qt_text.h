#pragma once
// Texts cross between the core (GBK) and Qt (UTF-16) here and nowhere else.

#include <QString>
#include <string>

namespace lumio {

// A GBK text for display; undecodable bytes show as U+FFFD.
QString ToQString(const std::string& gbk);

// A text typed by the listener as GBK; characters GBK lacks become "?", which no station name
// holds in their place, so a search for them finds nothing rather than something wrong.
std::string ToGbk(const QString& text);

}  // namespace lumio
