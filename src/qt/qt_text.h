#pragma once
// Texts cross between the core (GBK) and Qt (UTF-16) here and nowhere else.

#include <QString>
#include <optional>
#include <string>

namespace lumio {

// A GBK text for display; undecodable bytes show as U+FFFD.
QString ToQString(const std::string& gbk);

// A text shown by a control back as GBK; a character GBK lacks (such as the U+FFFD that
// ToQString makes of a bad byte) becomes "?", so a text that shows something never comes back
// empty.
std::string ToGbk(const QString& text);

// A text typed by the listener as GBK; nullopt when GBK lacks one of its characters, which
// therefore no station text can hold.
std::optional<std::string> ToGbkExactly(const QString& text);

}  // namespace lumio
