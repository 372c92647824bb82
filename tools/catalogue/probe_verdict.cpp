#include "tools/catalogue/probe_verdict.h"

#include <string>
#include <vector>

#include "stream/audio_framer.h"
#include "stream/ts_demuxer.h"

namespace lumio::tools {
namespace {

// The codec of the compressed audio frames `bytes` holds, or kNotAudio.
BodyKind FramedAudio(std::string_view bytes) {
  stream::AudioFramer framer;
  std::vector<stream::AudioFrame> frames;
  framer.Feed(bytes, frames);
  if (frames.size() < 2) return BodyKind::kNotAudio;
  return frames.front().header.codec == stream::AudioCodec::kAdtsAac ? BodyKind::kAac
                                                                     : BodyKind::kMp3;
}

}  // namespace

BodyVerdict JudgeBody(std::string_view uri, std::string_view content_type, std::string_view bytes) {
  const stream::PlaylistKind playlist = stream::ClassifyPlaylist(uri, content_type, bytes);
  if (playlist == stream::PlaylistKind::kHls) return {BodyKind::kHls, playlist};
  if (playlist != stream::PlaylistKind::kNone) return {BodyKind::kPlaylist, playlist};
  if (bytes.starts_with("OggS")) return {BodyKind::kOgg};
  if (bytes.starts_with("fLaC")) return {BodyKind::kFlac};
  return {FramedAudio(bytes)};
}

BodyKind JudgeSegment(std::string_view bytes) {
  if (bytes.size() >= 8) {
    const std::string_view box = bytes.substr(4, 4);
    if (box == "ftyp" || box == "styp" || box == "moof") return BodyKind::kAac;
  }
  if (!bytes.empty() && bytes[0] == 0x47) {
    stream::TsDemuxer demuxer;
    std::string audio;
    std::vector<stream::TimedMetadata> metadata;
    demuxer.Feed(bytes, audio, metadata);
    demuxer.Flush(audio, metadata);
    return FramedAudio(audio);
  }
  return FramedAudio(bytes);
}

std::string_view BodyKindName(BodyKind kind) {
  switch (kind) {
    case BodyKind::kNotAudio:
      return "";
    case BodyKind::kMp3:
      return "mp3";
    case BodyKind::kAac:
      return "aac";
    case BodyKind::kOgg:
      return "ogg";
    case BodyKind::kFlac:
      return "flac";
    case BodyKind::kHls:
      return "hls";
    case BodyKind::kPlaylist:
      return "playlist";
  }
  return "";
}

}  // namespace lumio::tools
