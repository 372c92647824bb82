#pragma once
// An HTTPS listener on 127.0.0.1 in front of a plain test server: it takes TLS connections
// with one certificate and passes each connection's bytes to and from the server behind it, so
// that every answer the stream server can give can also be had over https. Stops, closing every
// connection, in its destructor.

#include <openssl/ssl.h>

#include <atomic>
#include <memory>
#include <string>
#include <string_view>

#include "gst/loopback_listener.h"

namespace lumio::test {

class TlsFront {
 public:
  // Serves with the PEM certificate (chain) and key given, passing on to 127.0.0.1:`backend_port`.
  TlsFront(const std::string& cert_file, const std::string& key_file, int backend_port);
  ~TlsFront();
  TlsFront(const TlsFront&) = delete;
  TlsFront& operator=(const TlsFront&) = delete;

  // False when the certificate could not be loaded or the port not bound.
  bool ok() const { return listener_ && listener_->ok(); }
  int port() const { return listener_ ? listener_->port() : 0; }
  // "https://localhost:<port><path>": the certificates name the host, not the address.
  std::string Url(std::string_view path) const;
  // Connections accepted so far, whether their handshake succeeded or not.
  int connections() const { return listener_ ? listener_->accepted() : 0; }

 private:
  void Relay(int client_fd);

  SSL_CTX* context_ = nullptr;
  const int backend_port_;
  std::atomic<bool> stopping_{false};  // the relays end
  // Last: its connections end before the context goes. Made once the certificate is loaded.
  std::unique_ptr<LoopbackListener> listener_;
};

}  // namespace lumio::test
