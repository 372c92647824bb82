#include "stream/hls_playlist.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>

#include "stream/stream_limits.h"
#include "stream/stream_text.h"
#include "stream/text_scan.h"
#include "stream/url.h"

namespace lumio::stream {
namespace {

using Attributes = std::vector<std::pair<std::string, std::string>>;

std::string_view Find(const Attributes& attributes, std::string_view name) {
  for (const auto& [key, value] : attributes)
    if (key == name) return value;
  return {};
}

uint64_t ParseCount(std::string_view text) {
  const long long value = ParseDecimal(Trim(text));
  return value < 0 ? 0 : static_cast<uint64_t>(value);
}

// A decimal-floating-point; 0 for anything else (negative, NaN, infinite, garbage).
double ParseSeconds(std::string_view text) {
  text = Trim(text);
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end == text.data() || !std::isfinite(value) || value < 0) return 0;
  return value;
}

// The target duration `text` states, taken into the limits: a number outside them counts as
// the nearer end, NaN and the infinities as the largest (a player reloads the playlist at this
// pace); 0 when `text` holds no number.
double ParseTargetDuration(std::string_view text) {
  text = Trim(text);
  const char* const first = text.data();
  double value = 0;
  const auto [end, error] = std::from_chars(first, first + text.size(), value);
  if (end == first) return 0;
  if (error == std::errc::result_out_of_range) {
    // Too large or too small for a double: the sign and the exponent's sign tell which.
    const std::string_view number(first, static_cast<size_t>(end - first));
    const size_t exponent = number.find_first_of("eE");
    const bool tiny =
        exponent != std::string_view::npos && number.substr(exponent + 1).starts_with('-');
    return number.starts_with('-') || tiny ? limits::kMinHlsTargetDurationSeconds
                                           : limits::kMaxHlsTargetDurationSeconds;
  }
  if (error != std::errc()) return 0;
  if (!std::isfinite(value)) return limits::kMaxHlsTargetDurationSeconds;
  return std::clamp(value, limits::kMinHlsTargetDurationSeconds,
                    limits::kMaxHlsTargetDurationSeconds);
}

// True when `line` is the tag `tag` ("#NAME" or "#NAME:value"); `value` is then what follows ":".
bool TagValue(std::string_view line, std::string_view tag, std::string_view& value) {
  if (!line.starts_with(tag)) return false;
  const std::string_view rest = line.substr(tag.size());
  if (!rest.empty() && rest[0] != ':') return false;
  value = rest.empty() ? rest : rest.substr(1);
  return true;
}

// What the tags seen since the last URI line say about the URI line to come.
struct Pending {
  bool variant = false;
  HlsVariant stream;
  bool segment = false;
  double duration = 0;
  std::string_view title;
  bool discontinuity = false;
  bool has_range = false;
  uint64_t range_length = 0;
  bool range_has_offset = false;
  uint64_t range_offset = 0;
};

// An IV attribute: "0x" and at most 32 hex digits, as 16 bytes (a shorter number padded with
// zeros in front); empty for anything else.
std::string ParseIv(std::string_view text) {
  if (text.size() < 3 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) return {};
  const std::string_view digits = text.substr(2);
  if (digits.size() > 32) return {};
  std::string iv(16, '\0');
  for (size_t i = 0; i < digits.size(); ++i) {
    const char c = digits[digits.size() - 1 - i];  // from the last digit up
    int value = 0;
    if (c >= '0' && c <= '9') {
      value = c - '0';
    } else if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f') {
      value = (c | 0x20) - 'a' + 10;
    } else {
      return {};
    }
    char& byte = iv[15 - i / 2];
    byte = static_cast<char>(static_cast<unsigned char>(byte) | (value << (i % 2 * 4)));
  }
  return iv;
}

// Drops all but the last limits::kMaxHlsSegments segments: a live station plays at the end.
void KeepLastSegments(std::vector<HlsSegment>& segments) {
  if (segments.size() <= limits::kMaxHlsSegments) return;
  segments.erase(segments.begin(),
                 segments.end() - static_cast<std::ptrdiff_t>(limits::kMaxHlsSegments));
}

HlsKey Unsupported(std::string name) {
  HlsKey key;
  key.method = HlsKey::Method::kUnsupported;
  key.name = std::move(name);
  return key;
}

// The key an #EXT-X-KEY tag's attributes name.
HlsKey ParseKey(const Attributes& attributes, std::string_view playlist_url) {
  const std::string_view method = Find(attributes, "METHOD");
  if (method == "NONE") return {};
  const std::string_view format = Find(attributes, "KEYFORMAT");
  if (!format.empty() && format != "identity") {
    return Unsupported(std::string(method) + " with keys of the format " + std::string(format));
  }
  if (method != "AES-128") return Unsupported(method.empty() ? "no method" : std::string(method));
  const std::string_view uri = Trim(Find(attributes, "URI"));
  if (uri.empty() || HasControlBytes(uri)) return Unsupported("AES-128 without a key address");
  HlsKey key;
  key.method = HlsKey::Method::kAes128;
  key.name = method;
  key.uri = ResolveUrl(playlist_url, uri);
  if (key.uri.size() > limits::kMaxAddressBytes)
    return Unsupported("AES-128 with a key address too long to open");
  const std::string_view iv = Trim(Find(attributes, "IV"));
  if (!iv.empty()) {
    key.iv = ParseIv(iv);
    if (key.iv.empty()) return Unsupported("AES-128 with an IV that is no 128-bit number");
  }
  return key;
}

// An #EXT-X-MAP tag's section, encrypted with `key`; no URI when it names none it can give.
HlsMap ParseMap(const Attributes& attributes, std::string_view playlist_url, const HlsKey& key) {
  HlsMap map;
  const std::string_view uri = Trim(Find(attributes, "URI"));
  if (uri.empty() || HasControlBytes(uri)) return map;
  const std::string_view range = Find(attributes, "BYTERANGE");
  if (!range.empty()) {
    const size_t at = range.find('@');
    map.range_length = ParseCount(range.substr(0, at));
    if (at != std::string_view::npos) map.range_offset = ParseCount(range.substr(at + 1));
    if (map.range_length == 0 ||
        map.range_length > std::numeric_limits<uint64_t>::max() - map.range_offset) {
      return {};
    }
  }
  map.uri = ResolveUrl(playlist_url, uri);
  if (map.uri.size() > limits::kMaxAddressBytes) return {};
  map.key = key;
  return map;
}

}  // namespace

std::string HlsKeyIv(const HlsKey& key, uint64_t sequence) {
  if (key.iv.size() == 16) return key.iv;
  std::string iv(16, '\0');
  for (int i = 0; i < 8; ++i)
    iv[15 - i] = static_cast<char>((sequence >> (8 * i)) & 0xFF);
  return iv;
}

bool HlsMediaPlaylist::HasEncryptedSegments() const {
  for (const HlsSegment& segment : segments)
    if (segment.encrypted) return true;
  return false;
}

Attributes ParseHlsAttributes(std::string_view list) {
  Attributes out;
  size_t pos = 0;
  while (pos < list.size()) {
    const size_t equals = list.find('=', pos);
    if (equals == std::string_view::npos) break;
    std::string name(Trim(list.substr(pos, equals - pos)));
    size_t end = equals + 1;
    while (end < list.size() && IsBlank(list[end]))
      ++end;
    std::string value;
    const bool quoted = end < list.size() && list[end] == '"';
    if (quoted) {
      const size_t close = list.find('"', end + 1);
      const size_t stop = close == std::string_view::npos ? list.size() : close;
      value = list.substr(end + 1, stop - end - 1);
      end = std::min(list.size(), stop + 1);
    }
    // The rest up to the next comma: an unquoted value, or junk after a quoted one.
    const size_t comma = std::min(list.find(',', end), list.size());
    if (!quoted) value = Trim(list.substr(end, comma - end));
    out.emplace_back(std::move(name), std::move(value));
    pos = comma + 1;
  }
  return out;
}

HlsPlaylist ParseHlsPlaylist(std::string_view bytes, std::string_view playlist_url, bool whole) {
  HlsPlaylist playlist;
  if (bytes.size() > limits::kMaxHlsPlaylistBytes) {
    bytes = bytes.substr(0, limits::kMaxHlsPlaylistBytes);
    whole = false;
  }
  std::string_view text = StripUtf8Bom(whole ? bytes : WholeLines(bytes));
  std::string_view first;
  if (!NextLine(text, first) || Trim(first) != "#EXTM3U") return playlist;
  HlsMediaPlaylist& media = playlist.media;
  bool master = false;
  HlsKey key;
  // Several key tags in a row offer one key in several formats: an "identity" one is kept.
  bool key_in_row = false;
  HlsMap map;
  uint64_t next_range_offset = 0;
  std::string last_range_uri;
  Pending pending;
  // Segments read so far, those dropped from the front to stay within the cap included.
  uint64_t segments_read = 0;
  std::string_view next;
  while (NextLine(text, next)) {
    const std::string_view line = Trim(next);
    std::string_view value;
    if (line.empty()) continue;
    if (!line.starts_with('#')) {
      // A URI that no tag announced is nothing to resolve.
      if (HasControlBytes(line) || !(pending.variant || pending.segment)) {
        pending = {};
        continue;
      }
      std::string uri = ResolveUrl(playlist_url, line);
      if (uri.size() > limits::kMaxAddressBytes) {
        pending = {};
        continue;
      }
      if (pending.variant) {
        pending.stream.uri = std::move(uri);
        playlist.variants.push_back(std::move(pending.stream));
      } else if (pending.segment) {
        HlsSegment segment;
        segment.sequence = media.media_sequence + segments_read;
        segment.duration = pending.duration;
        segment.title = StreamTitleForListener(Trim(pending.title));
        segment.discontinuity = pending.discontinuity;
        segment.key = key;
        segment.encrypted = key.method != HlsKey::Method::kNone;
        segment.map = map;
        if (pending.has_range) {
          // Without an offset a range continues where the last range of the same URI ended.
          segment.range_offset = pending.range_has_offset || uri != last_range_uri
                                     ? pending.range_offset
                                     : next_range_offset;
          segment.range_length = pending.range_length;
          // A range past the end of any resource (its end does not fit a number) names no
          // bytes: the segment is left out.
          if (segment.range_length > std::numeric_limits<uint64_t>::max() - segment.range_offset) {
            pending = {};
            continue;
          }
          next_range_offset = segment.range_offset + segment.range_length;
          last_range_uri = uri;
        }
        segment.uri = std::move(uri);
        media.segments.push_back(std::move(segment));
        ++segments_read;
        // Dropped in batches, so that a huge playlist is read in linear time.
        if (media.segments.size() >= 2 * limits::kMaxHlsSegments) KeepLastSegments(media.segments);
      }
      pending = {};
      key_in_row = false;
    } else if (TagValue(line, "#EXT-X-STREAM-INF", value)) {
      master = true;
      const Attributes attributes = ParseHlsAttributes(value);
      pending.variant = true;
      pending.stream.bandwidth = ParseCount(Find(attributes, "BANDWIDTH"));
      pending.stream.average_bandwidth = ParseCount(Find(attributes, "AVERAGE-BANDWIDTH"));
      pending.stream.codecs = Find(attributes, "CODECS");
    } else if (TagValue(line, "#EXTINF", value)) {
      pending.segment = true;
      const size_t comma = value.find(',');
      pending.duration = ParseSeconds(value.substr(0, comma));
      pending.title =
          comma == std::string_view::npos ? std::string_view() : value.substr(comma + 1);
    } else if (TagValue(line, "#EXT-X-TARGETDURATION", value)) {
      media.target_duration = ParseTargetDuration(value);
    } else if (TagValue(line, "#EXT-X-MEDIA-SEQUENCE", value)) {
      // Only meaningful before the first segment; later it would renumber what was read.
      if (segments_read == 0) media.media_sequence = ParseCount(value);
    } else if (TagValue(line, "#EXT-X-DISCONTINUITY", value)) {
      pending.discontinuity = true;
    } else if (TagValue(line, "#EXT-X-ENDLIST", value)) {
      media.ended = true;
    } else if (TagValue(line, "#EXT-X-KEY", value)) {
      HlsKey tagged = ParseKey(ParseHlsAttributes(value), playlist_url);
      const bool kept_identity = key_in_row && key.method == HlsKey::Method::kAes128;
      if (!(kept_identity && tagged.method == HlsKey::Method::kUnsupported))
        key = std::move(tagged);
      key_in_row = true;
    } else if (TagValue(line, "#EXT-X-MAP", value)) {
      media.has_init_section = true;
      map = ParseMap(ParseHlsAttributes(value), playlist_url, key);
    } else if (TagValue(line, "#EXT-X-BYTERANGE", value)) {
      const size_t at = value.find('@');
      pending.has_range = true;
      pending.range_length = ParseCount(value.substr(0, at));
      pending.range_has_offset = at != std::string_view::npos;
      if (pending.range_has_offset) pending.range_offset = ParseCount(value.substr(at + 1));
    }
  }
  KeepLastSegments(media.segments);
  if (!media.segments.empty()) media.media_sequence = media.segments.front().sequence;
  playlist.type = master ? HlsPlaylist::Type::kMaster : HlsPlaylist::Type::kMedia;
  if (master) playlist.media = {};
  return playlist;
}

}  // namespace lumio::stream
