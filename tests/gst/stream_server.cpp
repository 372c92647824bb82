#include "gst/stream_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>

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
  static const std::map<int, const char*> kReasons = {
      {200, "OK"},
      {301, "Moved Permanently"},
      {302, "Found"},
      {303, "See Other"},
      {307, "Temporary Redirect"},
      {308, "Permanent Redirect"},
      {400, "Bad Request"},
      {403, "Forbidden"},
      {404, "Not Found"},
      {405, "Method Not Allowed"},
      {408, "Request Timeout"},
      {410, "Gone"},
      {451, "Unavailable For Legal Reasons"},
      {500, "Internal Server Error"},
      {503, "Service Unavailable"},
      {206, "Partial Content"},
      {416, "Range Not Satisfiable"},
  };
  const auto found = kReasons.find(status);
  return found != kReasons.end() ? found->second : "Error";
}

std::string Chunk(std::string_view bytes) {
  char size[20];
  std::snprintf(size, sizeof size, "%zx\r\n", bytes.size());
  return size + std::string(bytes) + "\r\n";
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
  size_t icy_interval = 0;  // 0: the body carries no metadata
  {
    std::lock_guard lock(mutex_);
    requests_.push_back({path, HeaderValue(request, "user-agent"), wants_icy, Clock::now()});
    auto found = paths_.find(path);
    if (found == paths_.end() || !found->second.served) {
      resource.status = 404;
    } else {
      resource = found->second.resource;
      generation = found->second.generation;
      const bool titled = !found->second.title.empty() || resource.icy_interval > 0;
      if (wants_icy && titled && resource.bytes_per_second > 0)
        icy_interval = resource.icy_interval > 0 ? resource.icy_interval : kIcyInterval;
      if (!resource.icy_metaint_header.empty()) icy_interval = resource.icy_interval;
    }
  }
  auto give_up = [&] { return Cancelled(path, generation); };

  if (resource.never_answer) {
    while (!give_up() && !ClientGone(fd, kPollMs)) {
    }
    return;
  }
  const bool whole = resource.status != 200 || resource.bytes_per_second == 0;
  const std::string empty;
  std::string_view body = resource.status == 200 && resource.body ? *resource.body : empty;
  std::string range_head;
  if (whole && resource.ranges && resource.status == 200 && !body.empty()) {
    range_head = "Accept-Ranges: bytes\r\n";
    const std::string range = HeaderValue(request, "range");
    size_t from = 0;
    size_t to = 0;
    if (std::sscanf(range.c_str(), "bytes=%zu-%zu", &from, &to) == 2 ||
        std::sscanf(range.c_str(), "bytes=%zu-", &from) == 1) {
      if (to == 0 || to >= body.size()) to = body.size() - 1;
      if (from > to) {
        resource.status = 416;
        body = empty;
      } else {
        resource.status = 206;
        range_head += "Content-Range: bytes " + std::to_string(from) + "-" + std::to_string(to) +
                      "/" + std::to_string(body.size()) + "\r\n";
        body = body.substr(from, to - from + 1);
      }
    }
  }
  std::string head = std::string(resource.chunked ? "HTTP/1.1 " : "HTTP/1.0 ") +
                     std::to_string(resource.status) + " " + Reason(resource.status) + "\r\n" +
                     range_head;
  if (whole) {
    const bool content = resource.status == 200 || resource.status == 206;
    head += "Content-Type: " + (content ? resource.content_type : "text/plain") +
            "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n";
  } else {
    head += "Content-Type: " + resource.content_type + "\r\n";
    if (resource.chunked) head += "Transfer-Encoding: chunked\r\n";
    if (!resource.icy_metaint_header.empty()) {
      head += "icy-metaint: " + resource.icy_metaint_header + "\r\n";
    } else if (icy_interval > 0) {
      head += "icy-metaint: " + std::to_string(icy_interval) + "\r\nicy-name: Lumio test\r\n";
    }
  }
  if (!resource.location.empty()) head += "Location: " + resource.location + "\r\n";
  head += "Connection: close\r\n\r\n";

  if (resource.trickle_ms > 0) {
    std::string all = resource.trickle_head ? head : std::string();
    if (!resource.trickle_head && !SendAll(fd, head, give_up)) return;
    all += body;
    for (const char byte : all) {
      if (!SendAll(fd, std::string_view(&byte, 1), give_up)) return;
      const Clock::time_point sent = Clock::now();
      while (MillisecondsSince(sent) < resource.trickle_ms) {
        if (give_up() || ClientGone(fd, kPollMs)) return;
      }
    }
    shutdown(fd, SHUT_WR);
    return;
  }
  if (!SendAll(fd, head, give_up)) return;
  if (whole) {
    SendAll(fd, body.substr(0, resource.cut_at), give_up);
    shutdown(fd, SHUT_WR);
    return;
  }
  StreamBody(fd, path, resource, icy_interval, generation);
}

void StreamServer::StreamBody(int fd, const std::string& path, const StreamResource& resource,
                              size_t icy_interval, int generation) {
  const std::string& body = *resource.body;
  if (body.empty()) return;
  auto give_up = [&] { return Cancelled(path, generation); };
  const Clock::time_point start = Clock::now();
  size_t sent = 0;      // media bytes, metadata not counted
  size_t position = 0;  // in the body
  size_t until_metadata = icy_interval;
  std::string last_title;
  std::string out;  // what goes out in one write: media and metadata interleaved
  const auto flush = [&] {
    const bool done = SendAll(fd, resource.chunked ? Chunk(out) : out, give_up);
    out.clear();
    return done;
  };
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
      if (icy_interval > 0) chunk = std::min(chunk, until_metadata);
      out.append(body, position, chunk);
      sent += chunk;
      position += chunk;
      if (icy_interval > 0 && (until_metadata -= chunk) == 0) {
        until_metadata = icy_interval;
        const std::string title = Title(path);
        out += title == last_title ? std::string(1, '\0') : IcyBlock(title);
        last_title = title;
      }
      if (out.size() >= 4096 && !flush()) return;
      if (position == body.size()) {
        if (!resource.loop) {
          if (!out.empty() && !flush()) return;
          if (resource.chunked) SendAll(fd, "0\r\n\r\n", give_up);
          shutdown(fd, SHUT_WR);
          return;
        }
        position = std::min(resource.loop_from, body.size() - 1);
      }
    }
    if (!out.empty() && !flush()) return;
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
