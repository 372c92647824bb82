#pragma once
// What the players' stream code asks of the network: one GET of one address at a time, whose
// status, head and body come back as they arrive. The platform's HTTP client (WinHTTP, libsoup)
// carries it out and decides nothing: it follows no redirect and judges no status. Which addresses
// may be opened, where a redirect may lead and what a status means are decided above it (the
// station attempt for the addresses it opens, HttpGet for the requests of the HLS reader), in
// code that builds and is tested on every platform.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "playback/stream_failure.h"
#include "stream/stream_limits.h"

namespace lumio::hls {

struct HttpFetchOptions {
  bool icy_metadata = false;  // ask for in-band titles ("Icy-MetaData: 1")
  int timeout_ms = 10000;     // for resolving, connecting, sending and each wait for data
  // Body bytes held for the taker; reading pauses above this and resumes when taken.
  size_t buffer_limit = stream::limits::kMaxBodyBytesHeld;
  // Only these bytes of the resource (an HLS byte range); length 0: all of it.
  uint64_t range_offset = 0;
  uint64_t range_length = 0;
};

// A response's head as the server sent it (ASCII; a Location's other characters as UTF-8).
struct HttpHead {
  int status = 0;
  std::string content_type;  // parameters included
  std::string icy_metaint;   // the header's value; "" without one
  std::string location;      // the header's value; "" without one
};

// One request. Its body is read only for a 2xx status: nobody wants an error page or the body
// of a redirect.
class HttpFetch {
 public:
  enum class Phase {
    kWaiting,  // connecting, sending, waiting for the head
    kBody,     // the head is known; a 2xx body is arriving
    kEnded,    // the whole body has arrived (bytes may still be waiting to be taken)
    kFailed,   // no response, or the body broke off: failure() and error() say how
  };

  virtual ~HttpFetch() = default;
  virtual Phase phase() const = 0;
  // Complete from kBody on, and in kEnded or kFailed once it came; status 0 while none came.
  virtual HttpHead head() const = 0;
  // Moves the body bytes received so far to the end of `out`; reading goes on as they are taken.
  virtual void TakeBody(std::string& out) = 0;
  // How the request failed (kConnectionLost when the body broke off after the head).
  virtual TransportError failure() const = 0;
  virtual std::string error() const = 0;  // ASCII; empty unless kFailed
};

class HttpFetcher {
 public:
  virtual ~HttpFetcher() = default;
  // Starts a GET of `url` (absolute, http or https, ASCII, escaped). Never null: a request that
  // cannot start reads kFailed.
  virtual std::unique_ptr<HttpFetch> Open(const std::string& url,
                                          const HttpFetchOptions& options) = 0;
};

}  // namespace lumio::hls
