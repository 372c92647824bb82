#pragma once
// What the start of an address's answer is, for the reachability check: a stream a player
// decodes (which codec), an HLS playlist, another playlist, or nothing that plays. Judged by
// the stream code the players share, from the bytes, not from what the server claims.

#include <string_view>

#include "stream/playlist_kind.h"

namespace lumio::tools {

enum class BodyKind { kNotAudio, kMp3, kAac, kOgg, kFlac, kHls, kPlaylist };

struct BodyVerdict {
  BodyKind kind = BodyKind::kNotAudio;
  stream::PlaylistKind playlist = stream::PlaylistKind::kNone;  // for kPlaylist
};

// What `uri` answered with `content_type` and the first `bytes` of its body (cut anywhere):
// audio counts only where two frames in a row agree.
BodyVerdict JudgeBody(std::string_view uri, std::string_view content_type, std::string_view bytes);

// What the first bytes of an HLS media segment hold: kMp3 or kAac (in MPEG-TS, as packed
// audio, or in fragmented MP4), else kNotAudio.
BodyKind JudgeSegment(std::string_view bytes);

// "mp3", "aac", "ogg", "flac", "hls", "playlist"; "" for kNotAudio.
std::string_view BodyKindName(BodyKind kind);

}  // namespace lumio::tools
