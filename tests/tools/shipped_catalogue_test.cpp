#include <gtest/gtest.h>

#include <map>
#include <set>

#include "catalogue/station_list_file.h"
#include "support/temp_dir.h"
#include "tools/catalogue/nid_assignment.h"
#include "tools/catalogue/nid_registry.h"
#include "tools/catalogue/upstream_stations.h"

namespace lumio::tools {
namespace {

const std::string kData = LUMIO_CATALOGUE_DATA;

// Loaded as the program loads it, the catalogue holds the popular stations once each, best
// first, each under the id the registry gives its URL.
TEST(ShippedCatalogue, HoldsThePopularStationsUnderTheirRegisteredIds) {
  CsvError error;
  auto stations = ReadUpstreamStations(test::ReadBytes(kData + "/stations.csv"), error);
  ASSERT_TRUE(stations) << error.message;
  auto registry = ReadRegistry(test::ReadBytes(kData + "/nids.csv"), error);
  ASSERT_TRUE(registry) << error.message;
  auto nids = LookUpNids(*stations, *registry, error);
  ASSERT_TRUE(nids) << error.line << ": " << error.message;
  std::map<std::string, int32_t> nidOfUrl;
  size_t popular = 0;
  for (size_t i = 0; i < stations->size(); ++i) {
    nidOfUrl[(*stations)[i].url] = (*nids)[i];
    popular += (*stations)[i].popularity >= LUMIO_CATALOGUE_MIN_POPULARITY;
  }

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
