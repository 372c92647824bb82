#include "app/layout_tables.h"

#include "ports/control_ids.h"
#include "text/literal.h"
#include "text/program_name.h"

namespace lumio {
namespace {

ControlPlacement At(int32_t id, int32_t x, int32_t y, int32_t w, int32_t h) {
  return {id, Rect::FromSize(x, y, w, h)};
}

}  // namespace

const std::vector<ControlPlacement>& NormalLayout() {
  constexpr int32_t w = kNormalWidth;
  static const std::vector<ControlPlacement> layout = {
      At(kIdcBanner, 20, 30, 200, 20),
      At(kIdcPlayTime, 260, 25, 30, 20),
      At(kIdcStationName, 10, 50, 200, 30),
      At(kIdcStatus, 210, 60, 80, 15),
      At(kIdcPlay, 20, 103, 35, 35),
      At(kIdcStop, 75, 103, 35, 35),
      At(kIdcPrevious, 115, 103, 35, 35),
      At(kIdcNext, 155, 103, 35, 35),
      At(kIdcMute, 205, 103, 35, 35),
      At(kIdcVolume, 60, 155, 180, 15),
      At(kIdcSettings, w - 66, 2, 16, 16),
      At(kIdcModeSwitch, w - 50, 2, 16, 16),
      At(kIdcHide, w - 34, 2, 16, 16),
      At(kIdcClose, w - 18, 2, 16, 16),
      At(kIdcContent, 50, 180, 100, 20),
      At(kIdcRegion, 150, 180, 100, 20),
      At(kIdcCategoryList, 8, 210, 52, 310),
      At(kIdcStationList, 60, 210, 240, 310),
      At(kIdcPlayer, 208, 130, 0, 0),
      At(kIdcSettings2, 5, 530, 0, 0),
      At(kIdcAdd, 65, 530, 0, 0),
      At(kIdcFind, 125, 530, 50, 20),
      At(kIdcAbout, 185, 530, 50, 20),
      At(kIdcHelp, 265, 530, 20, 20),
      At(kIdcAd, 0, 550, 300, 0),
      At(kIdcHongKong, 0, 0, 0, 0),
  };
  return layout;
}

const std::vector<ControlPlacement>& MiniLayout() {
  constexpr int32_t w = kMiniWidth;
  static const std::vector<ControlPlacement> layout = {
      At(kIdcPlay, 30, 7, 20, 20),
      At(kIdcPrevious, 55, 7, 20, 20),
      At(kIdcNext, 80, 7, 20, 20),
      At(kIdcVolume, 105, 9, 80, 15),
      At(kIdcStationName, 190, 5, 175, 15),
      At(kIdcStatus, 190, 20, 90, 15),
      At(kIdcBanner, 280, 20, 85, 15),
      At(kIdcPlayTime, 10, 0, 0, 0),
      At(kIdcHide, w - 32, 2, 15, 15),
      At(kIdcClose, w - 17, 2, 15, 15),
      At(kIdcSettings, w - 32, 17, 15, 15),
      At(kIdcModeSwitch, w - 17, 17, 15, 15),
      At(kIdcSettings2, 300, 4, 0, 0),
      At(kIdcAbout, 320, 4, 0, 0),
      At(kIdcStop, 20, 0, 0, 0),
      At(kIdcMute, 20, 0, 0, 0),
      At(kIdcContent, 4, 4, 0, 0),
      At(kIdcRegion, 4, 4, 0, 0),
      At(kIdcCategoryList, 4, 4, 0, 0),
      At(kIdcStationList, 4, 4, 0, 0),
      At(kIdcPlayer, 8, 5, 0, 0),
      At(kIdcAdd, 4, 0, 0, 0),
      At(kIdcFind, 4, 0, 0, 0),
      At(kIdcHelp, 4, 0, 0, 0),
      At(kIdcAd, 4, 0, 0, 0),
      At(kIdcHongKong, 4, 0, 0, 0),
  };
  return layout;
}

const std::vector<ButtonSkin>& NormalButtonSkins() {
  static const std::vector<ButtonSkin> skins = {
      {kIdcContent, kBmpContent},
      {kIdcRegion, kBmpRegion},
      {kIdcSettings2, kBmpSettings2Normal},
      {kIdcAdd, kBmpAdd},
      {kIdcFind, kBmpFind},
      {kIdcAbout, kBmpAboutNormal},
      {kIdcHongKong, kBmpHongKong},
      {kIdcStop, kBmpStop},
      {kIdcPrevious, kBmpPreviousNormal},
      {kIdcNext, kBmpNextNormal},
      {kIdcHelp, kBmpHelp},
      {kIdcHide, kBmpHideNormal},
      {kIdcClose, kBmpCloseNormal},
      {kIdcSettings, kBmpSettingsNormal},
      {kIdcModeSwitch, kBmpModeNormal},
  };
  return skins;
}

const std::vector<ButtonSkin>& MiniButtonSkins() {
  static const std::vector<ButtonSkin> skins = {
      {kIdcSettings2, kBmpSettings2Mini},
      {kIdcAbout, kBmpAboutMini},
      {kIdcPrevious, kBmpPreviousMini},
      {kIdcNext, kBmpNextMini},
      {kIdcHelp, kBmpHelp},
      {kIdcHide, kBmpHideMini},
      {kIdcClose, kBmpCloseMini},
      {kIdcSettings, kBmpSettingsMini},
      {kIdcModeSwitch, kBmpModeMini},
  };
  return skins;
}

const std::vector<ToolTip>& ToolTips() {
  static const std::vector<ToolTip> tips = [] {
    const std::pair<int32_t, std::string_view> utf8[] = {
        {kIdcHide, "最小化"},
        {kIdcClose, "关闭窗口"},
        {kIdcSettings, "系统设置"},
        {kIdcModeSwitch, "切换显示模式"},
        {kIdcPlay, "播放"},
        {kIdcStop, "停止"},
        {kIdcPrevious, "上一个"},
        {kIdcNext, "下一个"},
        {kIdcMute, "静音"},
        {kIdcVolume, "音量"},
        {kIdcPlayTime, "播放时间"},
        {kIdcStationName, "系统时间"},
        {kIdcContent, "按内容分类"},
        {kIdcRegion, "按地域分类"},
        {kIdcCategoryList, "分类列表"},
        {kIdcSettings2, "设置"},
        {kIdcAdd, "添加"},
        {kIdcFind, "查找"},
        {kIdcAbout, "关于"},
        {kIdcHelp, "帮助"},
    };
    std::vector<ToolTip> all{{0, WelcomeText()}};
    for (const auto& [id, text] : utf8)
      all.push_back({id, Literal(text).gbk()});
    return all;
  }();
  return tips;
}

}  // namespace lumio
