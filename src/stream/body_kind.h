#pragma once
// What the body of a server's answer is, decided in one place for both players from what every
// fetcher knows at the start: the address, the Content-Type header and the first bytes. Bytes
// that are certain win (stations send MP3 as text/html and playlists as audio/mpeg), then the
// type, then the address's extension. A pure function of its inputs, so that a decoder's probe
// may call it on a streaming thread and reach the same verdict as the station attempt.

#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "stream/playlist_kind.h"

namespace lumio::stream {

// Containers and codecs a station may send besides MPEG audio and ADTS AAC, which every
// player decodes. Which of these a player decodes is the one place where the players differ.
enum class MediaFormat : uint8_t { kOgg, kFlac, kAsf, kMp4, kWav, kMpegTs };

// The formats a player decodes.
class FormatSet {
 public:
  constexpr FormatSet() = default;
  constexpr FormatSet(std::initializer_list<MediaFormat> formats) {
    for (MediaFormat format : formats)
      bits_ |= Bit(format);
  }
  constexpr bool Has(MediaFormat format) const { return (bits_ & Bit(format)) != 0; }
  constexpr FormatSet& Add(MediaFormat format) {
    bits_ |= Bit(format);
    return *this;
  }

 private:
  static constexpr uint32_t Bit(MediaFormat format) { return 1u << static_cast<unsigned>(format); }
  uint32_t bits_ = 0;
};

enum class BodyKind {
  kAudio,     // MPEG audio or ADTS frames, or nothing that says otherwise: for the decoders
  kFormat,    // a container the bytes name (Body::format)
  kPlaylist,  // a station playlist (Body::playlist)
  kHls,       // an HLS playlist
  kPage,      // a web page or other text that is no stream
};

struct Body {
  BodyKind kind = BodyKind::kAudio;
  PlaylistKind playlist = PlaylistKind::kNone;  // of kPlaylist
  MediaFormat format = MediaFormat::kOgg;       // of kFormat
  bool operator==(const Body&) const = default;
};

// What `url` answered with `content_type` (as sent, parameters allowed) and `first_bytes` (the
// start of the body, cut anywhere, possibly empty). Only the first limits::kProbeBytes count.
Body ClassifyBody(std::string_view url, std::string_view content_type,
                  std::string_view first_bytes);

// True when a player that decodes `formats` hands `body` to its decoders: audio, and the
// formats it has.
bool DecodersTake(const Body& body, FormatSet formats);

// "Ogg", "FLAC", "Windows Media (ASF)", ...: how a reason names the format.
std::string_view MediaFormatName(MediaFormat format);

}  // namespace lumio::stream
