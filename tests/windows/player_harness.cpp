#include "windows/player_harness.h"

#include <windows.h>

#include <cstdlib>
#include <sstream>

#include "windows/stations_client.h"

namespace lumio::test {
namespace {

void Add(States& states, int32_t state) {
  if (states.empty() || states.back() != state) states.push_back(state);
}

}  // namespace

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

std::string StationUrl(const std::string& path) {
  return Env("LUMIO_STATIONS") + path;
}

std::string Control(const std::string& command) {
  return StationsControl(command);
}

HeardSound Listen(milliseconds duration) {
  std::istringstream answer(Control("listen " + std::to_string(duration.count())));
  HeardSound heard;
  answer >> heard.rms >> heard.frequency;
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

States TraceUntil(WinPlayer& player, int32_t wanted, milliseconds timeout) {
  States states;
  Add(states, player.GetPlayState());
  WaitUntil(
      [&] {
        Add(states, player.GetPlayState());
        return states.back() == wanted;
      },
      timeout);
  return states;
}

States TraceFor(WinPlayer& player, milliseconds duration) {
  States states;
  WaitUntil(
      [&] {
        Add(states, player.GetPlayState());
        return false;
      },
      duration);
  return states;
}

int64_t ProcessCpuMs() {
  FILETIME created{};
  FILETIME exited{};
  FILETIME kernel{};
  FILETIME user{};
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  const auto ms = [](const FILETIME& time) {
    return static_cast<int64_t>((uint64_t{time.dwHighDateTime} << 32 | time.dwLowDateTime) / 10000);
  };
  return ms(kernel) + ms(user);
}

bool TrustTestCa() {
  return TrustStationsAuthority();
}

bool PrepareAndWait(WinPlayer& player, milliseconds timeout) {
  player.Prepare();
  return WaitUntil([&] { return player.Prepared(); }, timeout);
}

}  // namespace lumio::test
