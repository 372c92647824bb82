// What a listener reads about the station beyond the status line, with the real window layer,
// the real main-window logic and the real player on Qt's offscreen platform, against local
// stations: the song in the banner and the tray tip as the stream changes it (in GBK), why a
// station fails in the status line's tip and the tray tip, and a station whose own address is
// refused heard from its other address, which the next start begins with.

#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/radio_dlg.h"
#include "catalogue/station_list_file.h"
#include "gst/gst_player.h"
#include "gst/gst_setup.h"
#include "gst/test_certificates.h"
#include "gst/test_media.h"
#include "gst/tls_front.h"
#include "ports/clock.h"
#include "ports/control_ids.h"
#include "qt/qt_text.h"
#include "qt/qt_window_layer.h"
#include "store/atomic_file.h"

namespace lumio {
namespace {

StationRecord Station(int32_t nid, const QString& name, const std::string& url) {
  StationRecord record;
  record.nid = nid;
  record.name = ToGbk(name);
  record.url = url;
  record.contentCategory = 4;
  record.regionCategory = 1;
  return record;
}

class NowPlayingTest : public QObject {
  Q_OBJECT

 private slots:
  void TheListenerReadsTheSongAndWhyAStationFails() {
    const test::TestCertificates& certificates = test::Certificates();
    if (!certificates.ok) QSKIP("openssl could not make the test certificates");
    test::LocalStations stations;
    test::StreamServer& server = stations.server();
    const std::string tone = stations.Url("/tone.mp3");
    const std::string aac = stations.Url("/tone.aac");
    QVERIFY(!tone.empty() && !aac.empty());
    server.SetTitle("/tone.mp3", "\xB5\xDA\xD2\xBB\xCA\xD7 - \xD5\xC5\xC8\xFD");  // GBK
    test::TlsFront untrusted(certificates.untrusted.cert, certificates.untrusted.key,
                             server.port());
    QVERIFY(untrusted.ok());
    std::string refused;
    {
      test::StreamServer gone;
      refused = "http://127.0.0.1:" + std::to_string(gone.port()) + "/live";
    }

    QTemporaryDir dir;
    const std::string program = dir.path().toStdString() + "/";
    QVERIFY(MakeFolder(program + "config"));
    QVERIFY(SaveStationList(program + "config/retlst.ini",
                            {Station(201, QStringLiteral("中文台"), tone),
                             Station(202, QStringLiteral("证书台"), untrusted.Url("/tone.mp3")),
                             Station(203, QStringLiteral("搬家台"), refused)}));
    QVERIFY(WriteFileAtomically(program + "config/chalt.txt", "203\t" + aac + "\r\n"));

    GstPlayerOptions options;
    options.audio_sink = "fakesink sync=true";
    options.tls_ca_file = certificates.ca_file;
    GstPlayer player(options);
    SystemClock clock;
    QtWindowLayer window;
    CRadioDlg dlg(window, player, clock, program);
    window.SetDialog(&dlg);
    QVERIFY(dlg.OnInitDialog());
    TextLabel& status = *window.window().Label(kIdcStatus);
    SkinLabel& banner = window.window().Banner();

    dlg.OnStationDblClk(0);
    QTRY_COMPARE_WITH_TIMEOUT(banner.text(), QStringLiteral("正在播放: 第一首 - 张三"), 10000);
    QCOMPARE(window.trayTip(), QStringLiteral("中文台 - 第一首 - 张三"));
    QCOMPARE(status.toolTip(), QString());
    server.SetTitle("/tone.mp3", "\xB5\xDA\xB6\xFE\xCA\xD7");
    QTRY_COMPARE_WITH_TIMEOUT(window.trayTip(), QStringLiteral("中文台 - 第二首"), 10000);
    QCOMPARE(banner.text(), QStringLiteral("正在播放: 第二首"));

    // The status line says "连接失败" after twelve seconds, and its tip why.
    dlg.OnStationDblClk(1);
    QCOMPARE(banner.text(), QStringLiteral("欢迎使用Lumio网络收音机1.2 - Tarvel网络"));
    QTRY_COMPARE_WITH_TIMEOUT(status.text(), QStringLiteral("连接失败"), 15000);
    QCOMPARE(status.toolTip(), QStringLiteral("安全证书无效"));
    QCOMPARE(window.trayTip(), QStringLiteral("证书台 - 安全证书无效"));

    // Refused at its own address, heard at its other one at once; the next start begins there.
    dlg.OnStationDblClk(2);
    QTRY_COMPARE_WITH_TIMEOUT(status.text(), QStringLiteral("正在播放"), 5000);
    QCOMPARE(status.toolTip(), QString());
    QCOMPARE(window.trayTip(), QStringLiteral("Lumio网络收音机1.2 - Tarvel网络"));
    QTRY_COMPARE_WITH_TIMEOUT(
        QString::fromStdString(ReadWholeFile(program + "config/chlast.txt").value_or("")),
        QString::fromStdString("203\t" + aac + "\r\n"), 3000);
  }
};

}  // namespace
}  // namespace lumio

int main(int argc, char** argv) {
  // As the program's main: before Qt, GStreamer or the stream servers start any thread.
  lumio::gst::PrepareGStreamerEnvironment();
  QApplication app(argc, argv);
  lumio::NowPlayingTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "now_playing_test.moc"
