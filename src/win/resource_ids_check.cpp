// The resource script and the C++ code name the same numbers twice (the resource compiler
// cannot read C++ constants): the build fails where the two disagree.

#include "ports/control_ids.h"
#include "win/resource.h"

namespace lumio::win {

static_assert(IDC_STATION_LIST == kIdcStationList && IDC_CATEGORY_LIST == kIdcCategoryList);
static_assert(IDC_CONTENT == kIdcContent && IDC_REGION == kIdcRegion);
static_assert(IDC_SETTINGS2 == kIdcSettings2 && IDC_ADD == kIdcAdd && IDC_FIND == kIdcFind);
static_assert(IDC_ABOUT == kIdcAbout && IDC_HONG_KONG == kIdcHongKong && IDC_AD == kIdcAd);
static_assert(IDC_PLAY_TIME == kIdcPlayTime && IDC_STATION_NAME == kIdcStationName);
static_assert(IDC_STATUS == kIdcStatus && IDC_BANNER == kIdcBanner && IDC_VOLUME == kIdcVolume);
static_assert(IDC_PLAY == kIdcPlay && IDC_PREVIOUS == kIdcPrevious && IDC_NEXT == kIdcNext);
static_assert(IDC_MUTE == kIdcMute && IDC_STOP == kIdcStop && IDC_HELP_PAGE == kIdcHelp);
static_assert(IDC_HIDE == kIdcHide && IDC_CLOSE == kIdcClose && IDC_SETTINGS == kIdcSettings);
static_assert(IDC_MODE_SWITCH == kIdcModeSwitch);
static_assert(IDI_PROGRAM == kBmpIcon && IDR_TRAY_MENU == kMenuTray);
static_assert(IDR_STATION_MENU == kMenuStation && ID_SYS_ABOUT == kCmdSysAbout);
static_assert(ID_TRAY_SETTINGS == kCmdTraySettings && ID_SHOW_WINDOW == kCmdShowWindow);
static_assert(ID_PLAY_STATION == kCmdPlayStation && ID_PLAY_ONLINE == kCmdPlayOnline);
static_assert(ID_REPORT == kCmdReport && ID_STATION_INFO == kCmdStationInfo);
static_assert(ID_ADD_FAVOURITE == kCmdAddFavourite && ID_MORE_STATIONS == kCmdMoreStations);
static_assert(ID_MINI_MODE == kCmdMiniMode && ID_TRAY_MORE_STATIONS == kCmdTrayMoreStations);
static_assert(ID_ABOUT_US == kCmdAboutUs && ID_ONLINE_HELP == kCmdOnlineHelp);
static_assert(ID_EXIT == kCmdExit && ID_STATION_GUIDE == kCmdStationGuide);

}  // namespace lumio::win
