#pragma once
// The accepting side of the test servers: a socket on 127.0.0.1 and a thread per connection.

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace lumio::test {

// A socket listening on 127.0.0.1:`port` (0: any free port, written to `bound_port`); -1 when
// it cannot be had.
int ListenOnLoopback(int port, int* bound_port);

class LoopbackListener {
 public:
  // Listens on `port` (0: any free port) and runs `serve` on a thread of its own for each
  // connection, closing the socket after it returns.
  LoopbackListener(int port, std::function<void(int fd)> serve);
  // Stops accepting and waits for every connection's thread; `serve` should watch stopping().
  ~LoopbackListener();
  LoopbackListener(const LoopbackListener&) = delete;
  LoopbackListener& operator=(const LoopbackListener&) = delete;

  bool ok() const { return listen_fd_ >= 0; }
  int port() const { return port_; }
  bool stopping() const { return stopping_; }
  int accepted() const { return accepted_; }

 private:
  void AcceptLoop();

  const std::function<void(int fd)> serve_;
  int listen_fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<int> accepted_{0};
  std::mutex mutex_;
  std::vector<std::thread> connections_;
  std::thread acceptor_;
};

}  // namespace lumio::test
