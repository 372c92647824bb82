#pragma once
// The Linux player's network for the HLS reader: HTTP GETs through libsoup, asynchronous on the
// main context that was the thread's default where the fetcher was made. It carries requests out
// and decides nothing, as the Windows player's WinHTTP client does: no redirect is followed, no
// status judged, no body decompressed. libsoup because GStreamer's own HTTP source runs on it:
// the same TLS (the system's trust store through glib-networking), proxies and HTTP as every
// other station the player opens.

#include <functional>
#include <memory>
#include <string>

#include "hls/http_fetcher.h"

namespace lumio::gst {

class SoupFetcher final : public hls::HttpFetcher {
 public:
  // Requests go out with `user_agent`. `wake` runs on the fetcher's main context, never from
  // within a call to the fetcher or a request, whenever a request's phase changes or body bytes
  // arrive.
  SoupFetcher(const std::string& user_agent, std::function<void()> wake);
  // Requests still open stay valid and fail; they must end on the same thread.
  ~SoupFetcher() override;
  SoupFetcher(const SoupFetcher&) = delete;
  SoupFetcher& operator=(const SoupFetcher&) = delete;

  std::unique_ptr<hls::HttpFetch> Open(const std::string& url,
                                       const hls::HttpFetchOptions& options) override;

  // No step of a request is under way: the requests ended, and cancelled ones have completed on
  // the main context, which must be iterated until then before the context goes.
  bool Settled() const;

  struct Session;

 private:
  std::shared_ptr<Session> session_;
};

}  // namespace lumio::gst
