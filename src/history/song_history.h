#pragma once
// The songs heard: each title a station named while it played, with the station and the time,
// the newest first and at most 200, kept in config/songlst.ini. A title the stream repeats
// (every few seconds, and again after a reconnect) is one song.
//
// The file: one song per CR LF line, GBK, "<UTC seconds>|<station>|<title>", newest first;
// the title is the rest of the line, so a "|" in it survives. Lines that do not read are
// skipped. Written atomically; a file that exists but cannot be read is not written over.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ports/clock.h"

namespace lumio {

inline constexpr size_t kMaxHeardSongs = 200;
inline constexpr char kSongHistoryFileName[] = "songlst.ini";

struct HeardSong {
  uint32_t time = 0;    // UTC seconds
  std::string station;  // GBK, without "|"
  std::string title;    // GBK
  bool operator==(const HeardSong&) const = default;
};

// The songs of a history file's bytes, newest first, at most kMaxHeardSongs.
std::vector<HeardSong> ParseSongHistory(std::string_view bytes);
std::string FormatSongHistory(const std::vector<HeardSong>& songs);

class SongHistory {
 public:
  // Reads the history from `path`, where it is saved from now on.
  void Load(std::string path);
  // The station `station` names `title` at `utc` (GBK texts). False when it is no new song: an
  // empty title, or the newest song again.
  bool OnTitle(std::string_view station, std::string_view title, uint32_t utc);

  const std::vector<HeardSong>& Songs() const { return m_songs; }
  // The history as text to copy (GBK): "YYYY-MM-DD HH:MM  <station>  <title>" per song in local
  // time, newest first, each line ending in CR LF.
  std::string AsText(const Clock& clock) const;

 private:
  std::string m_path;
  bool m_writable = false;
  std::vector<HeardSong> m_songs;
};

}  // namespace lumio
