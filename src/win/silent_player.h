#pragma once
// A player that plays nothing, for the Windows program until its real player arrives. A station
// it is given stays "connecting" until the status line gives up on it, so the listener sees an
// honest failure rather than a station that seems to play.

#include <cstdint>
#include <string>
#include <vector>

#include "ports/media_player.h"

namespace lumio::win {

class SilentPlayer final : public MediaPlayer {
 public:
  void SetURL(const std::string& url) override;
  void SetURLs(const std::vector<std::string>& urls) override;
  int32_t GetPlayState() override { return m_state; }
  std::string GetTitle() const override { return {}; }
  StreamFailure GetFailure() const override { return StreamFailure::kNone; }
  std::string GetPlayedURL() const override { return {}; }
  void Stop() override { m_state = kPlayStateStopped; }
  void Pause() override { m_state = kPlayStateStopped; }
  void SetVolume(int32_t) override {}
  void SetMute(bool) override {}

 private:
  int32_t m_state = kPlayStateStopped;
};

}  // namespace lumio::win
