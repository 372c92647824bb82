#pragma once
// A media player that answers play-state reads from a script and records every command.

#include <deque>
#include <string>
#include <vector>

#include "ports/media_player.h"

namespace lumio::test {

class FakeMediaPlayer final : public MediaPlayer {
 public:
  void SetURL(const std::string& url) override;
  // The next scripted state, or the last one when the script has run out.
  int32_t GetPlayState() override;
  void Stop() override;
  void Pause() override;
  void SetVolume(int32_t v) override;
  void SetMute(bool m) override;

  // States the next reads return, in order; the last one repeats.
  void Script(std::initializer_list<int32_t> states) { script.assign(states); }

  std::deque<int32_t> script{kPlayStateTransitioning};
  std::vector<std::string> calls;
  std::string url;
  int32_t volume = -1;
  bool mute = false;
  int32_t stateReads = 0;
};

}  // namespace lumio::test
