#pragma once
// Takes the AAC audio out of fragmented MP4 (CMAF), the segments of an HLS stream with an
// EXT-X-MAP: the init section names the track and its configuration, each media segment's
// moof says where its samples lie in the mdat after it. Each access unit is handed out as an
// ADTS frame, so that the audio reads like the ADTS an MPEG-TS segment carries. Bytes are
// taken as they arrive: only a few small boxes are held whole, never the sample data.
//
// One reader serves one stream: feed it the init section, then the segments, each followed by
// Flush. A new init section is fed the same way and replaces the track from its end on.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "stream/mp4_boxes.h"
#include "stream/mp4_fragment.h"
#include "stream/mp4_movie.h"
#include "stream/ts_demuxer.h"

namespace lumio::stream {

class Fmp4Reader {
 public:
  // Adds the next `bytes` of an init section or segment (cut anywhere). Appends to `audio` each
  // sample of the track as an ADTS frame, in stream order, once its last byte is in; and to
  // `metadata` each ID3 tag an event message carries. Samples of fragments that come before
  // any usable init section are dropped.
  void Feed(std::string_view bytes, std::string& audio, std::vector<TimedMetadata>& metadata);

  // The end of an init section or segment: a box that ran "to the end" is read now, a sample
  // or box cut short is dropped, and the next bytes start a box.
  void Flush(std::vector<TimedMetadata>& metadata);

  // The audio track of the last init section read; nullopt before one, or when it had none
  // the player can decode.
  const std::optional<Mp4AudioTrack>& track() const { return track_; }
  // Why track() is empty, as the end of a sentence.
  const std::string& no_track_reason() const { return no_track_reason_; }
  // Samples of the track lost: cut short, too long for an ADTS frame, placed outside the
  // sample data, or left out when the next fragment or segment began.
  uint64_t dropped_samples() const { return dropped_samples_; }

 private:
  enum class Mode {
    kHeader,   // reading a box header
    kHold,     // gathering a box to read it whole
    kSamples,  // passing through sample data (mdat)
    kSkip,     // passing over a box
    kLost,     // a box header made no sense: nothing more of this segment can be found
  };

  void StartBox(const Mp4BoxHeader& header);
  // The box to be held is larger than the bound: it is passed over unread.
  void TooLong();
  void EndBox(std::vector<TimedMetadata>& metadata);
  void Hold(std::string_view bytes);
  void Samples(std::string_view bytes, std::string& audio);
  void NextSample();
  // Drops the next sample, which began before `at`, and any more of its run that did.
  void DropSamplesBehind(uint64_t at);
  void DropFragment();
  void TakeMovie(const std::string& moov);

  Mode mode_ = Mode::kHeader;
  uint64_t pos_ = 0;             // stream position of the next byte
  uint64_t resource_start_ = 0;  // of the segment being read
  std::string head_;             // the box header being read
  uint32_t box_type_ = 0;
  uint64_t box_start_ = 0;
  uint64_t box_end_ = 0;  // kOpenEnd for a box that runs to the end of the segment
  std::string held_;      // the payload of the box being held

  std::optional<Mp4AudioTrack> track_;
  std::vector<Mp4TrackExtends> extends_;
  std::string no_track_reason_ = "no init section has been read";

  // The current fragment's samples, and the next one to hand out.
  std::vector<Mp4SampleRun> runs_;
  size_t run_ = 0;
  uint64_t sample_ = 0;
  uint64_t sample_start_ = 0;
  uint64_t collected_ = 0;  // bytes of the next sample passed so far
  std::string sample_bytes_;
  uint64_t dropped_samples_ = 0;
};

}  // namespace lumio::stream
