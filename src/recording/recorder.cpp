#include "recording/recorder.h"

#include <cstdio>

#include "recording/recording_names.h"
#include "store/config_path.h"
#include "stream/stream_limits.h"
#include "text/gbk.h"
#include "text/literal.h"

namespace lumio {
namespace {

// Units gathered before a write even within one tick, so that a burst (an HLS segment) does not
// sit in memory.
constexpr size_t kWriteBytes = 1024 * 1024;
// Names tried when "<station> <time>" is taken: " (2)" up to this.
constexpr int32_t kMaxNameAttempts = 99;

const Literal kNoFolder("无法创建录音文件夹，录音未开始");
const Literal kNoFile("无法创建录音文件，录音已停止");
const Literal kDiskLowAtStart("磁盘空间不足，无法录音");
const Literal kDiskLow("磁盘空间不足，录音已停止");
const Literal kWriteFailed("录音文件写入失败，录音已停止");
const Literal kUnsupported("此电台的格式不能录音");
const Literal kLongest("录音已达最长时间，已停止");
const Literal kRecordingLabel("录音");

}  // namespace

Recorder::Recorder(RecordingDisk& disk, const Clock& clock, RecorderLimits limits)
    : m_disk(disk), m_clock(clock), m_limits(limits) {}

Recorder::~Recorder() {
  End("");
}

std::optional<std::string> Recorder::Start(const std::string& station, bool fromNextConnection,
                                           uint32_t maxSeconds) {
  End("");
  m_pendingMessage.clear();
  if (m_folder.empty() || !m_disk.MakeFolders(m_folder)) return kNoFolder.gbk();
  const std::optional<uint64_t> free = m_disk.FreeBytes(m_folder);
  if (free && *free < m_limits.freeSpaceFloor) return kDiskLowAtStart.gbk();
  if (!fromNextConnection && m_cutter.format() == RecordFormat::kUnsupported)
    return kUnsupported.gbk();

  m_recording = true;
  m_awaitingConnection = fromNextConnection;
  m_station = station;
  m_startUtc = m_clock.NowSeconds();
  m_firstFile = true;
  m_maxSeconds =
      maxSeconds != 0 && maxSeconds < m_limits.maxSeconds ? maxSeconds : m_limits.maxSeconds;
  m_sessionLength = SoundLength();
  m_written = 0;
  m_nextSpaceCheck = m_limits.spaceCheckBytes;
  return std::nullopt;
}

void Recorder::Stop() {
  End("");
  m_pendingMessage.clear();
}

std::string Recorder::DurationText() const {
  if (!m_recording) return {};
  const uint32_t seconds = RecordedSeconds();
  char text[32];
  std::snprintf(text, sizeof text, " %02u:%02u", seconds / 60, seconds % 60);
  return kRecordingLabel.gbk() + text;
}

void Recorder::OnStreamEvents(const std::vector<StreamEvent>& events) {
  for (const StreamEvent& event : events) {
    switch (event.kind) {
      case StreamEvent::Kind::kStart:
        m_cutter.Restart();
        m_streamTitle.clear();
        m_awaitingConnection = false;
        m_oggChainBroken = true;
        break;
      case StreamEvent::Kind::kGap:
        m_cutter.Resync();
        break;
      case StreamEvent::Kind::kTitle:
        OnTitle(event.data);
        break;
      case StreamEvent::Kind::kBytes:
        m_cutter.Feed(event.data, [this](RecordUnit& unit) { OnUnit(unit); });
        if (m_recording && !m_awaitingConnection &&
            m_cutter.format() == RecordFormat::kUnsupported) {
          End(kUnsupported.gbk());
        }
        break;
    }
  }
  if (m_recording) Flush();
  if (m_recording) WriteCue();
  Notify();
}

void Recorder::OnTitle(const std::string& title) {
  m_streamTitle = std::string(CutGbk(title, stream::limits::kMaxTitleBytes));
  if (m_recording && !m_awaitingConnection && m_output) AddTrack(m_streamTitle);
}

// A title the stream repeats (every few seconds, and again after a reconnect) is one song.
void Recorder::AddTrack(const std::string& title) {
  if (title.empty()) return;
  if (!m_tracks.empty() && m_tracks.back().title == title) return;
  m_tracks.push_back({m_fileLength.Nanoseconds(), title});
  m_cueDirty = true;
}

void Recorder::OnUnit(RecordUnit& unit) {
  if (unit.beginsOggStream) m_oggChainBroken = false;
  if (!m_recording || m_awaitingConnection) return;
  // Another kind of stream after a reconnect (a station's other address) goes on in a file of
  // its own: one file holds one format.
  if (m_output && m_fileFormat != m_cutter.format()) CloseFile();
  // A new connection may join an Ogg stream mid-chain: its pages are of no use to a file
  // without that chain's headers, so the file goes on with the next chain.
  if (m_output && m_cutter.format() == RecordFormat::kOgg && m_oggChainBroken) return;
  std::string lead;
  if (!m_output) {
    if (m_cutter.format() == RecordFormat::kOgg && !unit.beginsOggStream) {
      // An Ogg file must begin with its streams' headers: those kept, or the next chain's.
      const std::optional<std::string> headers = m_cutter.OggHeaders();
      if (unit.oggHeader || !headers) return;
      lead = *headers;
    }
    if (!OpenFile()) return;
  }
  m_buffer += lead;
  m_buffer += unit.bytes;
  m_fileLength.Add(unit);
  m_sessionLength.Add(unit);
  if (m_sessionLength.Seconds() >= m_maxSeconds) {
    Flush();
    // A length the caller asked for is the recording's plan; the longest recording is news.
    End(m_maxSeconds >= m_limits.maxSeconds ? kLongest.gbk() : std::string());
    return;
  }
  if (m_buffer.size() >= kWriteBytes) Flush();
}

bool Recorder::OpenFile() {
  const uint32_t when = m_firstFile ? m_startUtc : m_clock.NowSeconds();
  const LocalTime start = LocalTimeAt(m_clock, when);
  const std::string extension = m_cutter.Extension();
  for (int32_t attempt = 1; attempt <= kMaxNameAttempts; ++attempt) {
    const std::string stem = RecordingStem(m_station, start, attempt);
    const std::string name = stem + "." + extension;
    const std::string path = PathInFolder(m_folder, FileNameFromGbk(name));
    bool exists = false;
    m_output = m_disk.CreateNew(path, exists);
    if (m_output) {
      m_firstFile = false;
      m_fileFormat = m_cutter.format();
      m_filePath = path;
      m_fileNameGbk = name;
      m_cuePath = PathInFolder(m_folder, FileNameFromGbk(stem + ".cue"));
      m_fileLength = SoundLength();
      m_tracks.clear();
      m_cueDirty = false;
      AddTrack(m_streamTitle);
      return true;
    }
    if (!exists) break;
  }
  End(kNoFile.gbk());
  return false;
}

void Recorder::Flush() {
  if (!m_output || m_buffer.empty()) return;
  const bool written = m_output->Append(m_buffer);
  const size_t size = m_buffer.size();
  m_buffer.clear();
  if (!written) {
    End(kWriteFailed.gbk());
    return;
  }
  m_written += size;
  if (m_written < m_nextSpaceCheck) return;
  m_nextSpaceCheck = m_written + m_limits.spaceCheckBytes;
  const std::optional<uint64_t> free = m_disk.FreeBytes(m_folder);
  if (free && *free < m_limits.freeSpaceFloor) End(kDiskLow.gbk());
}

void Recorder::WriteCue() {
  if (!m_cueDirty || m_tracks.empty() || m_cuePath.empty()) return;
  const char* type = m_fileFormat == RecordFormat::kMpegAudio ? "MP3" : "WAVE";
  // A sheet that cannot be written leaves the recording itself alone; the next song tries again.
  if (m_disk.Replace(m_cuePath, CueSheet(m_fileNameGbk, type, m_station, m_tracks)))
    m_cueDirty = false;
}

void Recorder::CloseFile() {
  Flush();
  WriteCue();
  m_output.reset();
  m_buffer.clear();
}

void Recorder::End(const std::string& message) {
  if (!m_recording) return;
  m_recording = false;
  if (m_output) {
    // What is gathered goes in without a look at the free space: the end is already decided.
    if (!m_buffer.empty()) m_output->Append(m_buffer);
    m_buffer.clear();
    WriteCue();
    m_output.reset();
  }
  m_awaitingConnection = false;
  if (!message.empty()) m_pendingMessage = message;
}

void Recorder::Notify() {
  if (m_pendingMessage.empty()) return;
  const std::string message = std::move(m_pendingMessage);
  m_pendingMessage.clear();
  if (onEnded) onEnded(message);
}

}  // namespace lumio
