#include "stream/mp4_movie.h"

#include "stream/mp4_boxes.h"

namespace lumio::stream {
namespace {

// A box type for a message: its characters when printable, else its number.
std::string TypeName(uint32_t type) {
  std::string name;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const auto c = static_cast<char>((type >> shift) & 0xFF);
    if (c < 0x20 || c > 0x7E) return "0x" + std::to_string(type);
    name += c;
  }
  return name;
}

// The AAC configuration of an mp4a sample entry's payload.
std::optional<AacConfig> ReadMp4aEntry(std::string_view entry, std::string& why) {
  Mp4Reader in(entry);
  in.Skip(8);  // reserved, data reference index
  const uint16_t version = in.U16();
  in.Skip(6);  // revision, vendor
  const uint16_t channels = in.U16();
  in.Skip(6);  // sample size, compression id, packet size
  const uint32_t rate = in.U32() >> 16;
  // QuickTime's sound descriptions add fields after these.
  in.Skip(version == 1 ? 16 : version == 2 ? 36 : 0);
  why = "the audio track has no readable AAC description";
  if (!in.ok()) return std::nullopt;
  const std::string_view children = in.Rest();
  std::optional<std::string_view> esds = Mp4Child(children, Mp4Type("esds"));
  if (!esds) {
    if (const std::optional<std::string_view> wave = Mp4Child(children, Mp4Type("wave")))
      esds = Mp4Child(*wave, Mp4Type("esds"));
  }
  if (!esds) return std::nullopt;
  return ReadEsdsAacConfig(*esds, channels, static_cast<int>(rate), why);
}

struct TrackRead {
  bool audio = false;
  std::optional<Mp4AudioTrack> track;
  std::string why;
};

TrackRead ReadTrak(std::string_view trak) {
  TrackRead read;
  const std::optional<std::string_view> mdia = Mp4Child(trak, Mp4Type("mdia"));
  if (!mdia) return read;
  const std::optional<std::string_view> hdlr = Mp4Child(*mdia, Mp4Type("hdlr"));
  if (!hdlr) return read;
  Mp4Reader handler(*hdlr);
  handler.Skip(8);  // version, flags, pre_defined
  if (handler.U32() != Mp4Type("soun")) return read;
  read.audio = true;
  read.why = "the audio track has no sample description";

  Mp4AudioTrack track;
  const std::optional<std::string_view> tkhd = Mp4Child(trak, Mp4Type("tkhd"));
  if (!tkhd) return read;
  Mp4Reader header(*tkhd);
  header.Skip(header.U8() == 1 ? 3 + 16 : 3 + 8);  // flags, creation and modification times
  track.track_id = header.U32();
  if (const std::optional<std::string_view> mdhd = Mp4Child(*mdia, Mp4Type("mdhd"))) {
    Mp4Reader media(*mdhd);
    media.Skip(media.U8() == 1 ? 3 + 16 : 3 + 8);
    track.timescale = media.U32();
  }
  if (!header.ok()) return read;

  std::optional<std::string_view> stsd;
  if (const auto minf = Mp4Child(*mdia, Mp4Type("minf")))
    if (const auto stbl = Mp4Child(*minf, Mp4Type("stbl"))) stsd = Mp4Child(*stbl, Mp4Type("stsd"));
  if (!stsd || stsd->size() < 8) return read;
  const std::vector<Mp4Box> entries = Mp4Children(stsd->substr(8));  // after version, count
  if (entries.empty()) return read;
  const Mp4Box& entry = entries.front();
  if (entry.type == Mp4Type("enca")) {
    read.why = "the audio is encrypted";
    return read;
  }
  if (entry.type != Mp4Type("mp4a")) {
    read.why = "the audio is " + TypeName(entry.type) + ", not AAC";
    return read;
  }
  const std::optional<AacConfig> aac = ReadMp4aEntry(entry.payload, read.why);
  if (!aac) return read;
  track.aac = *aac;
  read.track = track;
  return read;
}

}  // namespace

Mp4Movie ReadMp4Movie(std::string_view moov) {
  Mp4Movie movie;
  bool audio = false;
  for (const Mp4Box& box : Mp4Children(moov)) {
    if (box.type == Mp4Type("trak") && !movie.track) {
      TrackRead read = ReadTrak(box.payload);
      if (read.track) {
        movie.track = read.track;
      } else if (read.audio && !audio) {
        movie.no_track_reason = read.why;  // the first audio track's reason is the telling one
      }
      audio = audio || read.audio;
    } else if (box.type == Mp4Type("mvex")) {
      movie.extends.clear();
      for (const Mp4Box& child : Mp4Children(box.payload)) {
        if (child.type != Mp4Type("trex")) continue;
        Mp4Reader in(child.payload);
        in.Skip(4);  // version, flags
        Mp4TrackExtends extends;
        extends.track_id = in.U32();
        in.Skip(4);  // sample description index
        extends.default_sample_duration = in.U32();
        extends.default_sample_size = in.U32();
        if (in.ok()) movie.extends.push_back(extends);
      }
    }
  }
  if (movie.track) {
    movie.no_track_reason.clear();
  } else if (!audio) {
    movie.no_track_reason = "the stream has no audio track";
  }
  return movie;
}

}  // namespace lumio::stream
