// A StatusNotifierWatcher with a host, as a desktop panel runs them, cut down to what the tray
// tests need:
//   lumio-e2e-sni-host watch          owns org.kde.StatusNotifierWatcher on the session bus,
//                                     prints "ready", then "item NAME" for each item registered
//   lumio-e2e-sni-host activate NAME  sends item NAME the activation a host sends for a click
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <cstdio>

namespace {

const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");

class Watcher : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
  Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
  Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
  Q_PROPERTY(int ProtocolVersion READ protocolVersion)

 public:
  bool hostRegistered() const { return true; }
  QStringList items() const { return items_; }
  int protocolVersion() const { return 0; }

 public slots:
  void RegisterStatusNotifierItem(const QString& name) {
    items_ << name;
    std::printf("item %s\n", qPrintable(name));
    std::fflush(stdout);
    emit StatusNotifierItemRegistered(name);
  }
  void RegisterStatusNotifierHost(const QString&) {}

 signals:
  void StatusNotifierItemRegistered(const QString& name);

 private:
  QStringList items_;
};

int Activate(QDBusConnection& bus, const QString& item) {
  QDBusMessage call = QDBusMessage::createMethodCall(item, QStringLiteral("/StatusNotifierItem"),
                                                     QStringLiteral("org.kde.StatusNotifierItem"),
                                                     QStringLiteral("Activate"));
  call << 0 << 0;
  const QDBusMessage reply = bus.call(call, QDBus::Block, 5000);
  if (reply.type() != QDBusMessage::ErrorMessage) return 0;
  std::fprintf(stderr, "Activate failed: %s\n", qPrintable(reply.errorMessage()));
  return 1;
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    std::fprintf(stderr, "no session bus\n");
    return 1;
  }
  if (args.size() == 3 && args[1] == QLatin1String("activate")) return Activate(bus, args[2]);
  if (args.size() != 2 || args[1] != QLatin1String("watch")) {
    std::fprintf(stderr, "usage: %s watch | activate ITEM\n", argv[0]);
    return 2;
  }
  Watcher watcher;
  if (!bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                          QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals |
                              QDBusConnection::ExportAllProperties) ||
      !bus.registerService(kWatcher)) {
    std::fprintf(stderr, "cannot own %s\n", qPrintable(kWatcher));
    return 1;
  }
  std::printf("ready\n");
  std::fflush(stdout);
  return QCoreApplication::exec();
}

#include "sni_host.moc"
