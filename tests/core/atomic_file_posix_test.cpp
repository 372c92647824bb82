// What the atomic replace promises where files have owners, modes and links.
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
#include "listener_user.h"
#include "store/atomic_file.h"
#include "support/station_lists.h"
#include "support/temp_dir.h"

namespace lumio {
namespace {

using test::ManyStations;

// The disk fills up half way: a child process with a small file-size limit writes.
TEST(AtomicFile, AShortWriteKeepsTheOldFileWhole) {
  test::TempDir dir;
  const std::string path = dir.File("list.ini");
  test::WriteBytes(path, "old");
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

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

// Writable for its owner only, and the listener is someone else.
TEST(AtomicFile, AnotherUsersFileIsLeftAsItIs) {
  if (!test::RunningAsRoot()) GTEST_SKIP() << "needs root to act as another user";
  test::TempDir dir;
  ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
  const std::string others = dir.File("others.ini");
  test::WriteBytes(others, "theirs");
  ASSERT_EQ(::chmod(others.c_str(), 0644), 0);
  const auto replaced = test::ListenerRuns([&] { return WriteFileAtomically(others, "mine"); });
  ASSERT_TRUE(replaced.has_value());
  EXPECT_FALSE(*replaced);
  EXPECT_EQ(test::ReadBytes(others), "theirs");
  EXPECT_EQ(test::ReadBytes(TemporaryPathFor(others)), "<missing>");
}

TEST(AtomicFile, AReplacedFileKeepsItsModeAndOwner) {
  test::TempDir dir;
  const std::string path = dir.File("favlst.ini");
  for (mode_t mode : {0600u, 0664u, 0200u}) {
    test::WriteBytes(path, "old");
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
    ASSERT_TRUE(WriteFileAtomically(path, "new")) << std::oct << mode;
    EXPECT_EQ(ModeOf(path), mode) << std::oct << mode;
  }
  if (!test::RunningAsRoot()) return;
  ASSERT_EQ(::chown(path.c_str(), test::kNobody, test::kNobody), 0);
  ASSERT_TRUE(WriteFileAtomically(path, "newer"));
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, test::kNobody);
  EXPECT_EQ(st.st_gid, test::kNobody);
  EXPECT_EQ(test::ReadBytes(path), "newer");
}

// A ".vx" left by a save that was killed, or put there by anyone, is never written through.
TEST(AtomicFile, AStaleTemporaryFileIsReplacedNotFollowed) {
  test::TempDir dir;
  const std::string path = dir.File("playlst.ini");
  const std::string elsewhere = dir.File("elsewhere");
  test::WriteBytes(path, "old");
  test::WriteBytes(elsewhere, "someone else's file");
  ASSERT_EQ(::symlink(elsewhere.c_str(), TemporaryPathFor(path).c_str()), 0);
  ASSERT_TRUE(WriteFileAtomically(path, "new"));
  EXPECT_EQ(test::ReadBytes(elsewhere), "someone else's file");
  struct stat st {};
  ASSERT_EQ(::lstat(path.c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
  EXPECT_EQ(test::ReadBytes(path), "new");
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
