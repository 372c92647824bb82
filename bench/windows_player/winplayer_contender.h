#pragma once
// The Windows player as a contender of the player benchmark (bench/player/contenders.h): its
// probe under Wine, in the test services' prefix, prepared before the URL is handed over.

#include <memory>
#include <string>

#include "contenders.h"

namespace lumio::bench {

// `probe_path` is lumio_winplayer_probe.exe of the Windows build; `name` tells apart two builds
// measured in one run (it starts with "WinPlayer").
std::unique_ptr<Contender> MakeWinPlayerContender(const std::string& probe_path,
                                                  const std::string& work_dir,
                                                  const std::string& name = "WinPlayer");

// The wineserver of the prefix in WINEPREFIX, which works for every Windows process there;
// -1 when none runs.
pid_t WineserverPid();

}  // namespace lumio::bench
