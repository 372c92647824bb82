#pragma once
// The program tables of an MPEG transport stream: the PAT names the PMT's PID, the PMT the
// elementary streams of the program. An HLS segment repeats both at its start.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumio::stream {

inline constexpr uint16_t kTsPatPid = 0;

struct TsElementaryStream {
  uint8_t stream_type = 0;  // 0x0F ADTS AAC, 0x03/0x04 MPEG audio, 0x15 ID3 metadata ...
  uint16_t pid = 0;
};

// The PMT PID of the first program in a PAT section; nullopt for anything else, a section
// with a bad CRC, or one that is not yet current.
std::optional<uint16_t> ParsePatSection(std::string_view section);

// The elementary streams of a PMT section in order; nullopt as for ParsePatSection.
std::optional<std::vector<TsElementaryStream>> ParsePmtSection(std::string_view section);

// Gathers one table section from the payloads of the packets of its PID (a section may span
// packets; a payload that starts a section holds a pointer field first).
class TsSectionCollector {
 public:
  // Adds one packet's payload; returns the sections it completes (usually none or one).
  std::vector<std::string> Add(std::string_view payload, bool unit_start);
  // Forgets a partly gathered section (after a gap in the packets).
  void Reset() { collecting_ = false; }

 private:
  void Complete(std::vector<std::string>& done);

  std::string data_;
  bool collecting_ = false;
};

}  // namespace lumio::stream
