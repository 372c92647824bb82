#include "app/radio_dlg.h"

#include "app/config_file.h"
#include "app/desktop_edges.h"
#include "commands/menus.h"
#include "commands/web_pages.h"
#include "ports/control_ids.h"
#include "recording/recording_disk.h"
#include "text/literal.h"
#include "text/program_name.h"

namespace lumio {
namespace {

constexpr int32_t kCatalogueDelayMs = 1500;
constexpr int32_t kFadeStepMs = 100;
constexpr int32_t kFadeStepAlpha = 40;
constexpr int32_t kAboutHomeLink = 1032;
constexpr int32_t kAboutHelpLink = 1033;

}  // namespace

CRadioDlg::CRadioDlg(WindowLayer& window, MediaPlayer& player, const Clock& clock,
                     std::string programDir)
    : CRadioDlg(window, player, clock, programDir, PortableConfigLocation(programDir)) {}

CRadioDlg::CRadioDlg(WindowLayer& window, MediaPlayer& player, const Clock& clock,
                     std::string programDir, ConfigLocation config)
    : m_strProgramDir(std::move(programDir)),
      m_config(std::move(config)),
      m_positionWriter(
          window,
          [this](int32_t x, int32_t y) { lumio::SavePosition(m_settingsFile, m_config, x, y); }),
      m_playback(window, player, m_store, m_place.m_nMode,
                 [this](int32_t volume) { SaveVolume(m_settingsFile, m_config, volume); }),
      m_stations(window, m_store, m_playback, clock),
      m_docking(window, m_place,
                [this](int32_t x, int32_t y) { m_positionWriter.WriteSoon(x, y); }),
      m_timers(window),
      m_timed(window, player, clock, m_playback, m_store, m_place.m_nMode),
      m_window(window),
      m_player(player),
      m_clock(clock) {
  m_store.SetLocation(m_config);
  m_timers.SetAction(kTimerPlayTime, [this] {
    m_playback.UpdatePlayTime();
    m_timed.ShowLabel();
  });
  m_timers.SetAction(kTimerLoadCatalogue, [this] { LoadCatalogue(); });
  m_timers.SetAction(kTimerSlideRight, [this] { m_docking.SlideOut(1); });
  m_timers.SetAction(kTimerSlideUp, [this] { m_docking.SlideOut(2); });
  m_timers.SetAction(kTimerAutoHide, [this] { m_docking.CheckAutoHide(); });
  m_timers.SetAction(kTimerFade, [this] { FadeOutStep(); });
  m_timers.SetAction(kTimerStatus, [this] { m_playback.UpdateStatus(0); });
  m_timers.SetAction(kTimerTimedFeatures, [this] { m_timed.OnTick(); });
  m_stations.SetStationMenu([this] { return StationMenu(m_timed.Menus()); });
}

void CRadioDlg::SavePosition(int32_t x, int32_t y) {
  m_positionWriter.WriteNow(x, y);
}

bool CRadioDlg::OnInitDialog() {
  m_playback.Reset();
  const Rect primary = PrimaryWorkArea(m_window.GetMonitors());
  m_place.m_nWorkAreaRight = primary.right;
  m_place.m_nWorkAreaTop = primary.top;
  m_store.Reset();

  if (!EnsureConfigFile(m_settingsFile, m_config)) {
    m_window.ShowMessageBox(Literal("无法创建配置文件，请检查磁盘空间").gbk());
    return false;
  }

  const StartupSettings settings = LoadSettings(m_settingsFile, m_config);
  m_place.m_nSavedX = settings.m_nSavedX;
  m_place.m_nSavedY = settings.m_nSavedY;
  m_place.m_nTopMost = settings.m_nTopMost;
  m_place.m_nMode = settings.m_nMode;
  m_playback.m_nVolume = settings.m_nVolume;
  ApplyListAppearance();
  m_window.Banner(kIdcBanner).SetText(WelcomeText());
  m_nClickMenu = 1;

  ApplySkin();
  if (m_place.IsNormalMode()) {
    LayoutNormal();
  } else {
    LayoutMini();
  }
  m_window.SetControlText(kIdcStationName, ProgramName());
  m_window.SetControlText(kIdcStatus, "");

  m_store.LoadViewList();
  m_store.LoadFavourites();
  m_store.LoadHistory();
  m_stations.InitStationLists();
  FitListColumns();

  m_window.SetWindowTitle(ProgramTitle());
  m_window.AddTrayIcon(ProgramTitle());

  BannerControl& banner = m_window.Banner(kIdcBanner);
  banner.SetTextColor(Rgb(172, 255, 255));
  banner.SetFontHeight(14);
  banner.StartScrolling(5, 200);
  banner.SetScrollDirection(0);
  banner.SetTop(0);

  m_recordingFacts.portable = m_config.portable;
  m_recordingFacts.programDir = m_strProgramDir;
  m_recordingFacts.recordingsName = FileNameFromGbk(Literal("录音").gbk());
  RecorderLimits limits;
  limits.freeSpaceFloor = static_cast<uint64_t>(settings.m_nRecordFloorMB) * 1024 * 1024;
  limits.maxSeconds = static_cast<uint32_t>(settings.m_nRecordMaxMinutes) * 60;
  m_timed.Start(m_config.folder, ChooseRecordingFolder(m_recordingFacts), limits);

  m_window.SetTimer(kTimerLoadCatalogue, kCatalogueDelayMs);
  m_window.ShowWindow(true);
  return true;
}

void CRadioDlg::LoadCatalogue() {
  m_store.LoadCatalogue();
}

void CRadioDlg::OnCommand(int32_t id) {
  if (m_timed.OnCommand(id)) return;
  switch (id) {
    case kIdcPlay:
      return m_playback.OnPlay();
    case kIdcPrevious:
      return m_playback.OnPrevious();
    case kIdcNext:
      return m_playback.OnNext();
    case kIdcMute:
      return m_playback.OnMute();
    case kIdcStop:
      return m_playback.OnStop();
    case kIdcContent:
      return m_stations.ShowContentCategories();
    case kIdcRegion:
      return m_stations.ShowRegionCategories();
    case kIdcFind:
      return m_window.RunFindDialog();
    case kIdcAbout:
    case kCmdAboutUs:
    case kCmdSysAbout:
      return m_window.RunAboutDialog();
    case kIdcHelp:
    case kCmdOnlineHelp:
      OpenWebPage(m_window, kHelpPage);
      return;
    case kCmdTrayMoreStations:
    case kCmdStationGuide:
      OpenWebPage(m_window, kStationGuidePage);
      return;
    case kCmdPlayStation:
      return m_stations.OnPlayStation();
    case kCmdRecordMenuStation:
      // The recording waits for the new station's first connection, so nothing of the one
      // before reaches its file.
      if (m_stations.PlayMenuStationToRecord()) m_timed.OnCommand(kCmdStartRecording);
      return;
    case kCmdPlayOnline:
    case kCmdStationInfo:
    case kCmdReport:
      return m_stations.OnOpenStationPage();
    case kCmdAddFavourite:
      return m_stations.OnAddFavourite();
    case kCmdMoreStations:
      return m_stations.OnMoreStations();
    case kCmdShowWindow:
      return ShowFromTray();
    case kCmdMiniMode:
    case kIdcModeSwitch:
      return ToggleMode();
    case kCmdExit:
    case kIdcClose:
      return BeginExit();
    case kIdcHide:
      return m_window.ShowWindow(false);
    case kIdcSettings:
      return ShowTrayMenu();
    default:
      return;  // the template's other ids and "设置" do nothing
  }
}

void CRadioDlg::OnTimer(int32_t id) {
  // The place writer's timer is the window's own, beside the designed seven; one-shot as they.
  if (id == kTimerSavePosition) {
    m_window.KillTimer(id);
    m_positionWriter.Flush();
    return;
  }
  m_timers.OnTimer(id);
}

void CRadioDlg::OnMediaKey(MediaKey key) {
  switch (key) {
    case MediaKey::kPlayPause:
      return OnCommand(kIdcPlay);
    case MediaKey::kStop:
      return OnCommand(kIdcStop);
    case MediaKey::kNext:
      return OnCommand(kIdcNext);
    case MediaKey::kPrevious:
      return OnCommand(kIdcPrevious);
    case MediaKey::kPlay:
      return m_playback.OnMediaPlay();
    case MediaKey::kPause:
      return m_playback.OnMediaPause();
  }
}

bool CRadioDlg::PreTranslateMessage(int32_t virtualKey, bool altDown) {
  if (virtualKey == kKeyReturn) return true;  // Enter never plays or closes anything
  if (virtualKey == kKeyEscape && !altDown) {
    m_window.PostClose();
    return true;
  }
  if (virtualKey == kKeySpace && altDown) {
    m_window.ShowSystemMenu();
    return true;
  }
  return false;
}

void CRadioDlg::OnCancel() {
  m_positionWriter.Flush();
  m_timed.Shutdown();
  m_store.m_catalogue.clear();
  m_window.RemoveTrayIcon();
}

void CRadioDlg::OnMove() {
  m_docking.OnMove();
}
void CRadioDlg::OnMouseMove() {
  m_docking.OnMouseMove();
}
int32_t CRadioDlg::OnMouseLeave() {
  return m_docking.OnMouseLeave();
}

void CRadioDlg::OnLButtonUp(bool endsDrag) {
  // The release that ends a drag opens no menu, but it is a release all the same: after the
  // switch to the mini bar it uses up the one release that opens none.
  if (endsDrag) m_positionWriter.Flush();
  if (m_nClickMenu == 1 && !endsDrag) ShowTrayMenu();
  m_nClickMenu = 1;
}

void CRadioDlg::OnRButtonUp() {
  if (!m_place.IsNormalMode()) ShowTrayMenu();
}

int32_t CRadioDlg::OnTrayNotify(int32_t iconId, int32_t mouseEvent) {
  if (iconId != kTrayIconId) return 1;
  if (mouseEvent == kTrayDoubleClick) {
    m_window.ShowWindow(true);
  } else if (mouseEvent == kTrayRightButtonUp) {
    m_window.BringToForeground();
    ShowTrayMenu();
  }
  return 0;
}

void CRadioDlg::ShowTrayMenu() {
  m_window.ShowPopupMenu(TrayMenu(m_timed.Menus()));
}

int32_t CRadioDlg::OnSliderChanging(int32_t controlId, int32_t position) {
  return m_playback.OnVolumeChanging(controlId, position);
}

int32_t CRadioDlg::OnSliderChanged(int32_t controlId, int32_t position) {
  return m_playback.OnVolumeChanged(controlId, position);
}

void CRadioDlg::OnCategoryClick(int32_t row) {
  m_stations.OnCategoryClick(row);
}
void CRadioDlg::OnStationDblClk(int32_t row) {
  m_stations.OnStationDblClk(row);
}
void CRadioDlg::OnStationRClick(int32_t row) {
  m_stations.OnStationRClick(row);
}
void CRadioDlg::OnBannerClick() {
  OpenWebPage(m_window, kBannerPage, kShowCommandNormal, "");  // the desktop's default verb
}

bool CRadioDlg::OnFindOk(const std::string& text) {
  if (text.empty()) return false;
  m_stations.m_findText = text;
  return true;
}

int32_t CRadioDlg::OnFindRequest(int32_t code) {
  if (code == kFindRequestCode) m_stations.FindStation();
  return 0;
}

void CRadioDlg::OnAboutLink(int32_t linkId) {
  if (linkId == kAboutHomeLink) {
    OpenWebPage(m_window, kHomePage, kShowCommandNormal);
  } else if (linkId == kAboutHelpLink) {
    OpenWebPage(m_window, kHelpPage, kShowCommandNormal);
  }
}

void CRadioDlg::BeginExit() {
  m_positionWriter.Flush();
  if (!m_exiting) {
    m_exiting = true;
    if (m_onExit) m_onExit();
  }
  m_nFadeAlpha = 255;
  FadeOutStep();
}

bool CRadioDlg::FadeOutStep() {
  const int32_t alpha = m_nFadeAlpha - kFadeStepAlpha;
  // Where the window cannot be made translucent, close at once rather than leave the listener
  // with a close button that does nothing.
  if (alpha > 0 && m_window.SetWindowAlpha(alpha)) {
    m_nFadeAlpha = alpha;
    m_window.SetTimer(kTimerFade, kFadeStepMs);
    return true;
  }
  m_window.PostClose();
  return true;
}

}  // namespace lumio
