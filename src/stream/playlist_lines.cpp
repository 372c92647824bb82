// The line-based playlists: PLS, Windows Media reference files and M3U.
#include <algorithm>
#include <map>

#include "stream/playlist.h"
#include "stream/stream_limits.h"
#include "stream/stream_text.h"
#include "stream/text_scan.h"
#include "stream/url.h"

namespace lumio::stream {
namespace {

bool IsUsableEntry(std::string_view url) {
  url = Trim(url);
  return !url.empty() && !HasControlBytes(url);
}

void AddEntry(std::string_view url, std::string_view title, std::string_view playlist_url,
              std::vector<PlaylistEntry>& out) {
  if (!IsUsableEntry(url)) return;
  out.push_back({ResolveUrl(playlist_url, Trim(url)), StreamTitleForListener(Trim(title))});
}

// A key "<prefix><number>" (prefix compared without case): the number, or -1.
long long NumberedKey(std::string_view key, std::string_view prefix) {
  if (prefix.empty() || !StartsWithIgnoreCase(key, prefix)) return -1;
  return ParseDecimal(key.substr(prefix.size()));
}

// The text a line-based reader reads: within the byte cap, and without a last line that a cut
// may have shortened.
std::string_view LinesRead(std::string_view bytes, bool whole) {
  bytes = PlaylistBytesRead(bytes, whole);
  return StripUtf8Bom(whole ? bytes : WholeLines(bytes));
}

// An INI-style list: in section `section`, `prefix`N= addresses in the order of N (the first
// of a repeated N wins), `title_prefix`N= titles (none when it is empty). Keys before any
// section count too.
std::vector<PlaylistEntry> ParseNumberedList(std::string_view bytes, bool whole,
                                             std::string_view section, std::string_view prefix,
                                             std::string_view title_prefix,
                                             std::string_view playlist_url) {
  // Only the lowest numbers are kept, so the list never holds more than the cap.
  std::map<long long, std::string_view> urls;
  std::map<long long, std::string_view> titles;
  bool in_section = true;
  std::string_view text = LinesRead(bytes, whole);
  std::string_view line;
  while (NextLine(text, line)) {
    line = Trim(line);
    if (line.starts_with('[')) {
      const size_t close = line.find(']');
      in_section = close != std::string_view::npos &&
                   EqualsIgnoreCase(Trim(line.substr(1, close - 1)), section);
      continue;
    }
    const size_t equals = line.find('=');
    if (!in_section || equals == std::string_view::npos) continue;
    const std::string_view key = Trim(line.substr(0, equals));
    const std::string_view value = line.substr(equals + 1);
    if (const long long n = NumberedKey(key, prefix); n >= 0 && IsUsableEntry(value)) {
      urls.emplace(n, value);
      if (urls.size() > limits::kMaxPlaylistEntries) urls.erase(std::prev(urls.end()));
    }
    if (const long long n = NumberedKey(key, title_prefix); n >= 0) titles.emplace(n, value);
  }
  std::vector<PlaylistEntry> out;
  for (const auto& [n, url] : urls) {
    const auto title = titles.find(n);
    AddEntry(url, title == titles.end() ? std::string_view() : title->second, playlist_url, out);
  }
  return out;
}

// The title of "#EXTINF:duration[ attributes],title": the text after the first comma that is
// not inside the quotes of an attribute (IPTV lists put tvg-name="a, b" there).
std::string_view ExtinfTitle(std::string_view line) {
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (line[i] == ',' && !quoted) return line.substr(i + 1);
  }
  return {};
}

}  // namespace

std::string_view PlaylistBytesRead(std::string_view bytes, bool& whole) {
  if (bytes.size() <= limits::kMaxPlaylistBytes) return bytes;
  whole = false;
  return bytes.substr(0, limits::kMaxPlaylistBytes);
}

std::vector<PlaylistEntry> ParsePls(std::string_view bytes, std::string_view playlist_url,
                                    bool whole) {
  return ParseNumberedList(bytes, whole, "playlist", "file", "title", playlist_url);
}

std::vector<PlaylistEntry> ParseReferenceFile(std::string_view bytes, std::string_view playlist_url,
                                              bool whole) {
  return ParseNumberedList(bytes, whole, "reference", "ref", {}, playlist_url);
}

std::vector<PlaylistEntry> ParseM3u(std::string_view bytes, std::string_view playlist_url,
                                    bool whole) {
  std::vector<PlaylistEntry> out;
  std::string_view title;
  std::string_view text = LinesRead(bytes, whole);
  std::string_view line;
  while (out.size() < limits::kMaxPlaylistEntries && NextLine(text, line)) {
    line = Trim(line);
    if (line.empty()) continue;
    if (line.starts_with('#')) {
      if (StartsWithIgnoreCase(line, "#EXTINF:")) title = ExtinfTitle(line);
      continue;
    }
    AddEntry(line, title, playlist_url, out);
    title = {};
  }
  return out;
}

std::vector<PlaylistEntry> ParsePlaylist(PlaylistKind kind, std::string_view bytes,
                                         std::string_view playlist_url, bool whole) {
  switch (kind) {
    case PlaylistKind::kPls:
      return ParsePls(bytes, playlist_url, whole);
    case PlaylistKind::kM3u:
      return ParseM3u(bytes, playlist_url, whole);
    case PlaylistKind::kAsx:
      return ParseAsx(bytes, playlist_url, whole);
    case PlaylistKind::kXspf:
      return ParseXspf(bytes, playlist_url, whole);
    case PlaylistKind::kHls:
    case PlaylistKind::kNone:
      break;
  }
  return {};
}

}  // namespace lumio::stream
