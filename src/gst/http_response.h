#pragma once
// What the HTTP source tells about a server's answer and about what went wrong, in the terms
// the player acts on: the status, where a redirect points, what the body is said to be, and the
// class of failure an error stands for.

#include <gst/gst.h>

#include <optional>
#include <string>

#include "playback/stream_failure.h"

namespace lumio::gst {

// The most redirects one address may take before it counts as unreachable (a loop).
inline constexpr int kMaxRedirects = 5;

struct HttpResponse {
  int status = 0;            // 0: no answer came (refused, no such host, TLS failed, ...)
  std::string content_type;  // as sent, parameters included; "" when none
  std::string location;      // of a redirect, as sent; "" when none

  bool IsRedirect() const { return status >= 300 && status < 400 && status != 304; }
};

// The answer an "http-headers" element message of souphttpsrc (posted for every response, and
// with status 0 when none came) describes; nullopt for any other message.
std::optional<HttpResponse> ParseHttpHeadersMessage(GstMessage* message);

// The same from the "http-headers" event souphttpsrc sends before the body.
std::optional<HttpResponse> ParseHttpHeadersEvent(GstEvent* event);

// The failure a GStreamer error stands for once the server has answered with a body (or where
// no server is involved): a resource that is missing or forbidden, else a stream that is not
// audio the player can decode.
StreamFailure FailureOfError(const GError* error);

// True when `uri` is fetched over HTTP (http or https), whose failures a connection check can
// explain.
bool IsHttpUri(const std::string& uri);

}  // namespace lumio::gst
