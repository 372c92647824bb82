#include "schedule/timed_features.h"

#include "text/literal.h"

namespace lumio {
namespace {

const Literal kNothingPlaying("没有正在播放的电台，无法录音");
const Literal kStationMissing("找不到定时任务的电台：");
const Literal kPlaySkipped("正在录音，定时播放已跳过：");
const Literal kRecordSkipped("另一个定时录音正在进行，定时录音已跳过：");

}  // namespace

TimedFeatures::TimedFeatures(ProgramControls& program, const Clock& clock, RecordingDisk& disk,
                             RecorderLimits limits)
    : m_program(program), m_clock(clock), m_recorder(disk, clock, limits), m_sleep(program) {
  m_recorder.onEnded = [this](const std::string& message) { Tell(message); };
}

std::string TimedFeatures::Load(const TimedFeaturesFiles& files, const RecorderLimits& limits) {
  m_recorder.SetLimits(limits);
  m_tasks.Load(files.tasks);
  m_history.Load(files.history);
  m_recorder.SetFolder(files.recordings);
  m_schedule.Begin(LocalSeconds(m_clock, m_clock.NowSeconds()));
  return m_tasks.Problem();
}

void TimedFeatures::Tell(const std::string& message) {
  if (!message.empty() && onMessage) onMessage(message);
}

void TimedFeatures::TakeStream() {
  const std::optional<CurrentStation> drained = m_program.PlayingStation();
  // Before a byte of another station (or of nothing) can reach the file.
  if (m_recorder.IsRecording() && (!drained || drained->nid != m_recordingNid)) m_recorder.Stop();
  m_feed.Take(m_events);
  m_recorder.OnStreamEvents(m_events);
  m_drainedNid = drained ? std::optional<int32_t>(drained->nid) : std::nullopt;
}

void TimedFeatures::OnTick() {
  const uint32_t now = m_clock.NowSeconds();
  TakeStream();
  FollowTaskRecording(now);
  m_sleep.Tick(now);
  RunDueTasks(now);
  if (const std::optional<CurrentStation> playing = m_program.PlayingStation())
    m_history.OnTitle(playing->name, m_program.PlayingTitle(), now);
}

std::string TimedFeatures::StartRecording() {
  const std::optional<CurrentStation> playing = m_program.PlayingStation();
  if (!playing) return kNothingPlaying.gbk();
  if (m_recorder.IsRecording() && m_recordingNid == playing->nid) return {};
  // A station started since the stream was last taken may still have the last second of the
  // one before on its way: the recording then begins with the new connection.
  const bool justStarted = !m_drainedNid || *m_drainedNid != playing->nid;
  // The recording of a station switched away from since the last tick ends here; the feed is
  // left alone, as it may hold the new station's first connection.
  m_recorder.Stop();
  m_taskRecording.reset();
  if (const std::optional<std::string> refusal = m_recorder.Start(playing->name, justStarted))
    return *refusal;
  m_recordingNid = playing->nid;
  m_taskRecording.reset();
  return {};
}

void TimedFeatures::StopRecording() {
  // Up to a tick of sound waits in the feed: it was received before the stop, so it is the
  // recording's (at the program's exit, its last second).
  TakeStream();
  m_recorder.Stop();
  m_taskRecording.reset();
}

void TimedFeatures::SetSleepTimer(int32_t minutes) {
  m_sleep.Set(minutes, m_clock.NowSeconds());
}

int64_t TimedFeatures::OnceDayFor(int32_t hour, int32_t minute) const {
  return NextOnceDay(LocalSeconds(m_clock, m_clock.NowSeconds()), hour, minute);
}

void TimedFeatures::RunDueTasks(uint32_t nowUtc) {
  const std::vector<size_t> due = m_schedule.Due(m_tasks.Tasks(), LocalSeconds(m_clock, nowUtc));
  std::vector<size_t> ranOnce;
  for (size_t index : due) {
    const ScheduledTask task = m_tasks.Tasks()[index];
    if (task.action == TaskAction::kPlay) {
      RunPlayTask(task);
    } else {
      RunRecordTask(task, nowUtc);
    }
    if (task.RunsOnce()) ranOnce.push_back(index);
  }
  // A task that ran once has done its work and leaves the list.
  for (auto it = ranOnce.rbegin(); it != ranOnce.rend(); ++it)
    m_tasks.Remove(*it);
}

void TimedFeatures::RunPlayTask(const ScheduledTask& task) {
  const std::optional<CurrentStation> playing = m_program.PlayingStation();
  if (playing && playing->nid == task.nid) return;
  if (m_recorder.IsRecording()) return Tell(kPlaySkipped.gbk() + task.name);
  if (!m_program.PlayStationById(task.nid, task.name)) Tell(kStationMissing.gbk() + task.name);
}

void TimedFeatures::RunRecordTask(const ScheduledTask& task, uint32_t nowUtc) {
  const std::optional<CurrentStation> playing = m_program.PlayingStation();
  const bool recordingTask = m_taskRecording && m_recorder.IsRecording();
  if (recordingTask && m_taskRecording->nid != task.nid)
    return Tell(kRecordSkipped.gbk() + task.name);

  TaskRecording plan;
  plan.seconds = int64_t{task.recordMinutes} * 60;
  plan.elapsed.Begin(nowUtc);
  plan.before = recordingTask ? m_taskRecording->before : playing;
  const bool onStation = playing && playing->nid == task.nid;
  if (onStation && m_recorder.IsRecording() && m_recordingNid == task.nid) {
    // Already recording it: the task only sets when the recording ends.
    plan.nid = task.nid;
    m_taskRecording = plan;
    return;
  }
  if (!onStation) {
    m_recorder.Stop();
    if (!m_program.PlayStationById(task.nid, task.name))
      return Tell(kStationMissing.gbk() + task.name);
  }
  // The station found may carry another id than the task remembers (found by its name).
  const std::optional<CurrentStation> started = m_program.PlayingStation();
  plan.nid = started ? started->nid : task.nid;
  const std::string name = started ? started->name : task.name;
  if (const std::optional<std::string> refusal =
          m_recorder.Start(name, !onStation, static_cast<uint32_t>(plan.seconds))) {
    return Tell(*refusal);
  }
  m_recordingNid = plan.nid;
  m_taskRecording = plan;
}

// A scheduled recording ends at its length of sound, or a little after its length by the clock
// when sound went missing. Then the listener gets back what played before: the station, or
// silence; unless they chose another station meanwhile.
void TimedFeatures::FollowTaskRecording(uint32_t nowUtc) {
  if (!m_taskRecording) return;
  const int64_t elapsed = m_taskRecording->elapsed.Advance(nowUtc);
  if (m_recorder.IsRecording() && elapsed >= m_taskRecording->seconds + kTaskRecordingSlackSeconds)
    m_recorder.Stop();
  if (m_recorder.IsRecording()) return;
  const TaskRecording done = *m_taskRecording;
  m_taskRecording.reset();
  const std::optional<CurrentStation> playing = m_program.PlayingStation();
  if (!playing || playing->nid != done.nid) return;
  if (!done.before) {
    m_program.StopPlayback();
  } else if (done.before->nid != done.nid) {
    m_program.PlayStationById(done.before->nid, done.before->name);
  }
}

}  // namespace lumio
