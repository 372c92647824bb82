#pragma once
// The two pop-up menus: the tray menu and the station menu.

#include <vector>

#include "ports/window_layer.h"

namespace lumio {

// "显示窗口", "设置", "迷你模式", -, "更多电台", "关于我们", "在线帮助", "电台导航", -, "退出".
const std::vector<MenuItem>& TrayMenu();

// "播放", "在线播放", "电台介绍", "举报", "加入收藏", "更多电台".
const std::vector<MenuItem>& StationMenu();

}  // namespace lumio
