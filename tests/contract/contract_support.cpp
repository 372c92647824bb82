#include "contract/contract_support.h"

#include <cstdio>
#include <cstdlib>
#include <future>
#include <mutex>
#include <sstream>

namespace lumio::test {
namespace {

void Add(States& states, int32_t state) {
  if (states.empty() || states.back() != state) states.push_back(state);
}

// A case that hangs (a player's call that never returns) ends the run with its name after a
// minute and a half, rather than at the test command's timeout with no name at all.
class CaseWatchdog final : public testing::EmptyTestEventListener {
 public:
  static constexpr std::chrono::seconds kLimit{90};

  void OnTestStart(const testing::TestInfo& test) override {
    std::lock_guard lock(mutex_);
    name_ = std::string(test.test_suite_name()) + "." + test.name();
    started_ = std::chrono::steady_clock::now();
    if (!watching_) {
      watching_ = true;
      std::thread([this] { Watch(); }).detach();
    }
  }
  void OnTestEnd(const testing::TestInfo&) override {
    std::lock_guard lock(mutex_);
    name_.clear();
  }

 private:
  void Watch() {
    for (;;) {
      std::this_thread::sleep_for(std::chrono::seconds(1));
      std::lock_guard lock(mutex_);
      if (!name_.empty() && std::chrono::steady_clock::now() - started_ > kLimit) {
        std::fprintf(stderr, "[  HUNG    ] %s ran for %lld s: the run ends here\n", name_.c_str(),
                     static_cast<long long>(kLimit.count()));
        std::fflush(nullptr);
        std::_Exit(3);
      }
    }
  }

  std::mutex mutex_;
  std::string name_;
  std::chrono::steady_clock::time_point started_;
  bool watching_ = false;
};

// Registered before main runs the cases, on both platforms' mains.
[[maybe_unused]] const bool kWatched = [] {
  testing::UnitTest::GetInstance()->listeners().Append(new CaseWatchdog);
  return true;
}();

}  // namespace

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

std::string StationUrl(const std::string& path) {
  return Env("LUMIO_STATIONS") + path;
}

std::string ElsewhereUrl(const std::string& path) {
  return Env("LUMIO_STATIONS_ELSEWHERE") + path;
}

std::string HttpsUrl(const std::string& path) {
  return Env("LUMIO_STATIONS_HTTPS") + path;
}

States TraceUntil(MediaPlayer& player, int32_t wanted, milliseconds timeout) {
  States states;
  Add(states, player.GetPlayState());
  if (states.back() == wanted) return states;
  WaitUntil(
      [&] {
        Add(states, player.GetPlayState());
        return states.back() == wanted;
      },
      timeout);
  return states;
}

States TraceFor(MediaPlayer& player, milliseconds duration) {
  States states;
  WaitUntil(
      [&] {
        Add(states, player.GetPlayState());
        return false;
      },
      duration);
  return states;
}

bool PlaysWithin(MediaPlayer& player, milliseconds timeout) {
  return TraceUntil(player, kPlaying, timeout).back() == kPlaying;
}

std::string ControlWhileRunning(const std::string& command) {
  std::future<std::string> answer = std::async(std::launch::async, Control, command);
  WaitUntil([&] { return answer.wait_for(milliseconds(0)) == std::future_status::ready; },
            milliseconds(120000));
  return answer.get();
}

HeardSound Listen(milliseconds duration) {
  std::istringstream answer(ControlWhileRunning("listen " + std::to_string(duration.count())));
  HeardSound heard;
  answer >> heard.rms >> heard.frequency >> heard.holes;
  return heard;
}

Requests RequestsFor(const std::string& path) {
  std::istringstream answer(Control("requests " + path));
  Requests requests;
  std::string gaps;
  std::string icy;
  answer >> requests.count >> gaps >> requests.user_agent >> icy;
  requests.icy = icy == "1";
  std::istringstream list(gaps);
  for (std::string gap; std::getline(list, gap, ',');) {
    if (gap != "-") requests.gaps_ms.push_back(std::atoll(gap.c_str()));
  }
  return requests;
}

int CanaryTouches() {
  return std::atoi(Control("canary").c_str());
}

int ForbiddenUdpPort() {
  return std::atoi(Env("LUMIO_STATIONS_UDP_PORT").c_str());
}

bool UdpPortFree(int port) {
  return Control("udpfree " + std::to_string(port)) == "free";
}

}  // namespace lumio::test
