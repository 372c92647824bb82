#include "fakes/fake_media_player.h"

namespace lumio::test {

void FakeMediaPlayer::SetURL(const std::string& u) {
  SetURLs({u});
}

void FakeMediaPlayer::SetURLs(const std::vector<std::string>& all) {
  urls = all;
  url = all.empty() ? std::string() : all.front();
  // A new station starts with nothing said about it, as the port promises.
  title.clear();
  failure = StreamFailure::kNone;
  playedUrl.clear();
  calls.push_back("url " + url + (all.size() > 1 ? " +" + std::to_string(all.size() - 1) : ""));
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
