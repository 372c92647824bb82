// The display modes of the main window: skins, layouts and the switch between them.

#include "app/config_file.h"
#include "app/layout_tables.h"
#include "app/radio_dlg.h"
#include "ports/control_ids.h"

namespace lumio {
namespace {

constexpr int32_t kResetY = 100;

}  // namespace

void CRadioDlg::ApplyListAppearance() {
  ListControl& categories = m_window.List(kIdcCategoryList);
  categories.SetColours({Rgb(90, 127, 90), Rgb(90, 127, 90), Rgb(90, 127, 90), Rgb(255, 255, 255),
                         Rgb(66, 22, 125), Rgb(255, 255, 255)});
  categories.SetRowHeight(20);
  categories.SetFontSize(14, 0);
  ListControl& stations = m_window.List(kIdcStationList);
  stations.SetColours({Rgb(241, 249, 253), Rgb(241, 249, 253), Rgb(255, 255, 255), Rgb(90, 127, 90),
                       Rgb(25, 58, 106), Rgb(255, 255, 255)});
  stations.SetRowHeight(24);
  stations.SetFontSize(14, 0);
}

void CRadioDlg::ApplySkin() {
  const bool normal = m_place.IsNormalMode();
  SliderControl& volume = m_window.Slider(kIdcVolume);
  volume.SetChannelBitmaps(normal ? kBmpChannelNormal : kBmpChannelMini,
                           normal ? kBmpActiveChannelNormal : kBmpActiveChannelMini, false);
  volume.SetThumbBitmaps(normal ? kBmpThumbNormal : kBmpThumbMini,
                         normal ? kBmpActiveThumbNormal : kBmpActiveThumbMini, true);
  volume.ShowFocusRect(false);
  m_window.SetBackground(normal ? kBmpNormalBackground : kBmpMiniBackground, normal);

  for (const ButtonSkin& skin : normal ? NormalButtonSkins() : MiniButtonSkins())
    m_window.SetButtonBitmap(skin.id, skin.bitmapId);
  m_window.SetButtonBitmap(kIdcPlay, m_playback.PlayButtonFace());
  // The mute button keeps telling the truth across a mode switch.
  if (normal) m_window.SetButtonBitmap(kIdcMute, m_playback.MuteButtonFace());

  volume.SetRange(0, 100);
  volume.SetPos(m_playback.m_nVolume);
  volume.SetMargins(2, 3, 2, 0);
  for (const ToolTip& tip : ToolTips())
    m_window.AddToolTip(tip.id, tip.text);
}

// The saved position is dropped for a place near the right or top edge (where the window would
// dock at once), and for one that is off the screen, as after a change of screens.
void CRadioDlg::ResetPlacementIfOffScreen(int32_t width, int32_t resetFromRight) {
  const Rect area = m_window.GetWorkArea();
  const bool nearEdge =
      m_place.m_nSavedX + width + 10 >= m_place.m_nWorkAreaRight || m_place.m_nSavedY <= 3;
  const bool offScreen = int64_t{m_place.m_nSavedX} + width < int64_t{area.left} + 20 ||
                         m_place.m_nSavedY > area.bottom - 20;
  int32_t x = m_place.m_nSavedX;
  int32_t y = m_place.m_nSavedY;
  if (nearEdge || offScreen) {
    x = m_place.m_nWorkAreaRight - resetFromRight;
    y = kResetY;
    SavePosition(x, y);
    m_place.m_nSavedX = x;
    m_place.m_nSavedY = y;
  }
  m_place.m_nWindowX = x;
  m_place.m_nWindowY = y;
}

void CRadioDlg::LayoutNormal() {
  m_place.m_nWindowWidth = kNormalWidth;
  m_place.m_nWindowHeight = kNormalHeight;
  ResetPlacementIfOffScreen(kNormalWidth, 350);
  m_window.PlaceWindow(m_place.WindowRectAt(m_place.m_nWindowX, m_place.m_nWindowY),
                       m_place.m_nTopMost == 1);
  for (const ControlPlacement& control : NormalLayout()) {
    if (control.id == kIdcStationName) m_window.SetControlFont(kIdcStationName, 16);
    m_window.MoveControl(control.id, control.rect);
    if (control.id == kIdcStatus) m_window.SetControlText(kIdcPlayTime, m_playback.PlayTimeText());
  }
}

void CRadioDlg::LayoutMini() {
  m_place.m_nWindowWidth = kMiniWidth;
  m_place.m_nWindowHeight = kMiniHeight;
  ResetPlacementIfOffScreen(kMiniWidth, 450);
  m_window.PlaceWindow(m_place.WindowRectAt(m_place.m_nWindowX, m_place.m_nWindowY), true);
  for (const ControlPlacement& control : MiniLayout()) {
    if (control.id == kIdcStationName) {
      m_window.SetControlFont(kIdcStationName, 12);
      m_window.SetControlFont(kIdcStatus, 12);
    }
    m_window.MoveControl(control.id, control.rect);
  }
}

void CRadioDlg::FitListColumns() {
  ListControl& categories = m_window.List(kIdcCategoryList);
  categories.SetColumnWidth(0, categories.ClientWidth());
  ListControl& stations = m_window.List(kIdcStationList);
  const int32_t width = stations.ClientWidth();
  stations.SetColumnWidth(0, width * 7 / 8);
  stations.SetColumnWidth(1, width / 8);
}

void CRadioDlg::ToggleMode() {
  m_docking.Reset();
  if (m_place.IsNormalMode()) {
    m_nClickMenu = 2;
    m_place.m_nMode = kModeMini;
    ApplySkin();
    m_window.Banner(kIdcBanner).SetBackgroundCaptured(false);
    LayoutMini();
  } else {
    m_place.m_nMode = kModeNormal;
    ApplySkin();
    m_window.Banner(kIdcBanner).SetBackgroundCaptured(false);
    LayoutNormal();
  }
  FitListColumns();
  m_window.ShowWindow(true);
}

void CRadioDlg::ShowFromTray() {
  m_docking.Reset();
  if (!m_place.IsNormalMode()) {
    m_window.ShowWindow(true);
    return;
  }
  if (m_place.m_nWindowX + m_place.m_nWindowWidth + 15 >= m_place.m_nWorkAreaRight ||
      m_place.m_nWindowY <= 10) {
    const int32_t x = m_place.m_nWorkAreaRight - m_place.m_nWindowWidth - 50;
    const int32_t y = kResetY;
    SavePosition(x, y);
    m_place.m_nSavedX = m_place.m_nWindowX = x;
    m_place.m_nSavedY = m_place.m_nWindowY = y;
  }
  m_window.MoveWindow(m_place.WindowRectAt(m_place.m_nWindowX, m_place.m_nWindowY));
  m_window.ShowWindow(true);
}

}  // namespace lumio
