#pragma once
// A player's one StreamTap, shared by the user-interface thread that sets it and the player's
// threads that feed it, so that both players keep the tap's rules alike. Calls reach the tap one
// at a time, and none once it has been replaced.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include "ports/stream_tap.h"

namespace lumio {

class TapRelay {
 public:
  // Replaces the tap (nullptr: none). Waits for a call in progress, so the old tap may go as
  // soon as this returns.
  void Set(StreamTap* tap);
  // Whether a tap is set; never waits.
  bool Active() const { return active_.load(std::memory_order_relaxed); }

  // A number for bytes that do not continue those handed over before: a new open, a
  // discontinuity within one.
  uint64_t NewConnection() { return next_connection_.fetch_add(1, std::memory_order_relaxed); }
  // The tap hears OnStreamStart before the first bytes or title of each connection (and before
  // anything else when it was just set); a title the connection repeats is not handed again.
  void Bytes(uint64_t connection, std::string_view bytes);
  void Title(uint64_t connection, std::string_view title);

 private:
  void Enter(uint64_t connection);

  std::mutex mutex_;
  StreamTap* tap_ = nullptr;
  std::atomic<bool> active_{false};
  std::atomic<uint64_t> next_connection_{1};
  uint64_t current_ = 0;  // the connection the tap heard last; 0: none yet
  std::string title_;     // the title it handed last, of that connection
  bool titled_ = false;
};

}  // namespace lumio
