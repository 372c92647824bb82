#pragma once
// Takes the audio out of MPEG transport stream segments (HLS): finds the program through the
// PAT and PMT, reassembles the PES packets of its first audio stream and hands out their
// payload, the elementary stream a framer or decoder reads. An ID3 timed-metadata stream, if
// the program has one, is handed out PES by PES.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "stream/ts_psi.h"

namespace lumio::stream {

inline constexpr size_t kTsPacketSize = 188;

enum class TsAudioType { kNone, kAdtsAac, kMpegAudio };

struct TimedMetadata {
  std::optional<uint64_t> pts;  // presentation time, 90 kHz units
  std::string payload;          // the PES payload: an ID3v2 tag
};

class TsDemuxer {
 public:
  // Adds the next `bytes` of the stream (cut anywhere); appends the payload of every audio PES
  // they complete to `audio`, in order, and every ID3 PES to `metadata`. A PES that lost a
  // packet (a continuity counter gap, a transport error, a resync after garbage) is dropped
  // whole; a repeated packet is ignored. Packets are found by their 0x47 sync byte; after
  // garbage, two packets in a row must agree before packets count again. An audio PES of open
  // length is handed on in pieces of at most limits::kMaxPesBytes as it grows (a gap then loses
  // only what was not yet handed on); an ID3 PES is cut at that size.
  void Feed(std::string_view bytes, std::string& audio, std::vector<TimedMetadata>& metadata);

  // The end of a segment: hands out a PES still open whose length was left open, drops
  // anything partial, and expects the next bytes to start a packet. The program found so far
  // is kept.
  void Flush(std::string& audio, std::vector<TimedMetadata>& metadata);

  // The kind of audio stream chosen; kNone until a PMT named one.
  TsAudioType audio_type() const { return audio_type_; }

  // Bytes of the stream held between calls: a partial packet and the PES being gathered.
  size_t held_bytes() const;

 private:
  // One PID's PES being collected, or its continuity state for a table.
  struct Pes {
    uint16_t pid = 0x1FFF;  // 0x1FFF: none
    int last_counter = -1;
    bool open = false;
    // A first piece of this PES, header and all, went out; `data` holds payload only.
    bool handed_on = false;
    std::string data;
  };

  void Packet(std::string_view packet, std::string& audio, std::vector<TimedMetadata>& metadata);
  void Table(std::string_view payload, bool unit_start, bool pat);
  void Collect(Pes& pes, std::string_view payload, bool unit_start, std::string& audio,
               std::vector<TimedMetadata>& metadata);
  void Finish(Pes& pes, std::string& audio, std::vector<TimedMetadata>& metadata);
  void HandOnPiece(Pes& pes, std::string& audio, std::vector<TimedMetadata>& metadata);
  // False when the packet is to be ignored; resets `open` on a gap.
  bool Continuity(int& last, uint8_t counter, bool discontinuity, bool& open);
  void BreakAll();

  std::string buffer_;
  size_t pos_ = 0;
  bool in_step_ = true;
  uint16_t pmt_pid_ = 0x1FFF;
  int pat_counter_ = -1;
  int pmt_counter_ = -1;
  TsSectionCollector pat_;
  TsSectionCollector pmt_;
  TsAudioType audio_type_ = TsAudioType::kNone;
  Pes audio_;
  Pes id3_;
};

}  // namespace lumio::stream
