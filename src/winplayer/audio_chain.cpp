#include "winplayer/audio_chain.h"

#include "stream/stream_limits.h"

namespace lumio::win {

void AudioChain::Restart() {
  framer_ = std::make_unique<stream::AudioFramer>();
  framed_ = false;
  error_.clear();
}

void AudioChain::Reset() {
  Restart();
  decoder_.reset();
  kinds_.clear();
  refusals_.clear();
  unheard_.clear();
  decoded_samples_ = 0;
  converter_ = PcmConverter{};
  pcm_ = PcmQueue{};
}

bool AudioChain::Feed(std::string_view bytes) {
  if (!error_.empty()) return false;
  frames_.clear();
  framer_->Feed(bytes, frames_);
  framed_ = framed_ || !frames_.empty();
  for (const stream::AudioFrame& frame : frames_) {
    if (!Decode(frame)) return false;
  }
  if (!framed_ && framer_->garbage_bytes() > stream::limits::kMaxBytesBeforeFirstFrame) {
    error_ = "No MPEG audio or AAC frames in the stream";
    return false;
  }
  return true;
}

bool AudioChain::Decode(const stream::AudioFrame& frame) {
  if (!decoder_ || !decoder_header_.SameStream(frame.header)) {
    EndDecoder();
    refusals_.clear();
    kinds_ = DecodersFor(frame.header);
    if (!MakeDecoder(frame.header, 0)) return false;
  }
  return Give(frame.bytes);
}

bool AudioChain::Give(const std::string& frame) {
  // Kept while the decoder gives nothing, for the next decoder should it go on so.
  unheard_.push_back(frame);
  samples_.clear();
  if (!decoder_->Decode(frame, samples_)) {
    return NextDecoder(std::string(decoder_->name()) + " could not decode the stream");
  }
  if (samples_.empty()) {
    // The last decoder to try is given longer: failing it early gains nothing.
    const size_t patience =
        kind_ + 1 < kinds_.size() ? kFramesWithoutSound : 4 * kFramesWithoutSound;
    if (unheard_.size() < patience) return true;
    return NextDecoder(std::string(decoder_->name()) + " gave no sound from " +
                       std::to_string(unheard_.size()) + " frames");
  }
  unheard_.clear();
  Queue(samples_);
  return true;
}

bool AudioChain::MakeDecoder(const stream::AudioFrameHeader& header, size_t from) {
  decoder_.reset();
  for (size_t kind = from; kind < kinds_.size(); ++kind) {
    std::string why;
    decoder_ = MakeAudioDecoder(kinds_[kind], header, spares_, &why);
    if (decoder_) {
      kind_ = kind;
      decoder_header_ = header;
      return true;
    }
    refusals_ += (refusals_.empty() ? "" : "; ") + why;
  }
  error_ = "No decoder of the system plays the stream: " +
           (refusals_.empty() ? std::string("none is known for it") : refusals_);
  unheard_.clear();
  return false;
}

bool AudioChain::NextDecoder(const std::string& why) {
  refusals_ += (refusals_.empty() ? "" : "; ") + why;
  std::vector<std::string> frames = std::move(unheard_);
  unheard_.clear();
  if (!MakeDecoder(decoder_header_, kind_ + 1)) return false;
  // Each next decoder starts with fewer frames left to replay or a kind fewer to try: this ends.
  for (const std::string& frame : frames) {
    if (!Give(frame)) return false;
  }
  return true;
}

void AudioChain::EndDecoder() {
  if (!decoder_) return;
  samples_.clear();
  decoder_->Finish(samples_);
  if (!samples_.empty()) Queue(samples_);
  decoder_.reset();
  unheard_.clear();
  // The next stream does not continue what the converter holds of this one.
  converter_ = PcmConverter{};
}

void AudioChain::Queue(const std::vector<int16_t>& samples) {
  const PcmFormat format = decoder_->format();
  // The first sound since the last Reset sets the format for the rest.
  if (pcm_.format().sample_rate == 0) pcm_.SetFormat(format);
  if (format == pcm_.format()) {
    decoded_samples_ += samples.size();
    pcm_.Append(samples);
    return;
  }
  converted_.clear();
  converter_.Convert(format, pcm_.format(), samples, converted_);
  decoded_samples_ += converted_.size();
  pcm_.Append(converted_);
}

}  // namespace lumio::win
