#include "qt/mpris_service.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <optional>

#include "app/radio_dlg.h"
#include "ports/control_ids.h"
#include "qt/mpris_adaptors.h"
#include "qt/qt_text.h"

namespace lumio {
namespace {

const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
constexpr int kWatchMs = 250;

// One track per station: its id, in the characters an object path allows.
QDBusObjectPath TrackId(int32_t nid) {
  const QString number = QString::number(std::abs(static_cast<int64_t>(nid)));
  return QDBusObjectPath(QStringLiteral("/org/lumio/station/") +
                         (nid < 0 ? QStringLiteral("n") : QString()) + number);
}

}  // namespace

MprisService::MprisService(CRadioDlg& dlg, WindowLayer& window,
                           std::function<std::string()> songTitle)
    : m_dlg(dlg), m_window(window), m_songTitle(std::move(songTitle)) {
  new MprisRootAdaptor(*this, &m_object);
  new MprisPlayerAdaptor(*this, &m_object);
}

MprisService::~MprisService() {
  if (m_busName.isEmpty()) return;
  QDBusConnection bus = QDBusConnection::sessionBus();
  bus.unregisterObject(kObjectPath);
  bus.unregisterService(m_busName);
}

bool MprisService::Start() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return false;
  if (!bus.registerObject(kObjectPath, &m_object, QDBusConnection::ExportAdaptors)) return false;
  // A second Lumio (another config folder) takes a name of its own, as the controls allow.
  QString name = QStringLiteral("org.mpris.MediaPlayer2.lumio");
  if (!bus.registerService(name)) {
    name += QStringLiteral(".instance%1").arg(QCoreApplication::applicationPid());
    if (!bus.registerService(name)) {
      bus.unregisterObject(kObjectPath);
      return false;
    }
  }
  m_busName = name;
  m_shown = Now();
  // The player changes state on its own (connecting, playing, a song title arrives), and the
  // window's own buttons and slider change what the controls show.
  connect(&m_watch, &QTimer::timeout, this, [this] { Announce(); });
  m_watch.start(kWatchMs);
  return true;
}

void MprisService::Raise() {
  m_dlg.OnCommand(kCmdShowWindow);
  m_window.BringToForeground();
}

void MprisService::Quit() {
  m_dlg.OnCommand(kCmdExit);
}

void MprisService::PlayPause() {
  m_dlg.OnCommand(kIdcPlay);
  Announce();
}

void MprisService::Play() {
  m_dlg.OnMediaKey(MediaKey::kPlay);
  Announce();
}

void MprisService::Pause() {
  m_dlg.OnMediaKey(MediaKey::kPause);
  Announce();
}

void MprisService::Stop() {
  m_dlg.OnCommand(kIdcStop);
  Announce();
}

void MprisService::Next() {
  m_dlg.OnCommand(kIdcNext);
  Announce();
}

void MprisService::Previous() {
  m_dlg.OnCommand(kIdcPrevious);
  Announce();
}

QString MprisService::PlaybackStatus() const {
  switch (m_dlg.Playback().status) {
    case lumio::PlaybackStatus::kPlaying:
      return QStringLiteral("Playing");
    case lumio::PlaybackStatus::kPaused:
      return QStringLiteral("Paused");
    case lumio::PlaybackStatus::kStopped:
      break;
  }
  return QStringLiteral("Stopped");
}

QVariantMap MprisService::Metadata() const {
  QVariantMap metadata;
  const std::optional<StationRecord> played = m_dlg.Playback().station;
  if (!played) {
    metadata.insert(QStringLiteral("mpris:trackid"),
                    QVariant::fromValue(QDBusObjectPath(
                        QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack"))));
    return metadata;
  }
  const StationRecord& station = *played;
  const QString name = ToQString(station.name.str());
  const QString song = QString::fromStdString(m_songTitle ? m_songTitle() : std::string());
  metadata.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(TrackId(station.nid)));
  metadata.insert(QStringLiteral("xesam:url"), ToQString(station.url.str()));
  metadata.insert(QStringLiteral("xesam:album"), name);
  if (song.isEmpty()) {
    metadata.insert(QStringLiteral("xesam:title"), name);
  } else {
    metadata.insert(QStringLiteral("xesam:title"), song);
    metadata.insert(QStringLiteral("xesam:artist"), QStringList{name});
  }
  return metadata;
}

double MprisService::Volume() const {
  return m_dlg.Playback().volume / 100.0;
}

void MprisService::SetVolume(double volume) {
  if (std::isnan(volume)) return;
  const int position = static_cast<int>(std::lround(std::clamp(volume, 0.0, 1.0) * 100));
  m_window.Slider(kIdcVolume).SetPos(position);
  m_dlg.OnSliderChanging(kIdcVolume, position);
  m_dlg.OnSliderChanged(kIdcVolume, position);
  Announce();
}

bool MprisService::CanGoNext() const {
  return m_dlg.Playback().canGoNext;
}

bool MprisService::CanGoPrevious() const {
  return m_dlg.Playback().canGoPrevious;
}

MprisService::Shown MprisService::Now() const {
  Shown now;
  now.status = PlaybackStatus();
  now.volume = m_dlg.Playback().volume;
  now.metadata = Metadata();
  now.canGoNext = CanGoNext();
  now.canGoPrevious = CanGoPrevious();
  return now;
}

void MprisService::Announce() {
  if (m_busName.isEmpty()) return;
  const Shown now = Now();
  QVariantMap changed;
  if (now.status != m_shown.status) changed.insert(QStringLiteral("PlaybackStatus"), now.status);
  if (now.volume != m_shown.volume) changed.insert(QStringLiteral("Volume"), Volume());
  if (now.metadata != m_shown.metadata) changed.insert(QStringLiteral("Metadata"), now.metadata);
  if (now.canGoNext != m_shown.canGoNext)
    changed.insert(QStringLiteral("CanGoNext"), now.canGoNext);
  if (now.canGoPrevious != m_shown.canGoPrevious)
    changed.insert(QStringLiteral("CanGoPrevious"), now.canGoPrevious);
  m_shown = now;
  if (changed.isEmpty()) return;
  QDBusMessage signal =
      QDBusMessage::createSignal(kObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                 QStringLiteral("PropertiesChanged"));
  signal << kPlayerInterface << changed << QStringList();
  QDBusConnection::sessionBus().send(signal);
}

}  // namespace lumio
