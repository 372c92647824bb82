#include "winplayer/http_head.h"

#include <algorithm>
#include <charconv>

namespace lumio::win {
namespace {

std::wstring QueryHeaderWide(HINTERNET request, DWORD info, const wchar_t* name) {
  DWORD size = 0;
  WinHttpQueryHeaders(request, info, name, nullptr, &size, nullptr);
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) return {};
  std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  if (!WinHttpQueryHeaders(request, info, name, value.data(), &size, nullptr)) return {};
  value.resize(size / sizeof(wchar_t));
  return value;
}

std::string QueryHeader(HINTERNET request, DWORD info, const wchar_t* name) {
  return NarrowToAscii(QueryHeaderWide(request, info, name));
}

}  // namespace

std::wstring WidenAscii(std::string_view ascii) {
  return std::wstring(ascii.begin(), ascii.end());
}

// Header values and addresses the player reads are ASCII; anything else is of no use to it.
std::string NarrowToAscii(std::wstring_view wide) {
  std::string out;
  out.reserve(wide.size());
  for (const wchar_t c : wide)
    out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

std::string Utf8OfWide(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(std::max(size, 0)), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

std::optional<uint64_t> ContentLengthOfHeader(std::string_view value) {
  uint64_t length = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), length);
  if (value.empty() || error != std::errc() || end != value.data() + value.size())
    return std::nullopt;
  return length;
}

HttpHead ReadHttpHead(HINTERNET request, std::optional<uint64_t>* length) {
  HttpHead head;
  DWORD status = 0;
  DWORD size = sizeof status;
  WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER, nullptr,
                      &status, &size, nullptr);
  head.status = static_cast<int>(status);
  head.content_type = QueryHeader(request, WINHTTP_QUERY_CONTENT_TYPE, nullptr);
  head.icy_metaint = QueryHeader(request, WINHTTP_QUERY_CUSTOM, L"icy-metaint");
  head.location = Utf8OfWide(QueryHeaderWide(request, WINHTTP_QUERY_LOCATION, nullptr));
  *length = ContentLengthOfHeader(QueryHeader(request, WINHTTP_QUERY_CONTENT_LENGTH, nullptr));
  return head;
}

TransportError TransportErrorOfWinHttp(DWORD error, bool answered) {
  switch (error) {
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
      return TransportError::kHostUnknown;
    case ERROR_WINHTTP_TIMEOUT:
    // Wine hands up the socket's own error when a wait for the next bytes passes its limit: a
    // server that stopped answering, not a connection that broke. Told as a break, a playlist
    // that stopped coming would be read as if its last whole line were its end.
    case WSAETIMEDOUT:
      return TransportError::kTimedOut;
    case ERROR_WINHTTP_SECURE_FAILURE:
    case ERROR_WINHTTP_SECURE_INVALID_CA:
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
    case ERROR_WINHTTP_SECURE_INVALID_CERT:
    case ERROR_WINHTTP_SECURE_CERT_REVOKED:
    case ERROR_WINHTTP_SECURE_CERT_WRONG_USAGE:
    // Wine reports a certificate for another name as a failure of the secure channel.
    case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
      return TransportError::kBadCertificate;
    case ERROR_WINHTTP_UNRECOGNIZED_SCHEME:
    case ERROR_WINHTTP_INVALID_URL:
      return TransportError::kNotAllowed;
    case ERROR_WINHTTP_INVALID_SERVER_RESPONSE:
    case ERROR_WINHTTP_HEADER_SIZE_OVERFLOW:
    case ERROR_WINHTTP_HEADER_COUNT_EXCEEDED:
      // Something answered, but not in HTTP (nor ICY), or with a head no radio server sends.
      return answered ? TransportError::kConnectionLost : TransportError::kNotHttp;
    default:
      return answered ? TransportError::kConnectionLost : TransportError::kRefused;
  }
}

}  // namespace lumio::win
