#pragma once
// Addresses as an HTTP client is given them: absolute, ASCII, with every byte a URL cannot hold
// percent-encoded as UTF-8. The same rules as the Linux player's (stream/stream_address.h), whose
// code this uses.

#include <optional>
#include <string>
#include <string_view>

namespace lumio::hls {

// A station's address as the station list holds it (GBK text typed by people: blanks around
// it, no scheme...); nullopt, with `error` set, when it cannot be an address.
std::optional<std::string> FetchableStationUrl(std::string_view gbk, std::string* error);

// An address found inside a stream or a playlist (UTF-8 or GBK, see stream/stream_text.h).
std::optional<std::string> FetchableFoundUrl(std::string_view text, std::string* error);

}  // namespace lumio::hls
