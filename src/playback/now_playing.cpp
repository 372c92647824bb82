#include "playback/now_playing.h"

#include "ports/control_ids.h"
#include "text/gbk.h"
#include "text/literal.h"
#include "text/program_name.h"

namespace lumio {
namespace {

const std::string& PlayingPrefix() {
  static const Literal kPrefix("正在播放: ");
  return kPrefix;
}

}  // namespace

NowPlaying::NowPlaying(WindowLayer& window)
    : m_window(window), m_banner(WelcomeText()), m_trayTip(ProgramTitle()) {}

void NowPlaying::Reset(const std::string& stationName) {
  m_station = stationName;
  m_title.clear();
  m_failure = StreamFailure::kNone;
  Apply();
}

void NowPlaying::ShowTitle(const std::string& title) {
  if (title == m_title) return;
  m_title = title;
  Apply();
}

void NowPlaying::ShowFailure(StreamFailure failure) {
  if (failure == m_failure) return;
  m_failure = failure;
  Apply();
}

void NowPlaying::Apply() {
  const std::string banner = m_title.empty() ? WelcomeText() : PlayingPrefix() + m_title;
  if (banner != m_banner) {
    m_banner = banner;
    m_window.Banner(kIdcBanner).SetText(m_banner);
  }

  const std::string& reason = StreamFailureText(m_failure);
  if (reason != m_statusTip) {
    m_statusTip = reason;
    m_window.SetToolTipText(kIdcStatus, m_statusTip);
  }

  // A failure says more than a title the stream sent before it failed.
  const std::string& detail = !reason.empty() ? reason : m_title;
  std::string tip = ProgramTitle();
  if (!m_station.empty() && !detail.empty()) tip = m_station + " - " + detail;
  tip = std::string(CutGbk(tip, kTrayTipBytes));
  if (tip != m_trayTip) {
    m_trayTip = tip;
    m_window.SetTrayTip(m_trayTip);
  }
}

}  // namespace lumio
