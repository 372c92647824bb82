#pragma once
// Recording, the sleep timer and the schedule as the main window carries them: the program's
// side of the timed features (its playback and its station lists), their one-second tick, the
// menus' recording entry and sleep choice, and what the listener sees of them: the play-time
// label, the tray tip and a message box for what they must be told.

#include <cstdint>
#include <deque>
#include <string>

#include "catalogue/station_store.h"
#include "commands/menus.h"
#include "playback/playback_controller.h"
#include "ports/clock.h"
#include "ports/media_player.h"
#include "ports/window_layer.h"
#include "recording/recording_disk.h"
#include "schedule/program_controls.h"
#include "schedule/timed_features.h"

namespace lumio {

class RecordingAndTimers final : public ProgramControls {
 public:
  // `mode` is the window's display mode: the play-time label shows only in the normal window.
  RecordingAndTimers(WindowLayer& window, MediaPlayer& player, const Clock& clock,
                     PlaybackController& playback, StationStore& store, const int32_t& mode);
  // Withdraws the tap from the player before the recorder behind it goes.
  ~RecordingAndTimers() override;
  RecordingAndTimers(const RecordingAndTimers&) = delete;
  RecordingAndTimers& operator=(const RecordingAndTimers&) = delete;

  // Start-up: reads the task and song files of `configFolder`, records into `recordings` (""
  // when no place could be named: recording is then refused), hands the tap to the player and
  // starts the tick.
  void Start(const std::string& configFolder, const std::string& recordings,
             const RecorderLimits& limits = {});
  // The program ends: a running recording is finished, the tap withdrawn, the tick stopped.
  void Shutdown();

  // The one-second tick.
  void OnTick();
  // 开始录音, 停止录音, the 定时停止 choices, and the 定时任务 and 歌曲记录 dialogs (modal);
  // false for any other command.
  bool OnCommand(int32_t id);
  // 开始录音 without a message box: "" when it records, else why not (GBK), for a caller that
  // tells the listener itself.
  std::string StartRecording();
  // 定时停止 for any number of minutes; 0 cancels.
  void SetSleepTimer(int32_t minutes);
  // What the two menus show of recording and the sleep timer now.
  MenuState Menus() const;
  // After each play-time tick: while recording, the label says so in place of the play time.
  void ShowLabel();

  const TimedFeatures& Features() const { return m_features; }

  // ProgramControls.
  std::optional<CurrentStation> PlayingStation() const override;
  std::string PlayingTitle() const override;
  bool PlayStationById(int32_t nid, const std::string& name) override;
  void StopPlayback() override;
  int32_t VolumeSetting() const override;
  void SetPlayerVolume(int32_t volume) override;

 private:
  void Tell(const std::string& message);
  void ShowQueuedMessages();
  void ShowTrayTip();
  void Refresh();
  void RunTaskDialog();

  WindowLayer& m_window;
  MediaPlayer& m_player;
  const Clock& m_clock;
  PlaybackController& m_playback;
  StationStore& m_store;
  const int32_t& m_nMode;
  SystemRecordingDisk m_disk;
  TimedFeatures m_features;
  bool m_tapHanded = false;
  int32_t m_sleepMinutes = 0;  // the 定时停止 choice made last
  bool m_labelShowsRecording = false;
  std::string m_tipShown;       // the tray tip this class set last; "" when it left it alone
  std::string m_tipUnderneath;  // the station's tip it was made from
  // A message box runs a loop of its own, in which the tick goes on: messages wait here so
  // that no box opens inside the tick or inside another box.
  std::deque<std::string> m_messages;
  bool m_inTick = false;
  bool m_telling = false;
  bool m_closing = false;  // from Shutdown until the next Start
};

}  // namespace lumio
