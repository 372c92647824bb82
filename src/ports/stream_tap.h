#pragma once
// What a player hands over of a station's stream as it receives it, so that the stream can be
// kept as it was sent: the compressed audio, never decoded and never re-encoded.

#include <string_view>

namespace lumio {

class StreamTap {
 public:
  virtual ~StreamTap() = default;

  // A new connection begins (the first, a reconnect, another of the station's addresses, an HLS
  // discontinuity): the bytes that follow do not continue those before.
  virtual void OnStreamStart() = 0;
  // Audio as received, in order, cut anywhere: MP3 and ADTS frames or Ogg pages as the server
  // sent them, without ICY metadata blocks; from HLS (MPEG-TS or fragmented MP4) the AAC as ADTS
  // frames and MPEG audio as its frames.
  virtual void OnStreamBytes(std::string_view bytes) = 0;
  // The stream names a song ("Artist - Title", GBK), at this point of the bytes.
  virtual void OnStreamTitle(std::string_view title) = 0;
};

}  // namespace lumio
