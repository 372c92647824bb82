#include "hls/fetch_url.h"

#include "stream/stream_address.h"
#include "stream/stream_text.h"

namespace lumio::hls {

std::optional<std::string> FetchableStationUrl(std::string_view gbk, std::string* error) {
  stream::StreamAddress address = stream::StreamAddressFromUrl(gbk);
  if (address.uri.empty()) {
    *error = address.error;
    return std::nullopt;
  }
  return std::move(address.uri);
}

std::optional<std::string> FetchableFoundUrl(std::string_view text, std::string* error) {
  return FetchableStationUrl(stream::StreamTextToGbk(text), error);
}

}  // namespace lumio::hls
