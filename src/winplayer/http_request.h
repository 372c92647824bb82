#pragma once
// The Windows player's network: HTTP GETs through WinHTTP in its asynchronous mode. Connecting,
// TLS and the reads go on in WinHTTP's own threads, which record what happened and signal an
// event; the player's worker looks at the request when the event fires and never waits on the
// network.

#include <windows.h>
#include <winhttp.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "hls/http_fetcher.h"
#include "playback/stream_failure.h"
#include "winbase/unique_handle.h"

namespace lumio::win {

using hls::HttpFetch;
using hls::HttpFetcher;
using hls::HttpFetchOptions;
using hls::HttpHead;

// A WinHTTP session, connection or request handle.
using UniqueInternet = UniqueHandle<HINTERNET, &WinHttpCloseHandle>;

// The WinHTTP session every request of the player goes through.
class HttpSession {
 public:
  // Opens the session with the program's user agent; false when WinHTTP cannot start. WinHTTP
  // follows no redirect itself: every 3xx comes back to the player, which decides (HttpGet).
  bool Open(std::wstring_view user_agent);
  HINTERNET get() const { return session_.get(); }

 private:
  UniqueInternet session_;
};

// One GET through WinHTTP in its asynchronous mode.
class HttpRequest final : public HttpFetch {
 public:
  // Starts a GET of `url` (an absolute http or https address, ASCII, escaped). `wake` is
  // signalled (SetEvent) whenever the phase changes or body bytes arrive; it may be closed by its
  // owner at any time after the request is destroyed.
  HttpRequest(HINTERNET session, const std::string& url, const HttpFetchOptions& options,
              HANDLE wake);
  // Cancels the request; WinHTTP's threads may still finish their last step afterwards, on
  // state of their own.
  ~HttpRequest() override;
  HttpRequest(const HttpRequest&) = delete;
  HttpRequest& operator=(const HttpRequest&) = delete;

  Phase phase() const override;
  HttpHead head() const override;
  void TakeBody(std::string& out) override;
  TransportError failure() const override;
  std::string error() const override;

  struct Shared;

 private:
  void Start(HINTERNET session, const std::string& url);

  std::shared_ptr<Shared> shared_;
  UniqueInternet connection_;
};

// The player's requests through one session, each signalling `wake` as it progresses.
class WinHttpFetcher final : public HttpFetcher {
 public:
  WinHttpFetcher(const HttpSession& session, HANDLE wake) : session_(session), wake_(wake) {}
  std::unique_ptr<HttpFetch> Open(const std::string& url, const HttpFetchOptions& options) override;

 private:
  const HttpSession& session_;
  HANDLE wake_;
};

}  // namespace lumio::win
