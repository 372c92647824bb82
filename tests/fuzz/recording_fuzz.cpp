// fuzz-links: lumio_core
// What the recorder and the timers read from strangers' bytes: a station's stream cut into
// the units a recording is made of, and the task and history files a listener may have edited.
// Every unit is a whole frame or a CRC-sound page and no more comes out than went in; a task
// or a song read back from what was written is the same.

#include <cstdint>
#include <string_view>

#include "fuzz_check.h"
#include "history/song_history.h"
#include "recording/cue_sheet.h"
#include "recording/stream_cutter.h"
#include "schedule/task_list.h"
#include "stream/audio_frame_header.h"
#include "stream_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace lumio;
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  StreamCutter cutter;
  size_t in = 0;
  size_t out = 0;
  std::vector<CueTrack> tracks;
  SoundLength length;
  uint32_t pieces = 0;
  stream::FeedInChunks(input, stream::ChunkSeed(input), [&](std::string_view chunk) {
    in += chunk.size();
    // Now and then the connection starts again or loses bytes, as a real one does.
    if (++pieces % 23 == 0) cutter.Restart();
    if (pieces % 17 == 0) cutter.Resync();
    cutter.Feed(chunk, [&](RecordUnit& unit) {
      out += unit.bytes.size();
      length.Add(unit);
      if (cutter.format() == RecordFormat::kOgg) {
        size_t pageLength = 0;
        Check(CheckOggPage(unit.bytes, pageLength) == OggPageCheck::kPage &&
                  pageLength == unit.bytes.size(),
              "an Ogg unit is one whole page whose CRC holds");
      } else {
        const auto header = stream::ParseAudioFrameHeader(unit.bytes);
        Check(header && header->frame_length == unit.bytes.size(),
              "an audio unit is one whole frame");
      }
      if (tracks.size() < 5) tracks.push_back({length.Nanoseconds(), unit.bytes.substr(0, 40)});
    });
  });
  Check(out <= in, "no more bytes out than in");
  CueSheet(input.substr(0, 30), "MP3", input.substr(0, 10), tracks);

  const TaskFileContents contents = ParseTaskFile(input);
  const TaskFileContents again = ParseTaskFile(FormatTaskFile(contents.tasks, contents.otherLines));
  Check(again.tasks == contents.tasks, "tasks read back from what was written are the same");
  Check(again.otherLines == contents.otherLines, "the lines that are no task are kept");

  const std::vector<HeardSong> songs = ParseSongHistory(input);
  Check(ParseSongHistory(FormatSongHistory(songs)) == songs,
        "songs read back from what was written are the same");
  return 0;
}
