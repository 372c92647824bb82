#pragma once
// Finds what a station sends (MPEG audio, AAC in ADTS, Ogg) and cuts it into the units a
// recording may begin and end at: whole audio frames, whole Ogg pages. Each unit carries how
// long it plays, so a recording's length is the sound it holds, not the time it took to come.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "recording/ogg_pages.h"
#include "stream/audio_framer.h"

namespace lumio {

enum class RecordFormat { kFinding, kMpegAudio, kAdts, kOgg, kUnsupported };

struct RecordUnit {
  std::string bytes;
  uint32_t samples = 0;  // how long it plays: `samples` at `rate` per second (0: unknown)
  uint32_t rate = 0;
  bool beginsOggStream = false;  // an Ogg page that starts a logical stream (its headers follow)
  bool oggHeader = false;        // an Ogg page of the headers that a chain of streams begins with
};

// How long a run of units plays, summed exactly whatever the sample rate (a 26.12 ms MP3 frame
// does not drift over three hours).
class SoundLength {
 public:
  void Add(const RecordUnit& unit);
  uint64_t Nanoseconds() const { return m_ns; }
  uint32_t Seconds() const { return static_cast<uint32_t>(m_ns / 1'000'000'000); }

 private:
  uint64_t m_ns = 0;
  uint64_t m_remainder = 0;  // in units of 1/m_rate nanoseconds
  uint32_t m_rate = 0;
};

// Bytes looked at to find the format; a stream that shows none by then cannot be recorded.
inline constexpr size_t kFormatProbeBytes = 64 * 1024;
// Bytes of an Ogg stream's header pages kept, so that a recording may begin mid-stream.
inline constexpr size_t kMaxOggHeaderBytes = 256 * 1024;

class StreamCutter {
 public:
  // A new connection: everything half read is dropped and the format is found again.
  void Restart();
  // Bytes were lost in between: the half-read unit is dropped, the format stays.
  void Resync();
  // Hands each whole unit the stream holds once `bytes` is added to `onUnit`, in order; when it
  // is called, the cutter's state (format, Ogg headers) is that of the stream up to that unit.
  using UnitSink = std::function<void(RecordUnit&)>;
  void Feed(std::string_view bytes, const UnitSink& onUnit);

  RecordFormat format() const { return m_format; }
  // The file name extension for the format found: "mp3", "mp2", "aac", "ogg"; "" otherwise.
  std::string Extension() const;
  // Ogg: the header pages a file must begin with to play from the next unit on; nullopt when
  // they are not known (the stream was joined mid-way), so a file must wait for a unit that
  // begins a stream.
  std::optional<std::string> OggHeaders() const;

 private:
  void Decide(const UnitSink& onUnit);
  void TakeFrames(std::vector<stream::AudioFrame>& frames, const UnitSink& onUnit);
  void TakePages(std::vector<OggPage>& pages, const UnitSink& onUnit);

  struct OggStream {
    uint32_t serial = 0;
    uint32_t rate = 0;
    int64_t lastGranule = 0;
  };

  RecordFormat m_format = RecordFormat::kFinding;
  int m_mpegLayer = 3;
  std::string m_probe;  // bytes seen while finding the format
  stream::AudioFramer m_framer;
  OggPageReader m_pages;
  std::vector<OggStream> m_oggStreams;  // of the current chain
  std::string m_oggHeaders;
  bool m_oggHeadersKnown = false;
  bool m_inOggHeaders = false;
  bool m_lastPageBegan = false;
};

}  // namespace lumio
