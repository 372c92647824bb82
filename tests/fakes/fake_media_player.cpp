#include "fakes/fake_media_player.h"

namespace lumio::test {

void FakeMediaPlayer::SetURL(const std::string& u) {
  url = u;
  calls.push_back("url " + u);
}

int32_t FakeMediaPlayer::GetPlayState() {
  ++stateReads;
  const int32_t state = script.front();
  if (script.size() > 1) script.pop_front();
  return state;
}

void FakeMediaPlayer::Stop() {
  calls.push_back("stop");
}
void FakeMediaPlayer::Pause() {
  calls.push_back("pause");
}

void FakeMediaPlayer::SetVolume(int32_t v) {
  volume = v;
  calls.push_back("volume " + std::to_string(v));
}

void FakeMediaPlayer::SetMute(bool m) {
  mute = m;
  calls.push_back(m ? "mute on" : "mute off");
}

}  // namespace lumio::test
