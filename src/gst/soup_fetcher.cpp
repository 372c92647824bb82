#include "gst/soup_fetcher.h"

#include <libsoup/soup.h>

#include <algorithm>
#include <utility>

namespace lumio::gst {
namespace {

using hls::HttpFetch;
using hls::HttpFetchOptions;
using hls::HttpHead;

// A read asks for no more than this at a time, and never past what the taker may be held.
constexpr size_t kReadBytes = 16 * 1024;

template <typename T>
struct GObjectUnref {
  void operator()(T* object) const {
    if (object != nullptr) g_object_unref(object);
  }
};
template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref<T>>;

struct GErrorFree {
  void operator()(GError* error) const { g_error_free(error); }
};
using ErrorPtr = std::unique_ptr<GError, GErrorFree>;

// How a request that got no answer failed, in the words the listener is shown.
std::pair<TransportError, std::string> Explain(const GError* error) {
  const std::string message = error->message != nullptr ? error->message : "";
  if (error->domain == G_TLS_ERROR)
    return {TransportError::kBadCertificate, "The server's certificate is not valid: " + message};
  if (error->domain == G_IO_ERROR && error->code == G_IO_ERROR_TIMED_OUT)
    return {TransportError::kTimedOut, "The server does not answer: " + message};
  if (error->domain == G_RESOLVER_ERROR)
    return {TransportError::kHostUnknown, "The server's name is unknown: " + message};
  if (error->domain == SOUP_SESSION_ERROR)
    return {TransportError::kNotHttp, "The server does not answer in HTTP: " + message};
  return {TransportError::kRefused, "The server cannot be reached: " + message};
}

std::string HeaderValue(SoupMessageHeaders* headers, const char* name) {
  const char* value = soup_message_headers_get_one(headers, name);
  return value != nullptr ? value : "";
}

}  // namespace

struct SoupFetcher::Session {
  GObjectPtr<SoupSession> soup;
  GMainContext* context = nullptr;  // the thread default where the fetcher was made; not owned
  std::function<void()> wake;
  GSource* wake_source = nullptr;  // a wake due, not run yet
  int steps = 0;                   // asynchronous steps of its requests not completed yet
  bool closed = false;

  ~Session() { DropWake(); }

  // Wakes once for everything that happened since the last wake, from the main context itself:
  // the taker may drop requests or the fetcher then, with no step of theirs on the stack.
  void Wake() {
    if (closed || !wake || wake_source != nullptr) return;
    wake_source = g_idle_source_new();
    g_source_set_callback(wake_source, &Session::OnWake, this, nullptr);
    g_source_attach(wake_source, context);
  }

  void DropWake() {
    if (wake_source == nullptr) return;
    g_source_destroy(wake_source);
    g_source_unref(wake_source);
    wake_source = nullptr;
  }

  static gboolean OnWake(gpointer data) {
    auto* self = static_cast<Session*>(data);
    g_source_unref(self->wake_source);
    self->wake_source = nullptr;
    // A copy: the taker may destroy the fetcher, and this session's wake with it.
    const std::function<void()> wake = self->wake;
    wake();
    return G_SOURCE_REMOVE;
  }
};

namespace {

// One request's state, shared by the request and each asynchronous step under way: a step
// that completes after the request went finds it closed and does nothing.
struct Exchange {
  std::shared_ptr<SoupFetcher::Session> session;
  HttpFetchOptions options;
  GObjectPtr<GCancellable> cancellable{g_cancellable_new()};
  GObjectPtr<SoupMessage> message;
  GObjectPtr<GInputStream> body;
  GSource* timer = nullptr;  // the wait for the server, while one is under way
  bool closed = false;       // the request is gone
  bool reading = false;      // a read is under way
  HttpFetch::Phase phase = HttpFetch::Phase::kWaiting;
  HttpHead head;
  std::string held;  // body bytes not taken yet
  TransportError failure = TransportError::kRefused;
  std::string error;

  ~Exchange() { StopTimer(); }

  bool Gone() const { return closed || session->closed; }

  // The exchange as an asynchronous step holds it until it completes (Completed).
  static gpointer Step(const std::shared_ptr<Exchange>& self) {
    ++self->session->steps;
    return new std::shared_ptr<Exchange>(self);
  }
  static std::unique_ptr<std::shared_ptr<Exchange>> Completed(gpointer data) {
    std::unique_ptr<std::shared_ptr<Exchange>> self(static_cast<std::shared_ptr<Exchange>*>(data));
    --(*self)->session->steps;
    return self;
  }

  void Wake() const {
    if (!Gone()) session->Wake();
  }

  void StopTimer() {
    if (timer == nullptr) return;
    g_source_destroy(timer);
    g_source_unref(timer);
    timer = nullptr;
  }

  // Each wait for the server (connecting, the head, the next body bytes) has the same limit.
  void StartTimer() {
    StopTimer();
    timer = g_timeout_source_new(static_cast<guint>(std::max(1, options.timeout_ms)));
    g_source_set_callback(timer, &Exchange::OnTimeout, this, nullptr);
    g_source_attach(timer, session->context);
  }

  void Fail(TransportError why, std::string text) {
    StopTimer();
    phase = HttpFetch::Phase::kFailed;
    failure = why;
    error = std::move(text);
    reading = false;
    g_cancellable_cancel(cancellable.get());
    body.reset();
  }

  void Read(const std::shared_ptr<Exchange>& self) {
    if (reading || phase != HttpFetch::Phase::kBody || held.size() >= options.buffer_limit) return;
    reading = true;
    StartTimer();
    g_input_stream_read_bytes_async(
        body.get(), std::min(kReadBytes, options.buffer_limit - held.size()), G_PRIORITY_DEFAULT,
        cancellable.get(), &Exchange::OnRead, Step(self));
  }

  static gboolean OnTimeout(gpointer data) {
    auto* self = static_cast<Exchange*>(data);
    g_source_unref(self->timer);
    self->timer = nullptr;
    self->Fail(
        self->phase == HttpFetch::Phase::kWaiting ? TransportError::kTimedOut
                                                  : TransportError::kConnectionLost,
        "The server sent nothing for " + std::to_string(self->options.timeout_ms / 1000) + " s");
    self->Wake();
    return G_SOURCE_REMOVE;
  }

  static void OnSent(GObject* source, GAsyncResult* result, gpointer data) {
    const std::unique_ptr<std::shared_ptr<Exchange>> held_self = Completed(data);
    Exchange& self = **held_self;
    GError* raw_error = nullptr;
    GObjectPtr<GInputStream> stream(
        soup_session_send_finish(SOUP_SESSION(source), result, &raw_error));
    const ErrorPtr error(raw_error);
    if (self.Gone() || self.phase != HttpFetch::Phase::kWaiting) return;
    if (!stream) {
      auto [why, text] = Explain(error.get());
      self.Fail(why, std::move(text));
      return self.Wake();
    }
    SoupMessageHeaders* headers = soup_message_get_response_headers(self.message.get());
    self.head.status = static_cast<int>(soup_message_get_status(self.message.get()));
    self.head.content_type = HeaderValue(headers, "Content-Type");
    self.head.icy_metaint = HeaderValue(headers, "icy-metaint");
    self.head.location = HeaderValue(headers, "Location");
    if (self.head.status / 100 != 2) {
      // Nobody reads an error page or a redirect's body.
      self.StopTimer();
      g_cancellable_cancel(self.cancellable.get());
      self.phase = HttpFetch::Phase::kEnded;
      return self.Wake();
    }
    self.body = std::move(stream);
    self.phase = HttpFetch::Phase::kBody;
    self.StopTimer();
    self.Read(*held_self);
    self.Wake();
  }

  static void OnRead(GObject* source, GAsyncResult* result, gpointer data) {
    const std::unique_ptr<std::shared_ptr<Exchange>> held_self = Completed(data);
    Exchange& self = **held_self;
    GError* raw_error = nullptr;
    GBytes* bytes = g_input_stream_read_bytes_finish(G_INPUT_STREAM(source), result, &raw_error);
    const ErrorPtr error(raw_error);
    if (self.Gone() || self.phase != HttpFetch::Phase::kBody) {
      if (bytes != nullptr) g_bytes_unref(bytes);
      return;
    }
    self.reading = false;
    self.StopTimer();
    if (bytes == nullptr) {
      self.Fail(TransportError::kConnectionLost,
                std::string("The connection broke off: ") +
                    (error && error->message != nullptr ? error->message : ""));
      return self.Wake();
    }
    gsize size = 0;
    const auto* at = static_cast<const char*>(g_bytes_get_data(bytes, &size));
    if (size == 0) {
      self.phase = HttpFetch::Phase::kEnded;
      // The connection goes back to the session for the next request.
      self.body.reset();
    } else {
      self.held.append(at, size);
      self.Read(*held_self);
    }
    g_bytes_unref(bytes);
    self.Wake();
  }
};

class SoupRequest final : public HttpFetch {
 public:
  explicit SoupRequest(std::shared_ptr<Exchange> exchange) : exchange_(std::move(exchange)) {}
  ~SoupRequest() override {
    exchange_->closed = true;
    exchange_->StopTimer();
    g_cancellable_cancel(exchange_->cancellable.get());
  }
  SoupRequest(const SoupRequest&) = delete;
  SoupRequest& operator=(const SoupRequest&) = delete;

  Phase phase() const override { return exchange_->phase; }
  HttpHead head() const override { return exchange_->head; }
  void TakeBody(std::string& out) override {
    if (exchange_->held.empty()) return;
    out += exchange_->held;
    exchange_->held.clear();
    exchange_->Read(exchange_);
  }
  TransportError failure() const override { return exchange_->failure; }
  std::string error() const override { return exchange_->error; }

 private:
  std::shared_ptr<Exchange> exchange_;
};

}  // namespace

SoupFetcher::SoupFetcher(const std::string& user_agent, std::function<void()> wake)
    : session_(std::make_shared<Session>()) {
  // No libsoup time limit: each request keeps its own, per wait, as it was asked.
  // An HLS reader holds a playlist, a key and a segment request at once, the one server
  // answering them all: more than libsoup's two connections to a host.
  session_->soup.reset(soup_session_new_with_options("user-agent", user_agent.c_str(), "timeout",
                                                     0u, "idle-timeout", 30u, "max-conns-per-host",
                                                     8, "max-conns", 16, nullptr));
  // A station's bytes as sent: a byte range of a compressed answer would be no range of the file.
  soup_session_remove_feature_by_type(session_->soup.get(), SOUP_TYPE_CONTENT_DECODER);
  session_->context = g_main_context_get_thread_default();
  if (session_->context == nullptr) session_->context = g_main_context_default();
  session_->wake = std::move(wake);
}

bool SoupFetcher::Settled() const {
  return session_->steps == 0;
}

SoupFetcher::~SoupFetcher() {
  session_->closed = true;
  session_->DropWake();
  soup_session_abort(session_->soup.get());
}

std::unique_ptr<HttpFetch> SoupFetcher::Open(const std::string& url,
                                             const HttpFetchOptions& options) {
  auto exchange = std::make_shared<Exchange>();
  exchange->session = session_;
  exchange->options = options;
  exchange->options.buffer_limit = std::max<size_t>(1, options.buffer_limit);
  exchange->message.reset(soup_message_new("GET", url.c_str()));
  if (!exchange->message) {
    exchange->Fail(TransportError::kNotAllowed, "Not an address that can be requested: " + url);
    return std::make_unique<SoupRequest>(std::move(exchange));
  }
  SoupMessage* message = exchange->message.get();
  soup_message_add_flags(message, SOUP_MESSAGE_NO_REDIRECT);
  SoupMessageHeaders* headers = soup_message_get_request_headers(message);
  if (options.icy_metadata) soup_message_headers_replace(headers, "Icy-MetaData", "1");
  if (options.range_length > 0) {
    soup_message_headers_set_range(
        headers, static_cast<goffset>(options.range_offset),
        static_cast<goffset>(options.range_offset + options.range_length - 1));
  }
  exchange->StartTimer();
  soup_session_send_async(session_->soup.get(), message, G_PRIORITY_DEFAULT,
                          exchange->cancellable.get(), &Exchange::OnSent, Exchange::Step(exchange));
  return std::make_unique<SoupRequest>(std::move(exchange));
}

}  // namespace lumio::gst
