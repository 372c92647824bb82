#pragma once
// The main window's logic: start-up, the two display modes, docking, the tray and its menus,
// the exit, and the routing of every command, timer and notification to the part that handles
// it. The window layer turns user input into calls of the On... handlers below.

#include <cstdint>
#include <functional>
#include <string>

#include "app/docking.h"
#include "app/position_writer.h"
#include "app/recording_and_timers.h"
#include "app/window_placement.h"
#include "catalogue/station_store.h"
#include "commands/station_commands.h"
#include "playback/playback_controller.h"
#include "playback/timer_dispatcher.h"
#include "ports/clock.h"
#include "ports/media_player.h"
#include "ports/window_layer.h"
#include "recording/recording_names.h"
#include "store/settings_file.h"

namespace lumio {

// Virtual key codes the keyboard filter knows.
inline constexpr int32_t kKeyReturn = 13;
inline constexpr int32_t kKeyEscape = 27;
inline constexpr int32_t kKeySpace = 32;

// The keyboard's media keys, and the desktop's media controls that act like them (Play and
// Pause of their own, besides the play/pause toggle).
enum class MediaKey { kPlayPause, kStop, kNext, kPrevious, kPlay, kPause };

// Mouse events of the tray icon.
inline constexpr int32_t kTrayDoubleClick = 515;
inline constexpr int32_t kTrayRightButtonUp = 517;

class CRadioDlg {
 public:
  // `programDir` is the folder of the executable, ending with "/"; the settings and lists live
  // in its config/ folder, or where `config` says.
  CRadioDlg(WindowLayer& window, MediaPlayer& player, const Clock& clock, std::string programDir);
  CRadioDlg(WindowLayer& window, MediaPlayer& player, const Clock& clock, std::string programDir,
            ConfigLocation config);

  // The start-up sequence. False when the config folder cannot be made: the listener has been
  // told and the program must end at once.
  bool OnInitDialog();

  // A command: a skinned button, a menu entry or the system menu.
  void OnCommand(int32_t id);
  void OnTimer(int32_t id);
  // A media key of the keyboard, pressed while the program runs (in the notification area
  // too): it does what the window's play, stop, next and previous buttons do; Play and Pause
  // press the play button only when it does what is asked.
  void OnMediaKey(MediaKey key);
  // What controls outside the window (the desktop's media controls) show of the playback.
  PlaybackView Playback() const { return m_playback.View(); }
  // The keyboard filter: every key pressed in the main window comes here before the control
  // that has the focus sees it; `altDown` while Alt is held. True when the key is used up here:
  // Enter does nothing at all, Escape ends the program at once (no fade), Alt+Space opens the
  // system menu.
  bool PreTranslateMessage(int32_t virtualKey, bool altDown);
  // The window is closing: write a place not yet written, empty the catalogue and remove the
  // tray icon.
  void OnCancel();

  // Window and mouse.
  void OnMove();
  void OnMouseMove();
  int32_t OnMouseLeave();
  // A left release on the window's background; `endsDrag` when the press moved the window: the
  // place it came to rest at is written now.
  void OnLButtonUp(bool endsDrag);
  void OnRButtonUp();  // a right click on the window's background
  // Tray icon notification; 1 for an icon that is not ours, else 0.
  int32_t OnTrayNotify(int32_t iconId, int32_t mouseEvent);

  // Controls.
  int32_t OnSliderChanging(int32_t controlId, int32_t position);
  int32_t OnSliderChanged(int32_t controlId, int32_t position);
  void OnCategoryClick(int32_t row);
  void OnStationDblClk(int32_t row);
  void OnStationRClick(int32_t row);
  void OnBannerClick();

  // Dialogs.
  // The Find dialog's OK: remembers a non-empty text; true when a find request should now be
  // posted to the window (OnFindRequest).
  bool OnFindOk(const std::string& text);
  // The posted find request; runs the search when `code` is 1142. Returns 0.
  int32_t OnFindRequest(int32_t code);
  // A released click on a link of the About dialog: 1032 home page, 1033 help.
  void OnAboutLink(int32_t linkId);

  // Display modes.
  void ToggleMode();
  void ApplySkin();
  void LayoutNormal();
  void LayoutMini();
  void FitListColumns();
  // Commands of the tray menu and the exit.
  void ShowTrayMenu();
  void ShowFromTray();
  void BeginExit();
  bool FadeOutStep();
  void LoadCatalogue();

  const std::string& ProgramDir() const { return m_strProgramDir; }
  // Runs once when the exit begins, before the fade: the program gives up what only a running
  // program may hold (another start may now begin while this one fades out).
  void SetExitHandler(std::function<void()> handler) { m_onExit = std::move(handler); }
  // What an installed copy needs to find the desktop's music folder (home, XDG_CONFIG_HOME,
  // user-dirs.dirs); given before OnInitDialog, which fills in the rest.
  void SetRecordingFolderFacts(RecordingFolderFacts facts) { m_recordingFacts = std::move(facts); }

  std::string m_strProgramDir;
  ConfigLocation m_config;
  SettingsFile m_settingsFile;
  WindowPlacement m_place;
  int32_t m_nClickMenu = 1;
  int32_t m_nFadeAlpha = 255;
  PositionWriter m_positionWriter;
  StationStore m_store;
  PlaybackController m_playback;
  StationCommands m_stations;
  Docking m_docking;
  TimerDispatcher m_timers;
  RecordingAndTimers m_timed;

 private:
  void SavePosition(int32_t x, int32_t y);
  void ApplyListAppearance();
  void ResetPlacementIfOffScreen(int32_t resetFromRight);
  // Where a window sent back from an edge goes: `fromRight` left of the right edge `right`, 100
  // below the top edge there; on the primary screen when that place would be on none.
  Point ResetPlace(int32_t right, int32_t fromRight) const;

  WindowLayer& m_window;
  MediaPlayer& m_player;
  const Clock& m_clock;
  RecordingFolderFacts m_recordingFacts;
  std::function<void()> m_onExit;
  bool m_exiting = false;
};

}  // namespace lumio
