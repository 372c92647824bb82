#pragma once
// The text of an ICY metadata block: "StreamTitle='Artist - Song';StreamUrl='http://...';"
// padded with NUL bytes to a multiple of 16.

#include <optional>
#include <string>
#include <string_view>

namespace lumio::stream {

struct IcyMetadata {
  std::optional<std::string> title;  // StreamTitle, as StreamTitleForListener gives it
  std::optional<std::string> url;    // StreamUrl, bytes as sent
};

// The StreamTitle and StreamUrl of `block`. Keys are matched without case. A value runs from
// "='" to the "';" that ends the block or comes before the next "Key='" (so a title may hold
// "'" and ";"); without such an end it runs to the block's last "'", or to its end. Only the
// first limits::kMaxIcyMetadataBytes of `block` are read: no block is longer.
IcyMetadata ParseIcyMetadata(std::string_view block);

}  // namespace lumio::stream
