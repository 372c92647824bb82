// Resource ids of lumio.rc, for the resource compiler. The C++ code names the same numbers in
// ports/control_ids.h; resource_ids_check.cpp makes sure the two agree.
#pragma once

// Dialog templates.
#define IDD_ABOUT 100
#define IDD_MAIN 102
#define IDD_FIND 196
#define IDD_TASKS 197
#define IDD_SONGS 198

// Strings, menus and the icon.
#define IDS_ABOUT_ITEM 101
#define IDI_PROGRAM 128
#define IDR_TRAY_MENU 140
#define IDR_STATION_MENU 141

// Controls of the main dialog.
#define IDC_STATION_LIST 1003
#define IDC_CONTENT 1006
#define IDC_REGION 1007
#define IDC_SETTINGS2 1008
#define IDC_ADD 1009
#define IDC_FIND 1010
#define IDC_ABOUT 1011
#define IDC_PLAY_TIME 1012
#define IDC_STATION_NAME 1013
#define IDC_STATUS 1014
#define IDC_HONG_KONG 1015
#define IDC_PLAY 1016
#define IDC_PREVIOUS 1017
#define IDC_NEXT 1018
#define IDC_MUTE 1019
#define IDC_VOLUME 1020
#define IDC_HELP_PAGE 1021
#define IDC_AD 1022
#define IDC_BANNER 1023
#define IDC_STOP 1025
#define IDC_CATEGORY_LIST 1026
#define IDC_HIDE 1027
#define IDC_CLOSE 1028
#define IDC_SETTINGS 1029
#define IDC_MODE_SWITCH 1030

// Controls of the About and Find dialogs.
#define IDC_TEXT 1005
#define IDC_HOME_LINK 1032
#define IDC_HELP_LINK 1033

// Controls of the 定时任务 and 歌曲记录 dialogs.
#define IDC_TASK_LIST 1040
#define IDC_TASK_PLAY 1041
#define IDC_TASK_RECORD 1042
#define IDC_TASK_MINUTES 1043
#define IDC_TASK_TIME 1044
#define IDC_TASK_DAY1 1045
#define IDC_TASK_DAY2 1046
#define IDC_TASK_DAY3 1047
#define IDC_TASK_DAY4 1048
#define IDC_TASK_DAY5 1049
#define IDC_TASK_DAY6 1050
#define IDC_TASK_DAY7 1051
#define IDC_TASK_STATION 1052
#define IDC_TASK_ADD 1053
#define IDC_TASK_REMOVE 1054
#define IDC_SONG_LIST 1055
#define IDC_SONG_COPY 1056

// Commands of the system menu, the tray menu and the station menu.
#define ID_SYS_ABOUT 16
#define ID_TRAY_SETTINGS 32771
#define ID_SHOW_WINDOW 32772
#define ID_PLAY_STATION 32773
#define ID_PLAY_ONLINE 32774
#define ID_REPORT 32775
#define ID_STATION_INFO 32776
#define ID_ADD_FAVOURITE 32777
#define ID_MORE_STATIONS 32778
#define ID_MINI_MODE 32779
#define ID_TRAY_MORE_STATIONS 32780
#define ID_ABOUT_US 32781
#define ID_ONLINE_HELP 32782
#define ID_EXIT 32783
#define ID_STATION_GUIDE 32784
