#include "playback/address_policy.h"

#include <optional>
#include <string>

#include "stream/hls_playlist.h"
#include "stream/stream_limits.h"
#include "stream/text_scan.h"
#include "stream/url.h"

namespace lumio {

std::string RefusalOfAddress(std::string_view uri) {
  if (uri.size() > stream::limits::kMaxAddressBytes)
    return "An address longer than " + std::to_string(stream::limits::kMaxAddressBytes) + " bytes";
  const std::optional<stream::UrlParts> parts = stream::SplitUrl(uri);
  if (!parts) return "Not an address the player can open: " + std::string(uri);
  if (parts->scheme != "http" && parts->scheme != "https")
    return "The player opens only http and https addresses, not " + parts->scheme;
  return {};
}

std::string RefusalOfRedirect(std::string_view from, std::string_view to, int hop) {
  if (hop > stream::limits::kMaxRedirects) return "Too many redirects";
  if (std::string refusal = RefusalOfAddress(to); !refusal.empty())
    return "A redirect the player does not follow. " + refusal;
  const std::optional<stream::UrlParts> origin = stream::SplitUrl(from);
  const std::optional<stream::UrlParts> target = stream::SplitUrl(to);
  if (origin && origin->scheme == "https" && target->scheme == "http")
    return "A redirect from https to plain http";
  return {};
}

std::string RefusalOfHlsPlaylist(std::string_view bytes, std::string_view url) {
  auto refusal = [url](std::string_view reference) {
    std::string why = RefusalOfAddress(stream::ResolveUrl(url, reference));
    return why.empty() ? why : "An HLS playlist names an address the player does not open. " + why;
  };
  // Every line that is no tag names a variant or a segment; keys, initialisation sections and
  // renditions name theirs in a URI attribute of their tag. A demuxer may read a line this
  // reader would skip, so every one is asked.
  for (std::string_view line : stream::SplitLines(stream::StripUtf8Bom(bytes))) {
    line = stream::Trim(line);
    if (line.empty()) continue;
    if (!line.starts_with('#')) {
      if (std::string why = refusal(line); !why.empty()) return why;
      continue;
    }
    const size_t colon = line.find(':');
    if (!line.starts_with("#EXT") || colon == std::string_view::npos) continue;
    for (const auto& [name, value] : stream::ParseHlsAttributes(line.substr(colon + 1))) {
      if (!stream::EqualsIgnoreCase(name, "URI")) continue;
      if (std::string why = refusal(value); !why.empty()) return why;
    }
  }
  return {};
}

}  // namespace lumio
