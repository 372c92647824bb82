// The POSIX side of the recorder's disk and of the local clock, where only a real failure or a
// real zone shows what they do.

#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <time.h>

#include <gtest/gtest.h>

#include "ports/clock.h"
#include "recording/recording_disk.h"
#include "support/temp_dir.h"

namespace lumio {
namespace {

// A write the disk takes only in part (here: the file-size limit, as a full disk would) leaves
// the recording as it was before that write, not ending in half a frame.
TEST(RecordingDiskPosix, AWriteTakenInPartIsTakenBackWhole) {
  test::TempDir dir;
  SystemRecordingDisk disk;
  bool exists = false;
  std::unique_ptr<RecordingOutput> file = disk.CreateNew(dir.File("a.mp3"), exists);
  ASSERT_TRUE(file);
  ASSERT_TRUE(file->Append(std::string(600, 'a')));

  struct rlimit old {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  struct rlimit small = old;
  small.rlim_cur = 1000;
  const auto oldSignal = ::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool appended = file->Append(std::string(600, 'b'));
  ::setrlimit(RLIMIT_FSIZE, &old);
  ::signal(SIGXFSZ, oldSignal);

  EXPECT_FALSE(appended);
  EXPECT_TRUE(file->Append(std::string(10, 'c')));
  file.reset();
  EXPECT_EQ(test::ReadBytes(dir.File("a.mp3")), std::string(600, 'a') + std::string(10, 'c'));
}

// The offset is that of the moment asked about, summer time included, not of today.
TEST(SystemClockPosix, TellsTheLocalOffsetOfEachMoment) {
  const char* old = ::getenv("TZ");
  const std::string saved = old ? old : "";
  ::setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
  ::tzset();
  SystemClock clock;
  const auto at = [](int y, int m, int d) {
    return static_cast<uint32_t>(DaysFromCivil(y, m, d) * kSecondsPerDay + 12 * 3600);
  };
  const int32_t winter = clock.UtcOffsetSeconds(at(2024, 1, 15));
  const int32_t summer = clock.UtcOffsetSeconds(at(2024, 7, 15));
  const LocalTime local = LocalTimeAt(clock, at(2024, 7, 15));
  if (old) {
    ::setenv("TZ", saved.c_str(), 1);
  } else {
    ::unsetenv("TZ");
  }
  ::tzset();
  EXPECT_EQ(winter, 3600);
  EXPECT_EQ(summer, 7200);
  EXPECT_EQ(local.hour, 14);
  EXPECT_EQ(local.weekday, 1);  // 15 July 2024 was a Monday
}

}  // namespace
}  // namespace lumio
