#include "gst/stream_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>

namespace lumio::test {
namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kIcyInterval = 8192;
constexpr int kPollMs = 20;

int64_t MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// The value of header `name` (lower case) in a raw request, or "".
std::string HeaderValue(const std::string& request, const std::string& name) {
  size_t line = request.find("\r\n");
  while (line != std::string::npos && line + 2 < request.size()) {
    const size_t start = line + 2;
    const size_t end = request.find("\r\n", start);
    if (end == std::string::npos || end == start) break;
    const std::string header = request.substr(start, end - start);
    const size_t colon = header.find(':');
    if (colon != std::string::npos && Lower(header.substr(0, colon)) == name) {
      size_t value = colon + 1;
      while (value < header.size() && header[value] == ' ')
        ++value;
      return header.substr(value);
    }
    line = end;
  }
  return "";
}

// Sends all of `bytes` unless the client goes away or `give_up` says so.
template <typename GiveUp>
bool SendAll(int fd, std::string_view bytes, GiveUp give_up) {
  while (!bytes.empty()) {
    pollfd p{fd, POLLOUT, 0};
    if (poll(&p, 1, kPollMs) < 0) return false;
    if (give_up()) return false;
    if ((p.revents & (POLLERR | POLLHUP)) != 0) return false;
    if ((p.revents & POLLOUT) == 0) continue;
    const ssize_t sent = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent < 0) {
      if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

// True once the client closed its side (or the connection broke).
bool ClientGone(int fd, int wait_ms) {
  pollfd p{fd, POLLIN, 0};
  if (poll(&p, 1, wait_ms) <= 0) return false;
  if ((p.revents & (POLLERR | POLLHUP)) != 0) return true;
  char scratch[512];
  const ssize_t got = recv(fd, scratch, sizeof scratch, MSG_DONTWAIT);
  return got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR);
}

std::string IcyBlock(const std::string& title) {
  std::string text = "StreamTitle='" + title + "';";
  const size_t blocks = (text.size() + 15) / 16;
  text.resize(blocks * 16, '\0');
  return std::string(1, static_cast<char>(blocks)) + text;
}

const char* Reason(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 301:
      return "Moved Permanently";
    case 302:
      return "Found";
    case 303:
      return "See Other";
    case 307:
      return "Temporary Redirect";
    case 308:
      return "Permanent Redirect";
    case 403:
      return "Forbidden";
    case 404:
      return "Not Found";
    case 503:
      return "Service Unavailable";
    default:
      return "Error";
  }
}

}  // namespace

StreamServer::StreamServer(int port) : listener_(port, [this](int fd) { HandleConnection(fd); }) {}

StreamServer::~StreamServer() = default;

std::string StreamServer::Url(std::string_view path) const {
  return "http://127.0.0.1:" + std::to_string(listener_.port()) + std::string(path);
}

void StreamServer::Serve(const std::string& path, StreamResource resource) {
  std::lock_guard lock(mutex_);
  PathState& state = paths_[path];
  state.resource = std::move(resource);
  state.served = true;
}

void StreamServer::SetTitle(const std::string& path, std::string title) {
  std::lock_guard lock(mutex_);
  paths_[path].title = std::move(title);
}

void StreamServer::CloseConnections(const std::string& path) {
  std::lock_guard lock(mutex_);
  ++paths_[path].generation;
}

std::vector<RecordedRequest> StreamServer::Requests(const std::string& path) const {
  std::lock_guard lock(mutex_);
  std::vector<RecordedRequest> found;
  for (const RecordedRequest& request : requests_) {
    if (request.path == path) found.push_back(request);
  }
  return found;
}

void StreamServer::HandleConnection(int fd) {
  std::string request;
  const Clock::time_point start = Clock::now();
  while (request.find("\r\n\r\n") == std::string::npos) {
    if (listener_.stopping() || MillisecondsSince(start) > 5000 || request.size() > 16384) return;
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, kPollMs) <= 0) continue;
    char buffer[2048];
    const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
    if (got <= 0) return;
    request.append(buffer, static_cast<size_t>(got));
  }
  // "GET /path?query HTTP/1.1"
  const size_t path_start = request.find(' ');
  const size_t path_end = request.find_first_of(" ?", path_start + 1);
  if (path_start == std::string::npos || path_end == std::string::npos) return;
  const std::string path = request.substr(path_start + 1, path_end - path_start - 1);
  const bool wants_icy = HeaderValue(request, "icy-metadata") == "1";

  StreamResource resource;
  int generation = 0;
  bool icy = false;
  {
    std::lock_guard lock(mutex_);
    requests_.push_back({path, HeaderValue(request, "user-agent"), wants_icy, Clock::now()});
    auto found = paths_.find(path);
    if (found == paths_.end() || !found->second.served) {
      resource.status = 404;
    } else {
      resource = found->second.resource;
      generation = found->second.generation;
      icy = wants_icy && !found->second.title.empty() && resource.bytes_per_second > 0;
    }
  }
  auto give_up = [&] { return Cancelled(path, generation); };

  if (resource.never_answer) {
    while (!give_up() && !ClientGone(fd, kPollMs)) {
    }
    return;
  }
  std::string head =
      "HTTP/1.0 " + std::to_string(resource.status) + " " + Reason(resource.status) + "\r\n";
  const std::string empty;
  const std::string& body = resource.status == 200 && resource.body ? *resource.body : empty;
  if (resource.status != 200 || resource.bytes_per_second == 0) {
    head += "Content-Type: " + (resource.status == 200 ? resource.content_type : "text/plain") +
            "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n";
  } else {
    head += "Content-Type: " + resource.content_type + "\r\n";
    if (icy)
      head += "icy-metaint: " + std::to_string(kIcyInterval) + "\r\nicy-name: Lumio test\r\n";
  }
  if (!resource.location.empty()) head += "Location: " + resource.location + "\r\n";
  head += "Connection: close\r\n\r\n";
  if (!SendAll(fd, head, give_up)) return;
  if (resource.status != 200 || resource.bytes_per_second == 0) {
    SendAll(fd, body, give_up);
    shutdown(fd, SHUT_WR);
    return;
  }
  StreamBody(fd, path, resource, icy, generation);
}

void StreamServer::StreamBody(int fd, const std::string& path, const StreamResource& resource,
                              bool icy, int generation) {
  const std::string& body = *resource.body;
  if (body.empty()) return;
  auto give_up = [&] { return Cancelled(path, generation); };
  const Clock::time_point start = Clock::now();
  size_t sent = 0;      // media bytes, metadata not counted
  size_t position = 0;  // in the body
  size_t until_metadata = kIcyInterval;
  std::string last_title;
  while (!give_up()) {
    int64_t elapsed = MillisecondsSince(start);
    if (resource.stall_after_ms >= 0 && elapsed >= resource.stall_after_ms &&
        elapsed < resource.stall_after_ms + resource.stall_ms) {
      elapsed = resource.stall_after_ms;
    }
    const size_t allowed =
        resource.burst_bytes + static_cast<size_t>(elapsed * resource.bytes_per_second / 1000);
    while (sent < allowed) {
      size_t chunk = std::min({allowed - sent, size_t{4096}, body.size() - position});
      if (icy) chunk = std::min(chunk, until_metadata);
      if (!SendAll(fd, std::string_view(body).substr(position, chunk), give_up)) return;
      sent += chunk;
      position += chunk;
      if (icy && (until_metadata -= chunk) == 0) {
        until_metadata = kIcyInterval;
        const std::string title = Title(path);
        const std::string block = title == last_title ? std::string(1, '\0') : IcyBlock(title);
        last_title = title;
        if (!SendAll(fd, block, give_up)) return;
      }
      if (position == body.size()) {
        if (!resource.loop) {
          shutdown(fd, SHUT_WR);
          return;
        }
        position = 0;
      }
    }
    if (ClientGone(fd, kPollMs)) return;
  }
}

bool StreamServer::Cancelled(const std::string& path, int generation) const {
  if (listener_.stopping()) return true;
  std::lock_guard lock(mutex_);
  auto found = paths_.find(path);
  return found != paths_.end() && found->second.generation != generation;
}

std::string StreamServer::Title(const std::string& path) const {
  std::lock_guard lock(mutex_);
  auto found = paths_.find(path);
  return found == paths_.end() ? std::string() : found->second.title;
}

}  // namespace lumio::test
