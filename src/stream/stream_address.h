#pragma once
// Station URLs arrive as GBK text typed by people; GStreamer wants a UTF-8 URI.

#include <string>
#include <string_view>

namespace lumio::stream {

struct StreamAddress {
  std::string uri;    // UTF-8, percent-encoded where a URI cannot hold a byte; empty if unusable
  std::string error;  // why the URL cannot be used (UTF-8); empty when `uri` is set
};

// Trims surrounding blanks, assumes "http://" when no scheme is given, lower-cases the scheme,
// converts GBK to UTF-8 and percent-encodes bytes a URI cannot hold (an existing "%XX" escape is
// kept). Empty text, bytes that are not GBK or an address without a server are unusable.
StreamAddress StreamAddressFromUrl(std::string_view gbk_url);

// The same for an entry of a playlist, whose bytes are UTF-8 when they are valid UTF-8 (what
// playlists are written in) and GBK otherwise.
StreamAddress StreamAddressFromEntry(std::string_view entry);

// True when the path of `uri` names an HLS playlist (ends in ".m3u8", in any case).
bool NamesHlsPlaylist(std::string_view uri);

}  // namespace lumio::stream
