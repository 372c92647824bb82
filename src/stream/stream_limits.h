#pragma once
// How much of what a station's server sends the players take, in one table. A server is a
// stranger: every size it controls is bounded here, and both players enforce the same bounds,
// so that a hostile or broken station costs the same little memory and time on every platform.
// Parsers stop reading at their cap (what came before it counts); anything held in memory
// while a stream plays stays below its cap however long the stream runs.

#include <cstddef>
#include <cstdint>

namespace lumio::stream::limits {

// --- Requests -------------------------------------------------------------------------------
// Header bytes of one response; a longer head is not a radio server.
inline constexpr size_t kMaxResponseHeaderBytes = 64 * 1024;
// Redirects one address may take; one more is a loop and the address is unreachable.
inline constexpr int kMaxRedirects = 5;
// Bytes of one address as it is opened (a station's, a playlist entry's, a redirect's, an HLS
// variant's, segment's, key's or section's, resolved): longer is not opened. Signed CDN
// addresses run to a few KiB; the bound keeps what an HLS playlist's addresses cost bounded.
inline constexpr size_t kMaxAddressBytes = 8 * 1024;
// Bytes at the start of a body that decide what it is (audio, a playlist, HLS, a page).
inline constexpr size_t kProbeBytes = 4096;
// Bytes of a body taken for MPEG audio or AAC (by its type, or for want of anything telling)
// in which no frame has shown yet: past this, what the station sends is no audio.
inline constexpr size_t kMaxBytesBeforeFirstFrame = 64 * 1024;
// Body bytes received and not yet decoded (the network waits above this).
inline constexpr size_t kMaxBodyBytesHeld = 256 * 1024;

// --- Station playlists (PLS, M3U, ASX, XSPF) ------------------------------------------------
// Bytes of a playlist read; a playlist cut here is parsed as far as its last whole line.
inline constexpr size_t kMaxPlaylistBytes = 64 * 1024;
// Entries of one playlist taken (parsing stops here).
inline constexpr size_t kMaxPlaylistEntries = 16;
// Playlists inside playlists.
inline constexpr int kMaxPlaylistDepth = 2;

// --- HLS ------------------------------------------------------------------------------------
// Bytes of a master or media playlist read (a long VOD playlist is about this big).
inline constexpr size_t kMaxHlsPlaylistBytes = 1024 * 1024;
// Segments of one media playlist kept: the last ones (the live edge). About 2 hours of usual
// segments; each holds up to three addresses, so a playlist costs a few MiB at most.
inline constexpr size_t kMaxHlsSegments = 1024;
// Master playlists passed through on the way to a media playlist.
inline constexpr int kMaxHlsPlaylistHops = 3;
// The target duration a playlist may state, in seconds; a value outside is taken as the
// nearer end (NaN and infinities included: as the largest).
inline constexpr double kMinHlsTargetDurationSeconds = 1.0;
inline constexpr double kMaxHlsTargetDurationSeconds = 60.0;
// However short the target duration, a media playlist is fetched at most once this often.
inline constexpr int32_t kMinHlsReloadIntervalMs = 1000;
// Bytes of one HLS segment taken. A player that reads a segment only at the pace of its sound
// needs no such cap; one whose demuxer takes a segment as fast as it comes gives up the open
// here, before a segment without end fills the memory. Ten seconds of audio are well below a
// MiB, and so are most segments that also carry pictures.
inline constexpr size_t kMaxHlsSegmentBytes = 8 * 1024 * 1024;
// Bytes of one MPEG-TS PES packet gathered; a longer one (length 0: "until the next") is
// handed on in pieces of at most this size.
inline constexpr size_t kMaxPesBytes = 256 * 1024;
// Bytes of one box of fragmented MP4 (HLS) held whole to be read: the init section's movie box,
// a fragment's moof, an event message. A larger one is skipped unread: a movie box leaves the
// stream without a track to play, a moof loses its fragment's sound. Sample data is never held
// whole, however long its box says it is.
inline constexpr size_t kMaxMp4HeldBoxBytes = 1024 * 1024;

// --- Sound and text -------------------------------------------------------------------------
// Decoded sound held ahead of the sound device, also while one long segment is decoded.
inline constexpr int64_t kMaxDecodedAheadMs = 10000;
// Bytes of a stream title kept (GBK, cut at a character boundary): more than any window shows.
inline constexpr size_t kMaxTitleBytes = 256;
// The icy-metaint values a server may announce; any other value (0, negative, not a number,
// too large) means the stream carries no in-band titles, and the stream still plays.
inline constexpr uint64_t kMinIcyMetaint = 1;
inline constexpr uint64_t kMaxIcyMetaint = 1024 * 1024;
// Bytes of one ICY metadata block (its length byte allows 255 × 16).
inline constexpr size_t kMaxIcyMetadataBytes = 255 * 16;

}  // namespace lumio::stream::limits
