#include "recording/stream_cutter.h"

#include <utility>

namespace lumio {

void SoundLength::Add(const RecordUnit& unit) {
  if (unit.samples == 0 || unit.rate == 0) return;
  if (unit.rate != m_rate) {
    m_rate = unit.rate;
    m_remainder = 0;
  }
  const uint64_t scaled = uint64_t{unit.samples} * 1'000'000'000 + m_remainder;
  m_ns += scaled / m_rate;
  m_remainder = scaled % m_rate;
}

void StreamCutter::Restart() {
  *this = StreamCutter();
}

void StreamCutter::Resync() {
  m_framer = stream::AudioFramer();
  m_pages = OggPageReader();
  if (m_format == RecordFormat::kFinding) m_probe.clear();
}

std::string StreamCutter::Extension() const {
  switch (m_format) {
    case RecordFormat::kMpegAudio:
      return m_mpegLayer == 3 ? "mp3" : "mp2";
    case RecordFormat::kAdts:
      return "aac";
    case RecordFormat::kOgg:
      return "ogg";
    default:
      return "";
  }
}

std::optional<std::string> StreamCutter::OggHeaders() const {
  if (!m_oggHeadersKnown) return std::nullopt;
  return m_oggHeaders;
}

void StreamCutter::Feed(std::string_view bytes, const UnitSink& onUnit) {
  switch (m_format) {
    case RecordFormat::kFinding:
      m_probe.append(bytes);
      Decide(onUnit);
      return;
    case RecordFormat::kMpegAudio:
    case RecordFormat::kAdts: {
      std::vector<stream::AudioFrame> frames;
      m_framer.Feed(bytes, frames);
      TakeFrames(frames, onUnit);
      return;
    }
    case RecordFormat::kOgg: {
      std::vector<OggPage> pages;
      m_pages.Feed(bytes, pages);
      TakePages(pages, onUnit);
      return;
    }
    case RecordFormat::kUnsupported:
      return;
  }
}

// Ogg is taken on a page whose CRC holds, which random bytes never pass; audio frames only when
// no Ogg page is still half-received, since frame syncs turn up inside Ogg pages.
void StreamCutter::Decide(const UnitSink& onUnit) {
  const std::string_view probe(m_probe);
  bool oggPending = false;
  for (size_t at = probe.find("OggS"); at != std::string_view::npos;
       at = probe.find("OggS", at + 1)) {
    size_t length = 0;
    const OggPageCheck check = CheckOggPage(probe.substr(at), length);
    if (check == OggPageCheck::kPage) {
      m_format = RecordFormat::kOgg;
      std::vector<OggPage> pages;
      m_pages.Feed(probe.substr(at), pages);
      m_probe.clear();
      TakePages(pages, onUnit);
      return;
    }
    if (check == OggPageCheck::kNeedMore) oggPending = true;
  }
  // A page that never completes within the probe was no page: the frames decide then.
  if (!oggPending || m_probe.size() >= kFormatProbeBytes) {
    stream::AudioFramer framer;
    std::vector<stream::AudioFrame> frames;
    framer.Feed(probe, frames);
    if (!frames.empty()) {
      m_framer = std::move(framer);
      m_probe.clear();
      TakeFrames(frames, onUnit);
      return;
    }
  }
  if (m_probe.size() >= kFormatProbeBytes) {
    m_format = RecordFormat::kUnsupported;
    m_probe.clear();
  }
}

void StreamCutter::TakeFrames(std::vector<stream::AudioFrame>& frames, const UnitSink& onUnit) {
  for (stream::AudioFrame& frame : frames) {
    // A stream that turns from one codec to the other without a new connection (HLS variants)
    // is another format from here on, and the recorder starts a new file for it.
    const bool adts = frame.header.codec == stream::AudioCodec::kAdtsAac;
    m_format = adts ? RecordFormat::kAdts : RecordFormat::kMpegAudio;
    if (!adts) m_mpegLayer = frame.header.layer;
    RecordUnit unit;
    unit.samples = static_cast<uint32_t>(frame.header.samples_per_frame);
    unit.rate = static_cast<uint32_t>(frame.header.sample_rate);
    unit.bytes = std::move(frame.bytes);
    onUnit(unit);
  }
}

void StreamCutter::TakePages(std::vector<OggPage>& pages, const UnitSink& onUnit) {
  for (OggPage& page : pages) {
    RecordUnit unit;
    if (page.beginsStream) {
      // The first page of a new chain (a new song on many stations, or a reconnect): the
      // headers kept so far belong to the chain that ended.
      if (!m_lastPageBegan) {
        m_oggStreams.clear();
        m_oggHeaders.clear();
        m_oggHeadersKnown = true;
      }
      m_oggStreams.push_back({page.serial, OggCodecRate(page.FirstPacket()), 0});
      m_inOggHeaders = true;
      unit.beginsOggStream = true;
    } else if (m_inOggHeaders && page.granule > 0) {
      m_inOggHeaders = false;
    }
    m_lastPageBegan = page.beginsStream;
    if (m_inOggHeaders && m_oggHeadersKnown) {
      if (m_oggHeaders.size() + page.bytes.size() > kMaxOggHeaderBytes) {
        m_oggHeadersKnown = false;
        m_oggHeaders.clear();
      } else {
        m_oggHeaders += page.bytes;
      }
    }
    for (OggStream& s : m_oggStreams) {
      if (s.serial != page.serial || page.granule < 0) continue;
      if (page.granule > s.lastGranule && s.rate > 0) {
        const int64_t samples = page.granule - s.lastGranule;
        // A jump of more than an hour in one page is a damaged or restarted count.
        if (samples <= int64_t{s.rate} * 3600) {
          unit.samples = static_cast<uint32_t>(samples);
          unit.rate = s.rate;
        }
      }
      s.lastGranule = page.granule;
    }
    unit.oggHeader = m_inOggHeaders;
    unit.bytes = std::move(page.bytes);
    onUnit(unit);
  }
}

}  // namespace lumio
