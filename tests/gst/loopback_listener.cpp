#include "gst/loopback_listener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <utility>

namespace lumio::test {

int ListenOnLoopback(int port, int* bound_port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  const int yes = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 16) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    close(fd);
    return -1;
  }
  *bound_port = ntohs(address.sin_port);
  return fd;
}

LoopbackListener::LoopbackListener(int port, std::function<void(int fd)> serve)
    : serve_(std::move(serve)) {
  listen_fd_ = ListenOnLoopback(port, &port_);
  if (listen_fd_ >= 0) acceptor_ = std::thread([this] { AcceptLoop(); });
}

LoopbackListener::~LoopbackListener() {
  stopping_ = true;
  if (acceptor_.joinable()) acceptor_.join();
  std::vector<std::thread> connections;
  {
    std::lock_guard lock(mutex_);
    connections.swap(connections_);
  }
  for (std::thread& connection : connections)
    connection.join();
  if (listen_fd_ >= 0) close(listen_fd_);
}

void LoopbackListener::AcceptLoop() {
  while (!stopping_) {
    pollfd p{listen_fd_, POLLIN, 0};
    if (poll(&p, 1, 50) <= 0) continue;
    const int fd = accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    ++accepted_;
    std::lock_guard lock(mutex_);
    connections_.emplace_back([this, fd] {
      serve_(fd);
      close(fd);
    });
  }
}

}  // namespace lumio::test
