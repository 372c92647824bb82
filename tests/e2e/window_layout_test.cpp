// The real window layer driven by the real main-window logic, on Qt's offscreen platform: where
// every control of both display modes lands, what shows and what its tooltip says, the window's
// size and stacking, that the skin is actually painted, and what the Find dialog selects.

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <set>

#include "app/layout_tables.h"
#include "app/radio_dlg.h"
#include "ports/clock.h"
#include "ports/control_ids.h"
#include "ports/media_player.h"
#include "qt/about_dialog.h"
#include "qt/find_dialog.h"
#include "qt/mpris_service.h"
#include "qt/qt_text.h"
#include "qt/qt_window_layer.h"
#include "qt/single_instance.h"

namespace lumio {
namespace {

// A player that plays nothing and is always stopped.
class SilentPlayer final : public MediaPlayer {
 public:
  void SetURL(const std::string&) override {}
  void SetURLs(const std::vector<std::string>&) override {}
  int32_t GetPlayState() override { return kPlayStateStopped; }
  void Stop() override {}
  void Pause() override {}
  void SetVolume(int32_t) override {}
  void SetMute(bool) override {}
  std::string GetTitle() const override { return {}; }
  StreamFailure GetFailure() const override { return StreamFailure::kNone; }
  std::string GetPlayedURL() const override { return {}; }
};

// A player that plays whatever it is given at once, and counts what it was asked.
class CountingPlayer final : public MediaPlayer {
 public:
  void SetURL(const std::string&) override { Start(); }
  void SetURLs(const std::vector<std::string>&) override { Start(); }
  int32_t GetPlayState() override { return state; }
  void Stop() override { state = kPlayStateStopped; }
  void Pause() override {
    ++pauses;
    state = kPlayStatePaused;
  }
  void SetVolume(int32_t) override {}
  void SetMute(bool) override {}
  std::string GetTitle() const override { return {}; }
  StreamFailure GetFailure() const override { return StreamFailure::kNone; }
  std::string GetPlayedURL() const override { return {}; }

  int starts = 0;
  int pauses = 0;
  int32_t state = kPlayStateStopped;

 private:
  void Start() {
    ++starts;
    state = kPlayStatePlaying;
  }
};

struct Expected {
  int id;
  QRect rect;
};

// Where every control belongs, in client pixels. A control of zero width or height is
// not shown in that mode. The media player (1000) has no widget of its own.
const Expected kNormal[] = {
    {1023, {20, 30, 200, 20}},   {1012, {260, 25, 30, 20}},  {1013, {10, 50, 200, 30}},
    {1014, {210, 60, 80, 15}},   {1016, {20, 103, 35, 35}},  {1025, {75, 103, 35, 35}},
    {1017, {115, 103, 35, 35}},  {1018, {155, 103, 35, 35}}, {1019, {205, 103, 35, 35}},
    {1020, {60, 155, 180, 15}},  {1029, {234, 2, 16, 16}},   {1030, {250, 2, 16, 16}},
    {1027, {266, 2, 16, 16}},    {1028, {282, 2, 16, 16}},   {1006, {50, 180, 100, 20}},
    {1007, {150, 180, 100, 20}}, {1026, {8, 210, 52, 310}},  {1003, {60, 210, 240, 310}},
    {1008, {5, 530, 0, 0}},      {1009, {65, 530, 0, 0}},    {1010, {125, 530, 50, 20}},
    {1011, {185, 530, 50, 20}},  {1021, {265, 530, 20, 20}}, {1022, {0, 550, 300, 0}},
    {1015, {0, 0, 0, 0}},
};
const Expected kMini[] = {
    {1023, {280, 20, 85, 15}}, {1012, {10, 0, 0, 0}},     {1013, {190, 5, 175, 15}},
    {1014, {190, 20, 90, 15}}, {1016, {30, 7, 20, 20}},   {1025, {20, 0, 0, 0}},
    {1017, {55, 7, 20, 20}},   {1018, {80, 7, 20, 20}},   {1019, {20, 0, 0, 0}},
    {1020, {105, 9, 80, 15}},  {1029, {368, 17, 15, 15}}, {1030, {383, 17, 15, 15}},
    {1027, {368, 2, 15, 15}},  {1028, {383, 2, 15, 15}},  {1006, {4, 4, 0, 0}},
    {1007, {4, 4, 0, 0}},      {1026, {4, 4, 0, 0}},      {1003, {4, 4, 0, 0}},
    {1008, {300, 4, 0, 0}},    {1009, {4, 0, 0, 0}},      {1010, {4, 0, 0, 0}},
    {1011, {320, 4, 0, 0}},    {1021, {4, 0, 0, 0}},      {1022, {4, 0, 0, 0}},
    {1015, {4, 0, 0, 0}},
};

// Controls drawn from skin bitmaps (buttons and the slider); labels and lists may be plain.
const std::set<int> kSkinned = {1006, 1007, 1010, 1011, 1016, 1017, 1018, 1019,
                                1020, 1021, 1025, 1027, 1028, 1029, 1030};

// How many different colours `image` holds, counting up to `enough`.
int DistinctColours(const QImage& image, int enough) {
  std::set<QRgb> seen;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      seen.insert(image.pixel(x, y) & 0xFFFFFF);
      if (static_cast<int>(seen.size()) >= enough) return enough;
    }
  }
  return static_cast<int>(seen.size());
}

class WindowLayoutTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  std::unique_ptr<SilentPlayer> player_;
  std::unique_ptr<SystemClock> clock_;
  std::unique_ptr<QtWindowLayer> window_;
  std::unique_ptr<CRadioDlg> dlg_;

  // Starts the program's window in a fresh program folder whose base.ini holds `mode`.
  void Start(int mode) {
    dlg_.reset();
    window_.reset();
    QVERIFY(dir_.isValid());
    QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("config")));
    QFile ini(dir_.filePath(QStringLiteral("config/base.ini")));
    QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ini.write(QStringLiteral("[sys]\r\nMode=%1\r\nTopMost=0\r\nLastX=100\r\nLastY=120\r\n"
                             "Volumn=60\r\n")
                  .arg(mode)
                  .toLatin1());
    ini.close();
    player_ = std::make_unique<SilentPlayer>();
    clock_ = std::make_unique<SystemClock>();
    window_ = std::make_unique<QtWindowLayer>();
    dlg_ =
        std::make_unique<CRadioDlg>(*window_, *player_, *clock_, dir_.path().toStdString() + "/");
    window_->SetDialog(dlg_.get());
    QVERIFY(dlg_->OnInitDialog());
    QVERIFY(QTest::qWaitForWindowExposed(&window_->window()));
  }

  void CheckLayout(const Expected (&table)[25], QSize size, const char* mode) {
    RadioWindow& w = window_->window();
    QCOMPARE(w.size(), size);
    QCOMPARE(w.pos(), QPoint(100, 120));  // both modes keep the saved place
    for (const Expected& e : table) {
      QWidget* control = w.Control(e.id);
      const QByteArray what = QByteArray(mode) + " control " + QByteArray::number(e.id);
      QVERIFY2(control != nullptr, what.constData());
      QVERIFY2(control->geometry() == e.rect,
               (what + ": got " + QByteArray::number(control->x()) + "," +
                QByteArray::number(control->y()) + " " + QByteArray::number(control->width()) +
                "x" + QByteArray::number(control->height()))
                   .constData());
      const bool shown = !e.rect.isEmpty();
      QVERIFY2(control->isVisible() == shown, (what + (shown ? " hidden" : " shown")).constData());
    }
    // Every tooltip of the table sits on its control in both modes.
    for (const ToolTip& tip : ToolTips()) {
      QWidget* target = tip.id == 0 ? &w : w.Control(tip.id);
      const QByteArray what = QByteArray(mode) + " tooltip of " + QByteArray::number(tip.id);
      QVERIFY2(target != nullptr, what.constData());
      QVERIFY2(target->toolTip() == ToQString(tip.text),
               (what + ": " + target->toolTip().toUtf8()).constData());
    }
  }

  // Types `text` into the Find dialog, presses "查找" and closes the dialog again.
  void Find(const QString& text) {
    QTimer::singleShot(0, window_.get(), [this, text] {
      auto* find = window_->window().findChild<CFindDlg*>();
      QVERIFY(find != nullptr);
      find->edit()->setText(text);
      find->findButton()->click();
      // Queued behind the find request the click posted.
      QTimer::singleShot(0, find, &QDialog::reject);
    });
    dlg_->OnCommand(kIdcFind);
  }

  // The skin behind the window and on every shown skinned control is painted, not left black
  // or in one flat colour.
  void CheckPainted(const Expected (&table)[25], const char* mode) {
    RadioWindow& w = window_->window();
    const QImage whole = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(whole.size(), w.size());
    QVERIFY2(DistinctColours(whole, 50) == 50, mode);
    for (const Expected& e : table) {
      if (e.rect.isEmpty() || !kSkinned.count(e.id)) continue;
      const QImage part = whole.copy(e.rect);
      const QByteArray what = QByteArray(mode) + " control " + QByteArray::number(e.id);
      QVERIFY2(DistinctColours(part, 3) >= 3, (what + " is flat").constData());
      int dark = 0;
      for (int y = 0; y < part.height(); ++y)
        for (int x = 0; x < part.width(); ++x)
          dark += qGray(part.pixel(x, y)) < 8 ? 1 : 0;
      QVERIFY2(dark < part.width() * part.height() / 2, (what + " is mostly black").constData());
    }
  }

 private slots:
  void cleanup() {
    dlg_.reset();
    window_.reset();
  }

  void NormalWindowThenMiniBarThenBack() {
    Start(1);
    CheckLayout(kNormal, QSize(300, 580), "normal");
    CheckPainted(kNormal, "normal");
    QVERIFY(!(window_->window().windowFlags() & Qt::WindowStaysOnTopHint));

    dlg_->ToggleMode();
    CheckLayout(kMini, QSize(400, 34), "mini");
    CheckPainted(kMini, "mini");
    // The bar stays on top even though TopMost is 0.
    QVERIFY(window_->window().windowFlags() & Qt::WindowStaysOnTopHint);

    dlg_->ToggleMode();
    CheckLayout(kNormal, QSize(300, 580), "normal again");
    CheckPainted(kNormal, "normal again");
  }

  void MiniBarFromTheSettingsFile() {
    Start(2);
    CheckLayout(kMini, QSize(400, 34), "mini");
    CheckPainted(kMini, "mini");
    dlg_->ToggleMode();
    CheckLayout(kNormal, QSize(300, 580), "normal");
  }

  // A typed character GBK lacks is in no station's name, so the search selects nothing; it is
  // not a "?" that finds the names holding one.
  void FindWithACharacterGbkLacksSelectsNothing() {
    Start(1);
    StationRecord question, news;
    question.name = "Why? FM";
    news.name = ToGbk(QStringLiteral("新闻"));
    dlg_->m_store.m_view = {question, news};
    dlg_->m_stations.FillStationList();
    CListCtrlCl& list = *window_->window().List(kIdcStationList);
    Find(QStringLiteral("\U0001F4FB"));  // a radio, outside GBK
    Find(QStringLiteral("新闻\uD55C"));  // a character GBK has, then a Korean one it lacks
    QVERIFY(!list.IsItemSelected(0));
    QVERIFY(!list.IsItemSelected(1));
    Find(QStringLiteral("?"));
    QVERIFY(list.IsItemSelected(0));
    QVERIFY(!list.IsItemSelected(1));
  }

  // Find takes typing at once: the name field has the keyboard when the dialog opens. About
  // opens with nothing of its text selected.
  void FindTakesTypingAtOnceAndAboutSelectsNothing() {
    Start(1);
    QString typed;
    QTimer::singleShot(0, window_.get(), [this, &typed] {
      auto* find = window_->window().findChild<CFindDlg*>();
      QVERIFY(find != nullptr);
      QWidget* focus = find->focusWidget();
      QVERIFY(focus != nullptr);
      QTest::keyClicks(focus, QStringLiteral("news"));
      typed = find->edit()->text();
      find->reject();
    });
    dlg_->OnCommand(kIdcFind);
    QCOMPARE(typed, QStringLiteral("news"));

    bool selected = true;
    QTimer::singleShot(0, window_.get(), [this, &selected] {
      auto* about = window_->window().findChild<CAboutDlg*>();
      QVERIFY(about != nullptr);
      auto* text = about->findChild<QPlainTextEdit*>(QStringLiteral("introduction"));
      QVERIFY(text != nullptr);
      selected = text->textCursor().hasSelection();
      about->reject();
    });
    dlg_->OnCommand(kIdcAbout);
    QVERIFY(!selected);
  }

  // Pause from the desktop's media controls while a station started from the list plays: the
  // sound pauses, and the station is not started a second time first.
  void MediaPauseOfAListStartedStationDoesNotRestartIt() {
    Start(1);
    cleanup();
    CountingPlayer counting;
    QtWindowLayer window;
    CRadioDlg dlg(window, counting, *clock_, dir_.path().toStdString() + "/");
    window.SetDialog(&dlg);
    QVERIFY(dlg.OnInitDialog());
    StationRecord station;
    station.name = "One";
    station.url = "http://127.0.0.1:1/one.mp3";
    dlg.m_store.m_view = {station};
    dlg.m_stations.FillStationList();
    dlg.OnStationDblClk(0);
    QCOMPARE(counting.starts, 1);
    MprisService mpris(dlg, window, [] { return std::string(); });
    QCOMPARE(mpris.PlaybackStatus(), QStringLiteral("Playing"));
    mpris.Pause();
    QCOMPARE(counting.starts, 1);
    QCOMPARE(counting.pauses, 1);
    QCOMPARE(mpris.PlaybackStatus(), QStringLiteral("Paused"));
  }

  // A program that is ending gives its config folder up: a start during its exit fade starts
  // anew instead of asking a window that is going away.
  void AStartDuringTheExitStartsAnew() {
    const std::string folder = dir_.path().toStdString() + "/instance";
    SingleInstance first(folder, "");
    QCOMPARE(first.claim(), SingleInstance::Claim::kFirst);
    {
      SingleInstance second(folder, "");
      QCOMPARE(second.claim(), SingleInstance::Claim::kOtherAsked);
    }
    first.Release();
    SingleInstance third(folder, "");
    QCOMPARE(third.claim(), SingleInstance::Claim::kFirst);
  }

  // The normal window's skin differs from the bar's where they overlap: the switch really
  // repaints the background.
  void SwitchRepaintsTheBackground() {
    Start(1);
    const QImage normal = window_->window().grab().toImage().copy(0, 0, 300, 34);
    dlg_->ToggleMode();
    const QImage mini = window_->window().grab().toImage().copy(0, 0, 300, 34);
    QVERIFY(normal != mini);
  }
};

}  // namespace
}  // namespace lumio

QTEST_MAIN(lumio::WindowLayoutTest)
#include "window_layout_test.moc"
