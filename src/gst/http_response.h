#pragma once
// What the HTTP source tells about a server's answer and about what went wrong, in the terms
// the station attempt takes: the status, where a redirect points, what the body is said to be,
// and the transport error a GStreamer error stands for.

#include <gst/gst.h>

#include <optional>
#include <string>

#include "playback/stream_failure.h"

namespace lumio::gst {

struct HttpResponse {
  int status = 0;            // 0: no answer came (refused, no such host, TLS failed, ...)
  std::string content_type;  // as sent, parameters included; "" when none
  std::string location;      // of a redirect, as sent; "" when none
  std::optional<std::string> icy_metaint;  // as sent, when sent

  bool IsRedirect() const { return status >= 300 && status < 400 && status != 304; }
};

// The answer an "http-headers" element message of souphttpsrc (posted for every response, and
// with status 0 when none came) describes; nullopt for any other message.
std::optional<HttpResponse> ParseHttpHeadersMessage(GstMessage* message);

// The same from the "http-headers" event souphttpsrc sends before the body.
std::optional<HttpResponse> ParseHttpHeadersEvent(GstEvent* event);

// The transport error a GStreamer error stands for once the server has answered: the
// connection broke (the source's errors), or what came does not decode (everything else).
TransportError TransportErrorOfGstError(const GError* error);

}  // namespace lumio::gst
