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
  // Recorded as "url <first>", with " +N" for N more.
  void SetURLs(const std::vector<std::string>& urls) override;
  // The next scripted state, or the last one when the script has run out.
  int32_t GetPlayState() override;
  void Stop() override;
  void Pause() override;
  void SetVolume(int32_t v) override;
  void SetMute(bool m) override;
  std::string GetTitle() const override { return title; }
  StreamFailure GetFailure() const override { return failure; }
  std::string GetPlayedURL() const override { return playedUrl; }
  void SetStreamTap(StreamTap* t) override { tap = t; }

  // States the next reads return, in order; the last one repeats.
  void Script(std::initializer_list<int32_t> states) { script.assign(states); }

  std::deque<int32_t> script{kPlayStateTransitioning};
  std::vector<std::string> calls;
  std::string url;
  std::vector<std::string> urls;  // of the last SetURL or SetURLs
  // What the getters answer; tests set them.
  std::string title;  // GBK
  StreamFailure failure = StreamFailure::kNone;
  std::string playedUrl;
  int32_t volume = -1;
  bool mute = false;
  int32_t stateReads = 0;
  StreamTap* tap = nullptr;  // as the program handed it over
};

}  // namespace lumio::test
