#include "winplayer/audio_chain.h"

namespace lumio::win {
namespace {

// Bytes of a stream without one frame in them before it counts as no audio the player knows:
// more than any ID3 tag or page header in front of a real stream.
constexpr uint64_t kGiveUpBytes = 256 * 1024;

}  // namespace

void AudioChain::Restart() {
  framer_ = std::make_unique<stream::AudioFramer>();
  framed_ = false;
  error_.clear();
}

void AudioChain::Reset() {
  Restart();
  decoder_.reset();
  decoder_gave_sound_ = false;
  decoded_samples_ = 0;
  pcm_.Clear();
}

bool AudioChain::Feed(std::string_view bytes) {
  if (!error_.empty()) return false;
  frames_.clear();
  framer_->Feed(bytes, frames_);
  framed_ = framed_ || !frames_.empty();
  for (const stream::AudioFrame& frame : frames_) {
    if (!Decode(frame)) return false;
  }
  if (!framed_ && framer_->dropped_bytes() > kGiveUpBytes) {
    error_ = "No MPEG audio or AAC frames in the stream";
    return false;
  }
  return true;
}

bool AudioChain::Decode(const stream::AudioFrame& frame) {
  if (!decoder_ || !decoder_header_.SameStream(frame.header)) {
    if (!MakeDecoder(frame.header)) return false;
  }
  samples_.clear();
  bool decoded = decoder_->Decode(frame.bytes, samples_);
  // The DMO and ACM decode the same streams; where one fails from the start, the other may not.
  if (!decoded && frame.header.layer == 3 && !decoder_gave_sound_ &&
      std::string_view(decoder_->name()).find("DMO") != std::string_view::npos) {
    std::string acm_error;
    if (auto acm = MakeAcmDecoder(frame.header, &acm_error)) {
      decoder_ = std::move(acm);
      samples_.clear();
      decoded = decoder_->Decode(frame.bytes, samples_);
    }
  }
  if (!decoded) {
    error_ = std::string(decoder_->name()) + " could not decode the stream";
    decoder_.reset();
    return false;
  }
  if (samples_.empty()) return true;
  decoder_gave_sound_ = true;
  decoded_samples_ += samples_.size();
  pcm_.SetFormat(decoder_->format());
  pcm_.Append(samples_);
  return true;
}

bool AudioChain::MakeDecoder(const stream::AudioFrameHeader& header) {
  decoder_.reset();
  decoder_gave_sound_ = false;
  std::string why;
  decoder_ = MakeAudioDecoder(header, spares_, &why);
  if (!decoder_) {
    error_ = why;
    return false;
  }
  decoder_header_ = header;
  return true;
}

}  // namespace lumio::win
