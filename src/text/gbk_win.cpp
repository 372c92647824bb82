// GBK conversion through the system's code page 936 tables, so that the program converts exactly
// as the Windows it runs on does, whatever that system's ANSI code page.

#include <windows.h>

#include "text/gbk.h"

namespace lumio {
namespace {

constexpr UINT kGbk = 936;

std::optional<std::wstring> ToWide(UINT codePage, std::string_view in) {
  if (in.empty()) return std::wstring();
  const int inLength = static_cast<int>(in.size());
  const int n =
      MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, in.data(), inLength, nullptr, 0);
  if (n <= 0) return std::nullopt;
  std::wstring wide(static_cast<size_t>(n), L'\0');
  if (MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, in.data(), inLength, wide.data(), n) != n)
    return std::nullopt;
  return wide;
}

// Code page 936 refuses the conversion flags that UTF-8 takes; a character it lacks shows
// only through the default-character report.
std::optional<std::string> FromWide(UINT codePage, const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int inLength = static_cast<int>(wide.size());
  const bool utf8 = codePage == CP_UTF8;
  const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* defaultReport = utf8 ? nullptr : &usedDefault;
  const int n = WideCharToMultiByte(codePage, flags, wide.data(), inLength, nullptr, 0, nullptr,
                                    defaultReport);
  if (n <= 0 || usedDefault) return std::nullopt;
  std::string out(static_cast<size_t>(n), '\0');
  if (WideCharToMultiByte(codePage, flags, wide.data(), inLength, out.data(), n, nullptr,
                          defaultReport) != n ||
      usedDefault)
    return std::nullopt;
  return out;
}

std::optional<std::string> Convert(UINT from, UINT to, std::string_view in) {
  auto wide = ToWide(from, in);
  if (!wide) return std::nullopt;
  return FromWide(to, *wide);
}

}  // namespace

std::optional<std::string> GbkToUtf8(std::string_view gbk) {
  return Convert(kGbk, CP_UTF8, gbk);
}

std::optional<std::string> Utf8ToGbk(std::string_view utf8) {
  return Convert(CP_UTF8, kGbk, utf8);
}

std::string GbkToUtf8Lossy(std::string_view gbk) {
  std::string out;
  out.reserve(gbk.size() * 3 / 2);
  size_t i = 0;
  while (i < gbk.size()) {
    const auto lead = static_cast<unsigned char>(gbk[i]);
    if (lead < 0x80) {
      out += static_cast<char>(lead);
      ++i;
      continue;
    }
    // A lead byte takes its trail byte with it when the pair is refused, as long as that byte
    // could be a trail byte at all; otherwise only the bad byte is replaced.
    const bool pair =
        IsGbkLeadByte(lead) && i + 1 < gbk.size() && static_cast<unsigned char>(gbk[i + 1]) >= 0x40;
    const size_t length = pair ? 2 : 1;
    if (auto one = GbkToUtf8(gbk.substr(i, length))) {
      out += *one;
    } else {
      out += "\xEF\xBF\xBD";
    }
    i += length;
  }
  return out;
}

}  // namespace lumio
