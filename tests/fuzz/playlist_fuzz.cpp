// fuzz-links: lumio_core
// fuzz-max-len: 1114112
// The playlist readers and the playlist classifier on arbitrary bytes: every entry is a usable
// address resolved against the playlist's own (resolving it again changes nothing), holds no
// control byte, there are never more entries than the cap, and no title is longer than a
// title's cap. No reader reads a byte past the playlist byte cap. A body cut anywhere gives
// the first entries of the whole body and never the part of an address the cut left.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "fuzz_memory.h"
#include "stream/playlist.h"
#include "stream/playlist_kind.h"
#include "stream/stream_limits.h"
#include "stream/text_scan.h"
#include "stream/url.h"

namespace lumio::stream {
namespace {

constexpr std::string_view kPlaylistUrl = "http://h.example:8000/dir/list";

std::vector<PlaylistEntry> CheckEntries(const char* reader,
                                        const std::vector<PlaylistEntry>& entries) {
  Check(entries.size() <= limits::kMaxPlaylistEntries, "no more entries than the cap");
  for (const PlaylistEntry& entry : entries) {
    const bool ok = !entry.url.empty() && !HasControlBytes(entry.url) &&
                    ResolveUrl(kPlaylistUrl, entry.url) == entry.url;
    if (!ok) {
      std::fprintf(stderr, "reader: %s\n", reader);
      PrintBytes("entry", entry.url);
    }
    Check(ok, "an entry is a resolved address without control bytes");
    Check(entry.title.size() <= limits::kMaxTitleBytes, "a title within the cap");
  }
  return entries;
}

// The addresses of `cut` are the first addresses of `whole`.
void CheckPrefix(const char* reader, const std::vector<PlaylistEntry>& cut,
                 const std::vector<PlaylistEntry>& whole) {
  bool prefix = cut.size() <= whole.size();
  for (size_t i = 0; prefix && i < cut.size(); ++i)
    prefix = cut[i].url == whole[i].url;
  if (!prefix) std::fprintf(stderr, "reader: %s\n", reader);
  Check(prefix, "a cut body gives the first addresses of the whole body");
}

}  // namespace
}  // namespace lumio::stream

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace lumio::stream;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const lumio::FencedBytes fenced(bytes, limits::kMaxPlaylistBytes);
  const std::string_view read = fenced.view();
  const auto m3u = CheckEntries("M3U", ParseM3u(read, kPlaylistUrl));
  const auto xspf = CheckEntries("XSPF", ParseXspf(read, kPlaylistUrl));
  CheckEntries("PLS", ParsePls(read, kPlaylistUrl));
  CheckEntries("ASX", ParseAsx(read, kPlaylistUrl));

  // PLS and reference files are ordered by their numbers, not by their lines, so only the
  // readers that keep the file's order are held to the prefix.
  const size_t cut = bytes.empty() ? 0 : bytes.size() * static_cast<uint8_t>(bytes[0]) / 255;
  CheckPrefix("M3U", CheckEntries("M3U cut", ParseM3u(read.substr(0, cut), kPlaylistUrl, false)),
              m3u);
  CheckPrefix("XSPF", CheckEntries("XSPF cut", ParseXspf(read.substr(0, cut), kPlaylistUrl, false)),
              xspf);

  // The classifier on the same bytes under a few addresses and types, and on a type and an
  // address made of the bytes themselves; it is given no more than a playlist reader reads.
  const std::string_view probe = bytes.substr(0, limits::kMaxPlaylistBytes);
  static constexpr std::string_view kUrls[] = {"http://h/a.pls", "http://h/a.m3u8", "http://h/a"};
  static constexpr std::string_view kTypes[] = {"", "audio/mpeg", "audio/x-mpegurl; charset=x"};
  for (std::string_view url : kUrls)
    for (std::string_view type : kTypes)
      ClassifyPlaylist(url, type, probe);
  const std::string_view head = probe.substr(0, std::min<size_t>(64, probe.size()));
  const PlaylistKind kind = ClassifyPlaylist(head, head, probe.substr(head.size()));
  CheckEntries("by kind", ParsePlaylist(kind, read, kPlaylistUrl));
  return 0;
}
