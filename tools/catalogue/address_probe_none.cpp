// The reachability check where there is no GStreamer player to check with.
#include "tools/catalogue/address_probe.h"

namespace lumio::tools {

std::optional<std::vector<ProbeOutcome>> ProbeAddresses(const std::vector<std::string>&,
                                                        const ProbeSettings&, std::string& error) {
  error = "this build has no player to check addresses with; run the Linux build's lumio-catalogue";
  return std::nullopt;
}

}  // namespace lumio::tools
