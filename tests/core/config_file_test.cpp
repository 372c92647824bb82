#include "app/config_file.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "commands/web_server.h"
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
  ASSERT_TRUE(std::filesystem::create_directory(dir.File("config")));
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

// A listener's typo must never leave a recording free to fill the disk or end at once.
TEST(ConfigFile, RecordingLimitsAreTakenOnlyInRange) {
  test::TempDir dir;
  SettingsFile files;
  ASSERT_TRUE(EnsureConfigFile(files, dir.path()));
  const std::string path = ConfigFilePath(dir.path());
  struct Row {
    const char* floor;
    const char* minutes;
    int32_t floorMB;
    int32_t maxMinutes;
  };
  for (const Row& row : {Row{"", "", 200, 180}, Row{"50", "30", 50, 30}, Row{"0", "0", 200, 180},
                         Row{"-5", "abc", 200, 180}, Row{"99999999999", "10081", 200, 180},
                         Row{"1048576", "10080", 1048576, 10080}}) {
    ASSERT_TRUE(files.WriteValues(
        path, "sys", {{"RecordFloorMB", row.floor}, {"RecordMaxMinutes", row.minutes}}));
    const StartupSettings s = LoadSettings(files, dir.path());
    EXPECT_EQ(s.m_nRecordFloorMB, row.floorMB) << row.floor;
    EXPECT_EQ(s.m_nRecordMaxMinutes, row.maxMinutes) << row.minutes;
  }
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

}  // namespace
}  // namespace lumio
