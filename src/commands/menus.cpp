#include "commands/menus.h"

#include <string>

#include "ports/control_ids.h"
#include "text/literal.h"

namespace lumio {
namespace {

MenuItem Item(int32_t command, std::string_view utf8) {
  MenuItem item;
  item.command = command;
  item.text = Literal(utf8).gbk();
  return item;
}
MenuItem Separator() {
  return {};
}

MenuItem RecordingItem(const MenuState& state, int32_t startCommand) {
  return state.recording ? Item(kCmdStopRecording, "停止录音") : Item(startCommand, "开始录音");
}

MenuItem SleepSubmenu(const MenuState& state) {
  MenuItem sleep = Item(0, "定时停止");
  for (size_t i = 0; i < state.sleepChoices.size(); ++i) {
    const int32_t minutes = state.sleepChoices[i];
    MenuItem choice;
    choice.command = kCmdSleepFirst + static_cast<int32_t>(i);
    choice.text = std::to_string(minutes) + Literal(" 分钟").gbk();
    choice.checked = state.sleepMinutes == minutes;
    sleep.submenu.push_back(std::move(choice));
  }
  sleep.submenu.push_back(Item(kCmdSleepCancel, "取消"));
  return sleep;
}

}  // namespace

std::vector<MenuItem> TrayMenu(const MenuState& state) {
  return {
      Item(kCmdShowWindow, "显示窗口"),
      Item(kCmdTraySettings, "设置"),
      Item(kCmdMiniMode, "迷你模式"),
      Separator(),
      Item(kCmdTrayMoreStations, "更多电台"),
      Item(kCmdAboutUs, "关于我们"),
      Item(kCmdOnlineHelp, "在线帮助"),
      Item(kCmdStationGuide, "电台导航"),
      RecordingItem(state, kCmdStartRecording),
      SleepSubmenu(state),
      Item(kCmdScheduledTasks, "定时任务..."),
      Item(kCmdSongHistory, "歌曲记录..."),
      Separator(),
      Item(kCmdExit, "退出"),
  };
}

std::vector<MenuItem> StationMenu(const MenuState& state) {
  return {
      Item(kCmdPlayStation, "播放"),
      Item(kCmdPlayOnline, "在线播放"),
      RecordingItem(state, kCmdRecordMenuStation),
      Item(kCmdStationInfo, "电台介绍"),
      Item(kCmdReport, "举报"),
      Item(kCmdAddFavourite, "加入收藏"),
      Item(kCmdMoreStations, "更多电台"),
  };
}

}  // namespace lumio
