#pragma once
// One HTTP GET through WinHTTP in its asynchronous mode: connecting, redirects, TLS and the
// reads go on in WinHTTP's own threads, which record what happened and signal an event; the
// player's worker looks at the request when the event fires and never waits on the network.

#include <windows.h>
#include <winhttp.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "playback/stream_failure.h"
#include "winplayer/win_handles.h"

namespace lumio::win {

// The WinHTTP session every request of the player goes through.
class HttpSession {
 public:
  // Opens the session with the program's user agent, following every redirect (https to http
  // too: stations move their streams back and forth); false when WinHTTP cannot start.
  bool Open(std::wstring_view user_agent);
  HINTERNET get() const { return session_.get(); }

 private:
  UniqueInternet session_;
};

struct HttpResponse {
  int status = 0;
  std::string content_type;  // as sent, parameters included
  size_t icy_metaint = 0;    // 0: no ICY metadata in the body
  std::string url;           // where the response came from, after redirects
};

struct HttpRequestOptions {
  bool icy_metadata = false;  // ask for in-band titles ("Icy-MetaData: 1")
  int timeout_ms = 10000;     // for resolving, connecting, sending and each wait for data
  // Body bytes held for the taker; reading pauses above this and resumes when taken.
  size_t buffer_limit = 256 * 1024;
  // Only these bytes of the resource (an HLS byte range); length 0: all of it.
  uint64_t range_offset = 0;
  uint64_t range_length = 0;
};

class HttpRequest {
 public:
  enum class Phase {
    kWaiting,  // connecting, sending, waiting for the response
    kBody,     // a 200 response: its headers are known and the body is arriving
    kEnded,    // the whole body has arrived (bytes may still be waiting to be taken)
    kFailed,   // see failure() and error()
  };

  // Starts a GET of `url` (an absolute http or https address, ASCII, escaped). `wake` is
  // signalled (SetEvent) whenever the phase changes or body bytes arrive; it may be closed by its
  // owner at any time after the request is destroyed.
  HttpRequest(HINTERNET session, const std::string& url, const HttpRequestOptions& options,
              HANDLE wake);
  // Cancels the request; WinHTTP's threads may still finish their last step afterwards, on
  // state of their own.
  ~HttpRequest();
  HttpRequest(const HttpRequest&) = delete;
  HttpRequest& operator=(const HttpRequest&) = delete;

  Phase phase() const;
  // The response's headers; complete from kBody on (the status also in kFailed).
  HttpResponse response() const;
  // Moves the body bytes received so far to the end of `out`.
  void TakeBody(std::string& out);
  StreamFailure failure() const;
  std::string error() const;  // ASCII; empty unless kFailed

  struct Shared;

 private:
  void Start(HINTERNET session, const std::string& url);

  std::shared_ptr<Shared> shared_;
  UniqueInternet connection_;
};

// The class of failure a WinHTTP error code stands for.
StreamFailure FailureOfWinHttpError(DWORD error);
// The class of failure an HTTP status other than 200 stands for.
StreamFailure FailureOfHttpStatus(int status);

}  // namespace lumio::win
