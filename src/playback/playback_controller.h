#pragma once
// The playback commands of the main window: play/pause, stop, previous, next, mute and the
// volume slider, the one sequence that starts a station, the status line that follows the
// player while it connects, and the play-time label.

#include <cstdint>
#include <functional>
#include <string>

#include "catalogue/station_store.h"
#include "playback/now_playing.h"
#include "playback/playback_view.h"
#include "ports/media_player.h"
#include "ports/window_layer.h"

namespace lumio {

class PlaybackController {
 public:
  // `mode` is the window's display mode, read whenever a button face is chosen.
  // `saveVolume` stores the volume in the settings file.
  PlaybackController(WindowLayer& window, MediaPlayer& player, StationStore& store,
                     const int32_t& mode, std::function<void(int32_t)> saveVolume);

  // Start-up state: not playing, not muted, no play time.
  void Reset();

  // Starts element `index` of m_view (the caller checks the index and sets m_currentStation):
  // shows its name, starts the status line and hands its addresses to the player, the one it
  // last played from first.
  void PlayStation(int32_t index);
  // The same for a station that is no row of the list (a favourite, while another category
  // shows); m_currentStation stays as it was.
  void PlayRecord(const StationRecord& station);
  // Puts a station name into the station-name label and repaints at once.
  void ShowStationName(const std::string& name);

  void OnPlay();      // command 1016: start the current station, or pause
  void OnStop();      // command 1025
  void OnPrevious();  // command 1017: no wrap-around
  void OnNext();      // command 1018: no wrap-around; with no current station, the first
  void OnMute();      // command 1019
  // The media controls' Play: the play button pressed, unless the station already plays.
  void OnMediaPlay();
  // The media controls' Pause: what plays pauses, also a station started from the list while
  // the button shows its play face; nothing else changes.
  void OnMediaPause();
  // The slider's messages; both return 0.
  int32_t OnVolumeChanging(int32_t controlId, int32_t position);
  int32_t OnVolumeChanged(int32_t controlId, int32_t position);

  // Writes the status line for `code` (kStatusPoll reads the player); while connecting or
  // buffering it animates dots, says "连接失败" every 20th poll, and polls again in 600 ms.
  // From the first "连接失败" on, the status line's tip and the tray tip say why, until the
  // station plays.
  void UpdateStatus(int32_t code);
  // The play-time tick (timer 1), which also follows the started station once a second: its
  // song title, why it fails, and the address it played from.
  void UpdatePlayTime();

  // The play time as the label shows it: "mm:ss" of the last tick, "00:00" before any.
  std::string PlayTimeText() const;

  // The station started last, while neither Stop nor Pause has ended it (connecting and
  // reconnecting too); nullptr when none.
  const StationRecord* LiveStation() const { return m_stationLive ? &m_station : nullptr; }

  // What the media controls show; asks the player's state, which never waits.
  PlaybackView View() const;
  // The bounds of Next and Previous.
  bool CanGoNext() const;
  bool CanGoPrevious() const;

  // The play button's bitmap for the current state and mode, and the mute button's.
  int32_t PlayButtonFace() const;
  int32_t MuteButtonFace() const;

  bool m_bPlaying = false;
  bool m_bMute = false;
  int32_t m_nVolume = 50;
  int32_t m_nConnectTicks = 0;
  int32_t m_nPlaySeconds = 0;
  NowPlaying m_nowPlaying;

 private:
  bool IsNormalMode() const;
  void StartPlayTime();
  void StopPlayTime();
  void WatchStation();
  void EndStation();

  WindowLayer& m_window;
  MediaPlayer& m_player;
  StationStore& m_store;
  const int32_t& m_nMode;
  std::function<void(int32_t)> m_saveVolume;
  StationRecord m_station;        // the station started last
  bool m_stationStarted = false;  // m_station holds one
  bool m_stationLive = false;     // ... and it has not been stopped or paused since
  std::string m_playedUrl;        // the address it was last heard from
  bool m_failureShown = false;    // "连接失败" was shown since it was last heard
};

}  // namespace lumio
