#pragma once
// The order and the times in which a player tries the addresses of one station: the station's
// addresses in the order given, and in place of any that turns out to be a playlist, that
// playlist's entries. A failed try goes on with the next address at once; once every address of
// the round has failed, the round starts over after a back-off of 1, 2, 4, 8 and then 10 s,
// beginning with the address that played last. A round in which every try failed for a reason
// that will not pass (see IsPermanentFailure) waits a minute instead, unless the station played
// a short while ago: a server that restarts answers 404 for a few seconds. Both players follow
// this plan; it keeps no time itself.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "playback/stream_failure.h"

namespace lumio {

// What to open next, and when.
struct AddressStep {
  std::string url;      // empty when the station has no address at all
  int32_t delayMs = 0;  // wait this long before opening `url`; 0 is at once
  int32_t depth = 0;    // 0 for an address of the station, 1 for an entry of its playlist, ...
};

class StationAddressPlan {
 public:
  static constexpr int32_t kMaxDepth = 2;    // playlists inside playlists, at most this deep
  static constexpr size_t kMaxEntries = 16;  // entries of one playlist that are tried
  static constexpr int32_t kPermanentRetryMs = 60000;

  // A new station with `addresses` in the order to try (blank ones and repeats are left out):
  // the first of them, at once.
  AddressStep Start(const std::vector<std::string>& addresses);

  // The address being tried is a playlist of `entries` (resolved addresses): they are tried in
  // its place, in order, before the addresses after it. Returns the first entry, at once; with
  // no entry, or a playlist too deep, the address failed as not audio.
  AddressStep Expand(const std::vector<std::string>& entries);

  // The address being tried failed: the next one at once, or the first of a new round later.
  AddressStep Failed(StreamFailure failure);

  // The address being tried plays: the back-off starts over and it becomes the played address.
  void Playing();

  // The address that played has stopped (dropped, fell silent, ended) for `why`: it is tried
  // again after a second, then the others.
  AddressStep Dropped(StreamFailure why);

  const AddressStep& Current() const { return m_current; }
  // Why the latest try failed; kNone before any failure and while an address plays.
  StreamFailure LastFailure() const { return m_lastFailure; }
  // The station address (one of those given to Start) that played last; for a playlist entry,
  // the playlist's address. "" until one plays.
  const std::string& PlayedAddress() const { return m_played; }

 private:
  struct Try {
    std::string url;
    int32_t depth = 0;
    size_t address = 0;  // index into m_addresses of the station address it stands for
  };

  AddressStep StartRound(int32_t delayMs);
  AddressStep Next(int32_t delayMs);
  int32_t RoundDelayMs() const;

  std::vector<std::string> m_addresses;
  std::vector<Try> m_queue;  // the rest of the round, next first
  Try m_try;                 // the address being tried
  AddressStep m_current;
  size_t m_preferred = 0;  // the round starts here: the address that played last
  int32_t m_failedRounds = 0;
  bool m_roundPermanent = true;  // every try of this round failed for good so far
  bool m_playedSinceStart = false;
  StreamFailure m_lastFailure = StreamFailure::kNone;
  std::string m_played;
};

}  // namespace lumio
