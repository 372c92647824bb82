#pragma once
// Stream addresses: resolving the relative entries of playlists against the playlist's own
// address (RFC 3986, section 5.2) and taking an address apart for a fetcher.

#include <optional>
#include <string>
#include <string_view>

namespace lumio::stream {

struct UrlParts {
  std::string scheme;    // lower case, e.g. "http"
  std::string userinfo;  // before "@", usually empty
  std::string host;      // as written; an IPv6 literal keeps its brackets
  int port = 0;          // the explicit port, else the scheme's usual one, else 0
  bool explicit_port = false;
  std::string path;      // "/" when the address has none
  std::string query;     // without its "?"
  std::string fragment;  // without its "#"

  // What an HTTP request names: the path and, when there is one, "?" and the query.
  std::string RequestTarget() const;
};

// The parts of an absolute address with an authority ("scheme://host..."); nullopt for a
// relative reference, a missing or empty host, or a port that is not a number up to 65535.
std::optional<UrlParts> SplitUrl(std::string_view url);

// `reference` resolved against `base` as RFC 3986 section 5.2 says (strictly: a reference
// with a scheme is taken as it is); dot segments are removed from the result's path. Neither
// text is trimmed or escaped.
std::string ResolveUrl(std::string_view base, std::string_view reference);

// The extension of the address's last path segment, lower case and without the dot ("pls"
// for "http://h/a/list.PLS?x=1#y"); empty when that segment has no dot.
std::string UrlExtension(std::string_view url);

}  // namespace lumio::stream
