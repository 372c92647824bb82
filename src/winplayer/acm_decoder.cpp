// MPEG audio through the Audio Compression Manager: the MP3 codec every Windows has (Layer III),
// and Layers I and II where the system's MPEG codec takes them.

#include <windows.h>

#include <mmreg.h>
#include <mmsystem.h>
#include <msacm.h>

#include <algorithm>
#include <cstring>

#include "winplayer/audio_decoder.h"

namespace lumio::win {
namespace {

constexpr DWORD kAcmOutputBytes = 64 * 1024;
// More unconverted input than this means the codec stopped taking the stream.
constexpr size_t kMaxPendingBytes = 16 * 1024;

union SourceFormat {
  WAVEFORMATEX wave;
  MPEGLAYER3WAVEFORMAT layer3;
  MPEG1WAVEFORMAT mpeg;
};

WORD ChannelMode(int channels) {
  return channels == 1 ? ACM_MPEG_SINGLECHANNEL : ACM_MPEG_STEREO;
}

SourceFormat MakeSourceFormat(const stream::AudioFrameHeader& header) {
  SourceFormat format{};
  WAVEFORMATEX& wave = format.wave;
  wave.nChannels = static_cast<WORD>(header.channels);
  wave.nSamplesPerSec = static_cast<DWORD>(header.sample_rate);
  wave.nAvgBytesPerSec = static_cast<DWORD>(header.bitrate / 8);
  if (header.layer == 3) {
    wave.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
    wave.nBlockAlign = 1;
    wave.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
    format.layer3.wID = MPEGLAYER3_ID_MPEG;
    format.layer3.fdwFlags = MPEGLAYER3_FLAG_PADDING_OFF;
    format.layer3.nBlockSize = static_cast<WORD>(header.frame_length);
    format.layer3.nFramesPerBlock = 1;
  } else {
    wave.wFormatTag = WAVE_FORMAT_MPEG;
    wave.nBlockAlign = static_cast<WORD>(header.frame_length);
    wave.cbSize = sizeof(MPEG1WAVEFORMAT) - sizeof(WAVEFORMATEX);
    format.mpeg.fwHeadLayer = header.layer == 1 ? ACM_MPEG_LAYER1 : ACM_MPEG_LAYER2;
    format.mpeg.dwHeadBitrate = static_cast<DWORD>(header.bitrate);
    format.mpeg.fwHeadMode = ChannelMode(header.channels);
    format.mpeg.fwHeadFlags = header.version == 1 ? ACM_MPEG_ID_MPEG1 : 0;
  }
  return format;
}

class AcmDecoder final : public AudioDecoder {
 public:
  ~AcmDecoder() override {
    if (stream_ != nullptr) acmStreamClose(stream_, 0);
  }

  bool Open(const stream::AudioFrameHeader& header, std::string* error) {
    SourceFormat source = MakeSourceFormat(header);
    WAVEFORMATEX pcm{};
    pcm.wFormatTag = WAVE_FORMAT_PCM;
    pcm.nChannels = static_cast<WORD>(header.channels);
    pcm.nSamplesPerSec = static_cast<DWORD>(header.sample_rate);
    pcm.wBitsPerSample = 16;
    pcm.nBlockAlign = static_cast<WORD>(header.channels * 2);
    pcm.nAvgBytesPerSec = pcm.nSamplesPerSec * pcm.nBlockAlign;
    const MMRESULT result = acmStreamOpen(&stream_, nullptr, &source.wave, &pcm, nullptr, 0, 0,
                                          ACM_STREAMOPENF_NONREALTIME);
    if (result != MMSYSERR_NOERROR) {
      stream_ = nullptr;
      *error = "No ACM codec takes MPEG audio Layer " + std::to_string(header.layer) +
               " (ACM error " + std::to_string(result) + ")";
      return false;
    }
    format_ = {header.sample_rate, header.channels};
    output_.resize(kAcmOutputBytes);
    return true;
  }

  bool Decode(const std::string& frame, std::vector<int16_t>& pcm) override {
    pending_ += frame;
    if (!Convert(started_ ? 0 : ACM_STREAMCONVERTF_START, pcm)) return false;
    return pending_.size() <= kMaxPendingBytes;
  }

  void Finish(std::vector<int16_t>& pcm) override {
    if (started_) Convert(ACM_STREAMCONVERTF_END, pcm);
  }

  PcmFormat format() const override { return format_; }
  const char* name() const override { return "ACM MPEG audio codec"; }

 private:
  // Converts what is pending with `flags`; false when the codec fails.
  bool Convert(DWORD flags, std::vector<int16_t>& pcm) {
    ACMSTREAMHEADER block{};
    block.cbStruct = sizeof block;
    block.pbSrc = reinterpret_cast<BYTE*>(pending_.data());
    block.cbSrcLength = static_cast<DWORD>(pending_.size());
    block.pbDst = output_.data();
    block.cbDstLength = static_cast<DWORD>(output_.size());
    if (acmStreamPrepareHeader(stream_, &block, 0) != MMSYSERR_NOERROR) return false;
    const MMRESULT result = acmStreamConvert(stream_, &block, flags);
    acmStreamUnprepareHeader(stream_, &block, 0);
    if (result != MMSYSERR_NOERROR) return false;
    started_ = true;
    const size_t samples = block.cbDstLengthUsed / sizeof(int16_t);
    const size_t at = pcm.size();
    pcm.resize(at + samples);
    if (samples > 0) std::memcpy(pcm.data() + at, output_.data(), samples * sizeof(int16_t));
    pending_.erase(0, std::min<size_t>(block.cbSrcLengthUsed, pending_.size()));
    return true;
  }

  HACMSTREAM stream_ = nullptr;
  std::string pending_;  // input the codec has not taken yet
  std::vector<BYTE> output_;
  bool started_ = false;
  PcmFormat format_;
};

}  // namespace

std::unique_ptr<AudioDecoder> MakeAcmDecoder(const stream::AudioFrameHeader& header,
                                             std::string* error) {
  auto decoder = std::make_unique<AcmDecoder>();
  if (!decoder->Open(header, error)) return nullptr;
  return decoder;
}

}  // namespace lumio::win
