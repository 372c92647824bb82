// AAC in ADTS frames through the AAC decoder MFT (IMFTransform), one frame per sample.

#include <windows.h>

#include <mfapi.h>
#include <mferror.h>
#include <mfidl.h>
#include <mftransform.h>

#include <algorithm>
#include <cstring>
#include <iterator>

#include "winplayer/audio_decoder.h"
#include "winplayer/hresult_text.h"
#include "winplayer/media_guids.h"

namespace lumio::win {
namespace {

constexpr UINT32 kAdtsPayload = 1;
constexpr DWORD kAacOutputBytes = 2048 * 8 * sizeof(int16_t);

// The two bytes of an AudioSpecificConfig: object type, sampling frequency index, channels.
std::string AudioSpecificConfig(const stream::AudioFrameHeader& header) {
  static constexpr int kRates[] = {96000, 88200, 64000, 48000, 44100, 32000, 24000,
                                   22050, 16000, 12000, 11025, 8000,  7350};
  int index = 4;
  for (int i = 0; i < static_cast<int>(std::size(kRates)); ++i) {
    if (kRates[i] == header.sample_rate) index = i;
  }
  const unsigned config = static_cast<unsigned>((header.profile + 1) << 11 | index << 7 |
                                                (header.channels & 0x0F) << 3);
  return {static_cast<char>(config >> 8), static_cast<char>(config & 0xFF)};
}

// HEAACWAVEINFO after its WAVEFORMATEX (payload type, profile, structure type, reserved), then
// the AudioSpecificConfig: what the decoder's input type carries as MF_MT_USER_DATA.
std::string UserData(const stream::AudioFrameHeader& header) {
  std::string data(12, '\0');
  data[0] = static_cast<char>(kAdtsPayload);
  data[2] = static_cast<char>(0xFE);  // profile and level: not given
  return data + AudioSpecificConfig(header);
}

class AacMftDecoder final : public AudioDecoder {
 public:
  ~AacMftDecoder() override {
    if (transform_) transform_->ProcessMessage(MFT_MESSAGE_NOTIFY_END_STREAMING, 0);
  }

  bool Open(const stream::AudioFrameHeader& header, ComPtr<IMFTransform> spare,
            std::string* error) {
    transform_ = spare ? std::move(spare) : CreateAacTransform();
    if (!transform_) {
      *error = "The AAC decoder MFT cannot be made";
      return false;
    }
    const int channels = header.channels > 0 ? header.channels : 2;
    ComPtr<IMFMediaType> input;
    MFCreateMediaType(input.put());
    if (!input) {
      *error = "Media Foundation is not running";
      return false;
    }
    input->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Audio);
    input->SetGUID(MF_MT_SUBTYPE, MFAudioFormat_AAC);
    input->SetUINT32(MF_MT_AUDIO_SAMPLES_PER_SECOND, static_cast<UINT32>(header.sample_rate));
    input->SetUINT32(MF_MT_AUDIO_NUM_CHANNELS, static_cast<UINT32>(channels));
    input->SetUINT32(MF_MT_AUDIO_BITS_PER_SAMPLE, 16);
    input->SetUINT32(MF_MT_AAC_PAYLOAD_TYPE, kAdtsPayload);
    const std::string user_data = UserData(header);
    input->SetBlob(MF_MT_USER_DATA, reinterpret_cast<const UINT8*>(user_data.data()),
                   static_cast<UINT32>(user_data.size()));
    const HRESULT result = transform_->SetInputType(0, input.get(), 0);
    if (FAILED(result)) {
      *error = "The AAC decoder MFT refuses the stream (" + HresultText(result) + ")";
      return false;
    }
    format_ = {header.sample_rate, channels};
    if (!ChooseOutput()) {
      *error = "The AAC decoder MFT gives no 16-bit PCM";
      return false;
    }
    transform_->ProcessMessage(MFT_MESSAGE_NOTIFY_BEGIN_STREAMING, 0);
    transform_->ProcessMessage(MFT_MESSAGE_NOTIFY_START_OF_STREAM, 0);
    return true;
  }

  bool Decode(const std::string& frame, std::vector<int16_t>& pcm) override {
    ComPtr<IMFSample> sample = MakeSample(frame);
    if (!sample) return false;
    HRESULT result = transform_->ProcessInput(0, sample.get(), 0);
    if (result == MF_E_NOTACCEPTING) {
      if (!Drain(pcm)) return false;
      result = transform_->ProcessInput(0, sample.get(), 0);
    }
    if (FAILED(result)) return false;
    return Drain(pcm);
  }

  void Finish(std::vector<int16_t>& pcm) override {
    if (SUCCEEDED(transform_->ProcessMessage(MFT_MESSAGE_COMMAND_DRAIN, 0))) Drain(pcm);
  }

  PcmFormat format() const override { return format_; }
  const char* name() const override { return "AAC decoder MFT"; }

 private:
  // The first 16-bit PCM type the decoder offers; its rate and channels are what it will give
  // (twice the header's rate for HE-AAC).
  bool ChooseOutput() {
    for (DWORD i = 0; i < 32; ++i) {
      ComPtr<IMFMediaType> type;
      if (FAILED(transform_->GetOutputAvailableType(0, i, type.put()))) break;
      GUID subtype{};
      UINT32 bits = 0;
      type->GetGUID(MF_MT_SUBTYPE, &subtype);
      type->GetUINT32(MF_MT_AUDIO_BITS_PER_SAMPLE, &bits);
      if (!IsEqualGUID(subtype, MFAudioFormat_PCM) || bits != 16) continue;
      if (FAILED(transform_->SetOutputType(0, type.get(), 0))) continue;
      UINT32 rate = 0;
      UINT32 channels = 0;
      if (SUCCEEDED(type->GetUINT32(MF_MT_AUDIO_SAMPLES_PER_SECOND, &rate)) && rate > 0) {
        format_.sample_rate = static_cast<int>(rate);
      }
      if (SUCCEEDED(type->GetUINT32(MF_MT_AUDIO_NUM_CHANNELS, &channels)) && channels > 0) {
        format_.channels = static_cast<int>(channels);
      }
      MFT_OUTPUT_STREAM_INFO info{};
      transform_->GetOutputStreamInfo(0, &info);
      provides_samples_ = (info.dwFlags & (MFT_OUTPUT_STREAM_PROVIDES_SAMPLES |
                                           MFT_OUTPUT_STREAM_CAN_PROVIDE_SAMPLES)) != 0;
      output_bytes_ = std::max<DWORD>(info.cbSize, kAacOutputBytes);
      return true;
    }
    return false;
  }

  static ComPtr<IMFSample> MakeSample(std::string_view bytes) {
    ComPtr<IMFMediaBuffer> buffer;
    ComPtr<IMFSample> sample;
    if (FAILED(MFCreateMemoryBuffer(static_cast<DWORD>(bytes.size()), buffer.put())) ||
        FAILED(MFCreateSample(sample.put()))) {
      return {};
    }
    BYTE* data = nullptr;
    if (!bytes.empty() && SUCCEEDED(buffer->Lock(&data, nullptr, nullptr))) {
      std::memcpy(data, bytes.data(), bytes.size());
      buffer->Unlock();
    }
    buffer->SetCurrentLength(static_cast<DWORD>(bytes.size()));
    sample->AddBuffer(buffer.get());
    return sample;
  }

  bool Drain(std::vector<int16_t>& pcm) {
    for (int round = 0; round < 16; ++round) {
      ComPtr<IMFSample> own;
      if (!provides_samples_) {
        ComPtr<IMFMediaBuffer> buffer;
        if (FAILED(MFCreateMemoryBuffer(output_bytes_, buffer.put())) ||
            FAILED(MFCreateSample(own.put()))) {
          return false;
        }
        own->AddBuffer(buffer.get());
      }
      MFT_OUTPUT_DATA_BUFFER out{};
      out.pSample = own.get();
      DWORD status = 0;
      const HRESULT result = transform_->ProcessOutput(0, 1, &out, &status);
      if (out.pEvents != nullptr) out.pEvents->Release();
      ComPtr<IMFSample> given;
      if (provides_samples_ && out.pSample != nullptr) *given.put() = out.pSample;
      if (result == MF_E_TRANSFORM_NEED_MORE_INPUT) return true;
      if (result == MF_E_TRANSFORM_STREAM_CHANGE) {
        if (!ChooseOutput()) return false;
        continue;
      }
      if (FAILED(result)) return false;
      Append(out.pSample, pcm);
    }
    return true;
  }

  static void Append(IMFSample* sample, std::vector<int16_t>& pcm) {
    if (sample == nullptr) return;
    ComPtr<IMFMediaBuffer> buffer;
    if (FAILED(sample->ConvertToContiguousBuffer(buffer.put()))) return;
    BYTE* data = nullptr;
    DWORD length = 0;
    if (FAILED(buffer->Lock(&data, nullptr, &length))) return;
    const size_t samples = length / sizeof(int16_t);
    const size_t at = pcm.size();
    pcm.resize(at + samples);
    if (samples > 0) std::memcpy(pcm.data() + at, data, samples * sizeof(int16_t));
    buffer->Unlock();
  }

  ComPtr<IMFTransform> transform_;
  PcmFormat format_;
  bool provides_samples_ = false;
  DWORD output_bytes_ = kAacOutputBytes;
};

}  // namespace

ComPtr<IMFTransform> CreateAacTransform() {
  ComPtr<IMFTransform> transform;
  CoCreateInstance(kAacDecoderMft, nullptr, CLSCTX_INPROC_SERVER, IID_IMFTransform,
                   transform.put_void());
  return transform;
}

std::unique_ptr<AudioDecoder> MakeAacMftDecoder(const stream::AudioFrameHeader& header,
                                                ComPtr<IMFTransform> spare, std::string* error) {
  auto decoder = std::make_unique<AacMftDecoder>();
  if (!decoder->Open(header, std::move(spare), error)) return nullptr;
  return decoder;
}

}  // namespace lumio::win
