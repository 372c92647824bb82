#include "stream/id3v2.h"

#include <cstdint>

#include "stream/stream_text.h"

namespace lumio::stream {
namespace {

uint8_t Byte(std::string_view bytes, size_t i) {
  return static_cast<uint8_t>(bytes[i]);
}

// A 28-bit "syncsafe" number: four bytes of seven bits; nullopt when a byte has its top bit.
std::optional<size_t> Syncsafe(std::string_view bytes) {
  size_t value = 0;
  for (size_t i = 0; i < 4; ++i) {
    if (Byte(bytes, i) & 0x80) return std::nullopt;
    value = (value << 7) | Byte(bytes, i);
  }
  return value;
}

size_t BigEndian(std::string_view bytes) {
  size_t value = 0;
  for (char c : bytes)
    value = (value << 8) | static_cast<uint8_t>(c);
  return value;
}

// Undoes unsynchronisation: every 0xFF 0x00 loses its 0x00.
std::string Resynchronise(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) {
    out += bytes[i];
    if (Byte(bytes, i) == 0xFF && i + 1 < bytes.size() && bytes[i + 1] == '\0') ++i;
  }
  return out;
}

// A text frame's first string as GBK. Single-byte text (declared Latin-1) is in practice the
// writer's code page, GBK in the tags of Chinese stations, so it goes through the same rule as
// every stream text.
std::string TextFrame(std::string_view data) {
  if (data.empty()) return {};
  const uint8_t encoding = Byte(data, 0);
  data.remove_prefix(1);
  if (encoding == 1 || encoding == 2) {
    bool big_endian = encoding == 2;
    if (data.size() >= 2 && Byte(data, 0) == 0xFF && Byte(data, 1) == 0xFE) {
      big_endian = false;
      data.remove_prefix(2);
    } else if (data.size() >= 2 && Byte(data, 0) == 0xFE && Byte(data, 1) == 0xFF) {
      big_endian = true;
      data.remove_prefix(2);
    }
    for (size_t i = 0; i + 1 < data.size(); i += 2) {
      if (data[i] == '\0' && data[i + 1] == '\0') {
        data = data.substr(0, i);
        break;
      }
    }
    return StreamTextToGbk(Utf16ToUtf8(data, big_endian));
  }
  return StreamTextToGbk(data.substr(0, data.find('\0')));
}

}  // namespace

std::optional<size_t> Id3v2TagSize(std::string_view bytes) {
  if (bytes.size() < kId3HeaderSize || !bytes.starts_with("ID3")) return std::nullopt;
  if (Byte(bytes, 3) == 0xFF || Byte(bytes, 4) == 0xFF) return std::nullopt;
  const std::optional<size_t> body = Syncsafe(bytes.substr(6, 4));
  if (!body) return std::nullopt;
  const bool footer = Byte(bytes, 3) >= 4 && (Byte(bytes, 5) & 0x10);
  return kId3HeaderSize + *body + (footer ? kId3HeaderSize : 0);
}

std::optional<std::string> ReadId3Title(std::string_view tag) {
  const std::optional<size_t> size = Id3v2TagSize(tag);
  if (!size) return std::nullopt;
  const uint8_t version = Byte(tag, 3);
  const uint8_t flags = Byte(tag, 5);
  if (version < 2 || version > 4) return std::nullopt;
  const size_t body_size = *Syncsafe(tag.substr(6, 4));
  std::string body(tag.substr(kId3HeaderSize, body_size));
  if ((flags & 0x80) && version < 4) body = Resynchronise(body);
  std::string_view frames = body;
  if (flags & 0x40) {
    if (version == 2) return std::nullopt;  // compressed, which no one implements
    if (frames.size() < 4) return std::nullopt;
    const size_t extended = version == 3 ? 4 + BigEndian(frames.substr(0, 4))
                                         : Syncsafe(frames.substr(0, 4)).value_or(0);
    if (extended < 4 || extended > frames.size()) return std::nullopt;
    frames.remove_prefix(extended);
  }

  const size_t id_size = version == 2 ? 3 : 4;
  const size_t header_size = version == 2 ? 6 : 10;
  std::string title;
  std::string artist;
  while (frames.size() >= header_size && frames[0] != '\0') {
    const std::string_view id = frames.substr(0, id_size);
    std::optional<size_t> frame_size;
    if (version == 2) frame_size = BigEndian(frames.substr(3, 3));
    if (version == 3) frame_size = BigEndian(frames.substr(4, 4));
    if (version == 4) frame_size = Syncsafe(frames.substr(4, 4));
    if (!frame_size) break;
    const uint8_t format = version == 2 ? 0 : Byte(frames, 9);
    frames.remove_prefix(header_size);
    std::string_view data = frames.substr(0, std::min(*frame_size, frames.size()));
    frames.remove_prefix(data.size());
    // Compressed or encrypted frames are not for us.
    if (version == 3 && (format & 0xC0)) continue;
    if (version == 4 && (format & 0x0C)) continue;
    // Version 2.4 puts a group byte and a data length before the (maybe unsynchronised) data.
    if (version == 4 && (format & 0x40)) data.remove_prefix(std::min<size_t>(1, data.size()));
    if (version == 4 && (format & 0x01)) data.remove_prefix(std::min<size_t>(4, data.size()));
    std::string resynchronised;
    if (version == 4 && (format & 0x02)) {
      resynchronised = Resynchronise(data);
      data = resynchronised;
    }
    if ((id == "TIT2" || id == "TT2") && title.empty()) title = TextFrame(data);
    if ((id == "TPE1" || id == "TP1") && artist.empty()) artist = TextFrame(data);
  }
  if (!title.empty() && !artist.empty()) return artist + " - " + title;
  if (title.empty() && artist.empty()) return std::nullopt;
  return title.empty() ? artist : title;
}

}  // namespace lumio::stream
