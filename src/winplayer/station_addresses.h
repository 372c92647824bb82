#pragma once
// The addresses one station is tried at, in order: its own, then its fall-backs, with the
// entries of a playlist met on the way taking the playlist's place. When every one has failed,
// the round is over and the player waits (RetryDelayMs) before it starts again at the first.

#include <cstddef>
#include <string>
#include <vector>

#include "playback/stream_failure.h"

namespace lumio::win {

class StationAddresses {
 public:
  // Playlists that list playlists are followed this deep, no further.
  static constexpr int kMaxDepth = 3;
  // Entries of one playlist tried, the rest ignored: a station lists a handful of mirrors.
  static constexpr size_t kMaxEntries = 16;

  // The station's addresses (GBK, as the station list holds them), the first tried first.
  void Reset(std::vector<std::string> urls);
  bool empty() const { return list_.empty(); }
  // The address to try now; "" when there is none.
  const std::string& current() const;

  // The current address turned out to be a playlist: its `entries` replace it, the first
  // becoming current. False (nothing changed) when there are none or the nesting is too deep.
  bool Expand(const std::vector<std::string>& entries);
  // The current address failed: true when another is left to try now; false when the round is
  // over, in which case the next try starts from the first address again (playlists are
  // fetched anew then: their entries may have changed).
  bool Next();

 private:
  struct Address {
    std::string url;
    int depth = 0;
  };

  std::vector<Address> station_;  // as given
  std::vector<Address> list_;     // this round's, playlists expanded
  size_t index_ = 0;
};

// How long to wait after the `round`-th round in a row failed (0 for the first), given why its
// last address failed: 1, 2, 4, 8 and then 10 s, so that a station that comes back is heard
// again soon; a failure the same address will very likely give again (a missing stream, a
// refusal, a format the player lacks, a bad certificate) is tried once a minute after that.
int RetryDelayMs(int round, StreamFailure last_failure);

}  // namespace lumio::win
