#include "qt/mpris_adaptors.h"

#include "qt/mpris_service.h"

namespace lumio {

MprisRootAdaptor::MprisRootAdaptor(MprisService& service, QObject* parent)
    : QDBusAbstractAdaptor(parent), m_service(service) {}

QString MprisRootAdaptor::Identity() const {
  return QStringLiteral("Lumio网络收音机");
}
QString MprisRootAdaptor::DesktopEntry() const {
  return QStringLiteral("lumio");
}
void MprisRootAdaptor::Raise() {
  m_service.Raise();
}
void MprisRootAdaptor::Quit() {
  m_service.Quit();
}

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisService& service, QObject* parent)
    : QDBusAbstractAdaptor(parent), m_service(service) {}

QString MprisPlayerAdaptor::PlaybackStatus() const {
  return m_service.PlaybackStatus();
}
QVariantMap MprisPlayerAdaptor::Metadata() const {
  return m_service.Metadata();
}
double MprisPlayerAdaptor::Volume() const {
  return m_service.Volume();
}
void MprisPlayerAdaptor::SetVolume(double volume) {
  m_service.SetVolume(volume);
}
bool MprisPlayerAdaptor::CanGoNext() const {
  return m_service.CanGoNext();
}
bool MprisPlayerAdaptor::CanGoPrevious() const {
  return m_service.CanGoPrevious();
}
void MprisPlayerAdaptor::Next() {
  m_service.Next();
}
void MprisPlayerAdaptor::Previous() {
  m_service.Previous();
}
void MprisPlayerAdaptor::Pause() {
  m_service.Pause();
}
void MprisPlayerAdaptor::PlayPause() {
  m_service.PlayPause();
}
void MprisPlayerAdaptor::Stop() {
  m_service.Stop();
}
void MprisPlayerAdaptor::Play() {
  m_service.Play();
}

}  // namespace lumio
