#include "stream/url.h"

#include <vector>

#include "stream/text_scan.h"

namespace lumio::stream {
namespace {

// A reference taken apart by RFC 3986 appendix B, with "defined" kept apart from "empty".
struct Components {
  std::string_view scheme;  // empty: none
  bool has_authority = false;
  std::string_view authority;
  std::string_view path;
  bool has_query = false;
  std::string_view query;
  bool has_fragment = false;
  std::string_view fragment;
};

bool IsSchemeChar(char c, bool first) {
  const bool alpha = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  if (first) return alpha;
  return alpha || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

Components Parse(std::string_view ref) {
  Components c;
  const size_t colon = ref.find_first_of(":/?#");
  if (colon != std::string_view::npos && colon > 0 && ref[colon] == ':') {
    bool valid = true;
    for (size_t i = 0; i < colon && valid; ++i)
      valid = IsSchemeChar(ref[i], i == 0);
    if (valid) {
      c.scheme = ref.substr(0, colon);
      ref.remove_prefix(colon + 1);
    }
  }
  if (ref.starts_with("//")) {
    ref.remove_prefix(2);
    const size_t end = std::min(ref.find_first_of("/?#"), ref.size());
    c.has_authority = true;
    c.authority = ref.substr(0, end);
    ref.remove_prefix(end);
  }
  const size_t hash = ref.find('#');
  if (hash != std::string_view::npos) {
    c.has_fragment = true;
    c.fragment = ref.substr(hash + 1);
    ref = ref.substr(0, hash);
  }
  const size_t question = ref.find('?');
  if (question != std::string_view::npos) {
    c.has_query = true;
    c.query = ref.substr(question + 1);
    ref = ref.substr(0, question);
  }
  c.path = ref;
  return c;
}

// RFC 3986 section 5.2.4, on whole segments: "." goes, ".." takes the segment before it.
std::string RemoveDotSegments(std::string_view path) {
  const bool absolute = path.starts_with('/');
  std::vector<std::string_view> out;
  bool trailing_slash = false;
  size_t pos = absolute ? 1 : 0;
  while (pos <= path.size()) {
    const size_t end = std::min(path.find('/', pos), path.size());
    const std::string_view segment = path.substr(pos, end - pos);
    const bool last = end == path.size();
    if (segment == ".") {
      trailing_slash = last;
    } else if (segment == "..") {
      if (!out.empty()) out.pop_back();
      trailing_slash = last;
    } else if (!absolute && out.empty() && segment.empty()) {
      // A relative path that would start with "/" after "a/..//b" would turn absolute.
      trailing_slash = false;
    } else {
      out.push_back(segment);
      trailing_slash = false;
    }
    pos = end + 1;
  }
  std::string result = absolute ? "/" : "";
  for (size_t i = 0; i < out.size(); ++i) {
    if (i > 0) result += '/';
    result += out[i];
  }
  if (trailing_slash && !out.empty() && !out.back().empty()) result += '/';
  return result;
}

std::string Merge(const Components& base, std::string_view path) {
  if (base.has_authority && base.path.empty()) return "/" + std::string(path);
  const size_t slash = base.path.rfind('/');
  if (slash == std::string_view::npos) return std::string(path);
  return std::string(base.path.substr(0, slash + 1)) + std::string(path);
}

int DefaultPort(std::string_view scheme) {
  if (scheme == "http") return 80;
  if (scheme == "https") return 443;
  if (scheme == "mms" || scheme == "mmsh") return 80;
  if (scheme == "mmst") return 1755;
  if (scheme == "rtsp") return 554;
  return 0;
}

}  // namespace

std::string UrlParts::RequestTarget() const {
  return query.empty() ? path : path + "?" + query;
}

std::optional<UrlParts> SplitUrl(std::string_view url) {
  const Components c = Parse(url);
  if (c.scheme.empty() || !c.has_authority) return std::nullopt;
  UrlParts parts;
  parts.scheme = ToLowerAscii(c.scheme);
  std::string_view authority = c.authority;
  const size_t at = authority.rfind('@');
  if (at != std::string_view::npos) {
    parts.userinfo = authority.substr(0, at);
    authority.remove_prefix(at + 1);
  }
  // The port follows the last ":" that is not inside an IPv6 literal's brackets.
  const size_t bracket = authority.rfind(']');
  const size_t colon = authority.rfind(':');
  std::string_view host = authority;
  if (colon != std::string_view::npos && (bracket == std::string_view::npos || colon > bracket)) {
    host = authority.substr(0, colon);
    const std::string_view port = authority.substr(colon + 1);
    if (!port.empty()) {
      const long long number = ParseDecimal(port);
      if (number < 0 || number > 65535) return std::nullopt;
      parts.port = static_cast<int>(number);
      parts.explicit_port = true;
    }
  }
  if (host.empty()) return std::nullopt;
  if (host.front() == '[' && host.back() != ']') return std::nullopt;
  parts.host = host;
  if (!parts.explicit_port) parts.port = DefaultPort(parts.scheme);
  parts.path = c.path.empty() ? "/" : std::string(c.path);
  parts.query = c.query;
  parts.fragment = c.fragment;
  return parts;
}

std::string ResolveUrl(std::string_view base_text, std::string_view reference) {
  const Components base = Parse(base_text);
  const Components ref = Parse(reference);
  std::string_view scheme = base.scheme;
  bool has_authority = base.has_authority;
  std::string_view authority = base.authority;
  std::string path;
  bool has_query = ref.has_query;
  std::string_view query = ref.query;
  if (!ref.scheme.empty()) {
    scheme = ref.scheme;
    has_authority = ref.has_authority;
    authority = ref.authority;
    path = RemoveDotSegments(ref.path);
  } else if (ref.has_authority) {
    has_authority = true;
    authority = ref.authority;
    path = RemoveDotSegments(ref.path);
  } else if (ref.path.empty()) {
    // The base is normally clean already; cleaning it keeps every result free of dot segments.
    path = RemoveDotSegments(base.path);
    if (!ref.has_query) {
      has_query = base.has_query;
      query = base.query;
    }
  } else if (ref.path.starts_with('/')) {
    path = RemoveDotSegments(ref.path);
  } else {
    path = RemoveDotSegments(Merge(base, ref.path));
  }

  std::string out;
  if (!scheme.empty()) {
    out += scheme;
    out += ':';
  }
  if (has_authority) {
    out += "//";
    out += authority;
    // A path after an authority starts with "/" (RFC 3986 section 3.3).
    if (!path.empty() && !path.starts_with('/')) out += '/';
  } else if (path.starts_with("//")) {
    out += "/.";  // keep an empty first segment from reading as an authority
  }
  out += path;
  if (has_query) {
    out += '?';
    out += query;
  }
  if (ref.has_fragment) {
    out += '#';
    out += ref.fragment;
  }
  return out;
}

std::string UrlExtension(std::string_view url) {
  const std::string_view path = Parse(url).path;
  const std::string_view segment = path.substr(path.rfind('/') + 1);
  const size_t dot = segment.rfind('.');
  if (dot == std::string_view::npos) return {};
  return ToLowerAscii(segment.substr(dot + 1));
}

}  // namespace lumio::stream
