#pragma once
// The Windows test programs' side of the local stations (tests/contract/run_with_stations.sh):
// their control port and their certificate authority, both named by the script's environment.

#include <string>

namespace lumio::test {

// Sends one command to the stations' control port (LUMIO_STATIONS_CONTROL); its one-line
// answer, "" when unreachable.
std::string StationsControl(const std::string& command);

// Adds the stations' authority (LUMIO_STATIONS_CA_DER) to the user's trusted roots, as a
// listener's system trusts a public one; false when it could not.
bool TrustStationsAuthority();

}  // namespace lumio::test
