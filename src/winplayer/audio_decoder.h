#pragma once
// The system's audio decoders behind one face: whole compressed frames in, 16-bit interleaved
// PCM out. MPEG audio Layer III goes to the MP3 decoder DMO and, where that is missing, refuses
// the stream or gives no sound from it, to the ACM MP3 codec (which also takes Layers I and II);
// AAC in ADTS goes to the AAC decoder MFT. COM must be initialised on the calling thread, and
// Media Foundation started for AAC.

#include <mftransform.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "stream/audio_frame_header.h"
#include "winbase/com_ptr.h"
#include "winplayer/pcm_queue.h"

namespace lumio::win {

class AudioDecoder {
 public:
  virtual ~AudioDecoder() = default;
  // Decodes one whole frame (header included) and appends what it yields to `pcm` (decoders
  // may hold a frame or two back). False when the decoder gave up on the stream.
  virtual bool Decode(const std::string& frame, std::vector<int16_t>& pcm) = 0;
  // The stream ends here (another kind of stream follows): appends what was held back.
  virtual void Finish(std::vector<int16_t>& pcm) = 0;
  // The PCM it yields; known once made (an AAC decoder may correct it after its first output).
  virtual PcmFormat format() const = 0;
  // Which system decoder this is, for messages ("MP3 decoder DMO"...).
  virtual const char* name() const = 0;
};

// Decoders made ahead of need. The AAC decoder's first creation can take seconds (it loads a
// media framework): made while the program starts or the station connects, it is not waited for
// when the first frame arrives.
class DecoderSpares {
 public:
  // Makes an AAC decoder unless one is kept already.
  void WarmUp();
  // The AAC decoder kept, or null.
  ComPtr<IMFTransform> TakeAac() { return std::move(aac_); }

 private:
  ComPtr<IMFTransform> aac_;
};

enum class DecoderKind { kMp3Dmo, kAcm, kAacMft };

// The system decoders that may take the stream whose frames have `header`, the one to try
// first first.
std::vector<DecoderKind> DecodersFor(const stream::AudioFrameHeader& header);

// A decoder of `kind` for the stream whose first frame has `header`, taking a spare where one
// fits; null, with `error` (ASCII) set, when it does not accept the stream.
std::unique_ptr<AudioDecoder> MakeAudioDecoder(DecoderKind kind,
                                               const stream::AudioFrameHeader& header,
                                               DecoderSpares& spares, std::string* error);

// The decoders themselves, for the factory and for tests that need one in particular.
std::unique_ptr<AudioDecoder> MakeMp3DmoDecoder(const stream::AudioFrameHeader& header,
                                                std::string* error);
std::unique_ptr<AudioDecoder> MakeAcmDecoder(const stream::AudioFrameHeader& header,
                                             std::string* error);
// `spare`, when given, is an AAC decoder made before and not yet used.
std::unique_ptr<AudioDecoder> MakeAacMftDecoder(const stream::AudioFrameHeader& header,
                                                ComPtr<IMFTransform> spare, std::string* error);
// A new AAC decoder MFT, unconfigured; null when the system has none.
ComPtr<IMFTransform> CreateAacTransform();

}  // namespace lumio::win
