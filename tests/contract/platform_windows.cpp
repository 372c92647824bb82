// The contract suite's platform part for the Windows player: WinPlayer, whose worker thread
// needs nothing run by the test's thread, playing through waveOut into the sink Wine was given,
// trusting the stations' authority from the user's root store as a listener's system trusts a
// public one; memory from the process's counters.

#include <windows.h>

#include <psapi.h>

#include <chrono>
#include <thread>

#include "contract/platform.h"
#include "windows/stations_client.h"
#include "winplayer/win_player.h"

namespace lumio::test {
namespace {

class WindowsPlayer final : public TestPlayer {
 public:
  explicit WindowsPlayer(const WinPlayerOptions& options) : player_(options) {
    // The device and the decoders take a while to open the first time; a case's timings start
    // once they are.
    player_.Prepare();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!player_.Prepared() && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  MediaPlayer& player() override { return player_; }
  std::string LastError() const override { return player_.LastError(); }

 private:
  WinPlayer player_;
};

}  // namespace

const char* PlayerName() {
  return "windows";
}

std::unique_ptr<TestPlayer> MakePlayer(const TestLimits& limits) {
  static const bool trusted = TrustStationsAuthority();
  (void)trusted;
  return std::make_unique<WindowsPlayer>(WinPlayerOptions{
      .timeout_seconds = limits.timeout_seconds, .silence_limit_ms = limits.silence_limit_ms});
}

void RunPendingEvents() {}

int64_t PrivateMemoryBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(),
                            reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters))
    return -1;
  // Wine leaves the private bytes at 0; the commit charge, then the working set, say as much.
  for (const SIZE_T bytes :
       {counters.PrivateUsage, counters.PagefileUsage, counters.WorkingSetSize})
    if (bytes > 0) return static_cast<int64_t>(bytes);
  return -1;
}

std::string Control(const std::string& command) {
  return StationsControl(command);
}

}  // namespace lumio::test
