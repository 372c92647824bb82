#pragma once
// The addresses a station can be played from besides its own: the other addresses of the
// shipped catalogue's stations (config/chalt.txt, written by the catalogue builder beside
// chlst.ini and never by the program) and the address each station last played from
// (config/chlast.txt, the program's own). Both files hold lines "nid<TAB>address", GBK, CR LF;
// a listener's station lists are not touched.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "catalogue/station_record.h"

namespace lumio {

inline constexpr char kAlternatesFileName[] = "chalt.txt";
inline constexpr char kLastPlayedFileName[] = "chlast.txt";

using AddressLine = std::pair<int32_t, std::string>;

// The lines of such a file in file order. A line counts when it is a station id of 1 or more, a
// tab and an address without control bytes (surrounding blanks trimmed); others are skipped.
std::vector<AddressLine> ParseAddressLines(std::string_view bytes);

// The bytes of a file holding `lines`, in their order.
std::string FormatAddressLines(const std::vector<AddressLine>& lines);

class StationAddresses {
 public:
  // Where the two files are; they are read on first use.
  void SetFiles(std::string alternatesPath, std::string lastPlayedPath);

  // The addresses to try for `station`, in order: the one it last played from while that is
  // still one of its addresses, its own url, then its other addresses; no blank one, no repeat.
  std::vector<std::string> AddressesOf(const StationRecord& station);

  // `station` played from `url`. The file is rewritten only when that changes which address
  // comes first next time; false when it could not be written (the address is kept all the same).
  bool RememberPlayed(const StationRecord& station, const std::string& url);

 private:
  void Load();

  std::string m_alternatesPath;
  std::string m_lastPlayedPath;
  bool m_loaded = false;
  std::map<int32_t, std::vector<std::string>> m_alternates;
  std::map<int32_t, std::string> m_lastPlayed;
};

}  // namespace lumio
