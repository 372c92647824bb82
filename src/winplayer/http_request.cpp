#include "winplayer/http_request.h"

#include <algorithm>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "stream/stream_limits.h"
#include "stream/url.h"
#include "winplayer/connection_check.h"
#include "winplayer/http_head.h"

namespace lumio::win {
namespace {

constexpr DWORD kCallbacks =
    WINHTTP_CALLBACK_FLAG_SENDREQUEST_COMPLETE | WINHTTP_CALLBACK_FLAG_HEADERS_AVAILABLE |
    WINHTTP_CALLBACK_FLAG_DATA_AVAILABLE | WINHTTP_CALLBACK_FLAG_READ_COMPLETE |
    WINHTTP_CALLBACK_FLAG_REQUEST_ERROR | WINHTTP_CALLBACK_FLAG_SECURE_FAILURE |
    WINHTTP_CALLBACK_FLAG_HANDLES;
constexpr size_t kChunkBytes = 64 * 1024;

}  // namespace

// Wine must not see a request's handle closed while one of its operations runs (it frees the
// connection under the running operation): a request whose owner went away is closed at the
// end of the operation outstanding then, by the callback that reports it.
struct HttpRequest::Shared : std::enable_shared_from_this<Shared> {
  std::mutex mutex;
  UniqueKernelHandle wake;      // a duplicate of the owner's event, so it outlives the owner
  HINTERNET request = nullptr;  // until closed
  HttpFetchOptions options;
  std::optional<stream::UrlParts> plain_http;  // the address, when it is plain http
  Phase phase = Phase::kWaiting;
  HttpHead head;
  bool body_wanted = false;  // a 2xx status: the body is read
  std::string body;
  // The length the server announced, and what came of it: a body that ends short of it was
  // cut by a dropped connection, and its last piece must not pass for the whole.
  std::optional<uint64_t> length;
  uint64_t body_bytes = 0;
  bool busy = false;       // an operation of WinHTTP on the request is outstanding
  bool cancelled = false;  // the owner is gone
  bool certificate_failed = false;
  TransportError failure = TransportError::kRefused;
  std::string error;
  std::vector<char> chunk = std::vector<char>(kChunkBytes);

  void Signal() { SetEvent(wake.get()); }
  static void Close(HINTERNET handle) {
    if (handle != nullptr) WinHttpCloseHandle(handle);
  }

  // Holding the lock, when an operation ended: the handle to close if the owner is gone.
  HINTERNET IdleLocked() {
    busy = false;
    return cancelled ? std::exchange(request, nullptr) : nullptr;
  }
  void FailLocked(TransportError why, std::string text) {
    if (cancelled || phase == Phase::kFailed || phase == Phase::kEnded) return;
    phase = Phase::kFailed;
    failure = certificate_failed ? TransportError::kBadCertificate : why;
    error = std::move(text);
  }
  // An operation ended in `code`, or could not start.
  void OperationFailed(DWORD code, const char* step) {
    HINTERNET closing = nullptr;
    bool check = false;
    {
      std::lock_guard lock(mutex);
      closing = IdleLocked();
      check = code == ERROR_WINHTTP_INVALID_SERVER_RESPONSE && phase == Phase::kWaiting &&
              plain_http && !cancelled;
      if (!check) {
        FailLocked(TransportErrorOfWinHttp(code, phase == Phase::kBody),
                   std::string(step) + " failed (WinHTTP error " + std::to_string(code) + ")");
      }
    }
    if (check) {
      CheckServer();
    } else {
      Signal();
    }
    Close(closing);
  }
  // The request stays waiting until a connection of our own tells what the server does.
  void CheckServer() {
    std::thread([self = shared_from_this()] {
      auto [how, why] = CheckConnection(*self->plain_http, self->options.timeout_ms);
      {
        std::lock_guard lock(self->mutex);
        self->FailLocked(how, std::move(why));
      }
      self->Signal();
    }).detach();
  }
  // True (and the handle closed) when the owner is gone: nothing more is to be asked for.
  bool CloseIfCancelled() {
    HINTERNET closing = nullptr;
    {
      std::lock_guard lock(mutex);
      if (!cancelled) return false;
      closing = IdleLocked();
    }
    Close(closing);
    return true;
  }

  // Asks for the next bytes unless something is outstanding, the body ended or the taker is
  // behind.
  void ReadMore(HINTERNET handle) {
    {
      std::lock_guard lock(mutex);
      if (busy || cancelled || phase != Phase::kBody || !body_wanted ||
          body.size() >= options.buffer_limit) {
        return;
      }
      busy = true;
    }
    if (!WinHttpQueryDataAvailable(handle, nullptr)) {
      OperationFailed(GetLastError(), "Waiting for data");
    }
  }

  void OnSent(HINTERNET handle) {
    if (CloseIfCancelled()) return;
    if (!WinHttpReceiveResponse(handle, nullptr)) {
      OperationFailed(GetLastError(), "Receiving the response");
    }
  }

  void OnHeaders(HINTERNET handle) {
    std::optional<uint64_t> announced_length;
    HttpHead received = ReadHttpHead(handle, &announced_length);
    const int status = received.status;
    HINTERNET closing = nullptr;
    {
      std::lock_guard lock(mutex);
      closing = IdleLocked();
      head = std::move(received);
      length = announced_length;
      body_wanted = status >= 200 && status < 300;
      if (!cancelled) phase = Phase::kBody;
    }
    if (closing != nullptr) return Close(closing);
    Signal();
    ReadMore(handle);
  }

  void OnDataAvailable(HINTERNET handle, DWORD available) {
    if (available == 0) return OnRead(handle, 0);
    if (CloseIfCancelled()) return;
    const DWORD wanted = std::min<DWORD>(available, static_cast<DWORD>(chunk.size()));
    if (!WinHttpReadData(handle, chunk.data(), wanted, nullptr)) {
      OperationFailed(GetLastError(), "Reading");
    }
  }

  void OnRead(HINTERNET handle, DWORD bytes) {
    HINTERNET closing = nullptr;
    {
      std::lock_guard lock(mutex);
      closing = IdleLocked();
      if (!cancelled && phase == Phase::kBody) {
        if (bytes == 0 && length && body_bytes < *length) {
          FailLocked(TransportError::kConnectionLost, "The connection closed after " +
                                                          std::to_string(body_bytes) + " of " +
                                                          std::to_string(*length) + " bytes");
        } else if (bytes == 0) {
          phase = Phase::kEnded;
        } else {
          body.append(chunk.data(), bytes);
          body_bytes += bytes;
        }
      }
    }
    if (closing != nullptr) return Close(closing);
    Signal();
    if (bytes != 0) ReadMore(handle);
  }

  void OnError(DWORD code) {
    // A cancelled operation is the owner's doing, and needs no word.
    if (code == ERROR_WINHTTP_OPERATION_CANCELLED) {
      HINTERNET closing = nullptr;
      {
        std::lock_guard lock(mutex);
        closing = IdleLocked();
      }
      return Close(closing);
    }
    OperationFailed(code, "The request");
  }
};

namespace {

void CALLBACK OnStatus(HINTERNET handle, DWORD_PTR context, DWORD status, LPVOID info,
                       DWORD length) {
  if (context == 0) return;
  auto* holder = reinterpret_cast<std::shared_ptr<HttpRequest::Shared>*>(context);
  // The last call for a handle: WinHTTP is done with it and with its context.
  if (status == WINHTTP_CALLBACK_STATUS_HANDLE_CLOSING) {
    delete holder;
    return;
  }
  HttpRequest::Shared& shared = **holder;
  switch (status) {
    case WINHTTP_CALLBACK_STATUS_SENDREQUEST_COMPLETE:
      return shared.OnSent(handle);
    case WINHTTP_CALLBACK_STATUS_HEADERS_AVAILABLE:
      return shared.OnHeaders(handle);
    case WINHTTP_CALLBACK_STATUS_DATA_AVAILABLE:
      return shared.OnDataAvailable(handle, *static_cast<DWORD*>(info));
    case WINHTTP_CALLBACK_STATUS_READ_COMPLETE:
      return shared.OnRead(handle, length);
    case WINHTTP_CALLBACK_STATUS_SECURE_FAILURE: {
      std::lock_guard lock(shared.mutex);
      shared.certificate_failed = true;
      return;
    }
    case WINHTTP_CALLBACK_STATUS_REQUEST_ERROR:
      return shared.OnError(static_cast<WINHTTP_ASYNC_RESULT*>(info)->dwError);
    default:
      return;
  }
}

}  // namespace

bool HttpSession::Open(std::wstring_view user_agent) {
  session_.Reset(WinHttpOpen(std::wstring(user_agent).c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                             nullptr, nullptr, WINHTTP_FLAG_ASYNC));
  if (!session_) return false;
  DWORD policy = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
  WinHttpSetOption(session_.get(), WINHTTP_OPTION_REDIRECT_POLICY, &policy, sizeof policy);
  return true;
}

HttpRequest::HttpRequest(HINTERNET session, const std::string& url, const HttpFetchOptions& options,
                         HANDLE wake)
    : shared_(std::make_shared<Shared>()) {
  shared_->options = options;
  HANDLE own_wake = nullptr;
  DuplicateHandle(GetCurrentProcess(), wake, GetCurrentProcess(), &own_wake, 0, FALSE,
                  DUPLICATE_SAME_ACCESS);
  shared_->wake.Reset(own_wake);
  Start(session, url);
}

void HttpRequest::Start(HINTERNET session, const std::string& url) {
  Shared& shared = *shared_;
  const auto fail = [&](TransportError why, std::string text) {
    std::lock_guard lock(shared.mutex);
    shared.FailLocked(why, std::move(text));
  };
  const std::optional<stream::UrlParts> parts = stream::SplitUrl(url);
  if (!parts || (parts->scheme != "http" && parts->scheme != "https")) {
    return fail(TransportError::kNotAllowed, "Not an address the player can open: " + url);
  }
  if (!session) return fail(TransportError::kRefused, "WinHTTP could not start");
  std::string host = parts->host;
  if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
    host = host.substr(1, host.size() - 2);
  }
  connection_.Reset(WinHttpConnect(session, WidenAscii(host).c_str(),
                                   static_cast<INTERNET_PORT>(parts->port), 0));
  if (!connection_) {
    return fail(TransportErrorOfWinHttp(GetLastError(), false), "WinHttpConnect failed");
  }
  const bool secure = parts->scheme == "https";
  if (!secure) shared.plain_http = parts;
  shared.request =
      WinHttpOpenRequest(connection_.get(), L"GET", WidenAscii(parts->RequestTarget()).c_str(),
                         nullptr, nullptr, nullptr,
                         WINHTTP_FLAG_ESCAPE_DISABLE | WINHTTP_FLAG_ESCAPE_DISABLE_QUERY |
                             (secure ? WINHTTP_FLAG_SECURE : 0));
  if (shared.request == nullptr) {
    return fail(TransportErrorOfWinHttp(GetLastError(), false), "WinHttpOpenRequest failed");
  }
  const int timeout = std::max(1, shared.options.timeout_ms);
  WinHttpSetTimeouts(shared.request, timeout, timeout, timeout, timeout);
  WinHttpSetStatusCallback(shared.request, &OnStatus, kCallbacks, 0);
  // The session's policy already; on the request too, for systems that read it only there.
  DWORD no_redirects = WINHTTP_DISABLE_REDIRECTS;
  WinHttpSetOption(shared.request, WINHTTP_OPTION_DISABLE_FEATURE, &no_redirects,
                   sizeof no_redirects);
  DWORD header_bytes = static_cast<DWORD>(stream::limits::kMaxResponseHeaderBytes);
  WinHttpSetOption(shared.request, WINHTTP_OPTION_MAX_RESPONSE_HEADER_SIZE, &header_bytes,
                   sizeof header_bytes);
  if (shared.options.icy_metadata) {
    WinHttpAddRequestHeaders(shared.request, L"Icy-MetaData: 1", static_cast<DWORD>(-1),
                             WINHTTP_ADDREQ_FLAG_ADD);
  }
  if (shared.options.range_length > 0) {
    const uint64_t last = shared.options.range_offset + shared.options.range_length - 1;
    const std::wstring range = L"Range: bytes=" + std::to_wstring(shared.options.range_offset) +
                               L"-" + std::to_wstring(last);
    WinHttpAddRequestHeaders(shared.request, range.c_str(), static_cast<DWORD>(-1),
                             WINHTTP_ADDREQ_FLAG_ADD);
  }
  // From here WinHTTP owns a reference, dropped when it reports the handle closing.
  auto* holder = new std::shared_ptr<Shared>(shared_);
  DWORD_PTR context = reinterpret_cast<DWORD_PTR>(holder);
  WinHttpSetOption(shared.request, WINHTTP_OPTION_CONTEXT_VALUE, &context, sizeof context);
  {
    std::lock_guard lock(shared.mutex);
    shared.busy = true;
  }
  if (!WinHttpSendRequest(shared.request, nullptr, 0, nullptr, 0, 0, context)) {
    shared.OperationFailed(GetLastError(), "Sending the request");
  }
}

HttpRequest::~HttpRequest() {
  HINTERNET closing = nullptr;
  {
    std::lock_guard lock(shared_->mutex);
    shared_->cancelled = true;
    if (!shared_->busy) closing = std::exchange(shared_->request, nullptr);
  }
  Shared::Close(closing);
}

HttpRequest::Phase HttpRequest::phase() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->phase;
}

HttpHead HttpRequest::head() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->head;
}

void HttpRequest::TakeBody(std::string& out) {
  HINTERNET request = nullptr;
  {
    std::lock_guard lock(shared_->mutex);
    out += shared_->body;
    shared_->body.clear();
    request = shared_->request;
  }
  if (request != nullptr) shared_->ReadMore(request);
}

TransportError HttpRequest::failure() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->failure;
}

std::string HttpRequest::error() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->error;
}

std::unique_ptr<HttpFetch> WinHttpFetcher::Open(const std::string& url,
                                                const HttpFetchOptions& options) {
  return std::make_unique<HttpRequest>(session_.get(), url, options, wake_);
}

}  // namespace lumio::win
