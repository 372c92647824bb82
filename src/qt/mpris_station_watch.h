#pragma once
// The player as the main window's logic drives it, with a note of which station it was last
// given: the media controls name the station that plays, which after a change of category need
// not be the one the current index now points at.

#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/station_store.h"
#include "ports/media_player.h"

namespace lumio {

class MprisStationWatch final : public MediaPlayer {
 public:
  explicit MprisStationWatch(MediaPlayer& player) : m_player(player) {}

  // The store whose current station a new URL belongs to; set before the first SetURL.
  void SetStore(const StationStore* store) { m_store = store; }

  void SetURL(const std::string& url) override;
  void SetURLs(const std::vector<std::string>& urls) override;
  int32_t GetPlayState() override { return m_player.GetPlayState(); }
  std::string GetTitle() const override { return m_player.GetTitle(); }
  StreamFailure GetFailure() const override { return m_player.GetFailure(); }
  std::string GetPlayedURL() const override { return m_player.GetPlayedURL(); }
  void Stop() override { m_player.Stop(); }
  void Pause() override { m_player.Pause(); }
  void SetVolume(int32_t volume) override { m_player.SetVolume(volume); }
  void SetMute(bool mute) override { m_player.SetMute(mute); }

  // The station of the last addresses (GBK texts), and whether any were given.
  bool HasStation() const { return m_hasStation; }
  const StationRecord& Station() const { return m_station; }

 private:
  void NoteStation(const std::vector<std::string>& urls);

  MediaPlayer& m_player;
  const StationStore* m_store = nullptr;
  StationRecord m_station;
  bool m_hasStation = false;
};

}  // namespace lumio
