#include "stream/stream_address.h"

#include <cctype>

#include "stream/stream_text.h"
#include "text/gbk.h"

namespace lumio::stream {
namespace {

bool IsAddressBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsHex(char c) {
  return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

// The length of a "scheme://" prefix, or 0 when the text does not start with one.
size_t SchemePrefixLength(std::string_view text) {
  if (text.empty() || !std::isalpha(static_cast<unsigned char>(text[0]))) return 0;
  size_t i = 1;
  while (i < text.size() && (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '+' ||
                             text[i] == '-' || text[i] == '.')) {
    ++i;
  }
  return text.substr(i).starts_with("://") ? i + 3 : 0;
}

bool NeedsEscape(unsigned char b) {
  if (b <= 0x20 || b >= 0x7F) return true;
  switch (b) {
    case '"':
    case '<':
    case '>':
    case '\\':
    case '^':
    case '`':
    case '{':
    case '|':
    case '}':
      return true;
    default:
      return false;
  }
}

std::string PercentEncode(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    const bool kept_escape =
        b == '%' && i + 2 < text.size() && IsHex(text[i + 1]) && IsHex(text[i + 2]);
    if (NeedsEscape(b) || (b == '%' && !kept_escape)) {
      out += '%';
      out += kHex[b >> 4];
      out += kHex[b & 0x0F];
    } else {
      out += static_cast<char>(b);
    }
  }
  return out;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsAddressBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsAddressBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

StreamAddress FromUtf8(std::string text) {
  size_t prefix = SchemePrefixLength(text);
  if (prefix == 0) {
    text = "http://" + text;
    prefix = 7;
  }
  for (size_t i = 0; i + 3 < prefix; ++i) {
    text[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
  }
  const std::string_view scheme = std::string_view(text).substr(0, prefix - 3);
  const size_t host_end = text.find_first_of("/?#", prefix);
  const size_t host_length = (host_end == std::string::npos ? text.size() : host_end) - prefix;
  if (host_length == 0 && scheme != "file") {
    return {"", "The station address names no server"};
  }
  return {PercentEncode(text), ""};
}

}  // namespace

StreamAddress StreamAddressFromUrl(std::string_view gbk_url) {
  gbk_url = TrimBlanks(gbk_url);
  if (gbk_url.empty()) return {"", "The station has no address"};
  const std::optional<std::string> utf8 = GbkToUtf8(gbk_url);
  if (!utf8) return {"", "The station address is not valid GBK text"};
  return FromUtf8(*utf8);
}

StreamAddress StreamAddressFromEntry(std::string_view entry) {
  entry = TrimBlanks(entry);
  if (entry.empty()) return {"", "The playlist entry is empty"};
  if (stream::IsValidUtf8(entry)) return FromUtf8(std::string(entry));
  return StreamAddressFromUrl(entry);
}

bool NamesHlsPlaylist(std::string_view uri) {
  const std::string_view path = uri.substr(0, uri.find_first_of("?#"));
  constexpr std::string_view kSuffix = ".m3u8";
  if (path.size() < kSuffix.size()) return false;
  const std::string_view tail = path.substr(path.size() - kSuffix.size());
  for (size_t i = 0; i < kSuffix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(tail[i])) != kSuffix[i]) return false;
  }
  return true;
}

}  // namespace lumio::stream
