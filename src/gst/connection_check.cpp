#include "gst/connection_check.h"

#include <gio/gio.h>

#include <algorithm>
#include <utility>

namespace lumio::gst {

// Shared by the check and the connection under way: GIO calls back even when cancelled, and
// the owner may go before that or from within `done`. Whichever of the two ends last frees it.
struct ConnectionCheck::Pending {
  std::function<void(TransportError, std::string)> done;
  GCancellable* cancellable = nullptr;
  GSocketClient* client = nullptr;
  bool owner_gone = false;
  bool finished = false;

  ~Pending() {
    g_object_unref(client);
    g_object_unref(cancellable);
  }

  static void OnConnected(GObject* source, GAsyncResult* result, gpointer data);
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

void ConnectionCheck::Pending::OnConnected(GObject* source, GAsyncResult* result, gpointer data) {
  auto* pending = static_cast<Pending*>(data);
  GError* error = nullptr;
  GSocketConnection* connection = g_socket_client_connect_to_uri_finish(
      reinterpret_cast<GSocketClient*>(source), result, &error);
  if (connection != nullptr) g_object_unref(connection);
  std::pair<TransportError, std::string> outcome = {
      TransportError::kTimedOut, "The server accepts the connection but sends no answer"};
  if (error != nullptr) {
    outcome = Explain(error);
    g_error_free(error);
  }
  pending->finished = true;
  if (pending->owner_gone) {
    delete pending;
    return;
  }
  // The owner may be destroyed by `done`; nothing of `pending` is touched after it.
  std::function<void(TransportError, std::string)> done = std::move(pending->done);
  done(outcome.first, std::move(outcome.second));
}

ConnectionCheck::ConnectionCheck(const std::string& uri, int timeout_seconds,
                                 std::function<void(TransportError, std::string why)> done)
    : pending_(new Pending) {
  pending_->done = std::move(done);
  pending_->cancellable = g_cancellable_new();
  pending_->client = g_socket_client_new();
  g_socket_client_set_timeout(pending_->client, static_cast<guint>(std::max(1, timeout_seconds)));
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
