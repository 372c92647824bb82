#include "stream/fmp4_reader.h"

#include <algorithm>
#include <limits>

#include "stream/mp4_aac_config.h"
#include "stream/stream_limits.h"

namespace lumio::stream {
namespace {

constexpr uint64_t kOpenEnd = std::numeric_limits<uint64_t>::max();

uint64_t SaturatingAdd(uint64_t a, uint64_t b) {
  return b > kOpenEnd - a ? kOpenEnd : a + b;
}

bool Held(uint32_t type) {
  return type == Mp4Type("moov") || type == Mp4Type("moof") || type == Mp4Type("emsg");
}

}  // namespace

void Fmp4Reader::Feed(std::string_view bytes, std::string& audio,
                      std::vector<TimedMetadata>& metadata) {
  while (!bytes.empty()) {
    if (mode_ == Mode::kLost) {
      pos_ += bytes.size();
      return;
    }
    if (mode_ == Mode::kHeader) {
      Mp4BoxHeader header;
      Mp4HeaderStatus status = ReadMp4BoxHeader(head_, header);
      // Take no byte past the header: what follows belongs to the box.
      while (status == Mp4HeaderStatus::kNeedMore && !bytes.empty()) {
        const size_t take = std::min(header.header_size - head_.size(), bytes.size());
        head_.append(bytes.substr(0, take));
        bytes.remove_prefix(take);
        pos_ += take;
        status = ReadMp4BoxHeader(head_, header);
      }
      if (status == Mp4HeaderStatus::kNeedMore) return;
      head_.clear();
      if (status == Mp4HeaderStatus::kInvalid) {
        DropFragment();
        mode_ = Mode::kLost;
        continue;
      }
      StartBox(header);
    } else {
      const size_t take = static_cast<size_t>(std::min<uint64_t>(bytes.size(), box_end_ - pos_));
      const std::string_view part = bytes.substr(0, take);
      bytes.remove_prefix(take);
      if (mode_ == Mode::kHold) Hold(part);
      if (mode_ == Mode::kSamples) Samples(part, audio);
      pos_ += take;
    }
    if (mode_ != Mode::kHeader && pos_ == box_end_) EndBox(metadata);
  }
}

void Fmp4Reader::StartBox(const Mp4BoxHeader& header) {
  box_type_ = header.type;
  box_start_ = pos_ - header.header_size;
  box_end_ = header.size == 0 ? kOpenEnd : SaturatingAdd(box_start_, header.size);
  held_.clear();
  if (header.type == Mp4Type("mdat")) {
    mode_ = Mode::kSamples;
  } else if (!Held(header.type)) {
    mode_ = Mode::kSkip;
  } else if (header.size == 0 || header.size - header.header_size <= limits::kMaxMp4HeldBoxBytes) {
    mode_ = Mode::kHold;
  } else {
    TooLong();
  }
}

void Fmp4Reader::TooLong() {
  mode_ = Mode::kSkip;
  held_.clear();
  if (box_type_ == Mp4Type("moov")) {
    DropFragment();
    track_.reset();
    extends_.clear();
    no_track_reason_ = "the init section is too large to read";
  } else if (box_type_ == Mp4Type("moof")) {
    DropFragment();
  }
}

void Fmp4Reader::Hold(std::string_view bytes) {
  // Only a box that runs to the end of the segment has no size to check up front.
  if (held_.size() + bytes.size() > limits::kMaxMp4HeldBoxBytes) return TooLong();
  held_.append(bytes);
}

void Fmp4Reader::EndBox(std::vector<TimedMetadata>& metadata) {
  const Mode mode = mode_;
  mode_ = Mode::kHeader;
  if (mode != Mode::kHold) return;
  if (box_type_ == Mp4Type("moov")) {
    TakeMovie(held_);
  } else if (box_type_ == Mp4Type("moof")) {
    DropFragment();
    if (track_) {
      runs_ = ReadMp4Fragment(held_, box_start_, resource_start_, track_->track_id, extends_).runs;
      if (!runs_.empty()) sample_start_ = runs_.front().start;
    }
  } else if (box_type_ == Mp4Type("emsg")) {
    if (std::optional<TimedMetadata> tag = ReadMp4EventMessage(held_))
      metadata.push_back(std::move(*tag));
  }
  held_.clear();
}

void Fmp4Reader::TakeMovie(const std::string& moov) {
  Mp4Movie movie = ReadMp4Movie(moov);
  DropFragment();
  track_ = std::move(movie.track);
  extends_ = std::move(movie.extends);
  no_track_reason_ = std::move(movie.no_track_reason);
}

void Fmp4Reader::Samples(std::string_view bytes, std::string& audio) {
  uint64_t at = pos_;
  while (!bytes.empty() && run_ < runs_.size()) {
    const Mp4SampleRun& run = runs_[run_];
    const uint32_t size = run.SampleSize(sample_);
    if (size == 0) {
      // Nothing to decode; a run of such samples is passed whole.
      if (run.sizes.empty()) sample_ = run.count - 1;
      NextSample();
      continue;
    }
    if (sample_start_ > at) {
      const size_t skip = static_cast<size_t>(std::min<uint64_t>(bytes.size(), sample_start_ - at));
      bytes.remove_prefix(skip);
      at += skip;
      continue;
    }
    if (sample_start_ + collected_ != at) {
      // It began where no sample data was, where this reader had already passed, or in an
      // mdat that ended before it did.
      DropSamplesBehind(at);
      continue;
    }
    const size_t take = static_cast<size_t>(std::min<uint64_t>(bytes.size(), size - collected_));
    if (size <= kMaxAdtsPayloadBytes) sample_bytes_.append(bytes.substr(0, take));
    bytes.remove_prefix(take);
    at += take;
    collected_ += take;
    if (collected_ < size) continue;
    if (size <= kMaxAdtsPayloadBytes) {
      audio += MakeAdtsHeader(track_->aac, size);
      audio += sample_bytes_;
    } else {
      ++dropped_samples_;
    }
    NextSample();
  }
}

void Fmp4Reader::NextSample() {
  const Mp4SampleRun& run = runs_[run_];
  sample_start_ = SaturatingAdd(sample_start_, run.SampleSize(sample_));
  collected_ = 0;
  sample_bytes_.clear();
  if (++sample_ < run.count) return;
  sample_ = 0;
  if (++run_ < runs_.size()) sample_start_ = runs_[run_].start;
}

void Fmp4Reader::DropSamplesBehind(uint64_t at) {
  const Mp4SampleRun& run = runs_[run_];
  if (run.sizes.empty() && collected_ == 0 && sample_start_ < at) {
    // Samples of one size are passed by arithmetic: a run may claim billions of them.
    const uint64_t behind = (at - sample_start_ + run.size - 1) / run.size;
    const uint64_t skip = std::min(behind, run.count - sample_) - 1;
    sample_ += skip;
    sample_start_ = SaturatingAdd(sample_start_, skip * run.size);
    dropped_samples_ += skip;
  }
  ++dropped_samples_;
  NextSample();
}

void Fmp4Reader::DropFragment() {
  for (size_t i = run_; i < runs_.size(); ++i)
    dropped_samples_ += runs_[i].count - (i == run_ ? sample_ : 0);
  runs_.clear();
  run_ = 0;
  sample_ = 0;
  sample_start_ = 0;
  collected_ = 0;
  sample_bytes_.clear();
}

void Fmp4Reader::Flush(std::vector<TimedMetadata>& metadata) {
  if (mode_ == Mode::kHold && box_end_ == kOpenEnd) {
    EndBox(metadata);
  } else if (mode_ == Mode::kHold && box_type_ == Mp4Type("moov") && !track_) {
    no_track_reason_ = "the init section is cut short";
  }
  DropFragment();
  mode_ = Mode::kHeader;
  head_.clear();
  held_.clear();
  resource_start_ = pos_;
}

}  // namespace lumio::stream
