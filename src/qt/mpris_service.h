#pragma once
// The desktop's media controls (MPRIS 2, org.mpris.MediaPlayer2.lumio on the session bus) and,
// through them, the keyboard's media keys. Every command goes the way the window's own buttons
// and menu entries go; what the controls show follows the window, and each change is announced
// with PropertiesChanged. Without a session bus there are no media controls, and nothing is said.

#include <QObject>
#include <QString>
#include <QTimer>
#include <QVariantMap>
#include <functional>
#include <string>

namespace lumio {

class CRadioDlg;
class WindowLayer;

class MprisService final : public QObject {
  Q_OBJECT

 public:
  // Commands go to `dlg` as the window's own do, and what the controls show is its read-only
  // view of the playback. `songTitle` is what the stream says it plays now (UTF-8), empty when
  // it says nothing.
  MprisService(CRadioDlg& dlg, WindowLayer& window, std::function<std::string()> songTitle);
  ~MprisService() override;

  // Offers the controls on the session bus; false where there is none.
  bool Start();

  // The root interface: "显示窗口" and "退出".
  void Raise();
  void Quit();

  // The player interface.
  void PlayPause();
  void Play();
  void Pause();
  void Stop();
  void Next();
  void Previous();
  QString PlaybackStatus() const;
  QVariantMap Metadata() const;
  double Volume() const;
  // Moves the volume slider there and keeps the volume as a release of the slider would.
  void SetVolume(double volume);
  bool CanGoNext() const;
  bool CanGoPrevious() const;

 private:
  struct Shown {
    QString status;
    int volume = -1;
    QVariantMap metadata;
    bool canGoNext = false;
    bool canGoPrevious = false;
  };
  Shown Now() const;
  // Announces what changed since the last look.
  void Announce();

  CRadioDlg& m_dlg;
  WindowLayer& m_window;
  std::function<std::string()> m_songTitle;
  QObject m_object;  // /org/mpris/MediaPlayer2, carrying both adaptors
  QString m_busName;
  Shown m_shown;
  QTimer m_watch;
};

}  // namespace lumio
