#pragma once
// What a server that gave WinHTTP no valid answer really does, found out by a plain request of
// the player's own. WinHTTP reports a server that closes the connection unasked and one that
// answers in another protocol alike, as an invalid response; the listener is told apart which
// it is, as on every platform: a server that cannot be reached, or no radio server.

#include <string>
#include <utility>

#include "playback/stream_failure.h"
#include "stream/url.h"

namespace lumio::win {

// Connects to the plain-HTTP server of `address`, sends it the request a player sends, and
// reads the start of its answer; waits at most `timeout_ms` for each step. Blocks: run it on a
// thread that may wait.
std::pair<TransportError, std::string> CheckConnection(const stream::UrlParts& address,
                                                       int timeout_ms);

}  // namespace lumio::win
