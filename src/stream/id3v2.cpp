#include "stream/id3v2.h"

#include <algorithm>
#include <cstdint>

#include "stream/stream_limits.h"
#include "stream/stream_text.h"
#include "text/gbk.h"

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

// Reads tag bytes from which unsynchronisation may have to be undone (every 0xFF 0x00 loses
// its 0x00) without copying them: a tag can be as long as a segment, its title is short.
class TagReader {
 public:
  TagReader(std::string_view bytes, bool unsync) : bytes_(bytes), unsync_(unsync) {}

  bool empty() const { return bytes_.empty(); }

  // The raw bytes that the next `count` bytes (fewer where the tag ends) are read from;
  // `taken` is how many that is.
  std::string_view SkipRaw(size_t count, size_t& taken) {
    size_t at = 0;
    taken = 0;
    if (!unsync_) at = taken = std::min(count, bytes_.size());
    for (; taken < count && at < bytes_.size(); ++taken) {
      const bool stuffed =
          unsync_ && Byte(bytes_, at) == 0xFF && at + 1 < bytes_.size() && bytes_[at + 1] == '\0';
      at += stuffed ? 2 : 1;
    }
    const std::string_view raw = bytes_.substr(0, at);
    bytes_.remove_prefix(at);
    return raw;
  }

  // The next `count` bytes, fewer where the tag ends.
  std::string Take(size_t count) {
    size_t taken = 0;
    const std::string_view raw = SkipRaw(count, taken);
    if (!unsync_) return std::string(raw);
    std::string out;
    out.reserve(taken);
    for (size_t i = 0; i < raw.size(); ++i) {
      out += raw[i];
      if (Byte(raw, i) == 0xFF && i + 1 < raw.size() && raw[i + 1] == '\0') ++i;
    }
    return out;
  }

 private:
  std::string_view bytes_;
  bool unsync_;
};

// `text` without a last UTF-8 character that a cut split, when that leaves valid UTF-8.
std::string_view WithoutSplitCharacter(std::string_view text) {
  for (size_t cut = 0; cut < 4 && cut <= text.size(); ++cut)
    if (IsValidUtf8(text.substr(0, text.size() - cut))) return text.substr(0, text.size() - cut);
  return text;
}

// A text frame's first string as a title (StreamTitleForListener). Single-byte text (declared
// Latin-1) is in practice the writer's code page, GBK in the tags of Chinese stations, so it
// goes through the same rule as every stream text. Only the start of a long frame is read: a
// character of at most four bytes is at least one byte of title.
std::string TextFrame(TagReader data) {
  constexpr size_t kEnough = 4 * limits::kMaxTitleBytes + 4;
  const std::string head = data.Take(1);
  if (head.empty()) return {};
  const uint8_t encoding = Byte(head, 0);
  std::string kept = data.Take(kEnough);
  const bool cut = !data.empty();
  std::string_view text = kept;
  if (encoding == 1 || encoding == 2) {
    bool big_endian = encoding == 2;
    if (text.size() >= 2 && Byte(text, 0) == 0xFF && Byte(text, 1) == 0xFE) {
      big_endian = false;
      text.remove_prefix(2);
    } else if (text.size() >= 2 && Byte(text, 0) == 0xFE && Byte(text, 1) == 0xFF) {
      big_endian = true;
      text.remove_prefix(2);
    }
    for (size_t i = 0; i + 1 < text.size(); i += 2) {
      if (text[i] == '\0' && text[i + 1] == '\0') {
        text = text.substr(0, i);
        break;
      }
    }
    return StreamTitleForListener(Utf16ToUtf8(text, big_endian));
  }
  const size_t end = text.find('\0');
  if (end != std::string_view::npos) {
    text = text.substr(0, end);
  } else if (cut) {
    text = WithoutSplitCharacter(text);
  }
  return StreamTitleForListener(text);
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
  TagReader frames(tag.substr(kId3HeaderSize, body_size), (flags & 0x80) && version < 4);
  if (flags & 0x40) {
    if (version == 2) return std::nullopt;  // compressed, which no one implements
    const std::string head = frames.Take(4);
    if (head.size() < 4) return std::nullopt;
    const size_t extended = version == 3 ? 4 + BigEndian(head) : Syncsafe(head).value_or(0);
    if (extended < 4) return std::nullopt;
    size_t skipped = 0;
    frames.SkipRaw(extended - 4, skipped);
    if (skipped < extended - 4) return std::nullopt;
  }

  const size_t id_size = version == 2 ? 3 : 4;
  const size_t header_size = version == 2 ? 6 : 10;
  std::string title;
  std::string artist;
  for (;;) {
    const std::string header = frames.Take(header_size);
    if (header.size() < header_size || header[0] == '\0') break;
    const std::string_view id = std::string_view(header).substr(0, id_size);
    std::optional<size_t> frame_size;
    if (version == 2) frame_size = BigEndian(std::string_view(header).substr(3, 3));
    if (version == 3) frame_size = BigEndian(std::string_view(header).substr(4, 4));
    if (version == 4) frame_size = Syncsafe(std::string_view(header).substr(4, 4));
    if (!frame_size) break;
    const uint8_t format = version == 2 ? 0 : Byte(header, 9);
    size_t taken = 0;
    std::string_view data = frames.SkipRaw(*frame_size, taken);
    const bool wanted = ((id == "TIT2" || id == "TT2") && title.empty()) ||
                        ((id == "TPE1" || id == "TP1") && artist.empty());
    if (!wanted) continue;
    // Compressed or encrypted frames are not for us.
    if (version == 3 && (format & 0xC0)) continue;
    if (version == 4 && (format & 0x0C)) continue;
    bool unsync = (flags & 0x80) && version < 4;
    if (version == 4) {
      // Version 2.4 puts a group byte and a data length before the (maybe unsynchronised)
      // data.
      if (format & 0x40) data.remove_prefix(std::min<size_t>(1, data.size()));
      if (format & 0x01) data.remove_prefix(std::min<size_t>(4, data.size()));
      unsync = format & 0x02;
    }
    std::string& text = id == "TIT2" || id == "TT2" ? title : artist;
    text = TextFrame(TagReader(data, unsync));
  }
  // Both are GBK already: only the cut is left to do.
  if (!title.empty() && !artist.empty())
    return std::string(CutGbk(artist + " - " + title, limits::kMaxTitleBytes));
  if (title.empty() && artist.empty()) return std::nullopt;
  return title.empty() ? artist : title;
}

}  // namespace lumio::stream
