#pragma once
// Compressed audio, as a station sends it, to sound for the device: frames found in the bytes,
// a system decoder picked by the first frame, the decoded samples queued.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "stream/audio_framer.h"
#include "winplayer/audio_decoder.h"
#include "winplayer/pcm_queue.h"

namespace lumio::win {

class AudioChain {
 public:
  explicit AudioChain(DecoderSpares& spares) : spares_(spares) {}

  // The next bytes come from a new connection (or a jump in an HLS stream) and may start
  // mid-frame: frames are looked for afresh. The decoder stays for a stream of the same kind.
  void Restart();
  // Forgets the stream altogether, queued sound included.
  void Reset();

  // Adds the next bytes of the stream; decoded sound is appended to pcm(). False once the
  // stream cannot be decoded (error() says why): no frames in it, or no decoder takes them.
  bool Feed(std::string_view bytes);

  PcmQueue& pcm() { return pcm_; }
  const std::string& error() const { return error_; }
  // Samples decoded since the last Reset: grows while the stream brings sound.
  uint64_t decoded_samples() const { return decoded_samples_; }

 private:
  bool Decode(const stream::AudioFrame& frame);
  bool MakeDecoder(const stream::AudioFrameHeader& header);

  DecoderSpares& spares_;
  std::unique_ptr<stream::AudioFramer> framer_ = std::make_unique<stream::AudioFramer>();
  std::unique_ptr<AudioDecoder> decoder_;
  stream::AudioFrameHeader decoder_header_;
  bool decoder_gave_sound_ = false;
  uint64_t decoded_samples_ = 0;
  bool framed_ = false;  // the framer found a frame since the last Restart
  std::vector<stream::AudioFrame> frames_;
  std::vector<int16_t> samples_;
  PcmQueue pcm_;
  std::string error_;
};

}  // namespace lumio::win
