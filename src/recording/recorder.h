#pragma once
// Records what a station sends into a file, as it was sent: MP3 as .mp3, AAC as .aac in ADTS,
// Ogg as .ogg, never decoded or re-encoded. The file holds whole frames (or pages) only and
// takes what arrived at least once a second, so it plays even when the program is killed; a
// CUE sheet beside it lists the songs the stream named. A recording goes on across reconnects
// (the gap is simply not in the file) and ends when told, at its length, or when the disk runs
// low or a write fails, never leaving a half frame behind.
//
// Runs on the user-interface thread: the stream comes in through OnStreamEvents, which the
// one-second tick feeds from the player's RecordingFeed.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ports/clock.h"
#include "recording/cue_sheet.h"
#include "recording/recording_disk.h"
#include "recording/recording_feed.h"
#include "recording/stream_cutter.h"

namespace lumio {

struct RecorderLimits {
  // Below this much free space a recording does not start, and a running one ends.
  uint64_t freeSpaceFloor = 200ull * 1024 * 1024;
  // The longest recording, in seconds of sound.
  uint32_t maxSeconds = 3 * 3600;
  // Free space is looked at again after this many bytes written: half a minute of a 128 kbit/s
  // station, so a recording stops near its floor, not minutes past it.
  uint64_t spaceCheckBytes = 512ull * 1024;
};

class Recorder {
 public:
  Recorder(RecordingDisk& disk, const Clock& clock, RecorderLimits limits = {});
  ~Recorder();
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  // The folder recordings go into (made when a recording starts), in the file system's form.
  void SetFolder(std::string folder) { m_folder = std::move(folder); }
  // From the next recording on.
  void SetLimits(const RecorderLimits& limits) { m_limits = limits; }
  const RecorderLimits& Limits() const { return m_limits; }
  const std::string& Folder() const { return m_folder; }

  // The stream as the player handed it over, whether recording or not: the recorder follows
  // its format, its Ogg headers and its song so that a recording can begin at any moment.
  void OnStreamEvents(const std::vector<StreamEvent>& events);

  // Begins recording `station` (GBK) with the stream's next whole frame, or, with
  // `fromNextConnection`, with the next connection (a station just started: what is still
  // queued belongs to the one before). It ends at `maxSeconds` of sound when that is not 0,
  // and at the longest recording in any case. nullopt when the recording runs, else why it
  // cannot (GBK, for the listener).
  std::optional<std::string> Start(const std::string& station, bool fromNextConnection,
                                   uint32_t maxSeconds = 0);
  // Ends the recording: what arrived in whole frames is in the file and the CUE sheet.
  void Stop();

  bool IsRecording() const { return m_recording; }
  const std::string& Station() const { return m_station; }
  // Seconds of sound recorded since Start.
  uint32_t RecordedSeconds() const { return m_sessionLength.Seconds(); }
  // "录音 mm:ss" (GBK) while recording, "" otherwise.
  std::string DurationText() const;
  // The file being written, or the last one written; "" before any.
  const std::string& FilePath() const { return m_filePath; }

  // Told when a recording ends by itself (the disk, a write, the longest recording, a stream
  // that cannot be recorded), with what to tell the listener (GBK).
  std::function<void(const std::string& message)> onEnded;

 private:
  void OnUnit(RecordUnit& unit);
  void OnTitle(const std::string& title);
  void AddTrack(const std::string& title);
  bool OpenFile();
  void Flush();
  void WriteCue();
  void CloseFile();
  void End(const std::string& message);
  void Notify();

  RecordingDisk& m_disk;
  const Clock& m_clock;
  RecorderLimits m_limits;
  std::string m_folder;
  StreamCutter m_cutter;
  std::string m_streamTitle;  // the song the stream names now

  bool m_recording = false;
  bool m_awaitingConnection = false;
  bool m_oggChainBroken = false;  // a new connection came and no Ogg chain has begun since
  std::string m_station;
  uint32_t m_startUtc = 0;
  bool m_firstFile = true;
  uint32_t m_maxSeconds = 0;
  SoundLength m_sessionLength;
  uint64_t m_written = 0;
  uint64_t m_nextSpaceCheck = 0;

  std::unique_ptr<RecordingOutput> m_output;
  RecordFormat m_fileFormat = RecordFormat::kFinding;
  std::string m_filePath;
  std::string m_fileNameGbk;
  std::string m_cuePath;
  SoundLength m_fileLength;
  std::string m_buffer;  // whole units not yet written
  std::vector<CueTrack> m_tracks;
  bool m_cueDirty = false;
  std::string m_pendingMessage;
};

}  // namespace lumio
