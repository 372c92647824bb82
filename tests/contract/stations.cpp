// The local stations both players' suites play, served by one Linux process beside the test:
// the stream server of the Linux player's tests with every route of station_routes.cpp, a
// server elsewhere that redirects to it, an https front, and a control port through which the
// test drops or restarts the stations, asks what they were asked for, listens to the
// PulseAudio sink its player plays into, and watches that nothing local was opened.
//
//   lumio_contract_stations DIR SINK REFERENCE_SINK
//
// Writes DIR/stations.env (shell exports, see Run) once everything is up; runs until SIGTERM.
// Control: one line per connection, one line back:
//   drop PATH       ends every connection to PATH                   -> "ok"
//   title PATH TEXT the ICY title of PATH becomes TEXT (none when empty) -> "ok"
//   restart MS      the stations go away for MS and come back on their port -> "ok"
//   requests PATH   "COUNT GAP_MS,GAP_MS,... UA ICY AGO_MS" of the requests for PATH (AGO_MS:
//                   since the first)
//   listen MS       "RMS FREQUENCY HOLES" of the next MS of sound on SINK (channel 1)
//   canary          how often the canary file was opened or read so far
//   udpfree PORT    "free" when a UDP socket can be bound to 127.0.0.1:PORT, else "taken"
//   compare MS      "HOLES REFERENCE_HOLES RMS REFERENCE_RMS": SINK and the Linux player's
//                   REFERENCE_SINK over MS while two busy processes load the machine

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/inotify.h>
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

#include "contract/load_comparison.h"
#include "contract/sink_recorder.h"
#include "contract/station_routes.h"
#include "contract/stream_kinds.h"
#include "gst/child_process.h"
#include "gst/gst_setup.h"
#include "gst/test_certificates.h"
#include "gst/test_media.h"
#include "gst/tls_front.h"
#include "support/temp_dir.h"

namespace lumio::test {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

volatile std::sig_atomic_t stopping = 0;

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

// A UDP port nothing uses now.
int FreeUdpPort() {
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  int port = 0;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  close(fd);
  return port;
}

// Whether this process can bind 127.0.0.1:`port` (no player bound it, on any address).
bool UdpPortFree(int port) {
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const bool bound = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return bound;
}

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4f", value);
  return text;
}

class Stations {
 public:
  Stations(std::string dir, std::string sink, std::string reference_sink)
      : dir_(std::move(dir)),
        sink_(std::move(sink)),
        reference_sink_(std::move(reference_sink)),
        recorder_(sink_, dir_ + "monitor.raw") {
    std::filesystem::create_directories(dir_ + "kinds");
    kinds_ = MakeStreamKinds(dir_ + "kinds");
    stations_ = std::make_unique<LocalStations>(0);
    const TestCertificates& certificates = Certificates();
    if (certificates.ok) {
      https_ = std::make_unique<TlsFront>(certificates.valid.cert, certificates.valid.key,
                                          stations_->server().port());
    }
    // A real MP3: a player that opened it would play it.
    facts_.canary = dir_ + "canary.mp3";
    const EncodedTone& mp3 = Tone(ToneFormat::kMp3, 10);
    if (mp3.bytes) WriteBytes(facts_.canary, *mp3.bytes);
    facts_.udp_port = FreeUdpPort();
    facts_.https = https_ ? "https://localhost:" + std::to_string(https_->port()) : "";
    routes_ = std::make_unique<StationRoutes>(*stations_, kinds_, facts_);
    // Watched only now: making it opened and wrote it.
    inotify_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify_ >= 0) inotify_add_watch(inotify_, facts_.canary.c_str(), IN_OPEN | IN_ACCESS);
  }
  ~Stations() {
    if (inotify_ >= 0) close(inotify_);
  }
  Stations(const Stations&) = delete;
  Stations& operator=(const Stations&) = delete;

  bool ok() const {
    return stations_->server().ok() && https_ && https_->ok() && inotify_ >= 0 &&
           facts_.udp_port > 0 && recorder_.WaitUntilRecording(milliseconds(10000));
  }
  std::string Env() const {
    return "export LUMIO_STATIONS=" + stations_->server().Url("") +
           "\nexport LUMIO_STATIONS_ELSEWHERE=" + routes_->ElsewhereUrl() +
           "\nexport LUMIO_STATIONS_HTTPS=" + facts_.https +
           "\nexport LUMIO_STATIONS_CA=" + Certificates().ca_file +
           "\nexport LUMIO_STATIONS_UDP_PORT=" + std::to_string(facts_.udp_port) +
           "\nexport LUMIO_STATIONS_SINK=" + sink_ +
           "\nexport LUMIO_STATIONS_KINDS=" + (kinds_.empty() ? "0" : "1") + "\n";
  }

  void Drop(const std::string& path) {
    std::lock_guard lock(mutex_);
    stations_->server().CloseConnections(path);
  }

  void SetTitle(const std::string& path, std::string title) {
    std::lock_guard lock(mutex_);
    stations_->server().SetTitle(path, std::move(title));
  }

  // Away, the port refuses connections, as a station's server does while it restarts.
  void Restart(int away_ms) {
    std::lock_guard lock(mutex_);
    const int port = stations_->server().port();
    stations_.reset();
    std::this_thread::sleep_for(milliseconds(away_ms));
    stations_ = std::make_unique<LocalStations>(port);
    routes_->ServeOn(*stations_);
  }

  std::string Requests(const std::string& path) {
    std::lock_guard lock(mutex_);
    const auto requests = stations_->server().Requests(path);
    if (requests.empty()) return "0 - - 0 -1";
    std::string gaps;
    for (size_t i = 1; i < requests.size(); ++i) {
      if (!gaps.empty()) gaps += ',';
      gaps += std::to_string(
          std::chrono::duration_cast<milliseconds>(requests[i].at - requests[i - 1].at).count());
    }
    const auto ago =
        std::chrono::duration_cast<milliseconds>(steady_clock::now() - requests.front().at);
    return std::to_string(requests.size()) + " " + (gaps.empty() ? "-" : gaps) + " " +
           (requests.back().user_agent.empty() ? "-" : requests.back().user_agent) + " " +
           (requests.back().wants_icy_metadata ? "1" : "0") + " " + std::to_string(ago.count());
  }

  std::string Listen(int ms) {
    std::this_thread::sleep_for(milliseconds(300));  // what played before is still arriving
    const size_t from = recorder_.Size();
    std::this_thread::sleep_for(milliseconds(ms));
    const SoundMeasure heard = Measure(recorder_.From(from));
    return Number(heard.rms) + " " + Number(heard.frequency) + " " + std::to_string(heard.holes);
  }

  int CanaryTouches() {
    std::lock_guard lock(mutex_);
    char events[4096];
    for (;;) {
      const ssize_t got = read(inotify_, events, sizeof events);
      if (got <= 0) break;
      for (ssize_t at = 0; at < got;) {
        const auto* event = reinterpret_cast<const inotify_event*>(events + at);
        ++canary_touches_;
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
    return canary_touches_;
  }

  std::string Compare(int ms) {
    std::string tone;
    {
      std::lock_guard lock(mutex_);
      tone = stations_->server().Url("/tone.mp3");
    }
    const LoadedListening heard =
        ListenUnderLoad(recorder_, reference_sink_, tone, dir_, milliseconds(ms));
    if (!heard.reference_played) return "- - - -";
    return std::to_string(heard.under_test.holes) + " " + std::to_string(heard.reference.holes) +
           " " + Number(heard.under_test.rms) + " " + Number(heard.reference.rms);
  }

 private:
  const std::string dir_;
  const std::string sink_;
  const std::string reference_sink_;
  SinkRecorder recorder_;
  std::map<std::string, KindFile> kinds_;
  RouteFacts facts_;
  std::mutex mutex_;  // held by what uses the stations, so that a restart waits for it
  std::unique_ptr<LocalStations> stations_;
  std::unique_ptr<TlsFront> https_;
  std::unique_ptr<StationRoutes> routes_;
  int inotify_ = -1;
  int canary_touches_ = 0;
};

void Answer(Stations& stations, int fd) {
  std::istringstream command(ReadLine(fd));
  std::string verb;
  std::string argument;
  command >> verb >> argument;
  if (verb == "drop") {
    stations.Drop(argument);
    Send(fd, "ok\n");
  } else if (verb == "title") {
    std::string title;
    std::getline(command >> std::ws, title);
    stations.SetTitle(argument, title);
    Send(fd, "ok\n");
  } else if (verb == "restart") {
    stations.Restart(std::atoi(argument.c_str()));
    Send(fd, "ok\n");
  } else if (verb == "requests") {
    Send(fd, stations.Requests(argument) + "\n");
  } else if (verb == "listen") {
    Send(fd, stations.Listen(std::atoi(argument.c_str())) + "\n");
  } else if (verb == "canary") {
    Send(fd, std::to_string(stations.CanaryTouches()) + "\n");
  } else if (verb == "udpfree") {
    Send(fd, std::string(UdpPortFree(std::atoi(argument.c_str())) ? "free" : "taken") + "\n");
  } else if (verb == "compare") {
    Send(fd, stations.Compare(std::atoi(argument.c_str())) + "\n");
  } else {
    Send(fd, "unknown\n");
  }
}

int Run(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s DIR SINK REFERENCE_SINK\n", argv[0]);
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/";
  Stations stations(dir, argv[2], argv[3]);
  if (!stations.ok()) {
    std::fprintf(stderr,
                 "the test stations could not start (media, ports, certificates or recording)\n");
    return 1;
  }
  int control_port = 0;
  const int control_fd = ListenOnLoopback(0, &control_port);
  if (control_fd < 0) return 1;
  WriteBytes(dir + "stations.env.part", stations.Env() + "export LUMIO_STATIONS_CONTROL=" +
                                            std::to_string(control_port) + "\n");
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
  lumio::gst::PrepareGStreamerEnvironment();
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGTERM, [](int) { lumio::test::stopping = 1; });
  return lumio::test::Run(argc, argv);
}
