#include <windows.h>

#include "text/gbk.h"
#include "text/wide_text.h"

namespace lumio {
namespace {

constexpr UINT kGbkCodePage = 936;

std::wstring ToWide(UINT codePage, DWORD flags, std::string_view in) {
  if (in.empty()) return {};
  const int length = static_cast<int>(in.size());
  const int n = MultiByteToWideChar(codePage, flags, in.data(), length, nullptr, 0);
  if (n <= 0) return {};
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(codePage, flags, in.data(), length, wide.data(), n);
  return wide;
}

}  // namespace

std::wstring GbkToWide(std::string_view gbk) {
  // Strict first: the usual case, and the only one where every byte is a character.
  std::wstring strict = ToWide(kGbkCodePage, MB_ERR_INVALID_CHARS, gbk);
  if (!strict.empty() || gbk.empty()) return strict;
  return Utf8ToWide(GbkToUtf8Lossy(gbk));
}

bool WideToGbk(std::wstring_view wide, std::string& gbk) {
  gbk.clear();
  if (wide.empty()) return true;
  const int length = static_cast<int>(wide.size());
  BOOL usedDefault = FALSE;
  const int n = WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), length,
                                    nullptr, 0, nullptr, &usedDefault);
  if (n <= 0 || usedDefault) return false;
  gbk.resize(static_cast<size_t>(n));
  WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), length, gbk.data(), n,
                      nullptr, &usedDefault);
  if (usedDefault) gbk.clear();
  return !usedDefault;
}

std::wstring Utf8ToWide(std::string_view utf8) {
  return ToWide(CP_UTF8, 0, utf8);
}

}  // namespace lumio
