#include "app/config_file.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "app/web_server.h"
#include "listener_user.h"
#include "support/temp_dir.h"

namespace lumio {
namespace {

TEST(ConfigFile, FirstStartWritesTheTwelveDefaultLines) {
  test::TempDir dir;
  SettingsFile files;
  ASSERT_TRUE(EnsureConfigFile(files, dir.path()));
  const std::string expected =
      "[sys]\r\nServerIp=127.0.0.1\r\nServerPort=80\r\nServerDomain=" + std::string(kServerDomain) +
      "\r\nMode=2\r\nTopMost=1\r\nLastX=500\r\nLastY=50\r\n"
      "MiniX=500\r\nMiniY=20\r\nVolumn=50\r\nRecentPlay=100\r\n";
  EXPECT_EQ(test::ReadBytes(dir.File("config/base.ini")), expected);

  const StartupSettings s = LoadSettings(files, dir.path());
  EXPECT_EQ(s.m_nSavedX, 500);
  EXPECT_EQ(s.m_nSavedY, 50);
  EXPECT_EQ(s.m_nTopMost, 1);
  EXPECT_EQ(s.m_nMode, 2);
  EXPECT_EQ(s.m_nVolume, 50);
}

TEST(ConfigFile, AnExistingFileIsNeverRewritten) {
  test::TempDir dir;
  ASSERT_EQ(::mkdir(dir.File("config").c_str(), 0755), 0);
  test::WriteBytes(dir.File("config/base.ini"), "[sys]\nMode=1\nVolumn=\n");
  SettingsFile files;
  ASSERT_TRUE(EnsureConfigFile(files, dir.path()));
  EXPECT_EQ(test::ReadBytes(dir.File("config/base.ini")), "[sys]\nMode=1\nVolumn=\n");
  const StartupSettings s = LoadSettings(files, dir.path());
  EXPECT_EQ(s.m_nMode, 1);
  EXPECT_EQ(s.m_nVolume, 50);  // empty means 50
  EXPECT_EQ(s.m_nSavedX, 0);   // missing keys read as 0
}

TEST(ConfigFile, NumbersReadWithAtoiAndWritesGoInPlace) {
  test::TempDir dir;
  SettingsFile files;
  ASSERT_TRUE(EnsureConfigFile(files, dir.path()));
  const std::string path = ConfigFilePath(dir.path());
  ASSERT_TRUE(files.WriteValue(path, "sys", "Volumn", "abc"));
  EXPECT_EQ(LoadSettings(files, dir.path()).m_nVolume, 0);
  ASSERT_TRUE(files.WriteValue(path, "sys", "Volumn", "\"80\""));  // quotes are not part of it
  EXPECT_EQ(LoadSettings(files, dir.path()).m_nVolume, 80);

  SavePosition(files, dir.path(), -20, 7);
  SaveVolume(files, dir.path(), 80);
  const std::string text = test::ReadBytes(path);
  EXPECT_NE(text.find("LastX=-20\r\nLastY=7\r\nMiniX=500"), std::string::npos) << text;
  EXPECT_NE(text.find("Volumn=80\r\nRecentPlay=100\r\n"), std::string::npos) << text;
  EXPECT_FALSE(files.FileExists(path + ".vx"));
}

TEST(ConfigFile, AFolderThatCannotBeMadeIsReported) {
  // No one, root included, can make a folder below a regular file.
  test::TempDir dir;
  test::WriteBytes(dir.File("program"), "a file, not the program's folder");
  EXPECT_FALSE(EnsureConfigFile(SettingsFile(), dir.File("program/")));
}

TEST(ConfigFile, AFileInTheWayOfTheFolderIsReported) {
  test::TempDir dir;
  test::WriteBytes(dir.File("config"), "not a folder");
  EXPECT_FALSE(EnsureConfigFile(SettingsFile(), dir.path()));
}

TEST(SettingsFile, ReadsEmptyTextsFromMissingFilesAndCreatesThemOnWrite) {
  test::TempDir dir;
  SettingsFile files;
  const std::string path = dir.File("new.ini");
  EXPECT_EQ(files.ReadValue(path, "sys", "Mode"), "");
  ASSERT_TRUE(files.WriteValue(path, "sys", "Mode", "1"));
  EXPECT_EQ(test::ReadBytes(path), "[sys]\r\nMode=1\r\n");
  EXPECT_FALSE(files.WriteValue(dir.File("no/such/folder.ini"), "sys", "Mode", "1"));
}

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

}  // namespace
}  // namespace lumio
