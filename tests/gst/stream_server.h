#pragma once
// A small HTTP stream server for tests, on 127.0.0.1: it plays the parts of a radio station that
// a real server cannot be made to play on demand (refusals, silence, drops, hiccups, GBK titles,
// streams without an initial burst, HLS files), and those of a hostile one (answers that trickle,
// bodies cut short, odd metadata intervals). It starts in its constructor and stops, closing
// every connection, in its destructor.

#include <chrono>
#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "gst/loopback_listener.h"

namespace lumio::test {

// What the server answers on one path.
struct StreamResource {
  int status = 200;  // anything but 200 is answered with an empty body
  std::string content_type = "audio/mpeg";
  std::string location;  // sent as the Location header when not empty (redirects)
  std::shared_ptr<const std::string> body;
  // 0 sends the body at once with its length (a file); otherwise the body is paced at this
  // rate like a live station, without a length.
  int bytes_per_second = 0;
  size_t burst_bytes = 0;     // sent at once before the pacing starts, as Icecast does
  bool loop = false;          // a paced body starts over at its end instead of ending
  size_t loop_from = 0;       // where it starts over
  bool never_answer = false;  // reads the request and then says nothing
  // A network hiccup: after `stall_after_ms` of streaming nothing comes for `stall_ms`, then
  // the delayed bytes arrive at once.
  int stall_after_ms = -1;
  int stall_ms = 0;
  // A server that keeps the client waiting: one byte every `trickle_ms` of the whole answer
  // (`trickle_head`) or of its body only.
  int trickle_ms = 0;
  bool trickle_head = false;
  // A paced body in HTTP/1.1 chunks, as some servers and proxies send a live stream.
  bool chunked = false;
  // A file that answers "Range: bytes=FROM-[TO]" with that part (206), as a plain web server
  // does; a demuxer that looks at a file's end before playing it needs it.
  bool ranges = false;
  // A file whose connection drops after `cut_at` bytes of the body, its length announced whole.
  size_t cut_at = std::string::npos;
  // Sent as the icy-metaint header whatever the client asked (an odd value of a broken server);
  // the body then carries metadata only at `icy_interval` when that is not 0.
  std::string icy_metaint_header;
  // Bytes of audio between metadata blocks for clients that ask for titles; 0 is the usual 8 KiB.
  size_t icy_interval = 0;
};

// A path answered only with `status` (404, 503...).
inline StreamResource StatusOnly(int status) {
  StreamResource resource;
  resource.status = status;
  return resource;
}

// A path that redirects with `status` (301, 302, 303, 307, 308) to `location`.
inline StreamResource RedirectTo(std::string location, int status = 302) {
  StreamResource resource;
  resource.status = status;
  resource.location = std::move(location);
  return resource;
}

// A file served at once with its length: a playlist, a page.
inline StreamResource TextFile(std::string body, std::string content_type) {
  StreamResource resource;
  resource.content_type = std::move(content_type);
  resource.body = std::make_shared<const std::string>(std::move(body));
  return resource;
}

// A path whose server accepts the connection and never answers.
inline StreamResource NeverAnswering() {
  StreamResource resource;
  resource.never_answer = true;
  return resource;
}

struct RecordedRequest {
  std::string path;
  std::string user_agent;
  bool wants_icy_metadata = false;
  std::chrono::steady_clock::time_point at;
};

class StreamServer {
 public:
  // Port 0 picks a free port; a given port is taken again (after a test closed its server).
  explicit StreamServer(int port = 0);
  ~StreamServer();
  StreamServer(const StreamServer&) = delete;
  StreamServer& operator=(const StreamServer&) = delete;

  // False when the port could not be bound.
  bool ok() const { return listener_.ok(); }
  int port() const { return listener_.port(); }
  std::string Url(std::string_view path) const;

  // Adds or replaces what `path` answers; connections already open keep their old answer.
  void Serve(const std::string& path, StreamResource resource);
  // The title sent, as raw bytes, to clients that asked for ICY metadata on a paced `path`;
  // empty sends none. Clients see a change at their next metadata block.
  void SetTitle(const std::string& path, std::string title);
  // Ends every open connection to `path`, as a station that drops.
  void CloseConnections(const std::string& path);
  // Every request for `path` so far, oldest first.
  std::vector<RecordedRequest> Requests(const std::string& path) const;

 private:
  struct PathState {
    StreamResource resource;
    bool served = false;
    std::string title;
    int generation = 0;  // raised by CloseConnections
  };

  void HandleConnection(int fd);
  void StreamBody(int fd, const std::string& path, const StreamResource& resource,
                  size_t icy_interval, int generation);
  bool Cancelled(const std::string& path, int generation) const;
  std::string Title(const std::string& path) const;

  mutable std::mutex mutex_;
  std::map<std::string, PathState> paths_;
  std::vector<RecordedRequest> requests_;
  // Last: its connections end before what they use goes.
  LoopbackListener listener_;
};

}  // namespace lumio::test
