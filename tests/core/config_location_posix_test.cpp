// The user-folder rules are those of the free desktops (XDG); the Windows program stays portable.

#include "app/config_location.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "app/config_file.h"
#include "app/radio_dlg.h"
#include "catalogue/station_list_file.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_media_player.h"
#include "fakes/fake_window_layer.h"
#include "support/temp_dir.h"

namespace lumio {
namespace {

using Catalogues = std::vector<std::string>;

// An installed copy in /usr/bin with its shipped catalogue, run by a user whose home is /home/li.
ConfigFacts Installed() {
  ConfigFacts facts;
  facts.programDir = "/usr/bin/";
  facts.dataDir = "/usr/share/lumio";
  facts.dataDirHasCatalogue = true;
  facts.home = "/home/li";
  return facts;
}

TEST(ConfigLocation, TheProgramFolderKeepsTheFilesWhenItHoldsConfigOrCanBeWritten) {
  ConfigFacts facts = Installed();
  facts.programDir = "/opt/lumio/";
  facts.hasConfigFolder = true;  // even read-only and installed: config/ beside it wins
  ConfigLocation location = ChooseConfigLocation(facts);
  EXPECT_TRUE(location.portable);
  EXPECT_EQ(location.folder, "/opt/lumio/config");
  EXPECT_EQ(location.catalogues, Catalogues{"/opt/lumio/config/chlst.ini"});

  // A folder unpacked anywhere the listener can write: config/ is made there, as always.
  facts = ConfigFacts{};
  facts.programDir = "/home/li/radio/";
  facts.programDirWritable = true;
  facts.home = "/home/li";
  location = ChooseConfigLocation(facts);
  EXPECT_TRUE(location.portable);
  EXPECT_EQ(location.folder, "/home/li/radio/config");
  EXPECT_EQ(ConfigFilePath(location), ConfigFilePath(std::string("/home/li/radio/")));
}

TEST(ConfigLocation, AnInstalledOrReadOnlyCopyUsesTheUsersConfigurationFolder) {
  ConfigFacts facts = Installed();
  ConfigLocation location = ChooseConfigLocation(facts);
  EXPECT_FALSE(location.portable);
  EXPECT_EQ(location.folder, "/home/li/.config/lumio");
  EXPECT_EQ(location.catalogues,
            (Catalogues{"/home/li/.config/lumio/chlst.ini", "/usr/share/lumio/chlst.ini"}));

  // Root may write /usr/bin, and ~/.local/bin is the user's own: installed copies all the same.
  facts.programDirWritable = true;
  EXPECT_EQ(ChooseConfigLocation(facts).folder, "/home/li/.config/lumio");

  facts.xdgConfigHome = "/srv/conf/li/";
  location = ChooseConfigLocation(facts);
  EXPECT_EQ(location.folder, "/srv/conf/li/lumio");
  EXPECT_EQ(location.catalogues.front(), "/srv/conf/li/lumio/chlst.ini");
  facts.xdgConfigHome = "relative/conf";  // not absolute: to be ignored
  EXPECT_EQ(ChooseConfigLocation(facts).folder, "/home/li/.config/lumio");

  // A portable copy in a read-only folder: the user's folder, and no shipped catalogue to fall
  // back on.
  facts = ConfigFacts{};
  facts.programDir = "/media/cd/";
  facts.home = "/home/li/";
  location = ChooseConfigLocation(facts);
  EXPECT_EQ(location.folder, "/home/li/.config/lumio");
  EXPECT_EQ(location.catalogues, Catalogues{"/home/li/.config/lumio/chlst.ini"});

  // Nowhere to put the files: start-up must say so rather than write beside the working folder.
  facts.home.clear();
  location = ChooseConfigLocation(facts);
  EXPECT_TRUE(location.folder.empty());
  EXPECT_FALSE(EnsureConfigFile(SettingsFile(), location));
}

TEST(ConfigLocation, AFirstStartOfAnInstalledCopyMakesTheUsersFolderAndReadsTheShippedCatalogue) {
  test::TempDir dir;
  for (const char* folder : {"usr/bin", "usr/share/lumio", "home/li"})
    std::filesystem::create_directories(dir.File(folder));
  ASSERT_TRUE(SaveStationList(dir.File("usr/share/lumio/chlst.ini"), {StationRecord{}}));
  ConfigFacts facts;
  facts.programDir = dir.File("usr/bin/");
  facts.dataDir = dir.File("usr/share/lumio");
  facts.dataDirHasCatalogue = true;
  facts.home = dir.File("home/li");
  const ConfigLocation location = ChooseConfigLocation(facts);

  test::FakeWindowLayer window;
  test::FakeMediaPlayer player;
  test::FakeClock clock;
  CRadioDlg dlg(window, player, clock, facts.programDir, location);
  window.onMove = [&dlg] { dlg.OnMove(); };
  ASSERT_TRUE(dlg.OnInitDialog());  // ~/.config did not exist yet
  EXPECT_EQ(test::ReadBytes(dir.File("home/li/.config/lumio/base.ini")), DefaultConfigText());
  EXPECT_FALSE(std::filesystem::exists(dir.File("usr/bin/config")));
  dlg.LoadCatalogue();
  EXPECT_EQ(dlg.m_store.m_catalogue.size(), 1u);

  // The listener's own catalogue, once there, is the one read; the lists go beside it.
  StationRecord own;
  own.nid = 7;
  ASSERT_TRUE(SaveStationList(dir.File("home/li/.config/lumio/chlst.ini"), {own, own}));
  dlg.LoadCatalogue();
  EXPECT_EQ(dlg.m_store.m_catalogue.size(), 2u);
  dlg.m_store.m_favourites = {own};
  ASSERT_TRUE(dlg.m_store.SaveFavourites());
  EXPECT_TRUE(std::filesystem::exists(dir.File("home/li/.config/lumio/favlst.ini")));

  SaveVolume(SettingsFile(), location, 30);
  EXPECT_EQ(LoadSettings(SettingsFile(), location).m_nVolume, 30);
}

}  // namespace
}  // namespace lumio
