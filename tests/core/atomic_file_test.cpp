#include "store/atomic_file.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "catalogue/station_list_file.h"
#include "support/station_lists.h"
#include "support/temp_dir.h"

namespace lumio {
namespace {

using test::ManyStations;

TEST(AtomicFile, ReplacesTheTargetAndLeavesNoTemporaryFile) {
  test::TempDir dir;
  const std::string path = dir.File("list.ini");
  test::WriteBytes(path, "old");
  ASSERT_TRUE(WriteFileAtomically(path, "new"));
  EXPECT_EQ(test::ReadBytes(path), "new");
  EXPECT_EQ(test::ReadBytes(TemporaryPathFor(path)), "<missing>");
}

TEST(AtomicFile, AFailedSaveKeepsTheOldFileWhole) {
  test::TempDir dir;
  const std::string path = dir.File("list.ini");
  test::WriteBytes(path, "old");

  // The temporary file cannot be created.
  ASSERT_TRUE(std::filesystem::create_directory(TemporaryPathFor(path)));
  EXPECT_FALSE(WriteFileAtomically(path, "new"));
  EXPECT_EQ(test::ReadBytes(path), "old");
}

TEST(AtomicFile, ARenameThatFailsReportsFailureAndCleansUp) {
  test::TempDir dir;
  const std::string path = dir.File("busy");
  ASSERT_TRUE(std::filesystem::create_directory(path));
  test::WriteBytes(path + "/inside", "x");  // a non-empty folder cannot be renamed over
  EXPECT_FALSE(WriteFileAtomically(path, "new"));
  EXPECT_EQ(test::ReadBytes(path + "/inside"), "x");
  EXPECT_EQ(test::ReadBytes(TemporaryPathFor(path)), "<missing>");
}

// A file the listener made read-only keeps its old contents, whoever runs the program: the
// folder's permission to rename is no licence to replace it.
TEST(AtomicFile, AReadOnlyTargetIsLeftAsItIs) {
  test::TempDir dir;
  const std::string settings = dir.File("base.ini");
  test::WriteBytes(settings, "[sys]\r\nLastX=300\r\n");
  test::MakeReadOnly(settings);
  EXPECT_FALSE(WriteFileAtomically(settings, "[sys]\r\nLastX=1\r\n"));
  EXPECT_EQ(test::ReadBytes(settings), "[sys]\r\nLastX=300\r\n");
  EXPECT_TRUE(test::IsReadOnly(settings));

  const std::string favourites = dir.File("favlst.ini");
  const StationList kept = ManyStations(3, "kept");
  ASSERT_TRUE(SaveStationList(favourites, kept));
  test::MakeReadOnly(favourites);
  EXPECT_FALSE(SaveStationList(favourites, ManyStations(4, "new")));
  EXPECT_TRUE(LoadStationList(favourites) == kept);
  EXPECT_EQ(test::ReadBytes(TemporaryPathFor(favourites)), "<missing>");
}

}  // namespace
}  // namespace lumio
