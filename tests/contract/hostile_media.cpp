#include "contract/hostile_media.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace lumio::test {
namespace {

constexpr size_t kPacket = 188;
constexpr size_t kPayload = 184;
constexpr int kPmtPid = 0x1000;
constexpr int kAudioPid = 0x100;

uint32_t Crc32Mpeg(const std::string& bytes) {
  uint32_t crc = 0xFFFFFFFF;
  for (const unsigned char byte : bytes) {
    crc ^= static_cast<uint32_t>(byte) << 24;
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc & 0x80000000) != 0 ? (crc << 1) ^ 0x04C11DB7 : crc << 1;
  }
  return crc;
}

void Put16(std::string& out, unsigned value) {
  out += static_cast<char>((value >> 8) & 0xFF);
  out += static_cast<char>(value & 0xFF);
}

// A packet of `pid`: `payload` after an adaptation field that stuffs it to 188 bytes.
std::string Packet(int pid, bool unit_start, int counter, const std::string& payload) {
  std::string packet;
  packet += '\x47';
  packet += static_cast<char>((unit_start ? 0x40 : 0) | ((pid >> 8) & 0x1F));
  packet += static_cast<char>(pid & 0xFF);
  const size_t stuffing = kPayload - payload.size();
  packet += static_cast<char>((stuffing > 0 ? 0x30 : 0x10) | (counter & 0x0F));
  if (stuffing > 0) {
    packet += static_cast<char>(stuffing - 1);  // the adaptation field's length
    if (stuffing > 1) {
      packet += '\0';  // no flags
      packet.append(stuffing - 2, '\xFF');
    }
  }
  return packet + payload;
}

// A PSI section with its CRC, behind the pointer field.
std::string Section(const std::string& body) {
  std::string section = body;
  const uint32_t crc = Crc32Mpeg(section);
  for (int shift = 24; shift >= 0; shift -= 8)
    section += static_cast<char>((crc >> shift) & 0xFF);
  return std::string(1, '\0') + section;
}

std::string Pat() {
  std::string body;
  body += '\x00';            // table id
  Put16(body, 0xB000 | 13);  // section length
  Put16(body, 1);            // transport stream id
  body += '\xC1';            // version 0, current
  body += '\0';
  body += '\0';
  Put16(body, 1);  // program 1
  Put16(body, 0xE000 | kPmtPid);
  return Packet(0, true, 0, Section(body));
}

std::string Pmt() {
  std::string body;
  body += '\x02';
  Put16(body, 0xB000 | 18);
  Put16(body, 1);  // program 1
  body += '\xC1';
  body += '\0';
  body += '\0';
  Put16(body, 0xE000 | kAudioPid);  // PCR PID
  Put16(body, 0xF000);              // no program descriptors
  body += '\x0F';                   // ADTS AAC
  Put16(body, 0xE000 | kAudioPid);
  Put16(body, 0xF000);
  return Packet(kPmtPid, true, 0, Section(body));
}

// A PES header of the audio stream with length 0 and a PTS of one second.
std::string EndlessPesHeader() {
  const uint64_t pts = 90000;
  std::string header("\x00\x00\x01\xC0\x00\x00\x80\x80\x05", 9);
  header += static_cast<char>(0x21 | ((pts >> 29) & 0x0E));
  header += static_cast<char>((pts >> 22) & 0xFF);
  header += static_cast<char>(((pts >> 14) & 0xFE) | 1);
  header += static_cast<char>((pts >> 7) & 0xFF);
  header += static_cast<char>(((pts << 1) & 0xFE) | 1);
  return header;
}

// The length of the ADTS frame at `at`; 0 when none starts there.
size_t AdtsFrameLength(const std::string& adts, size_t at) {
  if (at + 7 > adts.size()) return 0;
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(adts[at + i]); };
  if (byte(0) != 0xFF || (byte(1) & 0xF0) != 0xF0) return 0;
  return (static_cast<size_t>(byte(3) & 0x03) << 11) | (static_cast<size_t>(byte(4)) << 3) |
         (byte(5) >> 5);
}

}  // namespace

std::string EndlessPesStream(const std::string& adts, size_t* loop_from) {
  // Whole frames, as many as make a multiple of 16 packets, so that the continuity counter
  // comes round to where it started when the pass starts over.
  std::string pass;
  for (size_t at = 0;;) {
    const size_t length = AdtsFrameLength(adts, at);
    if (length == 0) {
      if (pass.empty()) return "";
      at = 0;  // round the tone again
      continue;
    }
    pass.append(adts, at, length);
    at += length;
    if (((pass.size() + kPayload - 1) / kPayload) % 16 == 0) break;
  }
  std::string stream = Pat() + Pmt() + Packet(kAudioPid, true, 0, EndlessPesHeader());
  *loop_from = stream.size();
  int counter = 1;
  for (size_t at = 0; at < pass.size(); at += kPayload)
    stream += Packet(kAudioPid, false, counter++, pass.substr(at, kPayload));
  // Starting over, the first packet of the pass follows its last with the next counter.
  if ((stream.size() - *loop_from) / kPacket % 16 != 0) return "";
  return stream;
}

std::string LivePlaylist(const std::string& target_duration, const std::string& segments,
                         double seconds) {
  char extinf[64];
  std::snprintf(extinf, sizeof extinf, "#EXTINF:%.3f,\n", seconds);
  std::string playlist = "#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-TARGETDURATION:" + target_duration +
                         "\n#EXT-X-MEDIA-SEQUENCE:0\n";
  size_t start = 0;
  while (start < segments.size()) {
    size_t end = segments.find('\n', start);
    if (end == std::string::npos) end = segments.size();
    playlist += extinf + segments.substr(start, end - start) + "\n";
    start = end + 1;
  }
  return playlist;
}

std::string AsxWithAmpersandTitle(const std::string& entry, size_t bytes) {
  return "<asx version=\"3.0\"><entry><ref href=\"" + entry + "\"/><title>" +
         std::string(bytes, '&') + "</title></entry></asx>\n";
}

std::string XspfWithAmpersandTitle(const std::string& entry, size_t bytes) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<playlist version=\"1\" xmlns=\"http://xspf.org/ns/0/\"><trackList><track><location>" +
         entry + "</location><title>" + std::string(bytes, '&') +
         "</title></track></trackList></playlist>\n";
}

std::string M3uOfOneLetterEntries(size_t bytes) {
  std::string playlist;
  playlist.reserve(bytes + 2);
  while (playlist.size() < bytes)
    playlist += "a\n";
  return playlist;
}

std::string M3uWithLineCutAt(const std::string& first, const std::string& cut,
                             const std::string& rest, size_t cut_at) {
  std::string playlist = "#EXTM3U\n" + first + "\n";
  if (playlist.size() + cut.size() + 2 > cut_at) return "";
  size_t need = cut_at - playlist.size() - cut.size();
  while (need > 0) {
    size_t line = std::min<size_t>(need, 100);
    if (need - line == 1) --line;  // leave no one-byte remainder: "#\n" is the shortest line
    playlist += "#" + std::string(line - 2, 'x') + "\n";
    need -= line;
  }
  return playlist + cut + rest + "\n";
}

std::string Base64(const std::string& bytes) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (size_t at = 0; at < bytes.size(); at += 3) {
    uint32_t group = static_cast<uint32_t>(static_cast<unsigned char>(bytes[at])) << 16;
    if (at + 1 < bytes.size())
      group |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8;
    if (at + 2 < bytes.size()) group |= static_cast<unsigned char>(bytes[at + 2]);
    out += kDigits[(group >> 18) & 63];
    out += kDigits[(group >> 12) & 63];
    out += at + 1 < bytes.size() ? kDigits[(group >> 6) & 63] : '=';
    out += at + 2 < bytes.size() ? kDigits[group & 63] : '=';
  }
  return out;
}

}  // namespace lumio::test
