// fuzz-links: lumio_core
// fuzz-max-len: 8192
// What a body is, on arbitrary bytes: one verdict for the same start whatever follows the
// probe's bytes, a playlist always of a kind, and frames of audio never taken for a page or a
// playlist, so that a station is never refused for what it really sends.
//
// Input layout: the address, NUL, the content type, NUL, the first bytes of the body.

#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "stream/audio_frame_header.h"
#include "stream/body_kind.h"
#include "stream/stream_limits.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace lumio;
  using namespace lumio::stream;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  auto part = [&input] {
    const size_t end = std::min(input.find('\0'), input.size());
    const std::string_view text = input.substr(0, end);
    input.remove_prefix(std::min(end + 1, input.size()));
    return text;
  };
  const std::string_view url = part();
  const std::string_view type = part();
  const std::string_view bytes = input;

  const Body body = ClassifyBody(url, type, bytes);
  std::string longer(bytes);
  if (longer.size() >= limits::kProbeBytes) {
    longer += "<html>";
    Check(ClassifyBody(url, type, longer) == body, "only the probe's bytes count");
  }
  if (body.kind == BodyKind::kPlaylist) {
    Check(body.playlist != PlaylistKind::kNone && body.playlist != PlaylistKind::kHls,
          "a playlist is of a kind");
  }
  if (ParseAudioFrameHeader(bytes.substr(0, kMaxAudioHeaderSize)) || bytes.starts_with("ID3")) {
    Check(body.kind == BodyKind::kAudio || body.kind == BodyKind::kFormat,
          "frames of audio are audio, whatever the server calls them");
  }
  Check(DecodersTake(body, FormatSet{}) == (body.kind == BodyKind::kAudio),
        "a player without other formats decodes audio only");
  const FormatSet all{MediaFormat::kOgg, MediaFormat::kFlac, MediaFormat::kAsf,
                      MediaFormat::kMp4, MediaFormat::kWav,  MediaFormat::kMpegTs};
  Check(
      DecodersTake(body, all) == (body.kind == BodyKind::kAudio || body.kind == BodyKind::kFormat),
      "a player with every format decodes every stream");
  return 0;
}
