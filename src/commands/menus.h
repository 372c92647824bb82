#pragma once
// The two pop-up menus: the tray menu and the station menu. Their recording entry and the
// sleep timer's check mark follow what runs when the menu opens.

#include <cstdint>
#include <vector>

#include "ports/window_layer.h"

namespace lumio {

struct MenuState {
  bool recording = false;
  // The 定时停止 choices in minutes, in order: command kCmdSleepFirst + i sets choice i.
  std::vector<int32_t> sleepChoices;
  // The choice that runs; 0 when none does.
  int32_t sleepMinutes = 0;
};

// "显示窗口", "设置", "迷你模式", -, "更多电台", "关于我们", "在线帮助", "电台导航",
// "开始录音" or "停止录音", "定时停止" >, "定时任务...", "歌曲记录...", -, "退出".
std::vector<MenuItem> TrayMenu(const MenuState& state = {});

// "播放", "在线播放", "开始录音" or "停止录音", "电台介绍", "举报", "加入收藏", "更多电台".
// Its 开始录音 is for the row clicked, the tray menu's for the station playing.
std::vector<MenuItem> StationMenu(const MenuState& state = {});

}  // namespace lumio
