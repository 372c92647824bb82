#pragma once
// The CUE sheet beside a recording: one track per song the stream named, so that players that
// read CUE sheets show the songs as tracks of the recording.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumio {

struct CueTrack {
  uint64_t startNs = 0;  // where the song begins in the recorded sound
  std::string title;     // as the stream named it, "Artist - Title" (GBK)
};

// The format numbers tracks 01 to 99; the last one listed runs to the end of the recording.
inline constexpr int kMaxCueTracks = 99;

// "mm:ss:ff" of a time in the recording, ff in 75ths of a second (minutes may pass 99).
std::string CueTime(uint64_t nanoseconds);

// The sheet in UTF-8 with a byte order mark and CR LF lines: the recording's file name,
// `fileType` ("MP3", "WAVE"), the station as the album's title, and per track TITLE and
// PERFORMER from "Artist - Title" (the whole text as TITLE when it has no " - ") and INDEX 01.
// Quotes in the texts become single quotes, since the format has no way to escape them. At
// most kMaxCueTracks tracks.
std::string CueSheet(std::string_view audioFileNameGbk, std::string_view fileType,
                     std::string_view stationGbk, const std::vector<CueTrack>& tracks);

}  // namespace lumio
