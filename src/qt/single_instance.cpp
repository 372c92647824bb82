#include "qt/single_instance.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <thread>
#include <utility>

#include "app/command_line.h"

namespace lumio {
namespace {

// The same folder under any spelling (a symlinked home, a trailing slash) gives the same name;
// a folder that does not exist yet is resolved as far as it does.
std::string SocketName(const std::string& configFolder) {
  std::error_code error;
  std::filesystem::path path = std::filesystem::weakly_canonical(configFolder, error);
  if (error) path = std::filesystem::path(configFolder).lexically_normal();
  std::string text = path.string();
  while (text.size() > 1 && text.back() == '/')
    text.pop_back();
  uint64_t hash = 1469598103934665603ull;  // FNV-1a
  for (unsigned char c : text)
    hash = (hash ^ c) * 1099511628211ull;
  char name[40];
  std::snprintf(name, sizeof name, "lumio-%016llx", static_cast<unsigned long long>(hash));
  return name;
}

// An abstract socket address: a leading zero byte, then the name, not zero-terminated.
socklen_t AbstractAddress(const std::string& name, sockaddr_un& address) {
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path + 1, name.data(), name.size());
  return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
}

class Fd {
 public:
  Fd() : m_fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0)) {}
  ~Fd() {
    if (m_fd >= 0) ::close(m_fd);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return m_fd; }
  int release() { return std::exchange(m_fd, -1); }

 private:
  int m_fd;
};

enum class Knock { kAnswered, kRefused, kFailed };

int MillisecondsLeft(std::chrono::steady_clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Reads what the other side sends until it closes its side, a line ends or `cap` bytes have
// come, whichever is first; by `deadline` at the latest.
std::string ReadUntilDone(int fd, size_t cap, std::chrono::steady_clock::time_point deadline) {
  std::string bytes;
  char buffer[256];
  while (bytes.size() <= cap) {
    pollfd ready{fd, POLLIN, 0};
    const int polled = ::poll(&ready, 1, MillisecondsLeft(deadline));
    if (polled < 0 && errno == EINTR) continue;
    if (polled <= 0) break;
    const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (got <= 0) break;
    bytes.append(buffer, static_cast<size_t>(got));
    if (bytes.back() == '\n') break;
  }
  return bytes;
}

// Everything of a short text, by `deadline`.
bool SendAll(int fd, std::string_view bytes, std::chrono::steady_clock::time_point deadline) {
  while (!bytes.empty()) {
    const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent > 0) {
      bytes.remove_prefix(static_cast<size_t>(sent));
      continue;
    }
    if (sent < 0 && errno == EINTR) continue;
    if (sent < 0 && errno != EAGAIN) return false;
    pollfd ready{fd, POLLOUT, 0};
    if (::poll(&ready, 1, MillisecondsLeft(deadline)) <= 0) return false;
  }
  return true;
}

// Connects to the holder of the name, hands it the command and waits for its answer.
Knock AskHolder(const sockaddr_un& address, socklen_t length, const std::string& commandText,
                std::string& answer) {
  Fd client;
  if (client.get() < 0) return Knock::kFailed;
  if (::connect(client.get(), reinterpret_cast<const sockaddr*>(&address), length) != 0) {
    // A full queue means a holder that is busy, but there: knock again a moment later.
    if (errno == EAGAIN || errno == ECONNREFUSED) return Knock::kRefused;
    return Knock::kFailed;
  }
  // A plain start only knocks: the connection itself asks for the window, and no answer is
  // awaited from a program that may still be starting.
  if (commandText.empty()) return Knock::kAnswered;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kAnswerWaitMs);
  if (SendAll(client.get(), commandText, deadline)) {
    ::shutdown(client.get(), SHUT_WR);
    answer = ReadUntilDone(client.get(), kAnswerTextMax, deadline);
  }
  return Knock::kAnswered;
}

}  // namespace

SingleInstance::SingleInstance(const std::string& configFolder, const std::string& commandText) {
  sockaddr_un address;
  const socklen_t length = AbstractAddress(SocketName(configFolder), address);
  // A holder that has bound the name but not yet listens refuses for a moment; one that keeps
  // refusing is no program of ours, and the guard is given up rather than the start.
  for (int attempt = 0; attempt < 50; ++attempt) {
    Fd server;
    if (server.get() < 0) return;
    if (::bind(server.get(), reinterpret_cast<const sockaddr*>(&address), length) == 0) {
      if (::listen(server.get(), 16) != 0) return;
      m_fd = server.release();
      m_claim = Claim::kFirst;
      return;
    }
    if (errno != EADDRINUSE) return;
    switch (AskHolder(address, length, commandText, m_answer)) {
      case Knock::kAnswered:
        m_claim = Claim::kOtherAsked;
        return;
      case Knock::kFailed:
        return;
      case Knock::kRefused:
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        break;
    }
  }
}

SingleInstance::~SingleInstance() {
  m_notifier.reset();
  if (m_fd >= 0) ::close(m_fd);
}

void SingleInstance::Serve(std::function<std::string(const std::string&)> handler) {
  if (m_fd < 0 || m_notifier) return;
  m_handler = std::move(handler);
  m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
  connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] { Accept(); });
}

void SingleInstance::Release() {
  m_notifier.reset();
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
}

void SingleInstance::Accept() {
  for (;;) {
    const int client = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (client < 0) break;
    // The name can be reached by every user of the machine; only our own user's starts count.
    ucred peer{};
    socklen_t size = sizeof peer;
    if (::getsockopt(client, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::getuid())
      Answer(client);
    ::close(client);
  }
}

// Our own later start sends its few bytes at once; one that dawdles holds the window up for a
// second at most, and one that never reads its answer costs nothing.
void SingleInstance::Answer(int client) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
  const std::string text = ReadUntilDone(client, kCommandTextMax, deadline);
  if (!m_handler) return;
  const std::string answer = m_handler(text);
  SendAll(client, answer, std::chrono::steady_clock::now() + std::chrono::seconds(1));
}

}  // namespace lumio
