#include "gst/tls_front.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "gst/loopback_listener.h"

namespace lumio::test {
namespace {

constexpr int kFrontPollMs = 20;

int ConnectToLoopback(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

void SetTimeouts(int fd, int milliseconds) {
  timeval tv{milliseconds / 1000, (milliseconds % 1000) * 1000};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
  setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
}

}  // namespace

TlsFront::TlsFront(const std::string& cert_file, const std::string& key_file, int backend_port)
    : backend_port_(backend_port) {
  context_ = SSL_CTX_new(TLS_server_method());
  if (context_ == nullptr) return;
  SSL_CTX_set_mode(context_, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
  if (SSL_CTX_use_certificate_chain_file(context_, cert_file.c_str()) != 1 ||
      SSL_CTX_use_PrivateKey_file(context_, key_file.c_str(), SSL_FILETYPE_PEM) != 1) {
    return;
  }
  listener_ = std::make_unique<LoopbackListener>(0, [this](int fd) { Relay(fd); });
}

TlsFront::~TlsFront() {
  stopping_ = true;
  listener_.reset();
  if (context_ != nullptr) SSL_CTX_free(context_);
}

std::string TlsFront::Url(std::string_view path) const {
  return "https://localhost:" + std::to_string(port()) + std::string(path);
}

// One connection: the handshake, then bytes both ways until either side closes.
void TlsFront::Relay(int client_fd) {
  SetTimeouts(client_fd, 2000);
  SSL* ssl = SSL_new(context_);
  if (ssl == nullptr) return;
  SSL_set_fd(ssl, client_fd);
  // A client that rejects the certificate ends here, as it should.
  const int backend_fd = SSL_accept(ssl) == 1 ? ConnectToLoopback(backend_port_) : -1;
  if (backend_fd >= 0) {
    fcntl(client_fd, F_SETFL, fcntl(client_fd, F_GETFL) | O_NONBLOCK);
    char buffer[16384];
    bool open = true;
    while (open && !stopping_) {
      pollfd p[2] = {{client_fd, POLLIN, 0}, {backend_fd, POLLIN, 0}};
      if (SSL_pending(ssl) == 0 && poll(p, 2, kFrontPollMs) <= 0) continue;
      if (SSL_pending(ssl) > 0 || (p[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
        const int got = SSL_read(ssl, buffer, sizeof buffer);
        if (got > 0) {
          open = send(backend_fd, buffer, static_cast<size_t>(got), MSG_NOSIGNAL) == got;
        } else {
          const int error = SSL_get_error(ssl, got);
          open = error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE;
        }
      }
      if (open && (p[1].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
        const ssize_t got = recv(backend_fd, buffer, sizeof buffer, 0);
        open = got > 0;
        for (ssize_t sent = 0; open && sent < got && !stopping_;) {
          const int wrote = SSL_write(ssl, buffer + sent, static_cast<int>(got - sent));
          if (wrote > 0) {
            sent += wrote;
            continue;
          }
          const int error = SSL_get_error(ssl, wrote);
          if (error != SSL_ERROR_WANT_WRITE && error != SSL_ERROR_WANT_READ) open = false;
          pollfd out{client_fd, POLLOUT, 0};
          poll(&out, 1, kFrontPollMs);
        }
      }
    }
    SSL_shutdown(ssl);
    close(backend_fd);
  }
  SSL_free(ssl);
}

}  // namespace lumio::test
