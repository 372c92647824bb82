#include "store/atomic_file.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include <gtest/gtest.h>

#include "catalogue/station_list_file.h"
#include "support/temp_dir.h"

namespace lumio {
namespace {

StationList ManyStations(size_t count, const std::string& tag) {
  StationList list(count);
  for (size_t i = 0; i < count; ++i) {
    list[i].nid = static_cast<int32_t>(i);
    list[i].name = tag + std::to_string(i);
    list[i].url = "http://127.0.0.1:8000/" + tag + "/" + std::to_string(i) + ".mp3";
  }
  return list;
}

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
  ASSERT_EQ(::mkdir(TemporaryPathFor(path).c_str(), 0755), 0);
  EXPECT_FALSE(WriteFileAtomically(path, "new"));
  EXPECT_EQ(test::ReadBytes(path), "old");
  ASSERT_EQ(::rmdir(TemporaryPathFor(path).c_str()), 0);

  // The disk fills up half way: a child process with a small file-size limit writes.
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{1000, 1000};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const bool saved = WriteFileAtomically(path, std::string(100000, 'n'));
    ::_exit(saved ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a short write was reported saved";
  EXPECT_EQ(test::ReadBytes(path), "old");
  EXPECT_EQ(test::ReadBytes(TemporaryPathFor(path)), "<missing>");
}

TEST(AtomicFile, ARenameThatFailsReportsFailureAndCleansUp) {
  test::TempDir dir;
  const std::string path = dir.File("busy");
  ASSERT_EQ(::mkdir(path.c_str(), 0755), 0);
  test::WriteBytes(path + "/inside", "x");  // a non-empty folder cannot be renamed over
  EXPECT_FALSE(WriteFileAtomically(path, "new"));
  EXPECT_EQ(test::ReadBytes(path + "/inside"), "x");
  EXPECT_EQ(test::ReadBytes(TemporaryPathFor(path)), "<missing>");
}

// A saving process killed at any moment leaves the old list or the new one, never neither and
// never a mixture.
TEST(AtomicFile, ASaveKilledAtAnyMomentLeavesOldOrNewList) {
  test::TempDir dir;
  const std::string path = dir.File("playlst.ini");
  const StationList oldList = ManyStations(20000, "old");
  const StationList newList = ManyStations(30000, "new");
  ASSERT_TRUE(SaveStationList(path, oldList));

  std::mt19937 random(12345);
  std::uniform_int_distribution<int> delayUs(0, 60000);
  int sawOld = 0, sawNew = 0;
  for (int round = 0; round < 40; ++round) {
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (;;) {
        SaveStationList(path, newList);
        SaveStationList(path, oldList);
      }
    }
    std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    const StationList now = LoadStationList(path);
    if (now == oldList) {
      ++sawOld;
    } else if (now == newList) {
      ++sawNew;
    } else {
      FAIL() << "round " << round << ": the list holds " << now.size() << " records";
    }
  }
  RecordProperty("old", sawOld);
  RecordProperty("new", sawNew);
}

}  // namespace
}  // namespace lumio
