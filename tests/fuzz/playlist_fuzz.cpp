// fuzz-links: lumio_core
// The playlist readers and the playlist classifier on arbitrary bytes: every entry is a usable
// address resolved against the playlist's own (resolving it again changes nothing), holds no
// control byte, and there are never more entries than the bytes could hold.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "stream/playlist.h"
#include "stream/playlist_kind.h"
#include "stream/text_scan.h"
#include "stream/url.h"

namespace lumio::stream {
namespace {

constexpr std::string_view kPlaylistUrl = "http://h.example:8000/dir/list";

void CheckEntries(const char* reader, std::string_view bytes,
                  const std::vector<PlaylistEntry>& entries) {
  Check(entries.size() <= bytes.size(), "no more entries than bytes");
  for (const PlaylistEntry& entry : entries) {
    const bool ok = !entry.url.empty() && !HasControlBytes(entry.url) &&
                    ResolveUrl(kPlaylistUrl, entry.url) == entry.url;
    if (!ok) {
      std::fprintf(stderr, "reader: %s\n", reader);
      PrintBytes("entry", entry.url);
    }
    Check(ok, "an entry is a resolved address without control bytes");
  }
}

}  // namespace
}  // namespace lumio::stream

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace lumio::stream;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckEntries("PLS", bytes, ParsePls(bytes, kPlaylistUrl));
  CheckEntries("M3U", bytes, ParseM3u(bytes, kPlaylistUrl));
  CheckEntries("ASX", bytes, ParseAsx(bytes, kPlaylistUrl));
  CheckEntries("XSPF", bytes, ParseXspf(bytes, kPlaylistUrl));

  // The classifier on the same bytes under a few addresses and types, and on a type and an
  // address made of the bytes themselves.
  static constexpr std::string_view kUrls[] = {"http://h/a.pls", "http://h/a.m3u8", "http://h/a"};
  static constexpr std::string_view kTypes[] = {"", "audio/mpeg", "audio/x-mpegurl; charset=x"};
  for (std::string_view url : kUrls)
    for (std::string_view type : kTypes)
      ClassifyPlaylist(url, type, bytes);
  const std::string_view head = bytes.substr(0, std::min<size_t>(64, bytes.size()));
  const PlaylistKind kind = ClassifyPlaylist(head, head, bytes.substr(head.size()));
  CheckEntries("by kind", bytes, ParsePlaylist(kind, bytes, kPlaylistUrl));
  return 0;
}
