#include "winplayer/player_channel.h"

namespace lumio::win {

void PlayerChannel::Post(PlayerCommand command) {
  {
    std::lock_guard lock(mutex_);
    switch (command.kind) {
      case PlayerCommand::Kind::kPlay: {
        const bool prepared = snapshot_.prepared;
        snapshot_ = PlayerSnapshot{};
        snapshot_.state = kPlayStateTransitioning;
        snapshot_.prepared = prepared;
        ++generation_;
        break;
      }
      case PlayerCommand::Kind::kStop:
        snapshot_.state = kPlayStateStopped;
        ++generation_;
        break;
      case PlayerCommand::Kind::kPause:
        snapshot_.state = kPlayStatePaused;
        ++generation_;
        break;
      case PlayerCommand::Kind::kPrepare:
      case PlayerCommand::Kind::kQuit:
        break;
    }
    command.generation = generation_;
    commands_.push_back(std::move(command));
  }
  SetEvent(event_.get());
}

PlayerSnapshot PlayerChannel::Read() const {
  std::lock_guard lock(mutex_);
  return snapshot_;
}

std::vector<PlayerCommand> PlayerChannel::Take() {
  std::lock_guard lock(mutex_);
  return std::exchange(commands_, {});
}

bool PlayerChannel::Pending() const {
  std::lock_guard lock(mutex_);
  return !commands_.empty();
}

void PlayerChannel::Publish(uint64_t generation, const PlayerSnapshot& snapshot) {
  std::lock_guard lock(mutex_);
  if (generation == generation_) snapshot_ = snapshot;
}

}  // namespace lumio::win
