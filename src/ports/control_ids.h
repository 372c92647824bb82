#pragma once
// Numbers that name the main window's controls, timers, menu commands, messages and skin
// bitmaps. They are the program's vocabulary between the core and the window layer.

#include <cstdint>

namespace lumio {

// Controls of the main window.
inline constexpr int32_t kIdcPlayer = 1000;  // the (invisible) media player
inline constexpr int32_t kIdcStationList = 1003;
inline constexpr int32_t kIdcContent = 1006;  // "综合": content categories
inline constexpr int32_t kIdcRegion = 1007;   // "地域": region categories
inline constexpr int32_t kIdcSettings2 = 1008;
inline constexpr int32_t kIdcAdd = 1009;
inline constexpr int32_t kIdcFind = 1010;
inline constexpr int32_t kIdcAbout = 1011;
inline constexpr int32_t kIdcPlayTime = 1012;
inline constexpr int32_t kIdcStationName = 1013;
inline constexpr int32_t kIdcStatus = 1014;
inline constexpr int32_t kIdcHongKong = 1015;  // never shown
inline constexpr int32_t kIdcPlay = 1016;
inline constexpr int32_t kIdcPrevious = 1017;
inline constexpr int32_t kIdcNext = 1018;
inline constexpr int32_t kIdcMute = 1019;
inline constexpr int32_t kIdcVolume = 1020;
inline constexpr int32_t kIdcHelp = 1021;
inline constexpr int32_t kIdcAd = 1022;  // never shown
inline constexpr int32_t kIdcBanner = 1023;
inline constexpr int32_t kIdcStop = 1025;
inline constexpr int32_t kIdcCategoryList = 1026;
inline constexpr int32_t kIdcHide = 1027;
inline constexpr int32_t kIdcClose = 1028;
inline constexpr int32_t kIdcSettings = 1029;
inline constexpr int32_t kIdcModeSwitch = 1030;

// Window timers; every one is one-shot and re-armed by its action.
inline constexpr int32_t kTimerPlayTime = 1;
inline constexpr int32_t kTimerLoadCatalogue = 2;
inline constexpr int32_t kTimerSlideRight = 3;
inline constexpr int32_t kTimerSlideUp = 4;
inline constexpr int32_t kTimerAutoHide = 5;
inline constexpr int32_t kTimerFade = 6;
inline constexpr int32_t kTimerStatus = 7;
// kTimerSavePosition (8) is the position writer's. The recorder's, the sleep timer's and the
// schedule's one-second tick:
inline constexpr int32_t kTimerTimedFeatures = 9;

// Commands of the tray menu (140) and the station menu (141), and of the system menu.
inline constexpr int32_t kCmdSysAbout = 16;
inline constexpr int32_t kCmdTraySettings = 32771;
inline constexpr int32_t kCmdShowWindow = 32772;
inline constexpr int32_t kCmdPlayStation = 32773;
inline constexpr int32_t kCmdPlayOnline = 32774;
inline constexpr int32_t kCmdReport = 32775;
inline constexpr int32_t kCmdStationInfo = 32776;
inline constexpr int32_t kCmdAddFavourite = 32777;
inline constexpr int32_t kCmdMoreStations = 32778;
inline constexpr int32_t kCmdMiniMode = 32779;
inline constexpr int32_t kCmdTrayMoreStations = 32780;
inline constexpr int32_t kCmdAboutUs = 32781;
inline constexpr int32_t kCmdOnlineHelp = 32782;
inline constexpr int32_t kCmdExit = 32783;
inline constexpr int32_t kCmdStationGuide = 32784;
// Recording and the sleep timer, added to the two menus.
inline constexpr int32_t kCmdStartRecording = 32785;
inline constexpr int32_t kCmdStopRecording = 32786;
// 定时停止: kCmdSleepFirst + i sets kSleepChoices[i]; kCmdSleepCancel cancels.
inline constexpr int32_t kCmdSleepFirst = 32787;
inline constexpr int32_t kCmdSleepCancel = 32799;
// The 定时任务 and 歌曲记录 dialogs, from the tray menu; below them room for more sleep choices.
inline constexpr int32_t kCmdScheduledTasks = 32797;
inline constexpr int32_t kCmdSongHistory = 32798;
// The station menu's 开始录音: it records the row clicked, where the tray menu's records what
// plays.
inline constexpr int32_t kCmdRecordMenuStation = 32800;

inline constexpr int32_t kMenuTray = 140;
inline constexpr int32_t kMenuStation = 141;

// Messages that travel from controls and dialogs to the main window.
inline constexpr int32_t kMsgTrayNotify = 1026;   // tray icon notification
inline constexpr int32_t kMsgFindRequest = 1124;  // from the Find dialog, wParam 1142
inline constexpr int32_t kFindRequestCode = 1142;
inline constexpr int32_t kMsgSliderChanging = 10449;  // slider position moving
inline constexpr int32_t kMsgSliderChanged = 10450;   // slider change ended
inline constexpr int32_t kTrayIconId = 128;

// Skin bitmaps.
inline constexpr int32_t kBmpIcon = 128;
inline constexpr int32_t kBmpNormalBackground = 131;
inline constexpr int32_t kBmpMiniBackground = 178;
inline constexpr int32_t kBmpCloseNormal = 133;
inline constexpr int32_t kBmpHideNormal = 137;
inline constexpr int32_t kBmpModeNormal = 139;
inline constexpr int32_t kBmpContent = 142;
inline constexpr int32_t kBmpRegion = 143;
inline constexpr int32_t kBmpSettings2Normal = 144;
inline constexpr int32_t kBmpAdd = 145;
inline constexpr int32_t kBmpStop = 147;
inline constexpr int32_t kBmpFind = 148;
inline constexpr int32_t kBmpAboutNormal = 149;
inline constexpr int32_t kBmpHongKong = 153;
inline constexpr int32_t kBmpMuteOff = 154;  // sound on
inline constexpr int32_t kBmpNextNormal = 155;
inline constexpr int32_t kBmpPauseNormal = 156;
inline constexpr int32_t kBmpPlayNormal = 157;
inline constexpr int32_t kBmpPreviousNormal = 158;
inline constexpr int32_t kBmpHelp = 159;
inline constexpr int32_t kBmpLevel0 = 164;  // level meters 164..169
inline constexpr int32_t kBmpSettings2Mini = 171;
inline constexpr int32_t kBmpAboutMini = 172;
inline constexpr int32_t kBmpNextMini = 173;
inline constexpr int32_t kBmpPauseMini = 174;
inline constexpr int32_t kBmpPlayMini = 175;
inline constexpr int32_t kBmpPreviousMini = 176;
inline constexpr int32_t kBmpActiveThumbNormal = 179;
inline constexpr int32_t kBmpChannelNormal = 180;
inline constexpr int32_t kBmpActiveChannelNormal = 181;
inline constexpr int32_t kBmpThumbNormal = 182;
inline constexpr int32_t kBmpModeMini = 183;
inline constexpr int32_t kBmpCloseMini = 185;
inline constexpr int32_t kBmpHideMini = 187;
inline constexpr int32_t kBmpSettingsMini = 190;
inline constexpr int32_t kBmpChannelMini = 191;
inline constexpr int32_t kBmpActiveThumbMini = 192;
inline constexpr int32_t kBmpThumbMini = 193;
inline constexpr int32_t kBmpActiveChannelMini = 194;
inline constexpr int32_t kBmpSettingsNormal = 195;
inline constexpr int32_t kBmpMuteOn = 197;  // muted

// Display modes: 1 is the normal window; every other value is the mini bar.
inline constexpr int32_t kModeNormal = 1;
inline constexpr int32_t kModeMini = 2;

}  // namespace lumio
