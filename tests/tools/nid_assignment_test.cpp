#include "tools/catalogue/nid_assignment.h"

#include <gtest/gtest.h>

#include <limits>

namespace lumio::tools {
namespace {

// Stations named by name and URL; lines count from 2, after the header.
std::vector<UpstreamStation> Stations(
    std::initializer_list<std::pair<const char*, const char*>> list) {
  std::vector<UpstreamStation> stations;
  for (const auto& [name, url] : list) {
    UpstreamStation s;
    s.line = stations.size() + 2;
    s.name = name;
    s.url = url;
    stations.push_back(s);
  }
  return stations;
}

std::vector<RegistryRow> Registry(std::initializer_list<RegistryRow> rows) {
  return rows;
}

struct Expected {
  std::vector<int32_t> nids;
  std::vector<NidOrigin> origins;
  std::vector<std::pair<int32_t, std::string>> added;  // nid and URL of each appended row
};

void ExpectAssignment(const char* name, const std::vector<UpstreamStation>& stations,
                      const std::vector<RegistryRow>& registry, const Expected& expected) {
  std::string error;
  auto result = AssignNids(stations, registry, error);
  ASSERT_TRUE(result) << name << ": " << error;
  EXPECT_EQ(result->nids, expected.nids) << name;
  EXPECT_EQ(result->origins, expected.origins) << name;
  std::vector<std::pair<int32_t, std::string>> added;
  for (const RegistryRow& row : result->added)
    added.emplace_back(row.nid, row.url);
  EXPECT_EQ(added, expected.added) << name;

  // Whatever was assigned, the registry with the new rows gives every station its id again.
  std::vector<RegistryRow> grown = registry;
  grown.insert(grown.end(), result->added.begin(), result->added.end());
  CsvError lookupError;
  EXPECT_EQ(LookUpNids(stations, grown, lookupError), result->nids)
      << name << ": " << lookupError.message;
  auto again = AssignNids(stations, grown, error);
  ASSERT_TRUE(again);
  EXPECT_TRUE(again->added.empty()) << name;
}

constexpr NidOrigin kKept = NidOrigin::kKept;
constexpr NidOrigin kMoved = NidOrigin::kMoved;
constexpr NidOrigin kNew = NidOrigin::kNew;

TEST(AssignNids, KeepsMovesAndAddsIdsWithoutEverReusingOne) {
  ExpectAssignment("an empty registry starts at 1001", Stations({{"a", "A"}, {"b", "B"}}), {},
                   {{1001, 1002}, {kNew, kNew}, {{1001, "A"}, {1002, "B"}}});
  ExpectAssignment("a registered URL keeps its id wherever it is listed",
                   Stations({{"b", "B"}, {"a renamed", "A"}}),
                   Registry({{2, 1001, "A", "a"}, {3, 1002, "B", "b"}}),
                   {{1002, 1001}, {kKept, kKept}, {}});
  ExpectAssignment("a stream that moved keeps the id of its name",
                   Stations({{"a", "A2"}, {"b", "B"}}),
                   Registry({{2, 1001, "A", "a"}, {3, 1002, "B", "b"}}),
                   {{1001, 1002}, {kMoved, kKept}, {{1001, "A2"}}});
  ExpectAssignment("a stream that moved twice", Stations({{"a", "A3"}}),
                   Registry({{2, 1001, "A", "a"}, {3, 1001, "A2", "a"}}),
                   {{1001}, {kMoved}, {{1001, "A3"}}});
  ExpectAssignment("new ids go above the highest ever given, vanished ones stay unused",
                   Stations({{"x", "X"}, {"b", "B"}}),
                   Registry({{2, 1001, "A", "a"}, {3, 1005, "B", "b"}, {4, 1003, "C", "c"}}),
                   {{1006, 1005}, {kNew, kKept}, {{1006, "X"}}});
  ExpectAssignment("no move when the name's old id is still on the air",
                   Stations({{"a", "A"}, {"a", "A2"}}), Registry({{2, 1001, "A", "a"}}),
                   {{1001, 1002}, {kKept, kNew}, {{1002, "A2"}}});
  ExpectAssignment("no move when the name matches two vanished ids", Stations({{"a", "C"}}),
                   Registry({{2, 1001, "A", "a"}, {3, 1002, "B", "a"}}),
                   {{1003}, {kNew}, {{1003, "C"}}});
  ExpectAssignment("no move when two new streams share the vanished name",
                   Stations({{"a", "C"}, {"a", "D"}}), Registry({{2, 1001, "A", "a"}}),
                   {{1002, 1003}, {kNew, kNew}, {{1002, "C"}, {1003, "D"}}});
  ExpectAssignment("a move needs the exact name", Stations({{"a ", "C"}}),
                   Registry({{2, 1001, "A", "a"}}), {{1002}, {kNew}, {{1002, "C"}}});
  ExpectAssignment("an old URL back beside the one that replaced it gets an id of its own",
                   Stations({{"a", "A"}, {"a", "A2"}}),
                   Registry({{2, 1001, "A", "a"}, {3, 1001, "A2", "a"}}),
                   {{1002, 1001}, {kNew, kKept}, {{1002, "A"}}});
}

TEST(AssignNids, StopsBeforeIdsRunOut) {
  std::string error;
  const auto registry = Registry({{2, std::numeric_limits<int32_t>::max(), "A", "a"}});
  EXPECT_FALSE(AssignNids(Stations({{"a", "A"}, {"b", "B"}}), registry, error));
  EXPECT_EQ(error, "no station id is left below 2147483648");
  EXPECT_TRUE(AssignNids(Stations({{"a", "A"}}), registry, error));
}

TEST(LookUpNids, RefusesStationsWithoutAnIdOrSharingOne) {
  CsvError error;
  EXPECT_FALSE(
      LookUpNids(Stations({{"a", "A"}, {"b", "B"}}), Registry({{2, 1001, "A", "a"}}), error));
  EXPECT_EQ(error.line, 3u);
  EXPECT_EQ(error.message, "station \"b\" (B) has no id; run lumio-catalogue assign");

  EXPECT_FALSE(LookUpNids(Stations({{"a", "A"}, {"a", "A2"}}),
                          Registry({{2, 1001, "A", "a"}, {3, 1001, "A2", "a"}}), error));
  EXPECT_EQ(error.line, 3u);
  EXPECT_EQ(error.message,
            "station \"a\" has id 1001, as has the station on line 2; run lumio-catalogue assign");
}

}  // namespace
}  // namespace lumio::tools
