#include "stream/playlist_kind.h"

#include <string>

#include "stream/text_scan.h"
#include "stream/url.h"

namespace lumio::stream {
namespace {

// What the body says, and whether it says so for sure.
struct Sniffed {
  bool certain = false;
  PlaylistKind kind = PlaylistKind::kNone;
};

bool LooksBinary(std::string_view bytes) {
  const std::string_view head = bytes.substr(0, 512);
  if (head.find('\0') != std::string_view::npos) return true;
  static constexpr std::string_view kSignatures[] = {
      "ID3", "OggS", "fLaC", "RIFF", "\x30\x26\xB2\x75\x8E\x66\xCF\x11" /* ASF header */};
  for (std::string_view signature : kSignatures)
    if (bytes.starts_with(signature)) return true;
  // An MPEG audio or ADTS frame sync, or a transport stream packet.
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      (static_cast<unsigned char>(bytes[1]) & 0xE0) == 0xE0)
    return true;
  return bytes.size() >= 189 && bytes[0] == 0x47 && bytes[188] == 0x47;
}

// Skips an XML declaration, processing instructions, comments and blanks before the root.
std::string_view SkipXmlProlog(std::string_view text) {
  for (;;) {
    text = Trim(text);
    if (text.starts_with("<?")) {
      const size_t end = text.find("?>");
      if (end == std::string_view::npos) return {};
      text.remove_prefix(end + 2);
    } else if (text.starts_with("<!")) {
      const size_t end = text.find('>');
      if (end == std::string_view::npos) return {};
      text.remove_prefix(end + 1);
    } else {
      return text;
    }
  }
}

bool HasHlsTag(std::string_view text) {
  for (std::string_view line : SplitLines(text))
    if (Trim(line).starts_with("#EXT-X-")) return true;
  return false;
}

Sniffed Sniff(std::string_view bytes) {
  if (bytes.empty()) return {};
  if (LooksBinary(bytes)) return {true, PlaylistKind::kNone};
  const std::string_view text = Trim(StripUtf8Bom(bytes));
  if (StartsWithIgnoreCase(text, "[playlist]")) return {true, PlaylistKind::kPls};
  // Windows Media's reference files, served for .asx addresses as often as real ASX.
  if (StartsWithIgnoreCase(text, "[reference]")) return {true, PlaylistKind::kAsx};
  if (text.starts_with("#EXTM3U"))
    return {true, HasHlsTag(text) ? PlaylistKind::kHls : PlaylistKind::kM3u};
  const std::string_view root = SkipXmlProlog(text);
  if (StartsWithIgnoreCase(root, "<asx")) return {true, PlaylistKind::kAsx};
  if (StartsWithIgnoreCase(root, "<playlist")) return {true, PlaylistKind::kXspf};
  return {};
}

// The first line that is not blank or a comment starts with "scheme://".
bool FirstEntryIsAddress(std::string_view bytes) {
  for (std::string_view line : SplitLines(StripUtf8Bom(bytes))) {
    line = Trim(line);
    if (line.empty() || line.starts_with('#')) continue;
    return SplitUrl(line).has_value();
  }
  return false;
}

PlaylistKind KindOfType(std::string_view type) {
  struct Entry {
    std::string_view type;
    PlaylistKind kind;
  };
  static constexpr Entry kTypes[] = {
      {"audio/x-scpls", PlaylistKind::kPls},
      {"application/pls+xml", PlaylistKind::kPls},
      {"audio/x-mpegurl", PlaylistKind::kM3u},
      {"audio/mpegurl", PlaylistKind::kM3u},
      {"application/vnd.apple.mpegurl", PlaylistKind::kHls},
      {"application/x-mpegurl", PlaylistKind::kHls},
      {"audio/x-ms-wax", PlaylistKind::kAsx},
      {"video/x-ms-asf", PlaylistKind::kAsx},
      {"video/x-ms-asx", PlaylistKind::kAsx},
      {"video/x-ms-wvx", PlaylistKind::kAsx},
      {"application/xspf+xml", PlaylistKind::kXspf},
  };
  for (const Entry& e : kTypes)
    if (EqualsIgnoreCase(type, e.type)) return e.kind;
  return PlaylistKind::kNone;
}

// A type that says nothing about the body: no type, text, XML or plain bytes.
bool IsGenericType(std::string_view type) {
  static constexpr std::string_view kGeneric[] = {
      "", "text/plain", "text/html", "text/xml", "application/xml", "application/octet-stream"};
  for (std::string_view generic : kGeneric)
    if (EqualsIgnoreCase(type, generic)) return true;
  return false;
}

PlaylistKind KindOfExtension(std::string_view url) {
  const std::string extension = UrlExtension(url);
  if (extension == "pls") return PlaylistKind::kPls;
  if (extension == "m3u") return PlaylistKind::kM3u;
  if (extension == "m3u8") return PlaylistKind::kHls;
  if (extension == "asx" || extension == "wax" || extension == "wvx") return PlaylistKind::kAsx;
  if (extension == "xspf") return PlaylistKind::kXspf;
  return PlaylistKind::kNone;
}

// An M3U-family guess refined by the body: an HLS type or address whose body does not start
// "#EXTM3U" is a plain list of entries, which HLS never is.
PlaylistKind Refine(PlaylistKind kind, std::string_view bytes) {
  if (kind == PlaylistKind::kHls && !bytes.empty() &&
      !Trim(StripUtf8Bom(bytes)).starts_with("#EXTM3U") && FirstEntryIsAddress(bytes))
    return PlaylistKind::kM3u;
  return kind;
}

}  // namespace

std::optional<PlaylistKind> PlaylistKindOfBytes(std::string_view first_bytes) {
  const Sniffed sniffed = Sniff(first_bytes);
  if (!sniffed.certain) return std::nullopt;
  return sniffed.kind;
}

PlaylistKind ClassifyPlaylist(std::string_view url, std::string_view content_type,
                              std::string_view first_bytes) {
  if (const std::optional<PlaylistKind> kind = PlaylistKindOfBytes(first_bytes)) return *kind;

  const std::string_view type = Trim(content_type.substr(0, content_type.find(';')));
  if (const PlaylistKind by_type = KindOfType(type); by_type != PlaylistKind::kNone)
    return Refine(by_type, first_bytes);
  // A server that names a media type (audio/mpeg, audio/aacp ...) is sending the stream,
  // whatever its address ends in.
  if (!IsGenericType(type)) return PlaylistKind::kNone;
  if (const PlaylistKind by_extension = KindOfExtension(url); by_extension != PlaylistKind::kNone)
    return Refine(by_extension, first_bytes);
  return FirstEntryIsAddress(first_bytes) ? PlaylistKind::kM3u : PlaylistKind::kNone;
}

}  // namespace lumio::stream
