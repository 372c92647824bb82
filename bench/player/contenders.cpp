#include "contenders.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "gst/child_process.h"
#include "support/temp_dir.h"

namespace lumio::bench {
namespace {

using std::chrono::milliseconds;

// The first address of a station: all a player without fall-back can take.
std::string FirstAddress(const std::string& station) {
  return station.substr(0, station.find(' '));
}

template <typename Ready>
bool WaitFor(Ready ready, milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!ready()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(milliseconds(10));
  }
  return true;
}

class GstPlayerContender : public Contender {
 public:
  GstPlayerContender(std::string probe_path, std::string sink, const std::string& work_dir)
      : probe_path_(std::move(probe_path)), sink_(std::move(sink)), out_(work_dir + "probe.out") {}
  std::string name() const override { return "GstPlayer"; }
  bool Prepare() override {
    std::vector<std::string> argv = {probe_path_, "--volume", "100"};
    if (!sink_.empty()) argv.insert(argv.end(), {"--sink", sink_});
    process_ = std::make_unique<test::ChildProcess>(argv, out_, /*with_stdin=*/true);
    return WaitFor([&] { return test::ReadBytes(out_).find("ready") != std::string::npos; },
                   milliseconds(10000));
  }
  bool Play(const std::string& url) override { return process_->Write(url + "\n"); }
  pid_t pid() const override { return process_ ? process_->pid() : -1; }
  void Finish() override { process_.reset(); }

 private:
  std::string probe_path_;
  std::string sink_;
  std::string out_;
  std::unique_ptr<test::ChildProcess> process_;
};

class MpvContender : public Contender {
 public:
  explicit MpvContender(const std::string& work_dir) : socket_path_(work_dir + "mpv.sock") {}
  ~MpvContender() override { Finish(); }
  std::string name() const override { return "mpv"; }
  bool Prepare() override {
    unlink(socket_path_.c_str());
    process_ = std::make_unique<test::ChildProcess>(
        std::vector<std::string>{"mpv", "--no-config", "--no-video", "--idle=yes", "--really-quiet",
                                 "--input-ipc-server=" + socket_path_});
    return WaitFor([&] { return Connect(); }, milliseconds(10000));
  }
  bool Play(const std::string& station) override {
    const std::string command = R"({"command":["loadfile",")" + FirstAddress(station) + "\"]}\n";
    return send(fd_, command.data(), command.size(), MSG_NOSIGNAL) ==
           static_cast<ssize_t>(command.size());
  }
  pid_t pid() const override { return process_ ? process_->pid() : -1; }
  void Finish() override {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    process_.reset();
  }

 private:
  bool Connect() {
    if (fd_ >= 0) close(fd_);
    fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socket_path_.c_str(), sizeof address.sun_path - 1);
    return connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  }

  std::string socket_path_;
  int fd_ = -1;
  std::unique_ptr<test::ChildProcess> process_;
};

class GstPlayContender : public Contender {
 public:
  std::string name() const override { return "gst-play-1.0"; }
  bool Prepare() override { return true; }
  bool Play(const std::string& station) override {
    process_ = std::make_unique<test::ChildProcess>(
        std::vector<std::string>{"gst-play-1.0", "--no-interactive", "-q", FirstAddress(station)});
    return process_->running();
  }
  pid_t pid() const override { return process_ ? process_->pid() : -1; }
  void Finish() override { process_.reset(); }

 private:
  std::unique_ptr<test::ChildProcess> process_;
};

}  // namespace

std::unique_ptr<Contender> MakeContender(const std::string& name, const std::string& probe_path,
                                         const std::string& probe_sink,
                                         const std::string& work_dir) {
  if (name == "gstplayer") {
    return std::make_unique<GstPlayerContender>(probe_path, probe_sink, work_dir);
  }
  if (name == "mpv") return std::make_unique<MpvContender>(work_dir);
  if (name == "gst-play") return std::make_unique<GstPlayContender>();
  return nullptr;
}

}  // namespace lumio::bench
