// The local stations the Windows player's tests play, served by a Linux process beside the
// Wine test: the stream server of the Linux player's tests (AAC without a burst, HLS, ICY
// titles, missing and refusing paths), a server that only redirects, and a control port through
// which the test drops or restarts the stations, asks what they were asked for, and listens to
// the PulseAudio sink the player plays into.
//
//   lumio_winplayer_test_stations DIR SINK REDIRECT_TARGET
//
// Writes DIR/https/tone.mp3 (a whole HTTP response, for `openssl s_server -HTTP`), then
// DIR/stations.env (shell exports of the addresses) once everything is up; runs until killed.
// Control: one line per connection, one line back:
//   drop PATH       ends every connection to PATH           -> "ok"
//   restart MS      the server goes away for MS and comes back on its port -> "ok"
//   requests PATH   "COUNT GAP_MS,GAP_MS,... UA ICY" of the requests for PATH
//   listen MS       "RMS FREQUENCY" of the next MS of sound on the sink (sox, channel 1)

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>

#include "gst/child_process.h"
#include "gst/test_media.h"
#include "support/temp_dir.h"

namespace lumio::test {
namespace {

using std::chrono::milliseconds;

volatile std::sig_atomic_t stopping = 0;

// "测试电台" in GBK, the title the player must hand on byte for byte.
const std::string kGbkTitle = "\xB2\xE2\xCA\xD4\xB5\xE7\xCC\xA8";

std::string ReadLine(int fd) {
  std::string line;
  char c = 0;
  while (line.size() < 4096 && recv(fd, &c, 1, 0) == 1 && c != '\n') {
    if (c != '\r') line += c;
  }
  return line;
}

void Send(int fd, const std::string& text) {
  send(fd, text.data(), text.size(), MSG_NOSIGNAL);
}

// sox prints "RMS     amplitude:     0.353554" and "Rough   frequency:          440".
double StatValue(const std::string& stat, const std::string& label) {
  const size_t at = stat.find(label);
  if (at == std::string::npos) return -1;
  std::istringstream value(stat.substr(stat.find(':', at) + 1));
  double number = -1;
  value >> number;
  return number;
}

class Stations {
 public:
  Stations(std::string dir, const std::string& sink) : dir_(std::move(dir)) {
    parec_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"parec", "-d", sink + ".monitor", "--format=s16le", "--rate=44100",
                                 "--channels=2", "--latency-msec=20"},
        dir_ + "monitor.raw");
    Start(0);
  }

  bool ok() {
    return stations_ && stations_->server().ok() && !stations_->Url("/tone.mp3").empty();
  }
  int port() { return stations_->server().port(); }

  void Drop(const std::string& path) {
    std::lock_guard lock(mutex_);
    stations_->server().CloseConnections(path);
  }

  // Away, the port refuses connections, as a station's server does while it restarts.
  void Restart(int away_ms) {
    std::lock_guard lock(mutex_);
    const int was = port();
    stations_.reset();
    std::this_thread::sleep_for(milliseconds(away_ms));
    Start(was);
  }

  std::string Requests(const std::string& path) {
    std::lock_guard lock(mutex_);
    const auto requests = stations_->server().Requests(path);
    std::string gaps;
    for (size_t i = 1; i < requests.size(); ++i) {
      if (!gaps.empty()) gaps += ',';
      gaps += std::to_string(
          std::chrono::duration_cast<milliseconds>(requests[i].at - requests[i - 1].at).count());
    }
    if (requests.empty()) return "0 - - 0";
    return std::to_string(requests.size()) + " " + (gaps.empty() ? "-" : gaps) + " " +
           (requests.back().user_agent.empty() ? "-" : requests.back().user_agent) + " " +
           (requests.back().wants_icy_metadata ? "1" : "0");
  }

  std::string Hear(int ms) {
    std::this_thread::sleep_for(milliseconds(300));  // what played before is still arriving
    const size_t from = Recorded().size();
    std::this_thread::sleep_for(milliseconds(ms));
    std::string window = Recorded().substr(from);
    window.resize(window.size() / 4 * 4);
    WriteBytes(dir_ + "window.raw", window);
    const std::string stat = RunAndRead(
        {"sh", "-c",
         "sox -t raw -r 44100 -e signed -b 16 -c 2 '" + dir_ + "window.raw' -n remix 1 stat 2>&1"});
    return std::to_string(StatValue(stat, "RMS     amplitude")) + " " +
           std::to_string(StatValue(stat, "Rough   frequency"));
  }

 private:
  void Start(int port) {
    stations_ = std::make_unique<LocalStations>(port);
    for (const char* path : {"/tone.mp3", "/icy.mp3", "/tone.aac", "/tone.ogg", "/hls/index.m3u8"})
      stations_->Url(path);
    StreamServer& served = stations_->server();
    served.Serve("/gbk.mp3", stations_->Resource("/icy.mp3"));
    served.SetTitle("/gbk.mp3", kGbkTitle);
    // "中文.mp3", as a server knows it.
    served.Serve("/%E4%B8%AD%E6%96%87.mp3", stations_->Resource("/tone.mp3"));
    served.Serve("/gone.mp3", StatusOnly(404));
    served.Serve("/forbidden.mp3", StatusOnly(403));
    served.Serve("/silent.mp3", NeverAnswering());
    StreamResource page;
    page.content_type = "text/html";
    page.body = std::make_shared<const std::string>("<html><body>Not a stream</body></html>");
    served.Serve("/page.html", page);
    // What an old Windows Media server sends: an ASF header object, then more of it.
    StreamResource asf;
    asf.content_type = "video/x-ms-asf";
    asf.body = std::make_shared<const std::string>(
        std::string("\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16) +
        std::string(16 * 1024, '\0'));
    served.Serve("/live.asf", asf);
    // A playlist whose first entry is gone: the second plays.
    StreamResource playlist;
    playlist.content_type = "audio/x-scpls";
    playlist.body = std::make_shared<const std::string>(
        "[playlist]\nNumberOfEntries=2\nFile1=/gone.mp3\nTitle1=Gone\nFile2=" +
        served.Url("/tone.aac") + "\nTitle2=Tone\n");
    served.Serve("/list.pls", playlist);
  }

  std::string Recorded() const {
    const std::string bytes = ReadBytes(dir_ + "monitor.raw");
    return bytes == "<missing>" ? "" : bytes;
  }

  std::string dir_;
  std::unique_ptr<ChildProcess> parec_;
  std::mutex mutex_;  // held by what uses the stations, so that a restart waits for it
  std::unique_ptr<LocalStations> stations_;
};

// Every path to `target`, but the HLS station moved away under /hls-moved/: its playlist to
// the stations' own, anything else there (a segment resolved against the old address) missing.
void Redirect(int listen_fd, const std::string& target, const std::string& stations) {
  for (;;) {
    const int fd = accept4(listen_fd, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    std::istringstream request(ReadLine(fd));
    std::string method;
    std::string path;
    request >> method >> path;
    if (path.starts_with("/hls-moved/") && path != "/hls-moved/index.m3u8") {
      Send(fd, "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    } else {
      const std::string to =
          path.starts_with("/hls-moved/") ? stations + "/hls/index.m3u8" : target;
      Send(fd, "HTTP/1.1 302 Found\r\nLocation: " + to +
                   "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    }
    shutdown(fd, SHUT_WR);
    std::this_thread::sleep_for(milliseconds(50));  // let the client read before the close
    close(fd);
  }
}

void Answer(Stations& stations, int fd) {
  std::istringstream command(ReadLine(fd));
  std::string verb;
  std::string argument;
  command >> verb >> argument;
  if (verb == "drop") {
    stations.Drop(argument);
    Send(fd, "ok\n");
  } else if (verb == "restart") {
    stations.Restart(std::atoi(argument.c_str()));
    Send(fd, "ok\n");
  } else if (verb == "requests") {
    Send(fd, stations.Requests(argument) + "\n");
  } else if (verb == "listen") {
    Send(fd, stations.Hear(std::atoi(argument.c_str())) + "\n");
  } else {
    Send(fd, "unknown\n");
  }
}

int Run(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s DIR SINK REDIRECT_TARGET\n", argv[0]);
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/";
  Stations stations(dir, argv[2]);
  if (!stations.ok()) {
    std::fprintf(stderr, "the test stations could not start (media or port)\n");
    return 1;
  }
  std::filesystem::create_directories(dir + "https");
  const EncodedTone& mp3 = Tone(ToneFormat::kMp3, 10);
  WriteBytes(dir + "https/tone.mp3",
             "HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n\r\n" + *mp3.bytes);

  int redirect_port = 0;
  int control_port = 0;
  const int redirect_fd = ListenOnLoopback(0, &redirect_port);
  const int control_fd = ListenOnLoopback(0, &control_port);
  if (redirect_fd < 0 || control_fd < 0) return 1;
  const std::string stations_url = "http://127.0.0.1:" + std::to_string(stations.port());
  std::thread(Redirect, redirect_fd, std::string(argv[3]), stations_url).detach();
  WriteBytes(
      dir + "stations.env.part",
      "export LUMIO_WINTEST_STATIONS=" + stations_url +
          "\nexport LUMIO_WINTEST_CONTROL=" + std::to_string(control_port) +
          "\nexport LUMIO_WINTEST_REDIRECT=http://127.0.0.1:" + std::to_string(redirect_port) +
          "/tone.mp3" + "\nexport LUMIO_WINTEST_REDIRECT_HLS=http://127.0.0.1:" +
          std::to_string(redirect_port) + "/hls-moved/index.m3u8\n");
  std::filesystem::rename(dir + "stations.env.part", dir + "stations.env");

  // Until SIGTERM, so that the recorder and the servers end with this process.
  while (stopping == 0) {
    pollfd ready{control_fd, POLLIN, 0};
    if (poll(&ready, 1, 200) <= 0) continue;
    const int fd = accept4(control_fd, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    // Each on a thread of its own: a test listens while the server is away.
    std::thread([&stations, fd] {
      Answer(stations, fd);
      close(fd);
    }).detach();
  }
  return 0;
}

}  // namespace
}  // namespace lumio::test

int main(int argc, char** argv) {
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGTERM, [](int) { lumio::test::stopping = 1; });
  return lumio::test::Run(argc, argv);
}
