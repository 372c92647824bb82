#pragma once
// Ogg pages, the units an Ogg stream (Vorbis, Opus, FLAC, Speex) is cut at: found in a stream
// cut anywhere, each checked by its CRC, so a recording holds only whole, sound pages.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumio {

struct OggPage {
  std::string bytes;  // the whole page, header included
  uint32_t serial = 0;
  int64_t granule = -1;  // -1: no packet ends on this page
  bool beginsStream = false;
  // The first packet that begins on this page (a stream's first page holds the codec's
  // identification header there); empty when the page only continues a packet.
  std::string_view FirstPacket() const;
};

// The longest page the format allows: a 27-byte header, 255 lacing values, 255 × 255 bytes.
inline constexpr size_t kMaxOggPageBytes = 27 + 255 + 255 * 255;

enum class OggPageCheck { kPage, kNotAPage, kNeedMore };
// Whether `bytes` starts with a whole page whose CRC is right; `length` gets its length.
OggPageCheck CheckOggPage(std::string_view bytes, size_t& length);

// Samples per second of the codec whose identification header is `packet` (Vorbis, Opus,
// FLAC, Speex); 0 for another codec.
uint32_t OggCodecRate(std::string_view packet);

class OggPageReader {
 public:
  // Appends to `pages` each whole page the stream holds once `bytes` is added; bytes that are
  // no page are dropped and counted.
  void Feed(std::string_view bytes, std::vector<OggPage>& pages);
  uint64_t dropped_bytes() const { return m_dropped; }

 private:
  std::string m_buffer;
  size_t m_pos = 0;
  uint64_t m_dropped = 0;
};

}  // namespace lumio
