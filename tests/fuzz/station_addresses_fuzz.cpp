// fuzz-links: lumio_core
// The station address files (config/chalt.txt, config/chlast.txt) and the address plan driven by
// what they hold: the lines read back as they were written, and the plan, whatever the order
// of failures, playlists and drops, only names addresses it was given or that a playlist named,
// never goes deeper than it may, and never waits a negative or endless time.
//
// Input layout: address lines; after the first NUL byte, one plan operation per byte.

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/station_addresses.h"
#include "fuzz_check.h"
#include "playback/station_address_plan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace lumio;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t split = std::min(input.find('\0'), input.size());
  const std::string_view file = input.substr(0, split);
  const std::string_view operations = input.substr(std::min(split + 1, input.size()));

  const std::vector<AddressLine> lines = ParseAddressLines(file);
  Check(ParseAddressLines(FormatAddressLines(lines)) == lines, "lines read back as written");
  for (const auto& [nid, address] : lines)
    Check(nid > 0 && !address.empty() && address.find('\t') == std::string::npos,
          "a line is a station id and one address");

  std::vector<std::string> addresses;
  for (const auto& line : lines)
    addresses.push_back(line.second);
  std::set<std::string> known(addresses.begin(), addresses.end());
  known.insert("");  // a station without addresses names none
  StationAddressPlan plan;
  AddressStep step = plan.Start(addresses);
  for (const unsigned char op : operations) {
    Check(known.contains(step.url), "the plan names only addresses it was given");
    Check(step.delayMs >= 0 && step.delayMs <= StationAddressPlan::kPermanentRetryMs,
          "a wait is at most a minute");
    Check(step.depth >= 0 && step.depth <= StationAddressPlan::kMaxDepth, "no deeper than allowed");
    switch (op % 4) {
      case 0:
        step = plan.Failed(static_cast<StreamFailure>(op / 4 % 7));
        break;
      case 1: {
        // A playlist of a few entries made from the byte, or of the given addresses.
        std::vector<std::string> entries;
        for (int i = 0; i < op / 32; ++i)
          entries.push_back("entry" + std::to_string((op + i) % 5));
        known.insert(entries.begin(), entries.end());
        step = plan.Expand(entries);
        break;
      }
      case 2:
        plan.Playing();
        Check(plan.LastFailure() == StreamFailure::kNone || addresses.empty(),
              "playing clears the failure");
        Check(plan.PlayedAddress().empty() || std::find(addresses.begin(), addresses.end(),
                                                        plan.PlayedAddress()) != addresses.end(),
              "what played is one of the station's addresses");
        break;
      default:
        step = plan.Dropped(StreamFailure::kNoAnswer);
        break;
    }
  }
  return 0;
}
