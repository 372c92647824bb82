#pragma once
// HLS playlists (RFC 8216): a master playlist lists variants of one stream, a media playlist
// lists its segments. URIs are resolved against the playlist's own address.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lumio::stream {

struct HlsVariant {
  std::string uri;
  uint64_t bandwidth = 0;  // bits per second; 0 when not given
  uint64_t average_bandwidth = 0;
  std::string codecs;  // e.g. "mp4a.40.2"; empty when not given
};

// How the segments after an #EXT-X-KEY tag are encrypted.
struct HlsKey {
  enum class Method {
    kNone,
    kAes128,  // each segment whole: AES-128 in CBC mode, PKCS7 padding
    // SAMPLE-AES, another method, a key format other than "identity", or a tag that cannot be
    // used (an AES-128 key without an address, an IV that is no 128-bit number).
    kUnsupported,
  };
  Method method = Method::kNone;
  std::string name;  // the method as written, or what makes the tag unusable (for messages)
  std::string uri;   // of the key, resolved against the playlist; empty unless kAes128
  std::string iv;    // 16 bytes when the tag gives an IV, else empty
  bool operator==(const HlsKey&) const = default;
};

// The IV `key` decrypts the segment numbered `sequence` with: the tag's own, else the media
// sequence number, big-endian in 16 bytes.
std::string HlsKeyIv(const HlsKey& key, uint64_t sequence);

// An #EXT-X-MAP: the initialisation section the segments after it start from (fragmented MP4).
struct HlsMap {
  std::string uri;  // resolved; empty: none
  uint64_t range_offset = 0;
  uint64_t range_length = 0;  // 0: the whole resource
  HlsKey key;                 // the key in force at the tag: the section is encrypted with it
  bool operator==(const HlsMap&) const = default;
};

struct HlsSegment {
  std::string uri;
  uint64_t sequence = 0;       // the media sequence number
  double duration = 0;         // seconds, never negative
  std::string title;           // GBK, cut as StreamTitleForListener cuts
  bool discontinuity = false;  // an #EXT-X-DISCONTINUITY comes before it
  // Encrypted with a method other than NONE (key.method is not kNone).
  bool encrypted = false;
  HlsKey key;
  HlsMap map;  // the last #EXT-X-MAP before it; no URI: none
  // #EXT-X-BYTERANGE: only these bytes of the resource (length 0: the whole resource).
  uint64_t range_offset = 0;
  uint64_t range_length = 0;
  bool operator==(const HlsSegment&) const = default;
};

struct HlsMediaPlaylist {
  // Seconds, within [limits::kMinHlsTargetDurationSeconds, kMaxHlsTargetDurationSeconds]
  // (stream_limits.h); 0 when the playlist states none.
  double target_duration = 0;
  uint64_t media_sequence = 0;       // the sequence number of the first segment
  std::vector<HlsSegment> segments;  // the last limits::kMaxHlsSegments of the playlist
  bool ended = false;                // #EXT-X-ENDLIST: no segments will be added
  // #EXT-X-MAP: segments need an initialisation section (fragmented MP4), not transport stream.
  bool has_init_section = false;

  // True when any segment is encrypted.
  bool HasEncryptedSegments() const;
};

struct HlsPlaylist {
  enum class Type { kInvalid, kMaster, kMedia };
  Type type = Type::kInvalid;        // kInvalid: no "#EXTM3U" first line
  std::vector<HlsVariant> variants;  // of a master playlist, in file order
  HlsMediaPlaylist media;            // of a media playlist
};

// Reads a master or a media playlist (a playlist with #EXT-X-STREAM-INF is a master). Tags
// and attributes it does not know are skipped; a segment tag without a URI line is dropped.
// Only the first limits::kMaxHlsPlaylistBytes are read (a longer body counts as cut there);
// `whole` false says that the body was cut, and its last line is left out.
HlsPlaylist ParseHlsPlaylist(std::string_view bytes, std::string_view playlist_url,
                             bool whole = true);

// The NAME=VALUE pairs of an attribute list; a quoted value loses its quotes and may hold
// commas. Names are kept as written.
std::vector<std::pair<std::string, std::string>> ParseHlsAttributes(std::string_view list);

}  // namespace lumio::stream
