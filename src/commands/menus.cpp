#include "commands/menus.h"

#include "ports/control_ids.h"
#include "text/literal.h"

namespace lumio {
namespace {

MenuItem Item(int32_t command, std::string_view utf8) {
  return {command, Literal(utf8).gbk()};
}
MenuItem Separator() {
  return {0, {}};
}

}  // namespace

const std::vector<MenuItem>& TrayMenu() {
  static const std::vector<MenuItem> items = {
      Item(kCmdShowWindow, "显示窗口"),
      Item(kCmdTraySettings, "设置"),
      Item(kCmdMiniMode, "迷你模式"),
      Separator(),
      Item(kCmdTrayMoreStations, "更多电台"),
      Item(kCmdAboutUs, "关于我们"),
      Item(kCmdOnlineHelp, "在线帮助"),
      Item(kCmdStationGuide, "电台导航"),
      Separator(),
      Item(kCmdExit, "退出"),
  };
  return items;
}

const std::vector<MenuItem>& StationMenu() {
  static const std::vector<MenuItem> items = {
      Item(kCmdPlayStation, "播放"),      Item(kCmdPlayOnline, "在线播放"),
      Item(kCmdStationInfo, "电台介绍"),  Item(kCmdReport, "举报"),
      Item(kCmdAddFavourite, "加入收藏"), Item(kCmdMoreStations, "更多电台"),
  };
  return items;
}

}  // namespace lumio
