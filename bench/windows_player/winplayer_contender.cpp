#include "winplayer_contender.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "gst/child_process.h"
#include "support/temp_dir.h"

namespace lumio::bench {
namespace {

using std::chrono::milliseconds;

class WinPlayerContender : public Contender {
 public:
  WinPlayerContender(std::string probe_path, const std::string& work_dir, std::string name)
      : probe_path_(std::move(probe_path)),
        name_(std::move(name)),
        out_(work_dir + name_ + ".out") {}
  std::string name() const override { return name_; }
  bool Prepare() override {
    // The loader of the test services' prefix: the 64-bit one where no 32-bit program runs.
    const char* wine = std::getenv("LUMIO_WINE");
    process_ = std::make_unique<test::ChildProcess>(
        // With the sound server's share the README gives a program under Wine.
        std::vector<std::string>{"env", "PULSE_LATENCY_MSEC=100",
                                 wine != nullptr && *wine != '\0' ? wine : "wine", probe_path_,
                                 "--volume", "100"},
        out_, /*with_stdin=*/true);
    // Under Wine the first sound device of a process can take many seconds to open.
    const auto deadline = std::chrono::steady_clock::now() + milliseconds(60000);
    while (test::ReadBytes(out_).find("ready") == std::string::npos) {
      if (std::chrono::steady_clock::now() >= deadline || !process_->running()) return false;
      std::this_thread::sleep_for(milliseconds(10));
    }
    return true;
  }
  bool Play(const std::string& url) override { return process_->Write(url + "\n"); }
  pid_t pid() const override { return process_ ? process_->pid() : -1; }
  void Finish() override { process_.reset(); }

 private:
  std::string probe_path_;
  std::string name_;
  std::string out_;
  std::unique_ptr<test::ChildProcess> process_;
};

std::string EnvironOf(const std::filesystem::path& process, const std::string& name) {
  std::ifstream in(process / "environ", std::ios::binary);
  for (std::string entry; std::getline(in, entry, '\0');) {
    if (entry.rfind(name + "=", 0) == 0) return entry.substr(name.size() + 1);
  }
  return "";
}

}  // namespace

std::unique_ptr<Contender> MakeWinPlayerContender(const std::string& probe_path,
                                                  const std::string& work_dir,
                                                  const std::string& name) {
  return std::make_unique<WinPlayerContender>(probe_path, work_dir, name);
}

pid_t WineserverPid() {
  const char* prefix = std::getenv("WINEPREFIX");
  if (prefix == nullptr) return -1;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream cmdline(entry.path() / "cmdline");
    std::string command;
    std::getline(cmdline, command, '\0');
    if (command.find("wineserver") == std::string::npos) continue;
    if (EnvironOf(entry.path(), "WINEPREFIX") == prefix) return std::stoi(name);
  }
  return -1;
}

}  // namespace lumio::bench
