#pragma once
// Which addresses a player may open. A station's server decides where its playlists, its
// redirects and its HLS playlists point, so the player opens only web addresses, whatever they
// say: a file, a device or a socket of the listener's own machine is never opened because a
// remote server named it. And what the listener's list gives as https never goes on over plain
// http. Both players ask before every request: a station's address, a playlist's entry, an HLS
// variant, segment or key, and every redirect.

#include <string>
#include <string_view>

namespace lumio {

// Why the absolute address `uri` may not be opened (UTF-8, for the player's error text); ""
// when it may: an http or https address naming a server.
std::string RefusalOfAddress(std::string_view uri);

// Why the `hop`th redirect (1 for the first) of one request, from `from` to the resolved
// address `to`, may not be followed; "" when it may. Past limits::kMaxRedirects a redirect is
// a loop; https never leads to http; `to` must itself be an address that may be opened.
std::string RefusalOfRedirect(std::string_view from, std::string_view to, int hop);

// Why the HLS playlist `bytes` (master or media) found at `url` may not be played: the first
// address it names (a variant, a segment, a key, an initialisation section, a rendition) that
// may not be opened; "" when every one may.
std::string RefusalOfHlsPlaylist(std::string_view bytes, std::string_view url);

}  // namespace lumio
