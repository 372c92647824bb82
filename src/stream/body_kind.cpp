#include "stream/body_kind.h"

#include <cctype>
#include <optional>
#include <vector>

#include "stream/audio_frame_header.h"
#include "stream/audio_framer.h"
#include "stream/stream_limits.h"
#include "stream/stream_text.h"
#include "stream/text_scan.h"

namespace lumio::stream {
namespace {

// Below this many bytes a text-looking start proves nothing: a few bytes of a stream that
// begins mid-frame may happen to be printable.
constexpr size_t kTextProofBytes = 16;

Body Audio() {
  return {};
}
Body Format(MediaFormat format) {
  return {BodyKind::kFormat, PlaylistKind::kNone, format};
}
Body Page() {
  return {BodyKind::kPage};
}
Body OfPlaylist(PlaylistKind kind) {
  if (kind == PlaylistKind::kHls) return {BodyKind::kHls};
  return {BodyKind::kPlaylist, kind};
}

// A container's signature at the start of the body.
std::optional<MediaFormat> Signature(std::string_view bytes) {
  if (bytes.starts_with("OggS")) return MediaFormat::kOgg;
  if (bytes.starts_with("fLaC")) return MediaFormat::kFlac;
  if (bytes.starts_with("\x30\x26\xB2\x75\x8E\x66\xCF\x11")) return MediaFormat::kAsf;
  if (bytes.starts_with("RIFF") && bytes.size() >= 12 && bytes.substr(8, 4) == "WAVE")
    return MediaFormat::kWav;
  const std::string_view box = bytes.size() >= 8 ? bytes.substr(4, 4) : std::string_view();
  if (box == "ftyp" || box == "styp" || box == "moof") return MediaFormat::kMp4;
  if (bytes.size() > 188 && bytes[0] == 0x47 && bytes[188] == 0x47) return MediaFormat::kMpegTs;
  return std::nullopt;
}

// MPEG audio or ADTS: an ID3 tag, a frame header right at the start, or two frames in a row
// further in (a stream joined mid-frame).
bool IsFramedAudio(std::string_view bytes) {
  if (bytes.starts_with("ID3")) return true;
  if (ParseAudioFrameHeader(bytes.substr(0, kMaxAudioHeaderSize))) return true;
  AudioFramer framer;
  std::vector<AudioFrame> frames;
  framer.Feed(bytes, frames);
  return !frames.empty();
}

// Whether the text starts with a markup element that is visible (past any XML prolog):
// nullopt when the bytes end before it shows.
std::optional<bool> StartsWithElement(std::string_view text) {
  for (;;) {
    text = Trim(text);
    if (!text.starts_with('<')) return false;
    if (text.starts_with("<?") || text.starts_with("<!")) {
      const size_t end = text.find('>');
      if (end == std::string_view::npos) return std::nullopt;
      // A doctype names the root: "<!DOCTYPE html" is a page however long its prolog.
      if (StartsWithIgnoreCase(text, "<!doctype")) return true;
      text.remove_prefix(end + 1);
      continue;
    }
    if (text.size() < 2) return std::nullopt;
    return std::isalpha(static_cast<unsigned char>(text[1])) != 0;
  }
}

// Printable text in UTF-8 (a character cut by the end of the bytes allowed).
bool LooksLikeText(std::string_view bytes) {
  if (bytes.size() < kTextProofBytes) return false;
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if ((b < 0x20 && !IsBlank(c)) || b == 0x7F) return false;
  }
  for (size_t cut = 0; cut < 4 && cut < bytes.size(); ++cut)
    if (IsValidUtf8(bytes.substr(0, bytes.size() - cut))) return true;
  return false;
}

bool IsPageType(std::string_view type) {
  return EqualsIgnoreCase(type, "text/html") || EqualsIgnoreCase(type, "application/xhtml+xml");
}

// A type under which a text body is certainly not a stream.
bool IsTextualType(std::string_view type) {
  return type.empty() || StartsWithIgnoreCase(type, "text/") ||
         EqualsIgnoreCase(type, "application/octet-stream") ||
         EqualsIgnoreCase(type, "application/xml") || EqualsIgnoreCase(type, "application/json");
}

}  // namespace

Body ClassifyBody(std::string_view url, std::string_view content_type,
                  std::string_view first_bytes) {
  const std::string_view bytes = first_bytes.substr(0, limits::kProbeBytes);
  // What the bytes prove.
  if (const std::optional<MediaFormat> format = Signature(bytes)) return Format(*format);
  if (IsFramedAudio(bytes)) return Audio();
  const std::optional<PlaylistKind> proven = PlaylistKindOfBytes(bytes);
  if (proven == PlaylistKind::kNone) return Audio();  // binary: for the decoders to judge
  if (proven) return OfPlaylist(*proven);
  const std::string_view text = Trim(StripUtf8Bom(bytes));
  if (StartsWithElement(text) == true) return Page();

  // What the server and the address say.
  const std::string_view type = Trim(content_type.substr(0, content_type.find(';')));
  if (const PlaylistKind kind = ClassifyPlaylist(url, content_type, bytes);
      kind != PlaylistKind::kNone) {
    return OfPlaylist(kind);
  }
  if (IsPageType(type)) return Page();
  if (IsTextualType(type) && LooksLikeText(bytes)) return Page();
  return Audio();
}

bool DecodersTake(const Body& body, FormatSet formats) {
  if (body.kind == BodyKind::kAudio) return true;
  return body.kind == BodyKind::kFormat && formats.Has(body.format);
}

std::string_view MediaFormatName(MediaFormat format) {
  switch (format) {
    case MediaFormat::kOgg:
      return "Ogg";
    case MediaFormat::kFlac:
      return "FLAC";
    case MediaFormat::kAsf:
      return "Windows Media (ASF)";
    case MediaFormat::kMp4:
      return "MP4";
    case MediaFormat::kWav:
      return "WAV";
    case MediaFormat::kMpegTs:
      return "MPEG-TS";
  }
  return "";
}

}  // namespace lumio::stream
