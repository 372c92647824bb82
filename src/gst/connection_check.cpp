#include "gst/connection_check.h"

#include <gio/gio.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "stream/url.h"

namespace lumio::gst {

// Shared by the check and the connection under way: GIO calls back even when cancelled, and
// the owner may go before that or from within `done`. Whichever of the two ends last frees it.
struct ConnectionCheck::Pending {
  std::function<void(TransportError, std::string)> done;
  GCancellable* cancellable = nullptr;
  GSocketClient* client = nullptr;
  GSocketConnection* connection = nullptr;
  std::string request;
  char answer[16] = {};
  bool owner_gone = false;
  bool finished = false;

  ~Pending() {
    if (connection != nullptr) g_object_unref(connection);
    g_object_unref(client);
    g_object_unref(cancellable);
  }

  // True when the check ends at this step: nobody waits for it any more (`this` is deleted),
  // or `error` ended it (`done` has run, with `no_answer` as the reason of a time-out when
  // given). Takes `error`.
  bool Ended(GError* error, const char* no_answer = nullptr);
  void Finish(TransportError error, std::string why);

  static void OnConnected(GObject* source, GAsyncResult* result, gpointer data);
  static void OnSent(GObject* source, GAsyncResult* result, gpointer data);
  static void OnAnswer(GObject* source, GAsyncResult* result, gpointer data);
};

namespace {

std::pair<TransportError, std::string> Explain(const GError* error) {
  const std::string message = error->message != nullptr ? error->message : "";
  if (error->domain == G_TLS_ERROR && error->code == G_TLS_ERROR_BAD_CERTIFICATE)
    return {TransportError::kBadCertificate, "The server's certificate is not valid: " + message};
  if (error->domain == G_IO_ERROR && error->code == G_IO_ERROR_TIMED_OUT)
    return {TransportError::kTimedOut, "The server does not answer: " + message};
  if (error->domain == G_RESOLVER_ERROR)
    return {TransportError::kHostUnknown, "The server's name is unknown: " + message};
  return {TransportError::kRefused, "The server cannot be reached: " + message};
}

}  // namespace

bool ConnectionCheck::Pending::Ended(GError* error, const char* no_answer) {
  if (owner_gone) {
    if (error != nullptr) g_error_free(error);
    delete this;
    return true;
  }
  if (error == nullptr) return false;
  auto [failure, why] = Explain(error);
  g_error_free(error);
  if (failure == TransportError::kTimedOut && no_answer != nullptr) why = no_answer;
  Finish(failure, std::move(why));
  return true;
}

void ConnectionCheck::Pending::Finish(TransportError error, std::string why) {
  finished = true;
  // The owner may be destroyed by `done`; nothing of `this` is touched after it.
  std::function<void(TransportError, std::string)> call = std::move(done);
  call(error, std::move(why));
}

void ConnectionCheck::Pending::OnConnected(GObject* source, GAsyncResult* result, gpointer data) {
  auto* pending = static_cast<Pending*>(data);
  GError* error = nullptr;
  pending->connection = g_socket_client_connect_to_uri_finish(
      reinterpret_cast<GSocketClient*>(source), result, &error);
  if (pending->Ended(error)) return;
  // The server takes connections: what it says to a request of our own tells the rest.
  GOutputStream* out = g_io_stream_get_output_stream(G_IO_STREAM(pending->connection));
  g_output_stream_write_all_async(out, pending->request.data(), pending->request.size(),
                                  G_PRIORITY_DEFAULT, pending->cancellable, &OnSent, pending);
}

void ConnectionCheck::Pending::OnSent(GObject* source, GAsyncResult* result, gpointer data) {
  auto* pending = static_cast<Pending*>(data);
  GError* error = nullptr;
  g_output_stream_write_all_finish(reinterpret_cast<GOutputStream*>(source), result, nullptr,
                                   &error);
  if (pending->Ended(error)) return;
  GInputStream* in = g_io_stream_get_input_stream(G_IO_STREAM(pending->connection));
  g_input_stream_read_async(in, pending->answer, sizeof pending->answer, G_PRIORITY_DEFAULT,
                            pending->cancellable, &OnAnswer, pending);
}

void ConnectionCheck::Pending::OnAnswer(GObject* source, GAsyncResult* result, gpointer data) {
  auto* pending = static_cast<Pending*>(data);
  GError* error = nullptr;
  const gssize read =
      g_input_stream_read_finish(reinterpret_cast<GInputStream*>(source), result, &error);
  if (pending->Ended(error, "The server accepts the connection but sends no answer")) return;
  if (read <= 0)
    return pending->Finish(TransportError::kRefused, "The server closes the connection unasked");
  // An answer in HTTP that the HTTP source could not take (its head too long, malformed) is no
  // radio server's either.
  const std::string_view answer(pending->answer, static_cast<size_t>(read));
  pending->Finish(TransportError::kNotHttp,
                  answer.starts_with("HTTP/") || answer.starts_with("ICY")
                      ? "The server's answer is not one a radio server gives"
                      : "The server does not answer in HTTP");
}

ConnectionCheck::ConnectionCheck(const std::string& uri, int timeout_seconds,
                                 std::function<void(TransportError, std::string why)> done)
    : pending_(new Pending) {
  pending_->done = std::move(done);
  pending_->cancellable = g_cancellable_new();
  pending_->client = g_socket_client_new();
  // Connecting and each wait for the server, as the HTTP source waits.
  g_socket_client_set_timeout(pending_->client, static_cast<guint>(std::max(1, timeout_seconds)));
  const std::optional<stream::UrlParts> parts = stream::SplitUrl(uri);
  const std::string host = parts ? parts->host : "";
  pending_->request = "GET " + (parts ? parts->RequestTarget() : "/") +
                      " HTTP/1.0\r\nHost: " + host + "\r\nUser-Agent: Lumio/1.2\r\n\r\n";
  // With TLS the handshake is part of connecting, and a certificate that fails verification
  // fails it: the same trust the HTTP source uses (the TLS backend's default database).
  const bool tls = g_ascii_strncasecmp(uri.c_str(), "https:", 6) == 0;
  g_socket_client_set_tls(pending_->client, tls);
  g_socket_client_connect_to_uri_async(pending_->client, uri.c_str(), tls ? 443 : 80,
                                       pending_->cancellable, &Pending::OnConnected, pending_);
}

ConnectionCheck::~ConnectionCheck() {
  if (pending_->finished) {
    delete pending_;
    return;
  }
  pending_->owner_gone = true;
  pending_->done = nullptr;
  g_cancellable_cancel(pending_->cancellable);
}

}  // namespace lumio::gst
