// Settings files as listeners with owners and modes meet them.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "app/config_file.h"
#include "listener_user.h"
#include "support/temp_dir.h"

namespace lumio {
namespace {

// The listener's other settings must never be traded for the one being written.
TEST(SettingsFile, AFileThatCannotBeReadOrWrittenKeepsEverySetting) {
  test::TempDir dir;
  ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
  const std::string folder = dir.File("config");
  ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
  ASSERT_TRUE(test::GiveToListener(folder));
  const std::string path = folder + "/base.ini";
  const std::string settings = "[sys]\r\nMode=1\r\nLastX=300\r\nLastY=200\r\nVolumn=80\r\n";
  SettingsFile files;

  // Write-only for its owner, the listener: the listener cannot read it, but may replace it.
  test::WriteBytes(path, settings);
  ASSERT_TRUE(test::GiveToListener(path));
  ASSERT_EQ(::chmod(path.c_str(), 0200), 0);
  const auto moved = test::ListenerRuns([&] {
    SavePosition(files, dir.path(), 40, 50);
    return files.WriteValue(path, "sys", "Volumn", "20");
  });
  ASSERT_TRUE(moved.has_value());
  EXPECT_FALSE(*moved) << "a write over a file that could not be read was reported done";
  ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
  EXPECT_EQ(test::ReadBytes(path), settings);
  EXPECT_FALSE(files.FileExists(path + ".vx"));

  // Read-only: kept for everyone, root too.
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  EXPECT_FALSE(files.WriteValue(path, "sys", "LastX", "40"));
  EXPECT_EQ(test::ReadBytes(path), settings);
  EXPECT_EQ(LoadSettings(files, dir.path()).m_nSavedX, 300);
}

// A pipe where a config file should be: start-up reads nothing from it and goes on, as with an
// unreadable file, and no write swaps it for a file. Run in a child with an alarm, since the
// fault is a start that never ends.
TEST(SettingsFile, APipeAtAConfigPathIsRefusedWithoutBlocking) {
  test::TempDir dir;
  const std::string folder = dir.File("config");
  ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
  for (const char* name : {"base.ini", "favlst.ini", "retlst.ini", "playlst.ini", "chlst.ini"})
    ASSERT_EQ(::mkfifo((folder + "/" + name).c_str(), 0644), 0) << name;
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::alarm(10);
    SettingsFile files;
    const bool ensured = EnsureConfigFile(files, dir.path());
    const StartupSettings settings = LoadSettings(files, dir.path());
    std::vector<std::string> lines;
    const bool listRead = files.ReadLines(folder + "/favlst.ini", lines);
    const bool written = files.WriteValue(folder + "/base.ini", "sys", "LastX", "5") ||
                         files.WriteLines(folder + "/favlst.ini", {"x\n"});
    ::_exit(ensured && settings.m_nMode == 0 && !listRead && !written ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "blocked on the pipe until the alarm";
  EXPECT_EQ(WEXITSTATUS(status), 0);
  struct stat info {};
  ASSERT_EQ(::stat((folder + "/favlst.ini").c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode)) << "the pipe was replaced by a file";
}

}  // namespace
}  // namespace lumio
