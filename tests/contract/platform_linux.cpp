// The contract suite's platform part for the Linux player: GstPlayer into the stations' sink,
// its events on the GLib main context of the test's thread, memory from /proc.

#include <arpa/inet.h>
#include <glib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "contract/platform.h"
#include "gst/gst_player.h"

namespace lumio::test {
namespace {

class LinuxPlayer final : public TestPlayer {
 public:
  explicit LinuxPlayer(const GstPlayerOptions& options) : player_(options) { player_.Prepare(); }
  MediaPlayer& player() override { return player_; }
  std::string LastError() const override { return player_.LastError(); }

 private:
  GstPlayer player_;
};

std::string EnvOr(const char* name, const std::string& otherwise) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : otherwise;
}

}  // namespace

const char* PlayerName() {
  return "linux";
}

std::unique_ptr<TestPlayer> MakePlayer(const TestLimits& limits) {
  GstPlayerOptions options;
  const std::string sink = EnvOr("LUMIO_STATIONS_SINK", "");
  options.audio_sink = sink.empty() ? "fakesink sync=true" : "pulsesink device=" + sink;
  options.timeout_seconds = limits.timeout_seconds;
  options.silence_limit_ms = limits.silence_limit_ms;
  options.tls_ca_file = EnvOr("LUMIO_STATIONS_CA", "");
  return std::make_unique<LinuxPlayer>(options);
}

void RunPendingEvents() {
  // Bounded: a station that floods the player keeps the context busy for ever, and the case
  // must still get to look at it.
  for (int i = 0; i < 100 && g_main_context_iteration(nullptr, FALSE); ++i) {
  }
}

int64_t PrivateMemoryBytes() {
  // Resident and not backed by a file: what the process itself allocated.
  std::ifstream status("/proc/self/status");
  int64_t anonymous_kb = -1;
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with("RssAnon:")) std::istringstream(line.substr(8)) >> anonymous_kb;
  }
  return anonymous_kb < 0 ? -1 : anonymous_kb * 1024;
}

std::string Control(const std::string& command) {
  const int port = std::atoi(EnvOr("LUMIO_STATIONS_CONTROL", "0").c_str());
  if (port <= 0) return "";
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return "";
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::string answer;
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
    const std::string line = command + "\n";
    send(fd, line.data(), line.size(), MSG_NOSIGNAL);
    char c = 0;
    while (recv(fd, &c, 1, 0) == 1 && c != '\n')
      answer += c;
  }
  close(fd);
  return answer;
}

}  // namespace lumio::test
