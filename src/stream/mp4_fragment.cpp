#include "stream/mp4_fragment.h"

#include "stream/mp4_boxes.h"

namespace lumio::stream {
namespace {

// Positions past this are never reached by a stream; sums stop here instead of wrapping.
constexpr uint64_t kFar = uint64_t{1} << 62;

uint64_t Add(uint64_t a, uint64_t b) {
  return a >= kFar || b >= kFar - a ? kFar : a + b;
}

// tfhd flags
constexpr uint32_t kBaseDataOffset = 0x000001;
constexpr uint32_t kSampleDescriptionIndex = 0x000002;
constexpr uint32_t kDefaultDuration = 0x000008;
constexpr uint32_t kDefaultSize = 0x000010;
constexpr uint32_t kDefaultFlags = 0x000020;
constexpr uint32_t kBaseIsMoof = 0x020000;
// trun flags
constexpr uint32_t kDataOffset = 0x000001;
constexpr uint32_t kFirstSampleFlags = 0x000004;
constexpr uint32_t kSampleDuration = 0x000100;
constexpr uint32_t kSampleSize = 0x000200;
constexpr uint32_t kSampleFlags = 0x000400;
constexpr uint32_t kSampleTimeOffset = 0x000800;

struct TrafRead {
  uint32_t track_id = 0;
  std::vector<Mp4SampleRun> runs;
  std::optional<uint64_t> decode_time;
  std::optional<uint64_t> data_end;  // where the next traf's data starts by default
};

// `base`: where the traf's data starts unless its tfhd says otherwise.
TrafRead ReadTraf(std::string_view traf, std::optional<uint64_t> base, uint64_t moof_start,
                  uint64_t resource_start, const std::vector<Mp4TrackExtends>& extends) {
  TrafRead read;
  const std::optional<std::string_view> tfhd = Mp4Child(traf, Mp4Type("tfhd"));
  if (!tfhd) return read;
  Mp4Reader header(*tfhd);
  const uint32_t flags = header.U32() & 0xFFFFFF;
  read.track_id = header.U32();
  if (flags & kBaseDataOffset) base = Add(resource_start, header.U64());
  if (flags & kSampleDescriptionIndex) header.Skip(4);
  if (flags & kDefaultDuration) header.Skip(4);
  std::optional<uint32_t> default_size;
  if (flags & kDefaultSize) default_size = header.U32();
  if (flags & kDefaultFlags) header.Skip(4);
  if (!header.ok()) return read;
  if (!(flags & kBaseDataOffset) && (flags & kBaseIsMoof)) base = moof_start;
  if (!default_size) {
    for (const Mp4TrackExtends& e : extends)
      if (e.track_id == read.track_id) default_size = e.default_sample_size;
  }

  std::optional<uint64_t> next = base;  // where a run without its own offset starts
  for (const Mp4Box& box : Mp4Children(traf)) {
    if (box.type == Mp4Type("tfdt") && !read.decode_time) {
      Mp4Reader in(box.payload);
      const uint8_t version = in.U8();
      in.Skip(3);
      const uint64_t time = version == 1 ? in.U64() : in.U32();
      if (in.ok()) read.decode_time = time;
      continue;
    }
    if (box.type != Mp4Type("trun")) continue;
    Mp4Reader in(box.payload);
    const uint32_t run_flags = in.U32() & 0xFFFFFF;
    Mp4SampleRun run;
    run.count = in.U32();
    std::optional<uint64_t> start = next;
    if (run_flags & kDataOffset) {
      const auto offset = static_cast<int32_t>(in.U32());
      // A base is below kFar, so the sum fits; a run before the stream's start is placed at 0,
      // which the reader has passed.
      if (base) {
        const int64_t at = static_cast<int64_t>(*base) + offset;
        start = at < 0 ? 0 : static_cast<uint64_t>(at);
      }
    }
    if (run_flags & kFirstSampleFlags) in.Skip(4);
    size_t record = 0;
    for (uint32_t field : {kSampleDuration, kSampleSize, kSampleFlags, kSampleTimeOffset})
      if (run_flags & field) record += 4;
    uint64_t bytes = 0;
    if (run_flags & kSampleSize) {
      // The records must all be there; a count no box could hold is not believed.
      if (!in.ok() || run.count > in.left() / record) {
        next.reset();
        continue;
      }
      run.sizes.reserve(run.count);
      for (uint64_t i = 0; i < run.count; ++i) {
        if (run_flags & kSampleDuration) in.Skip(4);
        run.sizes.push_back(in.U32());
        in.Skip(record - 4 - ((run_flags & kSampleDuration) ? 4 : 0));
        bytes += run.sizes.back();
      }
    } else if (default_size) {
      run.size = *default_size;
      bytes = run.count * run.size;  // both below 2^32: no overflow
    } else {
      next.reset();  // its size is unknown, and so is where the next run starts
      continue;
    }
    if (!in.ok() || !start) {
      next.reset();
      continue;
    }
    run.start = *start;
    next = Add(*start, bytes);
    if (run.count > 0) read.runs.push_back(std::move(run));
  }
  read.data_end = next;
  return read;
}

}  // namespace

Mp4Fragment ReadMp4Fragment(std::string_view moof, uint64_t moof_start, uint64_t resource_start,
                            uint32_t track_id, const std::vector<Mp4TrackExtends>& extends) {
  Mp4Fragment fragment;
  // The first traf's data starts at the moof by default, each next one's where the one before
  // ended.
  std::optional<uint64_t> base = moof_start;
  for (const Mp4Box& box : Mp4Children(moof)) {
    if (box.type != Mp4Type("traf")) continue;
    TrafRead traf = ReadTraf(box.payload, base, moof_start, resource_start, extends);
    base = traf.data_end;
    if (traf.track_id != track_id) continue;
    if (!fragment.decode_time) fragment.decode_time = traf.decode_time;
    for (Mp4SampleRun& run : traf.runs)
      fragment.runs.push_back(std::move(run));
  }
  return fragment;
}

std::optional<TimedMetadata> ReadMp4EventMessage(std::string_view emsg) {
  Mp4Reader in(emsg);
  const uint8_t version = in.U8();
  in.Skip(3);
  std::string_view scheme;
  std::optional<uint64_t> time;
  uint32_t timescale = 0;
  if (version == 0) {
    scheme = in.CString();
    in.CString();  // value
    in.Skip(16);   // timescale, and times relative to a segment start not known yet
  } else if (version == 1) {
    timescale = in.U32();
    time = in.U64();
    in.Skip(8);  // duration, id
    scheme = in.CString();
    in.CString();
  } else {
    return std::nullopt;
  }
  if (!in.ok()) return std::nullopt;
  const std::string_view data = in.Rest();
  if (scheme != "https://aomedia.org/emsg/ID3" && data.substr(0, 3) != "ID3") return std::nullopt;
  TimedMetadata metadata;
  metadata.payload = std::string(data);
  // In 90 kHz units like MPEG-TS times, when they fit.
  if (time && timescale != 0 && *time / timescale < UINT64_MAX / 90000 / 2)
    metadata.pts = *time / timescale * 90000 + *time % timescale * 90000 / timescale;
  return metadata;
}

}  // namespace lumio::stream
