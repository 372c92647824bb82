#include "history/song_history.h"

#include <cstdio>

#include "store/atomic_file.h"
#include "store/find_text.h"
#include "stream/stream_limits.h"
#include "text/gbk.h"

namespace lumio {
namespace {

// A song takes a line of its own, and the station a field: line ends and other control bytes
// become spaces, and a "|" in the station's name a "/".
std::string Cleaned(std::string_view gbk, bool field) {
  std::string out(CutGbk(gbk, stream::limits::kMaxTitleBytes));
  for (size_t i = 0; i < out.size(); ++i) {
    const auto c = static_cast<unsigned char>(out[i]);
    if (IsGbkLeadByte(c) && i + 1 < out.size()) {
      ++i;
    } else if (c < 0x20 || c == 0x7F) {
      out[i] = ' ';
    } else if (field && c == '|') {
      out[i] = '/';
    }
  }
  return out;
}

bool ReadTime(std::string_view text, uint32_t& time) {
  if (text.empty() || text.size() > 10) return false;
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  if (value > UINT32_MAX) return false;
  time = static_cast<uint32_t>(value);
  return true;
}

}  // namespace

std::vector<HeardSong> ParseSongHistory(std::string_view bytes) {
  std::vector<HeardSong> songs;
  size_t pos = 0;
  while (pos < bytes.size() && songs.size() < kMaxHeardSongs) {
    size_t end = bytes.find('\n', pos);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const int64_t first = FindText(line, "|", 0);
    if (first < 0) continue;
    const int64_t second = FindText(line, "|", static_cast<size_t>(first) + 1);
    if (second < 0) continue;
    HeardSong song;
    if (!ReadTime(line.substr(0, static_cast<size_t>(first)), song.time)) continue;
    song.station.assign(
        line.substr(static_cast<size_t>(first) + 1, static_cast<size_t>(second - first - 1)));
    song.title.assign(line.substr(static_cast<size_t>(second) + 1));
    if (song.title.empty()) continue;
    songs.push_back(std::move(song));
  }
  return songs;
}

std::string FormatSongHistory(const std::vector<HeardSong>& songs) {
  std::string bytes;
  for (const HeardSong& song : songs)
    bytes += std::to_string(song.time) + "|" + song.station + "|" + song.title + "\r\n";
  return bytes;
}

void SongHistory::Load(std::string path) {
  m_path = std::move(path);
  FileRead read = ReadFileBytes(m_path);
  // A history that is there but cannot be read now may be readable again later: it is kept.
  m_writable = read.outcome != FileRead::Outcome::kUnreadable;
  m_songs = ParseSongHistory(read.bytes);
}

bool SongHistory::OnTitle(std::string_view station, std::string_view title, uint32_t utc) {
  HeardSong song{utc, Cleaned(station, true), Cleaned(title, false)};
  if (song.title.find_first_not_of(' ') == std::string::npos) return false;
  if (!m_songs.empty() && m_songs.front().station == song.station &&
      m_songs.front().title == song.title) {
    return false;
  }
  m_songs.insert(m_songs.begin(), std::move(song));
  if (m_songs.size() > kMaxHeardSongs) m_songs.resize(kMaxHeardSongs);
  if (m_writable && !m_path.empty()) WriteFileAtomically(m_path, FormatSongHistory(m_songs));
  return true;
}

std::string SongHistory::AsText(const Clock& clock) const {
  std::string text;
  for (const HeardSong& song : m_songs) {
    const LocalTime t = LocalTimeAt(clock, song.time);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d", t.year, t.month, t.day, t.hour,
                  t.minute);
    text += std::string(stamp) + "  " + song.station + "  " + song.title + "\r\n";
  }
  return text;
}

}  // namespace lumio
