#pragma once
// Station playlists: the entries a PLS, M3U, ASX or XSPF file lists, in order. Each entry's
// address is resolved against the playlist's own address; entries that cannot be an address
// (empty, or holding control bytes) are left out. Titles are cut as stream titles are
// (StreamTitleForListener in stream_text.h), empty where the file gives none. HLS playlists
// have their own reader (hls_playlist.h).
//
// A playlist is a server's answer and is read within the limits (stream_limits.h): only its
// first limits::kMaxPlaylistBytes are read (a longer body counts as cut there), and reading
// stops once limits::kMaxPlaylistEntries entries are taken. `whole` false says that the body
// was cut (the connection dropped, or the fetcher stopped at the cap): its last line, which
// may be a part of an address, is left out, and so is an element the cut runs through.

#include <string>
#include <string_view>
#include <vector>

#include "stream/playlist_kind.h"

namespace lumio::stream {

struct PlaylistEntry {
  std::string url;
  std::string title;
  bool operator==(const PlaylistEntry&) const = default;
};

// "[playlist]" files: FileN= in the order of N (NumberOfEntries is not trusted), TitleN= for
// titles; keys case-insensitive; keys of other sections are ignored. Past the entry cap, the
// entries of the lowest numbers are taken.
std::vector<PlaylistEntry> ParsePls(std::string_view bytes, std::string_view playlist_url,
                                    bool whole = true);

// M3U and extended M3U: every line that is not blank or a "#" comment is an entry; an
// "#EXTINF:duration,title" line names the entry after it. CR LF, LF or CR line ends, BOM skipped.
std::vector<PlaylistEntry> ParseM3u(std::string_view bytes, std::string_view playlist_url,
                                    bool whole = true);

// Windows Media reference files: "[Reference]", RefN= in the order of N.
std::vector<PlaylistEntry> ParseReferenceFile(std::string_view bytes, std::string_view playlist_url,
                                              bool whole = true);

// ASX: the href of every <ref> and <entryref>, in order; an entry's <title> titles its refs.
// A reference file (served for .asx addresses as often as ASX itself) is read as such.
std::vector<PlaylistEntry> ParseAsx(std::string_view bytes, std::string_view playlist_url,
                                    bool whole = true);

// XSPF: every <location> of every <track>, in order, titled by the track's <title>.
std::vector<PlaylistEntry> ParseXspf(std::string_view bytes, std::string_view playlist_url,
                                     bool whole = true);

// The entries of a playlist of `kind`; empty for kNone and kHls.
std::vector<PlaylistEntry> ParsePlaylist(PlaylistKind kind, std::string_view bytes,
                                         std::string_view playlist_url, bool whole = true);

// The part of `bytes` a playlist reader reads: at most limits::kMaxPlaylistBytes; `whole` is
// cleared when bytes past the cap are left unread.
std::string_view PlaylistBytesRead(std::string_view bytes, bool& whole);

}  // namespace lumio::stream
