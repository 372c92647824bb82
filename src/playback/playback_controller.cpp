#include "playback/playback_controller.h"

#include <cstdio>

#include "playback/status_text.h"
#include "ports/control_ids.h"

namespace lumio {
namespace {

constexpr int32_t kStatusPollMs = 600;
constexpr int32_t kPlayTimeTickMs = 1000;
constexpr int32_t kPollsBeforeFailure = 20;

}  // namespace

PlaybackController::PlaybackController(WindowLayer& window, MediaPlayer& player,
                                       StationStore& store, const int32_t& mode,
                                       std::function<void(int32_t)> saveVolume)
    : m_nowPlaying(window),
      m_window(window),
      m_player(player),
      m_store(store),
      m_nMode(mode),
      m_saveVolume(std::move(saveVolume)) {}

void PlaybackController::Reset() {
  m_stationLive = false;
  m_bPlaying = false;
  m_bMute = false;
  m_nPlaySeconds = 0;
}

bool PlaybackController::IsNormalMode() const {
  return m_nMode == kModeNormal;
}

int32_t PlaybackController::PlayButtonFace() const {
  if (IsNormalMode()) return m_bPlaying ? kBmpPauseNormal : kBmpPlayNormal;
  return m_bPlaying ? kBmpPauseMini : kBmpPlayMini;
}

int32_t PlaybackController::MuteButtonFace() const {
  return m_bMute ? kBmpMuteOn : kBmpMuteOff;
}

void PlaybackController::PlayStation(int32_t index) {
  if (!m_store.IsViewIndex(index)) return;
  PlayRecord(m_store.m_view[static_cast<size_t>(index)]);
}

void PlaybackController::PlayRecord(const StationRecord& record) {
  const StationRecord station = record;  // `record` may be a row that changes below
  m_window.KillTimer(kTimerStatus);
  ShowStationName(station.name.str());
  m_station = station;
  m_stationStarted = true;
  m_stationLive = true;
  m_playedUrl.clear();
  m_failureShown = false;
  m_nowPlaying.Reset(station.name.str());
  m_nConnectTicks = 0;
  UpdateStatus(kStatusConnecting);
  m_player.SetURLs(m_store.m_addresses.AddressesOf(station));
  StartPlayTime();  // after the player has let go of the station before
}

// Pause and Stop end the station: the banner and the tray tip go back to the program's own.
void PlaybackController::EndStation() {
  m_stationLive = false;
  m_failureShown = false;
  m_nowPlaying.Reset("");
}

void PlaybackController::ShowStationName(const std::string& name) {
  m_window.InvalidateControl(kIdcStationName);
  m_window.SetControlText(kIdcStationName, name);
  m_window.UpdateWindow();
}

void PlaybackController::OnPlay() {
  if (m_bPlaying) {
    m_bPlaying = false;
    m_window.SetButtonBitmap(kIdcPlay, PlayButtonFace());
    m_window.KillTimer(kTimerStatus);
    m_window.InvalidateControl(kIdcPlay);
    m_player.Pause();
    StopPlayTime();
    EndStation();
    UpdateStatus(kStatusPaused);
    return;
  }
  m_bPlaying = true;
  m_window.SetButtonBitmap(kIdcPlay, PlayButtonFace());
  m_window.InvalidateControl(kIdcPlay);
  // With nothing to play the button still shows its pause face: the next press pauses.
  if (!m_store.IsViewIndex(m_store.m_currentStation)) return;
  m_player.SetVolume(m_nVolume);
  PlayStation(m_store.m_currentStation);
}

void PlaybackController::OnStop() {
  m_bPlaying = false;
  m_window.SetButtonBitmap(kIdcPlay, PlayButtonFace());
  m_window.KillTimer(kTimerStatus);
  m_window.InvalidateControl(kIdcPlay);
  m_player.Stop();
  StopPlayTime();
  EndStation();
  UpdateStatus(kStatusStopped);
}

bool PlaybackController::CanGoPrevious() const {
  const int64_t current = m_store.m_currentStation;
  return current > 0 && !m_store.m_view.empty() &&
         current <= static_cast<int64_t>(m_store.m_view.size());
}

bool PlaybackController::CanGoNext() const {
  return int64_t{m_store.m_currentStation} + 1 < static_cast<int64_t>(m_store.m_view.size());
}

void PlaybackController::OnPrevious() {
  if (!CanGoPrevious()) return;
  m_store.m_currentStation -= 1;
  PlayStation(m_store.m_currentStation);
}

void PlaybackController::OnNext() {
  if (!CanGoNext()) return;
  m_store.m_currentStation += 1;
  PlayStation(m_store.m_currentStation);
}

PlaybackView PlaybackController::View() const {
  PlaybackView view;
  const int32_t state = m_player.GetPlayState();
  if (m_bPlaying || state == kPlayStatePlaying || state == kPlayStateBuffering ||
      state == kPlayStateTransitioning) {
    view.status = PlaybackStatus::kPlaying;
  } else if (state == kPlayStatePaused) {
    view.status = PlaybackStatus::kPaused;
  }
  view.volume = m_nVolume;
  if (m_stationStarted) view.station = m_station;
  view.canGoNext = CanGoNext();
  view.canGoPrevious = CanGoPrevious();
  return view;
}

void PlaybackController::OnMediaPlay() {
  if (View().status != PlaybackStatus::kPlaying) OnPlay();
}

void PlaybackController::OnMediaPause() {
  if (View().status != PlaybackStatus::kPlaying) return;
  // With the play face showing, a press would start the station anew: the button is first
  // taken to the state the sound is in, so that the one press pauses.
  m_bPlaying = true;
  OnPlay();
}

void PlaybackController::OnMute() {
  m_bMute = !m_bMute;
  m_window.SetButtonBitmap(kIdcMute, MuteButtonFace());
  m_window.InvalidateControl(kIdcMute);
  m_player.SetMute(m_bMute);
}

int32_t PlaybackController::OnVolumeChanging(int32_t controlId, int32_t /*position*/) {
  if (controlId == kIdcVolume) m_nVolume = m_window.Slider(kIdcVolume).GetPos();
  m_player.SetVolume(m_nVolume);
  return 0;
}

int32_t PlaybackController::OnVolumeChanged(int32_t /*controlId*/, int32_t /*position*/) {
  m_nVolume = m_window.Slider(kIdcVolume).GetPos();
  if (m_saveVolume) m_saveVolume(m_nVolume);
  return 0;
}

void PlaybackController::UpdateStatus(int32_t code) {
  if (code == kStatusPoll) code = TranslatePlayState(m_player.GetPlayState());
  std::string text = StatusText(code);
  const bool connecting = code == kStatusConnecting || code == kStatusBuffering;
  if (connecting) {
    const int32_t dots = m_nConnectTicks < 0 ? 0 : m_nConnectTicks;
    text += StatusDots().substr(0, static_cast<size_t>(dots));
    m_nConnectTicks += 1;
    if (m_nConnectTicks > kPollsBeforeFailure) {
      text = ConnectionFailedText();
      m_nConnectTicks = 1;
      // Twelve seconds without a word from the player: the station does not answer.
      const StreamFailure failure = m_player.GetFailure();
      m_failureShown = true;
      m_nowPlaying.ShowFailure(failure == StreamFailure::kNone ? StreamFailure::kNoAnswer
                                                               : failure);
    }
  } else if (code == kStatusPlaying && m_failureShown) {
    m_failureShown = false;
    m_nowPlaying.ShowFailure(StreamFailure::kNone);
  }
  m_window.SetControlText(kIdcStatus, text);
  m_window.InvalidateControl(kIdcStatus);
  if (connecting) m_window.SetTimer(kTimerStatus, kStatusPollMs);
}

// The play time counts the current station from the moment it starts; it stands still while
// stopped or paused. In the mini bar the label is hidden but the count goes on, so the normal
// window shows the right time when the listener switches back.
void PlaybackController::StartPlayTime() {
  m_window.KillTimer(kTimerPlayTime);
  m_nPlaySeconds = 0;
  UpdatePlayTime();
}

void PlaybackController::StopPlayTime() {
  m_window.KillTimer(kTimerPlayTime);
}

namespace {

std::string FormatPlayTime(int32_t seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d", seconds / 60, seconds % 60);
  return text;
}

}  // namespace

std::string PlaybackController::PlayTimeText() const {
  return FormatPlayTime(m_nPlaySeconds > 0 ? m_nPlaySeconds - 1 : 0);
}

void PlaybackController::WatchStation() {
  const std::string played = m_player.GetPlayedURL();
  if (!played.empty() && played != m_playedUrl) {
    m_playedUrl = played;
    m_store.m_addresses.RememberPlayed(m_station, played);
  }
  m_nowPlaying.ShowTitle(m_player.GetTitle());
  if (!m_failureShown) return;
  const StreamFailure failure = m_player.GetFailure();
  if (failure == StreamFailure::kNone) m_failureShown = false;
  m_nowPlaying.ShowFailure(failure);
}

void PlaybackController::UpdatePlayTime() {
  WatchStation();
  if (IsNormalMode()) {
    m_window.SetControlText(kIdcPlayTime, FormatPlayTime(m_nPlaySeconds));
    m_window.InvalidateControl(kIdcPlayTime);
  }
  m_nPlaySeconds += 1;
  m_window.SetTimer(kTimerPlayTime, kPlayTimeTickMs);
}

}  // namespace lumio
