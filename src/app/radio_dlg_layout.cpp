// The display modes of the main window: skins, layouts and the switch between them.

#include "app/config_file.h"
#include "app/desktop_edges.h"
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

// The saved position is dropped for a place near the outer right or top edge of the desktop
// (where the window would dock at once), and for one on no screen, as after a screen was
// unplugged. A place on any screen is kept; a place near an edge of another screen than the
// primary comes back on that screen.
void CRadioDlg::ResetPlacementIfOffScreen(int32_t resetFromRight) {
  const std::vector<Monitor> monitors = m_window.GetMonitors();
  const Rect saved = m_place.WindowRectAt(m_place.m_nSavedX, m_place.m_nSavedY);
  const bool onScreen = IsOnSomeWorkArea(monitors, saved);
  const Rect primary = PrimaryWorkArea(monitors);
  const int32_t right = onScreen ? RightEdgeAt(monitors, saved) : primary.right;
  const int32_t top = onScreen ? TopEdgeAt(monitors, saved) : primary.top;
  const bool nearEdge = int64_t{m_place.m_nSavedX} + m_place.m_nWindowWidth + 10 >= right ||
                        m_place.m_nSavedY <= top + 3;
  Point place{m_place.m_nSavedX, m_place.m_nSavedY};
  if (!onScreen || nearEdge) {
    place = ResetPlace(right, resetFromRight);
    SavePosition(place.x, place.y);
    m_place.m_nSavedX = place.x;
    m_place.m_nSavedY = place.y;
  }
  m_place.m_nWindowX = place.x;
  m_place.m_nWindowY = place.y;
  const Rect placed = m_place.WindowRectAt(place.x, place.y);
  m_place.m_nWorkAreaRight = RightEdgeAt(monitors, placed);
  m_place.m_nWorkAreaTop = TopEdgeAt(monitors, placed);
}

Point CRadioDlg::ResetPlace(int32_t right, int32_t fromRight) const {
  const std::vector<Monitor> monitors = m_window.GetMonitors();
  const int32_t x = right - fromRight;
  Point place{x, TopEdgeAt(monitors, m_place.WindowRectAt(x, 0)) + kResetY};
  if (!IsOnSomeWorkArea(monitors, m_place.WindowRectAt(place.x, place.y))) {
    const Rect primary = PrimaryWorkArea(monitors);
    place = {primary.right - fromRight, primary.top + kResetY};
  }
  return place;
}

void CRadioDlg::LayoutNormal() {
  m_place.m_nWindowWidth = kNormalWidth;
  m_place.m_nWindowHeight = kNormalHeight;
  ResetPlacementIfOffScreen(350);
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
  ResetPlacementIfOffScreen(450);
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
  // The edges the window last docked at, or those of its last free place.
  const int32_t right = m_place.m_nWorkAreaRight;
  const int32_t top = m_place.m_nWorkAreaTop;
  if (m_place.m_nWindowX + m_place.m_nWindowWidth + 15 >= right || m_place.m_nWindowY <= top + 10) {
    const Point place = ResetPlace(right, m_place.m_nWindowWidth + 50);
    SavePosition(place.x, place.y);
    m_place.m_nSavedX = m_place.m_nWindowX = place.x;
    m_place.m_nSavedY = m_place.m_nWindowY = place.y;
  }
  m_window.MoveWindow(m_place.WindowRectAt(m_place.m_nWindowX, m_place.m_nWindowY));
  m_window.ShowWindow(true);
}

}  // namespace lumio
