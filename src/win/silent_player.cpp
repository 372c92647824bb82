#include "win/silent_player.h"

namespace lumio::win {

void SilentPlayer::SetURL(const std::string& url) {
  m_state = url.empty() ? kPlayStateStopped : kPlayStateTransitioning;
}

}  // namespace lumio::win
