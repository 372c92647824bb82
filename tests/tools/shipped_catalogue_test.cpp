#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "catalogue/station_addresses.h"
#include "catalogue/station_list_file.h"
#include "support/temp_dir.h"
#include "tools/catalogue/nid_assignment.h"
#include "tools/catalogue/nid_registry.h"
#include "tools/catalogue/reachability_report.h"
#include "tools/catalogue/station_alternates.h"
#include "tools/catalogue/upstream_stations.h"

namespace lumio::tools {
namespace {

const std::string kData = LUMIO_CATALOGUE_DATA;

// Loaded as the program loads it, the catalogue holds the popular stations once each, best
// first, each under the id the registry gives its URL, and beside it their other addresses;
// with a reachability report, only the stations one of whose addresses played, each starting
// with one that did.
TEST(ShippedCatalogue, HoldsThePopularStationsUnderTheirRegisteredIds) {
  CsvError error;
  auto stations = ReadUpstreamStations(test::ReadBytes(kData + "/stations.csv"), error);
  ASSERT_TRUE(stations) << error.message;
  auto registry = ReadRegistry(test::ReadBytes(kData + "/nids.csv"), error);
  ASSERT_TRUE(registry) << error.message;
  auto nids = LookUpNids(*stations, *registry, error);
  ASSERT_TRUE(nids) << error.line << ": " << error.message;
  auto alternates =
      ReadStationAlternates(test::ReadBytes(kData + "/alternates.csv"), *stations, error);
  ASSERT_TRUE(alternates) << error.line << ": " << error.message;
  std::vector<bool> leftOut(stations->size(), false);
  const std::string report = LUMIO_CATALOGUE_REACHABILITY;
  if (!report.empty()) {
    auto played = ReadReachability(test::ReadBytes(report), error);
    ASSERT_TRUE(played) << report << ":" << error.line << ": " << error.message;
    leftOut = ApplyReachability(*stations, *alternates, *played).leftOut;
  }
  std::map<std::string, int32_t> nidOfUrl;
  std::vector<AddressLine> otherAddresses;
  size_t popular = 0;
  for (size_t i = 0; i < stations->size(); ++i) {
    nidOfUrl[(*stations)[i].url] = (*nids)[i];
    const bool shipped = !leftOut[i] && (*stations)[i].popularity >= LUMIO_CATALOGUE_MIN_POPULARITY;
    popular += shipped;
    for (const std::string& url : (*alternates)[i])
      if (shipped) otherAddresses.emplace_back((*nids)[i], url);
  }
  EXPECT_GT(otherAddresses.size(), 400u);
  const std::filesystem::path beside =
      std::filesystem::path(LUMIO_SHIPPED_CATALOGUE).replace_filename(kAlternatesFileName);
  std::vector<AddressLine> shippedAddresses = ParseAddressLines(test::ReadBytes(beside.string()));
  std::sort(shippedAddresses.begin(), shippedAddresses.end());
  std::sort(otherAddresses.begin(), otherAddresses.end());
  EXPECT_EQ(shippedAddresses, otherAddresses);

  const StationList catalogue = LoadStationList(LUMIO_SHIPPED_CATALOGUE);
  EXPECT_EQ(catalogue.size(), popular);
  EXPECT_GT(catalogue.size(), 800u);
  std::set<int32_t> seen;
  for (size_t i = 0; i < catalogue.size(); ++i) {
    const StationRecord& r = catalogue[i];
    EXPECT_EQ(r.nid, nidOfUrl.at(r.url.str())) << r.url;
    EXPECT_GE(r.nid, kFirstNid);
    EXPECT_TRUE(seen.insert(r.nid).second) << "nid " << r.nid << " twice";
    if (i > 0) {
      EXPECT_LE(r.popularity, catalogue[i - 1].popularity) << "row " << i;
    }
  }

  // The registry is complete: assigning again adds nothing.
  std::string assignError;
  auto assignment = AssignNids(*stations, *registry, assignError);
  ASSERT_TRUE(assignment);
  EXPECT_TRUE(assignment->added.empty());
}

}  // namespace
}  // namespace lumio::tools
