// fuzz-links: lumio_core
// What may be opened, on arbitrary text: an address the policy lets through is an http or https
// address naming a server, a playlist's entry resolved and made an address holds no byte a URI
// cannot, and a redirect the policy follows never leads from https to http, past the fifth hop
// or to an address the policy would refuse.
//
// Input layout: the base address, NUL, the reference (an entry or a Location), NUL, a hop count
// byte.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "playback/address_policy.h"
#include "stream/stream_address.h"
#include "stream/stream_limits.h"
#include "stream/text_scan.h"
#include "stream/url.h"

namespace lumio {
namespace {

std::string_view Part(std::string_view& input) {
  const size_t end = std::min(input.find('\0'), input.size());
  const std::string_view part = input.substr(0, end);
  input.remove_prefix(std::min(end + 1, input.size()));
  return part;
}

void CheckAllowed(std::string_view uri) {
  if (!RefusalOfAddress(uri).empty()) return;
  const std::optional<stream::UrlParts> parts = stream::SplitUrl(uri);
  Check(parts.has_value() && !parts->host.empty(), "an allowed address names a server");
  Check(parts->scheme == "http" || parts->scheme == "https", "only web addresses are allowed");
}

}  // namespace
}  // namespace lumio

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace lumio;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string_view base = Part(input);
  const std::string_view reference = Part(input);
  const int hop = input.empty() ? 1 : static_cast<unsigned char>(input[0]) % 8;

  CheckAllowed(base);
  CheckAllowed(reference);
  const stream::StreamAddress station = stream::StreamAddressFromUrl(base);
  Check(station.uri.empty() != station.error.empty(), "an address or a reason, never both");
  if (!station.uri.empty()) {
    Check(!stream::HasControlBytes(station.uri) && station.uri.find(' ') == std::string::npos,
          "a station address holds no byte a URI cannot");
    CheckAllowed(station.uri);
  }

  const std::string from = station.uri.empty() ? std::string(base) : station.uri;
  const stream::StreamAddress entry =
      stream::StreamAddressFromEntry(stream::ResolveUrl(from, reference));
  if (entry.uri.empty()) return 0;
  Check(!stream::HasControlBytes(entry.uri) && entry.uri.find(' ') == std::string::npos,
        "an entry made an address holds no byte a URI cannot");
  CheckAllowed(entry.uri);
  if (!RefusalOfRedirect(from, entry.uri, hop).empty()) return 0;
  Check(hop <= stream::limits::kMaxRedirects, "no more redirects than allowed");
  Check(RefusalOfAddress(entry.uri).empty(), "a redirect leads only where opening may");
  const std::optional<stream::UrlParts> origin = stream::SplitUrl(from);
  Check(!origin || origin->scheme != "https" || stream::SplitUrl(entry.uri)->scheme == "https",
        "https never leads to http");
  return 0;
}
