#pragma once
// An HTTPS listener on 127.0.0.1 in front of a plain test server: it takes TLS connections
// with one certificate and passes each connection's bytes to and from the server behind it, so
// that every answer the stream server can give can also be had over https. Stops, closing every
// connection, in its destructor.

#include <openssl/ssl.h>

#include <atomic>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace lumio::test {

class TlsFront {
 public:
  // Serves with the PEM certificate (chain) and key given, passing on to 127.0.0.1:`backend_port`.
  TlsFront(const std::string& cert_file, const std::string& key_file, int backend_port);
  ~TlsFront();
  TlsFront(const TlsFront&) = delete;
  TlsFront& operator=(const TlsFront&) = delete;

  // False when the certificate could not be loaded or the port not bound.
  bool ok() const { return listen_fd_ >= 0; }
  int port() const { return port_; }
  // "https://localhost:<port><path>": the certificates name the host, not the address.
  std::string Url(std::string_view path) const;
  // Connections accepted so far, whether their handshake succeeded or not.
  int connections() const { return connections_count_; }

 private:
  void AcceptLoop();
  void Relay(int client_fd);

  SSL_CTX* context_ = nullptr;
  int listen_fd_ = -1;
  int port_ = 0;
  const int backend_port_;
  std::atomic<bool> stopping_{false};
  std::atomic<int> connections_count_{0};
  std::mutex mutex_;
  std::vector<std::thread> connections_;
  std::thread acceptor_;
};

}  // namespace lumio::test
