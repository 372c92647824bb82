#pragma once
// The two tables of the contract suite that name a player. Known faults: cases a player fails
// today, each skipped with its reason so that the suite stays green while the player is mended;
// the table shrinks as faults are fixed (LUMIO_CONTRACT_KNOWN_FAULTS=run runs them anyway).
// Differences: what one platform cannot decode, and what it does instead, by design.

#include <optional>
#include <string>
#include <string_view>

#include "playback/stream_failure.h"

namespace lumio::test {

// Why the case running now (or its `row`, for a case of many rows) is known to fail on this
// player; nullptr when it is not, or when known faults are to be run.
const char* KnownFaultOfThisCase(std::string_view row = {});

// What this player does with a stream kind it cannot decode: fails with this reason instead of
// playing. nullopt where it plays the kind.
std::optional<StreamFailure> DifferenceFor(std::string_view kind);

}  // namespace lumio::test
