#include "winplayer/connection_check.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <string_view>

namespace lumio::win {
namespace {

class Winsock {
 public:
  Winsock() {
    WSADATA data;
    ok_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }
  ~Winsock() {
    if (ok_) WSACleanup();
  }
  Winsock(const Winsock&) = delete;
  Winsock& operator=(const Winsock&) = delete;
  bool ok() const { return ok_; }

 private:
  bool ok_ = false;
};

class Socket {
 public:
  explicit Socket(SOCKET socket) : socket_(socket) {}
  ~Socket() {
    if (socket_ != INVALID_SOCKET) closesocket(socket_);
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  SOCKET get() const { return socket_; }

 private:
  SOCKET socket_;
};

struct AddressList {
  addrinfo* first = nullptr;
  ~AddressList() {
    if (first != nullptr) freeaddrinfo(first);
  }
};

std::pair<TransportError, std::string> Unreachable(const char* what) {
  return {TransportError::kRefused, std::string("The server cannot be reached: ") + what +
                                        " (Winsock error " + std::to_string(WSAGetLastError()) +
                                        ")"};
}

}  // namespace

std::pair<TransportError, std::string> CheckConnection(const stream::UrlParts& address,
                                                       int timeout_ms) {
  const Winsock winsock;
  if (!winsock.ok()) return Unreachable("no sockets");
  std::string host = address.host;
  if (host.size() > 2 && host.front() == '[' && host.back() == ']')
    host = host.substr(1, host.size() - 2);
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  AddressList found;
  if (getaddrinfo(host.c_str(), std::to_string(address.port).c_str(), &hints, &found.first) != 0)
    return {TransportError::kHostUnknown, "The server's name is unknown"};
  const Socket socket(::socket(found.first->ai_family, SOCK_STREAM, IPPROTO_TCP));
  if (socket.get() == INVALID_SOCKET) return Unreachable("no socket");
  const DWORD wait = static_cast<DWORD>(std::max(1, timeout_ms));
  setsockopt(socket.get(), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&wait),
             sizeof wait);
  setsockopt(socket.get(), SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&wait),
             sizeof wait);
  if (connect(socket.get(), found.first->ai_addr, static_cast<int>(found.first->ai_addrlen)) != 0)
    return Unreachable("the connection failed");
  const std::string request = "GET " + address.RequestTarget() +
                              " HTTP/1.0\r\nHost: " + address.host +
                              "\r\nUser-Agent: Lumio/1.2\r\n\r\n";
  if (send(socket.get(), request.data(), static_cast<int>(request.size()), 0) < 0)
    return Unreachable("the request could not be sent");
  char answer[16] = {};
  const int read = recv(socket.get(), answer, sizeof answer, 0);
  if (read < 0 && WSAGetLastError() == WSAETIMEDOUT)
    return {TransportError::kTimedOut, "The server accepts the connection but sends no answer"};
  if (read <= 0) return {TransportError::kRefused, "The server closes the connection unasked"};
  const std::string_view start(answer, static_cast<size_t>(read));
  return {TransportError::kNotHttp, start.starts_with("HTTP/") || start.starts_with("ICY")
                                        ? "The server's answer is not one a radio server gives"
                                        : "The server does not answer in HTTP"};
}

}  // namespace lumio::win
