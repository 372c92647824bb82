#include "stream/ts_demuxer.h"

#include "stream/stream_limits.h"

namespace lumio::stream {
namespace {

constexpr uint8_t kSyncByte = 0x47;
constexpr uint16_t kNoPid = 0x1FFF;

uint8_t Byte(std::string_view bytes, size_t i) {
  return static_cast<uint8_t>(bytes[i]);
}

// Stream ids whose PES has no optional header (ISO/IEC 13818-1, table 2-21).
bool HasOptionalHeader(uint8_t stream_id) {
  return stream_id != 0xBC && stream_id != 0xBE && stream_id != 0xBF && stream_id != 0xF0 &&
         stream_id != 0xF1 && stream_id != 0xF2 && stream_id != 0xF8 && stream_id != 0xFF;
}

uint64_t ReadPts(std::string_view b) {
  return (static_cast<uint64_t>(Byte(b, 0) & 0x0E) << 29) |
         (static_cast<uint64_t>(Byte(b, 1)) << 22) |
         (static_cast<uint64_t>(Byte(b, 2) & 0xFE) << 14) |
         (static_cast<uint64_t>(Byte(b, 3)) << 7) | (Byte(b, 4) >> 1);
}

// The declared size of a PES (header included) from its first 6 bytes; 0 when left open.
size_t DeclaredSize(std::string_view pes) {
  const size_t length = (static_cast<size_t>(Byte(pes, 4)) << 8) | Byte(pes, 5);
  return length == 0 ? 0 : 6 + length;
}

// A whole PES of declared length never needs to be handed on in pieces.
static_assert(limits::kMaxPesBytes >= 6 + 0xFFFF + kTsPacketSize);

struct Unwrapped {
  std::string_view payload;
  std::optional<uint64_t> pts;
};

// The payload of the PES that `data` starts with, and its time; nullopt when its header is
// broken or bytes of a PES of declared length are missing.
std::optional<Unwrapped> Unwrap(std::string_view data) {
  if (data.size() < 6 || Byte(data, 0) != 0 || Byte(data, 1) != 0 || Byte(data, 2) != 1)
    return std::nullopt;
  const size_t declared = DeclaredSize(data);
  if (declared != 0 && data.size() < declared) return std::nullopt;
  Unwrapped out{declared != 0 ? data.substr(0, declared) : data, std::nullopt};
  if (HasOptionalHeader(Byte(data, 3))) {
    if (out.payload.size() < 9) return std::nullopt;
    const size_t header = 9 + Byte(out.payload, 8);
    if (header > out.payload.size()) return std::nullopt;
    if ((Byte(out.payload, 7) & 0x80) && header >= 14) out.pts = ReadPts(out.payload.substr(9));
    out.payload.remove_prefix(header);
  } else {
    out.payload.remove_prefix(6);
  }
  return out;
}

}  // namespace

bool TsDemuxer::Continuity(int& last, uint8_t counter, bool discontinuity, bool& open) {
  const int previous = last;
  last = counter;
  if (previous < 0 || discontinuity) return true;
  if (counter == previous) return false;  // sent twice
  if (counter != ((previous + 1) & 0x0F)) open = false;
  return true;
}

void TsDemuxer::BreakAll() {
  audio_.open = false;
  id3_.open = false;
  pat_.Reset();
  pmt_.Reset();
}

void TsDemuxer::Table(std::string_view payload, bool unit_start, bool pat) {
  for (const std::string& section : (pat ? pat_ : pmt_).Add(payload, unit_start)) {
    if (pat) {
      const std::optional<uint16_t> pid = ParsePatSection(section);
      if (pid && *pid != pmt_pid_) {
        pmt_pid_ = *pid;
        pmt_counter_ = -1;
        pmt_.Reset();
      }
      continue;
    }
    const std::optional<std::vector<TsElementaryStream>> streams = ParsePmtSection(section);
    if (!streams) continue;
    uint16_t audio_pid = kNoPid;
    uint16_t id3_pid = kNoPid;
    TsAudioType type = TsAudioType::kNone;
    for (const TsElementaryStream& es : *streams) {
      if (audio_pid == kNoPid && es.stream_type == 0x0F) {
        audio_pid = es.pid;
        type = TsAudioType::kAdtsAac;
      } else if (audio_pid == kNoPid && (es.stream_type == 0x03 || es.stream_type == 0x04)) {
        audio_pid = es.pid;
        type = TsAudioType::kMpegAudio;
      } else if (id3_pid == kNoPid && es.stream_type == 0x15) {
        id3_pid = es.pid;
      }
    }
    // Tables must not steal each other's PIDs, nor a stream the tables' PIDs.
    if (audio_pid == kTsPatPid || audio_pid == pmt_pid_) audio_pid = kNoPid;
    if (id3_pid == kTsPatPid || id3_pid == pmt_pid_ || id3_pid == audio_pid) id3_pid = kNoPid;
    if (audio_pid != audio_.pid) {
      audio_ = Pes();
      audio_.pid = audio_pid;
    }
    if (id3_pid != id3_.pid) {
      id3_ = Pes();
      id3_.pid = id3_pid;
    }
    audio_type_ = audio_pid == kNoPid ? TsAudioType::kNone : type;
  }
}

void TsDemuxer::Finish(Pes& pes, std::string& audio, std::vector<TimedMetadata>& metadata) {
  pes.open = false;
  if (pes.handed_on) {
    audio.append(pes.data);  // the last piece of a long audio PES
    return;
  }
  const std::optional<Unwrapped> unwrapped = Unwrap(pes.data);
  if (!unwrapped) return;
  if (&pes == &audio_) {
    audio.append(unwrapped->payload);
  } else {
    metadata.push_back({unwrapped->pts, std::string(unwrapped->payload)});
  }
}

void TsDemuxer::HandOnPiece(Pes& pes, std::string& audio, std::vector<TimedMetadata>& metadata) {
  // A tag is read from its start (its title frames come first), so a metadata PES this long
  // is handed on as far as it got and the rest of it is not gathered.
  if (&pes != &audio_) return Finish(pes, audio, metadata);
  if (pes.handed_on) {
    audio.append(pes.data);
  } else {
    const std::optional<Unwrapped> unwrapped = Unwrap(pes.data);
    if (!unwrapped) {
      pes.open = false;
      return;
    }
    audio.append(unwrapped->payload);
  }
  pes.data.clear();
  pes.handed_on = true;
}

void TsDemuxer::Collect(Pes& pes, std::string_view payload, bool unit_start, std::string& audio,
                        std::vector<TimedMetadata>& metadata) {
  if (unit_start) {
    // A new PES ends one whose length was left open; one of declared length that is still
    // short has lost bytes, and Finish drops it.
    if (pes.open) Finish(pes, audio, metadata);
    pes.data.assign(payload);
    pes.open = true;
    pes.handed_on = false;
  } else if (pes.open) {
    // Only a PES of open length grows this far ("until the next one"): its audio goes on in
    // pieces, which the framer downstream joins as it joins network chunks.
    if (pes.data.size() + payload.size() > limits::kMaxPesBytes) {
      HandOnPiece(pes, audio, metadata);
      if (!pes.open) return;
    }
    pes.data.append(payload);
  } else {
    return;
  }
  if (!pes.handed_on && pes.data.size() >= 6) {
    const size_t declared = DeclaredSize(pes.data);
    if (declared != 0 && pes.data.size() >= declared) Finish(pes, audio, metadata);
  }
}

void TsDemuxer::Packet(std::string_view packet, std::string& audio,
                       std::vector<TimedMetadata>& metadata) {
  const bool error = Byte(packet, 1) & 0x80;
  const bool unit_start = Byte(packet, 1) & 0x40;
  const uint16_t pid = static_cast<uint16_t>(((Byte(packet, 1) & 0x1F) << 8) | Byte(packet, 2));
  const bool scrambled = (Byte(packet, 3) >> 6) != 0;
  const int control = (Byte(packet, 3) >> 4) & 3;
  const uint8_t counter = Byte(packet, 3) & 0x0F;
  Pes* pes = pid == kNoPid       ? nullptr
             : pid == audio_.pid ? &audio_
             : pid == id3_.pid   ? &id3_
                                 : nullptr;
  const bool table = pid == kTsPatPid || (pid == pmt_pid_ && pmt_pid_ != kNoPid);
  if (!pes && !table) return;
  if (error || scrambled) {
    // Its bytes cannot be used, and the PID itself may be wrong: break what it might belong to.
    if (pes) pes->open = false;
    return;
  }
  size_t start = 4;
  bool discontinuity = false;
  if (control & 2) {
    const size_t adaptation = Byte(packet, 4);
    start = 5 + adaptation;
    if (start > kTsPacketSize) return;
    discontinuity = adaptation > 0 && (Byte(packet, 5) & 0x80);
  }
  if (!(control & 1)) return;  // no payload, and the counter does not move
  const std::string_view payload = packet.substr(start);
  if (pes) {
    if (!Continuity(pes->last_counter, counter, discontinuity, pes->open)) return;
    Collect(*pes, payload, unit_start, audio, metadata);
    return;
  }
  const bool pat = pid == kTsPatPid;
  bool intact = true;
  if (!Continuity(pat ? pat_counter_ : pmt_counter_, counter, discontinuity, intact)) return;
  if (!intact) (pat ? pat_ : pmt_).Reset();
  Table(payload, unit_start, pat);
}

void TsDemuxer::Feed(std::string_view bytes, std::string& audio,
                     std::vector<TimedMetadata>& metadata) {
  buffer_.erase(0, pos_);
  pos_ = 0;
  buffer_.append(bytes);
  const std::string_view all(buffer_);
  while (all.size() - pos_ >= kTsPacketSize) {
    if (in_step_ && Byte(all, pos_) == kSyncByte) {
      Packet(all.substr(pos_, kTsPacketSize), audio, metadata);
      pos_ += kTsPacketSize;
      continue;
    }
    if (in_step_) BreakAll();
    in_step_ = false;
    // Find two sync bytes a packet apart; keep a candidate whose partner has not arrived.
    while (pos_ + kTsPacketSize < all.size() &&
           !(Byte(all, pos_) == kSyncByte && Byte(all, pos_ + kTsPacketSize) == kSyncByte))
      ++pos_;
    if (pos_ + kTsPacketSize >= all.size()) break;
    in_step_ = true;
  }
}

void TsDemuxer::Flush(std::string& audio, std::vector<TimedMetadata>& metadata) {
  const std::string_view rest = std::string_view(buffer_).substr(pos_);
  // A last packet after garbage has no partner to confirm it; its sync byte has to do.
  if (!in_step_ && rest.size() == kTsPacketSize && Byte(rest, 0) == kSyncByte)
    Packet(rest, audio, metadata);
  buffer_.clear();
  pos_ = 0;
  in_step_ = true;
  for (Pes* pes : {&audio_, &id3_}) {
    const bool open_ended =
        pes->open && (pes->handed_on || (pes->data.size() >= 6 && DeclaredSize(pes->data) == 0));
    if (open_ended) Finish(*pes, audio, metadata);
    pes->open = false;
    pes->last_counter = -1;
  }
  // The next segment may come from another muxer run whose counters start anywhere; a counter
  // that happened to repeat the last one must not read as a packet sent twice.
  pat_counter_ = -1;
  pmt_counter_ = -1;
  pat_.Reset();
  pmt_.Reset();
}

size_t TsDemuxer::held_bytes() const {
  return buffer_.size() - pos_ + audio_.data.size() + id3_.data.size();
}

}  // namespace lumio::stream
