#include "winplayer/audio_decoder.h"

namespace lumio::win {

void DecoderSpares::WarmUp() {
  if (!aac_) aac_ = CreateAacTransform();
}

std::vector<DecoderKind> DecodersFor(const stream::AudioFrameHeader& header) {
  if (header.codec == stream::AudioCodec::kAdtsAac) return {DecoderKind::kAacMft};
  if (header.layer == 3) return {DecoderKind::kMp3Dmo, DecoderKind::kAcm};
  return {DecoderKind::kAcm};
}

std::unique_ptr<AudioDecoder> MakeAudioDecoder(DecoderKind kind,
                                               const stream::AudioFrameHeader& header,
                                               DecoderSpares& spares, std::string* error) {
  switch (kind) {
    case DecoderKind::kMp3Dmo:
      return MakeMp3DmoDecoder(header, error);
    case DecoderKind::kAcm:
      return MakeAcmDecoder(header, error);
    case DecoderKind::kAacMft:
      return MakeAacMftDecoder(header, spares.TakeAac(), error);
  }
  return nullptr;
}

}  // namespace lumio::win
