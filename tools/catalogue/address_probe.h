#pragma once
// Checking addresses from this machine, as the player would open them: the part of the
// reachability check that talks to the network. Builds without the GStreamer player (the
// Windows build) cannot check, and say so.

#include <optional>
#include <string>
#include <vector>

#include "playback/stream_failure.h"

namespace lumio::tools {

struct ProbeSettings {
  int jobs = 16;              // addresses checked at the same time
  int timeLimitSeconds = 10;  // per request; an address may take three in all
  std::string caFile;         // tests only: trust these authorities, not the system's
};

struct ProbeOutcome {
  StreamFailure failure = StreamFailure::kNone;  // kNone: it plays
  std::string kind;                              // what plays: mp3, aac, ogg, flac, hls, playlist
  std::string detail;                            // what was found, for a maintainer (UTF-8)
};

// The outcome for each of `urls` (UTF-8 addresses), in their order. A playlist plays when one
// of its first entries plays; HLS when the first segment it names holds audio; a stream when
// its first bytes are audio frames. nullopt with `error` when this build cannot check.
std::optional<std::vector<ProbeOutcome>> ProbeAddresses(const std::vector<std::string>& urls,
                                                        const ProbeSettings& settings,
                                                        std::string& error);

}  // namespace lumio::tools
