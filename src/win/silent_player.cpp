#include "win/silent_player.h"

namespace lumio::win {

void SilentPlayer::SetURL(const std::string& url) {
  m_state = url.empty() ? kPlayStateStopped : kPlayStateTransitioning;
}

void SilentPlayer::SetURLs(const std::vector<std::string>& urls) {
  SetURL(urls.empty() ? std::string() : urls.front());
}

}  // namespace lumio::win
