#pragma once
// Recording, the sleep timer, the schedule and the song history, kept together because they
// ride one one-second tick and decide together what happens when they meet: a recording ends
// when its station stops or another one starts; a scheduled recording switches to its station
// and afterwards gives the listener back what played before (or silence); a scheduled station
// never cuts a recording short.
//
// The program owns one of these. At start-up it calls Load with the files' places and hands
// Tap() to its player (MediaPlayer::SetStreamTap); it arms a one-second timer whose action is
// OnTick; its menus and dialog call the commands and show the texts below; it shows each
// message it is told through onMessage.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "history/song_history.h"
#include "ports/clock.h"
#include "recording/recorder.h"
#include "recording/recording_feed.h"
#include "schedule/program_controls.h"
#include "schedule/schedule_clock.h"
#include "schedule/sleep_timer.h"
#include "schedule/task_list.h"

namespace lumio {

// How long a scheduled recording may run past its length by the wall clock, when the station
// sends less sound than time passes (it reconnects, or never answers).
inline constexpr int64_t kTaskRecordingSlackSeconds = 60;

struct TimedFeaturesFiles {
  std::string tasks;       // config/tasklst.ini
  std::string history;     // config/songlst.ini
  std::string recordings;  // the recordings' folder (ChooseRecordingFolder)
};

class TimedFeatures {
 public:
  TimedFeatures(ProgramControls& program, const Clock& clock, RecordingDisk& disk,
                RecorderLimits limits = {});

  // Start-up: reads the tasks and the song history and starts watching the clock, so that no
  // task missed before now runs. What to tell the listener about the task file (GBK), "" when
  // nothing.
  std::string Load(const TimedFeaturesFiles& files, const RecorderLimits& limits = {});
  // Where the player hands its stream over, from its own threads.
  StreamTap& Tap() { return m_feed; }
  // The one-second tick.
  void OnTick();

  // 开始录音: records the playing station. "" when it records, else why not (GBK).
  std::string StartRecording();
  // 停止录音: what the station sent up to now is in the file, and its CUE sheet written.
  void StopRecording();
  // 定时停止: stop playback `minutes` from now; 0 cancels.
  void SetSleepTimer(int32_t minutes);
  // The 定时任务 dialog. Each change is saved at once; false when it could not be (it holds
  // until the program ends).
  bool AddTask(const ScheduledTask& task) { return m_tasks.Add(task); }
  bool RemoveTask(size_t index) { return m_tasks.Remove(index); }
  const std::vector<ScheduledTask>& Tasks() const { return m_tasks.Tasks(); }
  // The day a task set now for `hour`:`minute` runs once on.
  int64_t OnceDayFor(int32_t hour, int32_t minute) const;

  bool IsRecording() const { return m_recorder.IsRecording(); }
  // "录音 mm:ss" while recording, else "" (GBK): the play-time label or the status line.
  std::string RecordingText() const { return m_recorder.DurationText(); }
  // "定时停止 mm:ss" while the sleep timer runs, else "" (GBK): the tray tip.
  std::string SleepText() const { return m_sleep.TipText(); }
  const SleepTimer& Sleep() const { return m_sleep; }
  const Recorder& GetRecorder() const { return m_recorder; }
  const std::vector<HeardSong>& Songs() const { return m_history.Songs(); }
  // The song history as text to copy (GBK, CR LF lines).
  std::string HistoryText() const { return m_history.AsText(m_clock); }

  // Told each thing the listener must know (GBK): a recording that ended by itself, a task
  // that could not run.
  std::function<void(const std::string& message)> onMessage;

 private:
  struct TaskRecording {
    int32_t nid = 0;
    int64_t seconds = 0;
    ElapsedTime elapsed;
    std::optional<CurrentStation> before;  // what played when the task began
  };

  // Hands what the player queued to the recorder.
  void TakeStream();
  void RunDueTasks(uint32_t nowUtc);
  void RunPlayTask(const ScheduledTask& task);
  void RunRecordTask(const ScheduledTask& task, uint32_t nowUtc);
  void FollowTaskRecording(uint32_t nowUtc);
  void Tell(const std::string& message);

  ProgramControls& m_program;
  const Clock& m_clock;
  RecordingFeed m_feed;
  std::vector<StreamEvent> m_events;
  Recorder m_recorder;
  int32_t m_recordingNid = 0;
  std::optional<int32_t> m_drainedNid;  // the station whose stream the last tick took
  std::optional<TaskRecording> m_taskRecording;
  SleepTimer m_sleep;
  TaskList m_tasks;
  ScheduleClock m_schedule;
  SongHistory m_history;
};

}  // namespace lumio
