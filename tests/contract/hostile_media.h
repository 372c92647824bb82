#pragma once
// The bytes a hostile or broken station sends, made from the tests' own media: pure functions,
// so that what each route serves can be read in one place.

#include <cstddef>
#include <string>

namespace lumio::test {

// An MPEG transport stream of one AAC program whose audio PES says "length 0" (until the next
// one) and never ends: the stream's start (PAT, PMT, the PES header) and then packets that
// carry `adts` on and on. `*loop_from` is where a server sending it endlessly starts over; the
// packets from there on keep their continuity counters in step across the restart.
std::string EndlessPesStream(const std::string& adts, size_t* loop_from);

// A live HLS media playlist (no end) naming `segments` (addresses as written) of `seconds` each,
// with `target_duration` written as given.
std::string LivePlaylist(const std::string& target_duration, const std::string& segments,
                         double seconds);

// A playlist of `bytes` bytes or more: ASX or XSPF whose one entry points at `entry` and
// whose title is `bytes` of "&"; or M3U lines of one letter each (relative to the playlist).
std::string AsxWithAmpersandTitle(const std::string& entry, size_t bytes);
std::string XspfWithAmpersandTitle(const std::string& entry, size_t bytes);
std::string M3uOfOneLetterEntries(size_t bytes);

// An M3U of two entries, `first` and `cut` + `rest`, padded with comments so that its first
// `cut_at` bytes end exactly after `cut`: the last line read is an address that plays, though
// the line goes on.
std::string M3uWithLineCutAt(const std::string& first, const std::string& cut,
                             const std::string& rest, size_t cut_at);

// RFC 4648 base64 of `bytes`, for a data: address.
std::string Base64(const std::string& bytes);

}  // namespace lumio::test
