#include "catalogue/station_addresses.h"

#include <algorithm>
#include <limits>

#include "store/atomic_file.h"
#include "stream/text_scan.h"

namespace lumio {
namespace {

using stream::HasControlBytes;
using stream::Trim;

// The station id `text` holds in full (1 or more), or 0.
int32_t ParseNid(std::string_view text) {
  if (text.empty() || text.size() > 10) return 0;
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return 0;
    value = value * 10 + (c - '0');
  }
  return value <= std::numeric_limits<int32_t>::max() ? static_cast<int32_t>(value) : 0;
}

void AddDistinct(std::vector<std::string>& list, const std::string& text) {
  if (Trim(text).empty()) return;
  if (std::find(list.begin(), list.end(), text) == list.end()) list.push_back(text);
}

}  // namespace

std::vector<AddressLine> ParseAddressLines(std::string_view bytes) {
  std::vector<AddressLine> lines;
  while (!bytes.empty()) {
    const size_t end = bytes.find('\n');
    std::string_view line = bytes.substr(0, end);
    bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
    const size_t tab = line.find('\t');
    if (tab == std::string_view::npos) continue;
    const int32_t nid = ParseNid(Trim(line.substr(0, tab)));
    const std::string_view address = Trim(line.substr(tab + 1));
    if (nid <= 0 || address.empty() || HasControlBytes(address)) continue;
    lines.emplace_back(nid, std::string(address));
  }
  return lines;
}

std::string FormatAddressLines(const std::vector<AddressLine>& lines) {
  std::string bytes;
  for (const auto& [nid, address] : lines)
    bytes += std::to_string(nid) + "\t" + address + "\r\n";
  return bytes;
}

void StationAddresses::SetFiles(std::string alternatesPath, std::string lastPlayedPath) {
  m_alternatesPath = std::move(alternatesPath);
  m_lastPlayedPath = std::move(lastPlayedPath);
  m_loaded = false;
}

void StationAddresses::Load() {
  if (m_loaded) return;
  m_loaded = true;
  m_alternates.clear();
  m_lastPlayed.clear();
  if (auto bytes = ReadWholeFile(m_alternatesPath)) {
    for (auto& [nid, address] : ParseAddressLines(*bytes))
      AddDistinct(m_alternates[nid], address);
  }
  if (auto bytes = ReadWholeFile(m_lastPlayedPath)) {
    for (auto& [nid, address] : ParseAddressLines(*bytes))
      m_lastPlayed[nid] = std::move(address);
  }
}

std::vector<std::string> StationAddresses::AddressesOf(const StationRecord& station) {
  Load();
  std::vector<std::string> addresses;
  AddDistinct(addresses, station.url.str());
  if (station.nid > 0) {
    if (auto found = m_alternates.find(station.nid); found != m_alternates.end()) {
      for (const std::string& address : found->second)
        AddDistinct(addresses, address);
    }
    // An address remembered for a station whose addresses have changed since is forgotten.
    if (auto found = m_lastPlayed.find(station.nid); found != m_lastPlayed.end()) {
      auto at = std::find(addresses.begin(), addresses.end(), found->second);
      if (at != addresses.end()) std::rotate(addresses.begin(), at, at + 1);
    }
  }
  return addresses;
}

bool StationAddresses::RememberPlayed(const StationRecord& station, const std::string& url) {
  if (station.nid <= 0 || Trim(url).empty() || HasControlBytes(url)) return true;
  const std::vector<std::string> addresses = AddressesOf(station);
  if (!addresses.empty() && addresses.front() == url) return true;
  if (url == station.url.str()) {
    m_lastPlayed.erase(station.nid);  // its own address comes first without being remembered
  } else {
    m_lastPlayed[station.nid] = url;
  }
  std::vector<AddressLine> lines(m_lastPlayed.begin(), m_lastPlayed.end());
  return WriteFileAtomically(m_lastPlayedPath, FormatAddressLines(lines));
}

}  // namespace lumio
