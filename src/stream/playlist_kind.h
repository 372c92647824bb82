#pragma once
// Telling a playlist from a stream before parsing it, from what a fetcher knows: the address,
// the Content-Type header and the first bytes of the body.

#include <optional>
#include <string_view>

namespace lumio::stream {

enum class PlaylistKind { kNone, kPls, kM3u, kAsx, kXspf, kHls };

// The kind of playlist the response is, or kNone for a stream (or anything else). Bytes that
// are certain win (a body starting "[playlist]", "<asx", an XML "<playlist", "#EXTM3U" with
// "#EXT-X-" tags, or binary media); then a playlist content type (case-insensitive,
// parameters ignored); then, unless the type names another media type, the address's
// extension; last, a text body whose first entry is an address reads as M3U.
// `first_bytes` may be empty (not fetched yet) and may end anywhere.
PlaylistKind ClassifyPlaylist(std::string_view url, std::string_view content_type,
                              std::string_view first_bytes);

// What the bytes alone prove: a playlist of a kind, or kNone for binary media (which no
// playlist is); nullopt when they prove nothing (text that is no playlist, or too few bytes).
std::optional<PlaylistKind> PlaylistKindOfBytes(std::string_view first_bytes);

}  // namespace lumio::stream
