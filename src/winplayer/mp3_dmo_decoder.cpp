// MPEG audio Layer III through the MP3 decoder DMO (IMediaObject), fed a block of samples at a
// time.

#include <windows.h>

#include <dmo.h>
#include <mmreg.h>
#include <mmsystem.h>

#include <cstring>

#include "winplayer/audio_decoder.h"
#include "winplayer/hresult_text.h"
#include "winplayer/media_buffer.h"
#include "winplayer/media_guids.h"

namespace lumio::win {
namespace {

// mediaerr.h spells it as an unsigned number.
constexpr HRESULT kNotAccepting = static_cast<HRESULT>(DMO_E_NOTACCEPTING);

// The samples (per channel) of a frame of MPEG-1 Layer III. Some decoders (Wine's) give out only
// whole blocks of this many and drop a part block whenever their input runs out: frames of 576
// samples (MPEG-2 and 2.5) go in by pairs, so that every input ends on a whole block.
constexpr int kBlockSamples = 1152;
// Room for several blocks, as the DMO may hand out what it held back.
constexpr DWORD kOutputBytes = kBlockSamples * 2 * sizeof(int16_t) * 4;

WAVEFORMATEX PcmWaveFormat(int sample_rate, int channels) {
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = static_cast<WORD>(channels);
  format.nSamplesPerSec = static_cast<DWORD>(sample_rate);
  format.wBitsPerSample = 16;
  format.nBlockAlign = static_cast<WORD>(channels * 2);
  format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
  return format;
}

DMO_MEDIA_TYPE AudioType(const GUID& subtype, void* format, DWORD format_bytes) {
  DMO_MEDIA_TYPE type{};
  type.majortype = kMediaTypeAudio;
  type.subtype = subtype;
  type.formattype = kFormatWaveFormatEx;
  type.cbFormat = format_bytes;
  type.pbFormat = static_cast<BYTE*>(format);
  return type;
}

class Mp3DmoDecoder final : public AudioDecoder {
 public:
  bool Open(const stream::AudioFrameHeader& header, std::string* error) {
    const HRESULT made = CoCreateInstance(kMp3DecoderDmo, nullptr, CLSCTX_INPROC_SERVER,
                                          IID_IMediaObject, decoder_.put_void());
    if (FAILED(made)) {
      *error = "The MP3 decoder DMO cannot be made (" + HresultText(made) + ")";
      return false;
    }
    MPEGLAYER3WAVEFORMAT input{};
    input.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
    input.wfx.nChannels = static_cast<WORD>(header.channels);
    input.wfx.nSamplesPerSec = static_cast<DWORD>(header.sample_rate);
    input.wfx.nAvgBytesPerSec = static_cast<DWORD>(header.bitrate / 8);
    input.wfx.nBlockAlign = 1;
    input.wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
    input.wID = MPEGLAYER3_ID_MPEG;
    input.fdwFlags = MPEGLAYER3_FLAG_PADDING_OFF;
    input.nBlockSize = static_cast<WORD>(header.frame_length);
    input.nFramesPerBlock = 1;
    input.nCodecDelay = 0;
    DMO_MEDIA_TYPE input_type = AudioType(kSubtypeMp3, &input, sizeof input);
    HRESULT result = decoder_->SetInputType(0, &input_type, 0);
    if (FAILED(result)) {
      *error = "The MP3 decoder DMO refuses the stream (" + HresultText(result) + ")";
      return false;
    }
    format_ = {header.sample_rate, header.channels};
    samples_per_frame_ = header.samples_per_frame > 0 ? header.samples_per_frame : kBlockSamples;
    WAVEFORMATEX output = PcmWaveFormat(header.sample_rate, header.channels);
    DMO_MEDIA_TYPE output_type = AudioType(kSubtypePcm, &output, sizeof output);
    result = decoder_->SetOutputType(0, &output_type, 0);
    if (FAILED(result)) {
      *error = "The MP3 decoder DMO gives no 16-bit PCM (" + HresultText(result) + ")";
      return false;
    }
    output_ = MakeMediaBuffer(kOutputBytes);
    return true;
  }

  bool Decode(const std::string& frame, std::vector<int16_t>& pcm) override {
    held_ += frame;
    held_samples_ += samples_per_frame_;
    if (held_samples_ < kBlockSamples) return true;
    return FeedHeld(pcm);
  }

  void Finish(std::vector<int16_t>& pcm) override {
    if (!held_.empty() && !FeedHeld(pcm)) return;
    // What the decoder held for a block it could not fill.
    decoder_->Discontinuity(0);
    Drain(pcm);
  }

  PcmFormat format() const override { return format_; }
  const char* name() const override { return "MP3 decoder DMO"; }

 private:
  bool FeedHeld(std::vector<int16_t>& pcm) {
    ComPtr<IMediaBuffer> input = MakeMediaBuffer(held_);
    held_.clear();
    held_samples_ = 0;
    HRESULT result = decoder_->ProcessInput(0, input.get(), 0, 0, 0);
    if (result == kNotAccepting) {
      if (!Drain(pcm)) return false;
      result = decoder_->ProcessInput(0, input.get(), 0, 0, 0);
    }
    // S_FALSE: nothing to decode in this input (it only fed the bit reservoir).
    if (FAILED(result)) return false;
    return Drain(pcm);
  }

  bool Drain(std::vector<int16_t>& pcm) {
    for (int round = 0; round < 16; ++round) {
      output_->SetLength(0);
      DMO_OUTPUT_DATA_BUFFER out{};
      out.pBuffer = output_.get();
      DWORD status = 0;
      const HRESULT result = decoder_->ProcessOutput(0, 1, &out, &status);
      if (FAILED(result)) return false;
      BYTE* bytes = nullptr;
      DWORD length = 0;
      output_->GetBufferAndLength(&bytes, &length);
      const size_t samples = length / sizeof(int16_t);
      const size_t at = pcm.size();
      pcm.resize(at + samples);
      if (samples > 0) std::memcpy(pcm.data() + at, bytes, samples * sizeof(int16_t));
      if (result == S_FALSE || (out.dwStatus & DMO_OUTPUT_DATA_BUFFERF_INCOMPLETE) == 0) {
        return true;
      }
    }
    return true;
  }

  ComPtr<IMediaObject> decoder_;
  ComPtr<IMediaBuffer> output_;
  PcmFormat format_;
  int samples_per_frame_ = kBlockSamples;
  std::string held_;  // frames not yet given to the decoder
  int held_samples_ = 0;
};

}  // namespace

std::unique_ptr<AudioDecoder> MakeMp3DmoDecoder(const stream::AudioFrameHeader& header,
                                                std::string* error) {
  auto decoder = std::make_unique<Mp3DmoDecoder>();
  if (!decoder->Open(header, error)) return nullptr;
  return decoder;
}

}  // namespace lumio::win
