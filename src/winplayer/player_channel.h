#pragma once
// What the user-interface thread and the player's worker share: commands one way, the state
// to show the other. The user-interface side never waits but for a lock the worker holds only
// to copy a few short texts.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "playback/stream_failure.h"
#include "ports/media_player.h"
#include "winbase/unique_handle.h"

namespace lumio::win {

struct PlayerCommand {
  enum class Kind { kPrepare, kPlay, kStop, kPause, kQuit };
  Kind kind = Kind::kPrepare;
  std::vector<std::string> urls;  // kPlay: the station's addresses, GBK, in order
  uint64_t generation = 0;        // set by Post
};

struct PlayerSnapshot {
  int32_t state = kPlayStateStopped;
  std::string title;       // GBK
  std::string last_error;  // UTF-8
  StreamFailure failure = StreamFailure::kNone;
  bool prepared = false;   // the device is open and the decoders are loaded
  std::string played_url;  // the station address that played last (GBK)
  bool operator==(const PlayerSnapshot&) const = default;
};

class PlayerChannel {
 public:
  PlayerChannel() : event_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

  // User-interface side. A play, stop or pause shows in Read at once (9, 1, 2), before the
  // worker has even seen it; what the worker publishes for older commands is ignored.
  void Post(PlayerCommand command);
  PlayerSnapshot Read() const;
  void SetVolume(int32_t volume) { volume_ = volume; }
  void SetMute(bool mute) { mute_ = mute; }

  // Worker side.
  HANDLE event() const { return event_.get(); }
  std::vector<PlayerCommand> Take();
  // True when commands are waiting to be taken.
  bool Pending() const;
  void Publish(uint64_t generation, const PlayerSnapshot& snapshot);
  int32_t volume() const { return volume_; }
  bool mute() const { return mute_; }

 private:
  UniqueKernelHandle event_;
  mutable std::mutex mutex_;
  std::vector<PlayerCommand> commands_;
  uint64_t generation_ = 0;  // of the last play, stop or pause posted
  PlayerSnapshot snapshot_;
  std::atomic<int32_t> volume_{50};
  std::atomic<bool> mute_{false};
};

}  // namespace lumio::win
