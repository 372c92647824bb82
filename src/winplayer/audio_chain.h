#pragma once
// Compressed audio, as a station sends it, to sound for the device: frames found in the bytes,
// a system decoder picked by the first frame (the next one where it refuses the stream or stops
// giving sound from it), the decoded samples queued in one format from the first sound on.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "stream/audio_framer.h"
#include "winplayer/audio_decoder.h"
#include "winplayer/pcm_converter.h"
#include "winplayer/pcm_queue.h"

namespace lumio::win {

class AudioChain {
 public:
  // Frames in a row a decoder is given with no sound from it before the next decoder gets them
  // (four times as many for the last one, after which the stream fails): more than any decoder
  // holds back, at a stream's start or later.
  static constexpr size_t kFramesWithoutSound = 16;

  explicit AudioChain(DecoderSpares& spares) : spares_(spares) {}

  // The next bytes come from a new connection (or a jump in an HLS stream) and may start
  // mid-frame: frames are looked for afresh. The decoder stays for a stream of the same kind.
  void Restart();
  // Forgets the stream altogether, queued sound included.
  void Reset();

  // Adds the next bytes of the stream; decoded sound is appended to pcm(). False once the
  // stream cannot be decoded (error() says why): no frames in it, or no decoder gives sound
  // from them. Sound of another rate or channel count than the sound queued since the last
  // Reset is converted to it, so that the device plays on as it is.
  bool Feed(std::string_view bytes);

  PcmQueue& pcm() { return pcm_; }
  const std::string& error() const { return error_; }
  // Samples decoded since the last Reset: grows while the stream brings sound.
  uint64_t decoded_samples() const { return decoded_samples_; }
  // The system decoder in use ("" before the first frame).
  const char* decoder_name() const { return decoder_ ? decoder_->name() : ""; }

 private:
  bool Decode(const stream::AudioFrame& frame);
  // Gives one frame to the decoder in use, and to the next ones where it fails.
  bool Give(const std::string& frame);
  // Makes the first decoder from kinds_[from] on that takes the stream of `header`; false,
  // with error_ set, when none is left.
  bool MakeDecoder(const stream::AudioFrameHeader& header, size_t from);
  // The decoder in use failed for `why`: the next one gets the frames it gave no sound from.
  bool NextDecoder(const std::string& why);
  // The stream of the decoder in use ends: what it held back is queued.
  void EndDecoder();
  void Queue(const std::vector<int16_t>& samples);

  DecoderSpares& spares_;
  std::unique_ptr<stream::AudioFramer> framer_ = std::make_unique<stream::AudioFramer>();
  std::unique_ptr<AudioDecoder> decoder_;
  stream::AudioFrameHeader decoder_header_;
  std::vector<DecoderKind> kinds_;    // the decoders for decoder_header_, in the order tried
  size_t kind_ = 0;                   // decoder_'s place in kinds_
  std::string refusals_;              // why the decoders tried before it could not
  std::vector<std::string> unheard_;  // frames decoder_ gave no sound from, in a row
  uint64_t decoded_samples_ = 0;
  bool framed_ = false;  // the framer found a frame since the last Restart
  std::vector<stream::AudioFrame> frames_;
  std::vector<int16_t> samples_;
  std::vector<int16_t> converted_;
  PcmConverter converter_;
  PcmQueue pcm_;
  std::string error_;
};

}  // namespace lumio::win
