#pragma once
// One GET as the HLS reader makes it for itself, over any HttpFetcher: the address is checked
// before it is opened, every redirect is resolved against the address that answered and checked
// before it is followed, and the status is classified by the core's one table. What follows
// (HLS variants and segments) resolves against response().url, the address the reply really
// came from. (The addresses the station attempt opens go out as they are: it follows their
// redirects itself.)

#include <memory>
#include <string>

#include "hls/http_fetcher.h"
#include "playback/stream_failure.h"

namespace lumio::hls {

struct HttpResponse {
  int status = 0;
  std::string content_type;  // as sent, parameters included
  size_t icy_metaint = 0;    // 0: no ICY metadata in the body
  std::string url;           // where the response came from, after redirects
};

class HttpGet {
 public:
  enum class Phase {
    kWaiting,  // connecting, redirected, waiting for the response
    kBody,     // the wanted response (200, or 206 for a range): its body is arriving
    kEnded,    // the whole body has arrived (bytes may still be waiting to be taken)
    kFailed,   // see failure() and error()
  };

  // Starts the GET of `url` (absolute, escaped); an address the player may not open fails at
  // once, as unreachable.
  HttpGet(HttpFetcher& fetcher, const std::string& url, const HttpFetchOptions& options);
  HttpGet(const HttpGet&) = delete;
  HttpGet& operator=(const HttpGet&) = delete;

  // Takes in what the network brought (a redirect is followed or refused here) and returns the
  // phase. Once it returns kEnded, every byte of the body is there to be taken.
  Phase Advance();
  Phase phase() const { return phase_; }
  // Complete from kBody on; `url` always names the address asked last.
  const HttpResponse& response() const { return response_; }
  // Moves the body bytes received so far to the end of `out` (after a drop too: what arrived
  // before it).
  void TakeBody(std::string& out);
  // For a text read at once (a playlist): moves body bytes to `text` and says whether the read
  // is over. It is when the body ended (`whole`), or when `cap` bytes are in: `whole` is then
  // false, the text is cut at `cap` and the rest is not read.
  bool TakeText(std::string& text, size_t cap, bool* whole);
  StreamFailure failure() const { return failure_; }
  const std::string& error() const { return error_; }

 private:
  void Open(const std::string& url);
  void Fail(StreamFailure why, std::string text);
  void OnHead();
  void Redirect(const HttpHead& head);

  HttpFetcher& fetcher_;
  HttpFetchOptions options_;
  std::unique_ptr<HttpFetch> fetch_;
  Phase phase_ = Phase::kWaiting;
  int redirects_ = 0;
  HttpResponse response_;
  StreamFailure failure_ = StreamFailure::kNone;
  std::string error_;
};

}  // namespace lumio::hls
