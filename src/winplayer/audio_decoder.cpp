#include "winplayer/audio_decoder.h"

namespace lumio::win {

void DecoderSpares::WarmUp() {
  if (!aac_) aac_ = CreateAacTransform();
}

std::unique_ptr<AudioDecoder> MakeAudioDecoder(const stream::AudioFrameHeader& header,
                                               DecoderSpares& spares, std::string* error) {
  if (header.codec == stream::AudioCodec::kAdtsAac) {
    return MakeAacMftDecoder(header, spares.TakeAac(), error);
  }
  if (header.layer == 3) {
    std::string dmo_error;
    if (auto decoder = MakeMp3DmoDecoder(header, &dmo_error)) return decoder;
    std::string acm_error;
    if (auto decoder = MakeAcmDecoder(header, &acm_error)) return decoder;
    *error = dmo_error + "; " + acm_error;
    return nullptr;
  }
  return MakeAcmDecoder(header, error);
}

}  // namespace lumio::win
