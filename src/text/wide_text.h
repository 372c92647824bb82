#pragma once
// The program's GBK texts as the Windows W functions take them, and back. Converted through
// code page 936 explicitly, so that Chinese shows right on a Windows whose ANSI code page is
// another. Only the Windows build has these.

#include <string>
#include <string_view>

namespace lumio {

// GBK to UTF-16; a byte sequence that is not GBK becomes U+FFFD, so the result always shows.
std::wstring GbkToWide(std::string_view gbk);

// UTF-16 to GBK; nothing when a character has no GBK form (or the text is not UTF-16).
bool WideToGbk(std::wstring_view wide, std::string& gbk);

// UTF-8 (the encoding of the source code) to UTF-16, for the few texts that are not the
// program's own GBK texts; invalid UTF-8 becomes U+FFFD.
std::wstring Utf8ToWide(std::string_view utf8);

}  // namespace lumio
