#include "app/recording_and_timers.h"

#include "app/layout_tables.h"
#include "history/song_history_table.h"
#include "ports/control_ids.h"
#include "schedule/task_dialog.h"
#include "store/config_path.h"
#include "text/gbk.h"

namespace lumio {
namespace {

constexpr int32_t kTickMs = 1000;

static_assert(kCmdSleepFirst + static_cast<int32_t>(kSleepChoices.size()) <= kCmdScheduledTasks,
              "the sleep choices' commands run into the dialogs' ones");
// The most bytes a tray tip holds (its 64-byte field less the terminating zero).
constexpr size_t kTipBytes = 63;

// The play-time label holds "mm:ss"; "录音 mm:ss" needs room for two characters and a space
// more, taken from the empty skin on its left so that its digits stay where they were.
constexpr int32_t kRecordingLabelExtra = 30;

Rect PlayTimeRect(bool recording) {
  Rect rect;
  for (const ControlPlacement& control : NormalLayout()) {
    if (control.id == kIdcPlayTime) rect = control.rect;
  }
  if (recording) rect.left -= kRecordingLabelExtra;
  return rect;
}

// The minutes a 定时停止 command sets, 0 for 取消; -1 for any other command.
int32_t SleepMinutesOf(int32_t command) {
  if (command == kCmdSleepCancel) return 0;
  const int64_t index = int64_t{command} - kCmdSleepFirst;
  if (index < 0 || static_cast<uint64_t>(index) >= kSleepChoices.size()) return -1;
  return kSleepChoices[static_cast<size_t>(index)];
}

}  // namespace

RecordingAndTimers::RecordingAndTimers(WindowLayer& window, MediaPlayer& player, const Clock& clock,
                                       PlaybackController& playback, StationStore& store,
                                       const int32_t& mode)
    : m_window(window),
      m_player(player),
      m_clock(clock),
      m_playback(playback),
      m_store(store),
      m_nMode(mode),
      m_features(*this, clock, m_disk) {
  m_features.onMessage = [this](const std::string& message) { Tell(message); };
}

RecordingAndTimers::~RecordingAndTimers() {
  if (m_tapHanded) m_player.SetStreamTap(nullptr);
}

void RecordingAndTimers::Start(const std::string& configFolder, const std::string& recordings,
                               const RecorderLimits& limits) {
  TimedFeaturesFiles files;
  files.tasks = PathInFolder(configFolder, kTaskFileName);
  files.history = PathInFolder(configFolder, kSongHistoryFileName);
  files.recordings = recordings;
  m_closing = false;
  const std::string problem = m_features.Load(files, limits);
  m_player.SetStreamTap(&m_features.Tap());
  m_tapHanded = true;
  m_window.SetTimer(kTimerTimedFeatures, kTickMs);
  if (!problem.empty()) Tell(problem);
}

void RecordingAndTimers::Shutdown() {
  // No last tick: it could start a scheduled station while the window closes.
  m_window.KillTimer(kTimerTimedFeatures);
  // The last second still goes to the file; should that fail, a box would hold the exit up.
  m_closing = true;
  m_features.StopRecording();
  if (m_tapHanded) m_player.SetStreamTap(nullptr);
  m_tapHanded = false;
}

void RecordingAndTimers::OnTick() {
  m_inTick = true;
  m_features.OnTick();
  m_inTick = false;
  m_window.SetTimer(kTimerTimedFeatures, kTickMs);
  Refresh();
  ShowQueuedMessages();
}

bool RecordingAndTimers::OnCommand(int32_t id) {
  if (id == kCmdStartRecording) {
    Tell(StartRecording());
    return true;
  }
  if (id == kCmdStopRecording) {
    m_features.StopRecording();
    Refresh();
    return true;
  }
  if (id == kCmdScheduledTasks) {
    RunTaskDialog();
    return true;
  }
  if (id == kCmdSongHistory) {
    m_window.RunSongHistoryDialog(
        MakeSongHistoryTable(m_features.Songs(), m_clock, m_features.HistoryText()));
    return true;
  }
  const int32_t minutes = SleepMinutesOf(id);
  if (minutes < 0) return false;
  SetSleepTimer(minutes);
  return true;
}

std::string RecordingAndTimers::StartRecording() {
  std::string refusal = m_features.StartRecording();
  Refresh();
  return refusal;
}

void RecordingAndTimers::SetSleepTimer(int32_t minutes) {
  m_features.SetSleepTimer(minutes);
  m_sleepMinutes = minutes;
  Refresh();
}

void RecordingAndTimers::RunTaskDialog() {
  std::vector<CurrentStation> favourites;
  for (const StationRecord& station : m_store.m_favourites)
    favourites.push_back({station.nid, station.name.str()});
  const uint32_t maxRecordMinutes = m_features.GetRecorder().Limits().maxSeconds / 60;
  TaskDialog dialog(m_features, m_clock, PlayingStation(), favourites, maxRecordMinutes);
  m_window.RunTaskDialog(dialog);
}

MenuState RecordingAndTimers::Menus() const {
  MenuState state;
  state.recording = m_features.IsRecording();
  state.sleepChoices.assign(kSleepChoices.begin(), kSleepChoices.end());
  state.sleepMinutes = m_features.Sleep().IsSet() ? m_sleepMinutes : 0;
  return state;
}

void RecordingAndTimers::Refresh() {
  ShowLabel();
  ShowTrayTip();
}

void RecordingAndTimers::ShowLabel() {
  if (m_nMode != kModeNormal) return;
  const std::string recording = m_features.RecordingText();
  if (!recording.empty()) {
    // Every time: a switch of the display mode puts the label back in its usual place.
    m_window.MoveControl(kIdcPlayTime, PlayTimeRect(true));
    m_window.SetControlText(kIdcPlayTime, recording);
  } else if (m_labelShowsRecording) {
    m_window.MoveControl(kIdcPlayTime, PlayTimeRect(false));
    m_window.SetControlText(kIdcPlayTime, m_playback.PlayTimeText());
  } else {
    return;
  }
  m_labelShowsRecording = !recording.empty();
  m_window.InvalidateControl(kIdcPlayTime);
}

// The station's tip, with a line below it for the recording and the sleep timer; the station's
// part is cut, not that line, when both do not fit.
void RecordingAndTimers::ShowTrayTip() {
  std::string extra = m_features.RecordingText();
  const std::string sleep = m_features.SleepText();
  if (!sleep.empty()) extra += (extra.empty() ? "" : " ") + sleep;
  const std::string& stationTip = m_playback.m_nowPlaying.TrayTip();
  if (extra.empty()) {
    // Left to the station's tip, which the window already shows unless this class covered it.
    if (!m_tipShown.empty()) m_window.SetTrayTip(stationTip);
    m_tipShown.clear();
    return;
  }
  extra = std::string(CutGbk(extra, kTipBytes - 1));
  const std::string tip =
      std::string(CutGbk(stationTip, kTipBytes - 1 - extra.size())) + "\n" + extra;
  // The station's tip changes on its own (a new title): this tip then covers it again.
  if (tip == m_tipShown && stationTip == m_tipUnderneath) return;
  m_tipShown = tip;
  m_tipUnderneath = stationTip;
  m_window.SetTrayTip(tip);
}

void RecordingAndTimers::Tell(const std::string& message) {
  if (message.empty() || m_closing) return;
  m_messages.push_back(message);
  if (!m_inTick) ShowQueuedMessages();
}

void RecordingAndTimers::ShowQueuedMessages() {
  if (m_telling) return;
  m_telling = true;
  while (!m_messages.empty()) {
    const std::string message = m_messages.front();
    m_messages.pop_front();
    m_window.ShowMessageBox(message);
  }
  m_telling = false;
}

std::optional<CurrentStation> RecordingAndTimers::PlayingStation() const {
  const StationRecord* station = m_playback.LiveStation();
  if (station == nullptr) return std::nullopt;
  return CurrentStation{station->nid, station->name.str()};
}

std::string RecordingAndTimers::PlayingTitle() const {
  return m_playback.LiveStation() != nullptr ? m_player.GetTitle() : std::string();
}

// The list shown first, so that the row lights up as a double click would; then the
// favourites and the catalogue, since a task's station need not be in the category showing.
bool RecordingAndTimers::PlayStationById(int32_t nid, const std::string& name) {
  const auto matches = [&](const StationRecord& station, bool byName) {
    return byName ? !name.empty() && station.name == name : nid != 0 && station.nid == nid;
  };
  // The catalogue loads a moment after start-up; a command or a task due in that moment must
  // find its station all the same.
  if (m_store.m_catalogue.empty()) m_store.LoadCatalogue();
  for (bool byName : {false, true}) {
    for (size_t i = 0; i < m_store.m_view.size(); ++i) {
      if (!matches(m_store.m_view[i], byName)) continue;
      const auto index = static_cast<int32_t>(i);
      m_playback.PlayStation(index);
      m_store.m_currentStation = index;
      return true;
    }
    for (const StationList* list : {&m_store.m_favourites, &m_store.m_catalogue}) {
      for (const StationRecord& station : *list) {
        if (!matches(station, byName)) continue;
        m_playback.PlayRecord(station);
        return true;
      }
    }
  }
  return false;
}

void RecordingAndTimers::StopPlayback() {
  m_playback.OnStop();
}

int32_t RecordingAndTimers::VolumeSetting() const {
  return m_playback.m_nVolume;
}

void RecordingAndTimers::SetPlayerVolume(int32_t volume) {
  m_player.SetVolume(volume);
}

}  // namespace lumio
