#include "playback/address_policy.h"

#include <optional>

#include "stream/stream_limits.h"
#include "stream/url.h"

namespace lumio {

std::string RefusalOfAddress(std::string_view uri) {
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

}  // namespace lumio
