// fuzz-links: lumio_core
// Address resolution on arbitrary text: a relative entry of a playlist fetched from an address
// resolves to an address on the same server, with no dot segments left, and resolving a
// resolved address again changes nothing.
//
// Input layout: the base address, "\n", the reference.

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "stream/url.h"

namespace lumio::stream {
namespace {

bool HasDotSegment(std::string_view path) {
  size_t start = 0;
  while (start <= path.size()) {
    const size_t end = std::min(path.find('/', start), path.size());
    const std::string_view segment = path.substr(start, end - start);
    if (segment == "." || segment == "..") return true;
    start = end + 1;
  }
  return false;
}

void CheckResolution(std::string_view base, std::string_view reference) {
  const std::string resolved = ResolveUrl(base, reference);
  const bool certainly_relative =
      reference.find(':') == std::string_view::npos && !reference.starts_with("//");
  const std::optional<UrlParts> base_parts = SplitUrl(base);
  if (base_parts && certainly_relative) {
    const std::optional<UrlParts> parts = SplitUrl(resolved);
    if (!parts) {
      PrintBytes("base", base);
      PrintBytes("reference", reference);
      PrintBytes("resolved", resolved);
    }
    Check(parts.has_value(), "a relative reference resolves to an address a fetcher can use");
    Check(parts->scheme == base_parts->scheme && parts->host == base_parts->host &&
              parts->port == base_parts->port,
          "a relative reference stays on the playlist's server");
    Check(!HasDotSegment(parts->path), "no dot segment is left in a resolved path");
  }
  if (base_parts) {
    const std::string again = ResolveUrl("http://other.example/x/y", resolved);
    const std::string without_fragment = resolved.substr(0, resolved.find('#'));
    if (again.substr(0, again.find('#')) != without_fragment) {
      PrintBytes("resolved", resolved);
      PrintBytes("resolved again", again);
    }
    Check(again.substr(0, again.find('#')) == without_fragment,
          "a resolved address resolves to itself");
  }
  const std::string extension = UrlExtension(reference);
  Check(extension.find('/') == std::string::npos, "an extension holds no path separator");
}

}  // namespace
}  // namespace lumio::stream

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const size_t newline = bytes.find('\n');
  if (newline == std::string_view::npos) {
    lumio::stream::CheckResolution("http://h.example:8000/a/b/c.pls?q=1", bytes);
  } else {
    lumio::stream::CheckResolution(bytes.substr(0, newline), bytes.substr(newline + 1));
  }
  return 0;
}
