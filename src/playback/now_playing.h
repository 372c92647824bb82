#pragma once
// What the window tells about the station being played beyond the status line: the song it
// plays, in the banner ("正在播放: <title>" in place of the welcome text) and in the tray tip
// ("<station> - <title>"), and why it cannot be played, in the status line's tip and the tray
// tip ("<station> - <reason>"). Only a change reaches the window: streams repeat their title
// every few seconds, and the banner must not restart its text for that.

#include <string>

#include "playback/stream_failure.h"
#include "ports/window_layer.h"

namespace lumio {

// The most bytes a tray tip holds (its 64-byte field less the terminating zero).
inline constexpr size_t kTrayTipBytes = 63;

class NowPlaying {
 public:
  // The window shows the welcome text in the banner, the program's title as the tray tip and
  // no tip on the status line, as start-up leaves them.
  explicit NowPlaying(WindowLayer& window);

  // `stationName` starts (GBK), or, with "", the station stops: no title and no failure.
  void Reset(const std::string& stationName);
  // The song the station names now (GBK); "" for none.
  void ShowTitle(const std::string& title);
  // Why the station fails; kNone once it does not.
  void ShowFailure(StreamFailure failure);

  // As the window shows them now (GBK).
  const std::string& BannerText() const { return m_banner; }
  const std::string& TrayTip() const { return m_trayTip; }
  const std::string& StatusTip() const { return m_statusTip; }

 private:
  void Apply();

  WindowLayer& m_window;
  std::string m_station;
  std::string m_title;
  StreamFailure m_failure = StreamFailure::kNone;
  std::string m_banner;
  std::string m_trayTip;
  std::string m_statusTip;
};

}  // namespace lumio
