#include "qt/qt_window_layer.h"

#include <QApplication>
#include <QCursor>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDesktopServices>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include "app/layout_tables.h"
#include "app/radio_dlg.h"
#include "ports/control_ids.h"
#include "qt/about_dialog.h"
#include "qt/find_dialog.h"
#include "qt/fonts.h"
#include "qt/qt_text.h"
#include "qt/skin_resources.h"
#include "qt/song_history_dialog.h"
#include "qt/task_dialog.h"
#include "text/program_name.h"

namespace lumio {
namespace {

Rect ToRect(const QRect& r) {
  return Rect::FromSize(r.x(), r.y(), r.width(), r.height());
}
QRect ToQRect(const Rect& r) {
  return {r.left, r.top, r.width(), r.height()};
}

QIcon ProgramIcon() {
  QIcon icon(QStringLiteral(":/skin/128.png"));
  if (icon.isNull()) icon = QIcon(QPixmap::fromImage(SkinBitmap(kBmpIcon)));
  return icon;
}

// Whether Qt shows the tray icon as a D-Bus StatusNotifierItem rather than in an XEmbed
// notification area: it does when the session bus has a StatusNotifierWatcher with a host.
bool TrayIsStatusNotifierItem() {
  const QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return false;
  const QString watcherName = QStringLiteral("org.kde.StatusNotifierWatcher");
  QDBusInterface watcher(watcherName, QStringLiteral("/StatusNotifierWatcher"), watcherName, bus);
  return watcher.isValid() && watcher.property("IsStatusNotifierHostRegistered").toBool();
}

}  // namespace

QtWindowLayer::QtWindowLayer() : m_window(std::make_unique<RadioWindow>()) {
  m_trayAvailable = QSystemTrayIcon::isSystemTrayAvailable();
  // Asked right after Qt, which chooses its tray backend once, at its own first look.
  m_trayIsStatusNotifierItem = m_trayAvailable && TrayIsStatusNotifierItem();
  Qt::WindowFlags flags = Qt::FramelessWindowHint;
  // The notification-area icon stands in for a taskbar button, when there is a notification area.
  if (m_trayAvailable) flags |= Qt::Tool;
  m_window->setWindowFlags(flags);
  m_window->setWindowIcon(ProgramIcon());
  m_slider = std::make_unique<QtSlider>(m_window->Slider());
  m_banner = std::make_unique<QtBanner>(m_window->Banner());
  for (int32_t id : {kIdcStationList, kIdcCategoryList})
    m_lists[id] = std::make_unique<QtList>(*m_window->List(id));
}

QtWindowLayer::~QtWindowLayer() = default;

void QtWindowLayer::SetDialog(CRadioDlg* dlg) {
  m_dlg = dlg;
  m_window->SetDialog(dlg);
  ConnectControls();
}

void QtWindowLayer::ConnectControls() {
  RadioWindow& w = *m_window;
  for (QObject* child : w.children()) {
    if (auto* button = qobject_cast<SkinButton*>(child))
      connect(button, &SkinButton::clicked, this, [this](int id) { m_dlg->OnCommand(id); });
  }
  connect(&w.Slider(), &SkinSlider::sliderChanging, this,
          [this](int id, int pos) { m_dlg->OnSliderChanging(id, pos); });
  connect(&w.Slider(), &SkinSlider::sliderChanged, this,
          [this](int id, int pos) { m_dlg->OnSliderChanged(id, pos); });
  connect(&w.Banner(), &SkinLabel::clicked, this, [this] { m_dlg->OnBannerClick(); });
  connect(w.List(kIdcCategoryList), &CListCtrlCl::itemClicked, this,
          [this](int, int row) { m_dlg->OnCategoryClick(row); });
  connect(w.List(kIdcStationList), &CListCtrlCl::itemDoubleClicked, this,
          [this](int, int row) { m_dlg->OnStationDblClk(row); });
  connect(w.List(kIdcStationList), &CListCtrlCl::itemRightClicked, this,
          [this](int, int row) { m_dlg->OnStationRClick(row); });
  connect(&w, &RadioWindow::moved, this, [this] { m_dlg->OnMove(); });
  connect(&w, &RadioWindow::closing, this, [this] { Cancel(); });
}

void QtWindowLayer::Post(std::function<void()> action) {
  QMetaObject::invokeMethod(this, std::move(action), Qt::QueuedConnection);
}

void QtWindowLayer::Cancel() {
  if (!m_cancelled) {
    m_cancelled = true;
    for (auto& [id, timer] : m_timers)
      timer->stop();
    if (m_dlg) m_dlg->OnCancel();
  }
  QCoreApplication::quit();
}

void QtWindowLayer::SetControlText(int32_t id, const std::string& text) {
  if (TextLabel* label = m_window->Label(id)) label->setText(ToQString(text));
}

void QtWindowLayer::SetButtonBitmap(int32_t id, int32_t bitmapId) {
  if (SkinButton* button = m_window->Button(id)) button->SetSkinBitmap(bitmapId);
}

void QtWindowLayer::InvalidateControl(int32_t id) {
  QWidget* control = m_window->Control(id);
  if (!control) return;
  // Labels and the banner are drawn over the skin: the skin behind them repaints too.
  m_window->update(control->geometry());
  control->update();
}

void QtWindowLayer::UpdateWindow() {
  m_window->repaint();
}

void QtWindowLayer::MoveControl(int32_t id, const Rect& rect) {
  QWidget* control = m_window->Control(id);
  if (!control) return;
  control->setGeometry(ToQRect(rect));
  control->setVisible(rect.width() > 0 && rect.height() > 0);
}

void QtWindowLayer::SetControlFont(int32_t id, int32_t height) {
  if (QWidget* control = m_window->Control(id)) control->setFont(ProgramFont(height));
}

void QtWindowLayer::AddToolTip(int32_t id, const std::string& text) {
  QWidget* target = id == 0 ? m_window.get() : m_window->Control(id);
  if (target) target->setToolTip(ToQString(text));
}

void QtWindowLayer::SetToolTipText(int32_t id, const std::string& text) {
  AddToolTip(id, text);
}

SliderControl& QtWindowLayer::Slider(int32_t) {
  return *m_slider;
}
BannerControl& QtWindowLayer::Banner(int32_t) {
  return *m_banner;
}

ListControl& QtWindowLayer::List(int32_t id) {
  auto it = m_lists.find(id);
  return it != m_lists.end() ? *it->second : *m_lists.begin()->second;
}

void QtWindowLayer::SetTimer(int32_t id, int32_t periodMs) {
  std::unique_ptr<QTimer>& timer = m_timers[id];
  if (!timer) {
    timer = std::make_unique<QTimer>();
    connect(timer.get(), &QTimer::timeout, this, [this, id] {
      if (m_dlg && !m_cancelled) m_dlg->OnTimer(id);
    });
  }
  timer->start(periodMs);
}

void QtWindowLayer::KillTimer(int32_t id) {
  auto it = m_timers.find(id);
  if (it != m_timers.end()) it->second->stop();
}

void QtWindowLayer::SetWindowTitle(const std::string& title) {
  m_window->setWindowTitle(ToQString(title));
  m_window->SetTitleText(ToQString(title));
}

void QtWindowLayer::SetBackground(int32_t bitmapId, bool drawTitle) {
  m_window->SetBackground(SkinBitmap(bitmapId), drawTitle);
}

void QtWindowLayer::PlaceWindow(const Rect& rect, bool topMost) {
  if (topMost != m_topMost || !m_window->isVisible()) {
    m_topMost = topMost;
    // On a window that exists, change the hint in place: QWidget::setWindowFlag would make a
    // new native window and lose the keyboard focus.
    if (QWindow* native = m_window->windowHandle(); native && m_window->isVisible()) {
      native->setFlag(Qt::WindowStaysOnTopHint, topMost);
      m_window->overrideWindowFlags(native->flags());
    } else {
      m_window->setWindowFlag(Qt::WindowStaysOnTopHint, topMost);
    }
  }
  const bool moved = m_window->MoveTo(ToQRect(rect));
  m_window->show();
  if (moved && m_dlg) m_dlg->OnMove();
}

void QtWindowLayer::MoveWindow(const Rect& rect) {
  // Reported at once, as the move's own notification would be.
  if (m_window->MoveTo(ToQRect(rect)) && m_dlg) m_dlg->OnMove();
}

void QtWindowLayer::ShowWindow(bool show) {
  if (show) {
    if (m_window->isMinimized()) m_window->showNormal();
    m_window->show();
  } else if (m_trayAvailable) {
    m_window->hide();
  } else {
    m_window->showMinimized();  // without a notification area, hidden would mean lost
  }
}

void QtWindowLayer::BringToForeground() {
  m_window->raise();
  m_window->activateWindow();
}

Rect QtWindowLayer::GetWindowRect() const {
  return ToRect(m_window->Placement());
}

std::vector<Monitor> QtWindowLayer::GetMonitors() const {
  std::vector<Monitor> monitors;
  QScreen* primary = QGuiApplication::primaryScreen();
  if (primary)
    monitors.push_back({ToRect(primary->geometry()), ToRect(primary->availableGeometry())});
  for (QScreen* screen : QGuiApplication::screens()) {
    if (screen != primary)
      monitors.push_back({ToRect(screen->geometry()), ToRect(screen->availableGeometry())});
  }
  if (monitors.empty()) {
    const Rect whole = Rect::FromSize(0, 0, 1024, 768);
    monitors.push_back({whole, whole});
  }
  return monitors;
}

Point QtWindowLayer::GetCursorPos() const {
  const QPoint p = QCursor::pos();
  return {p.x(), p.y()};
}

bool QtWindowLayer::TrackMouseLeave() {
  m_window->RequestLeave();
  return true;
}

bool QtWindowLayer::SetWindowAlpha(int32_t alpha) {
  if (QGuiApplication::platformName() == QLatin1String("offscreen")) return false;
  m_window->setWindowOpacity(alpha / 255.0);
  return true;
}

void QtWindowLayer::PostClose() {
  Post([this] { m_window->close(); });
}

void QtWindowLayer::AddMenuItems(QMenu* menu, const std::vector<MenuItem>& items) {
  for (const MenuItem& item : items) {
    if (item.text.empty()) {
      menu->addSeparator();
      continue;
    }
    if (!item.submenu.empty()) {
      QMenu* submenu = menu->addMenu(ToQString(item.text));
      submenu->setFont(menu->font());
      AddMenuItems(submenu, item.submenu);
      continue;
    }
    const int32_t command = item.command;
    QAction* action = menu->addAction(ToQString(item.text));
    action->setData(command);
    if (item.checked) {
      action->setCheckable(true);
      action->setChecked(true);
    }
    connect(action, &QAction::triggered, this,
            [this, command] { Post([this, command] { m_dlg->OnCommand(command); }); });
  }
}

void QtWindowLayer::ShowPopupMenu(const std::vector<MenuItem>& items) {
  auto* menu = new QMenu(m_window.get());
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->setFont(ProgramFont(12));
  AddMenuItems(menu, items);
  menu->popup(QCursor::pos());
}

void QtWindowLayer::ShowSystemMenu() {
  auto* menu = new QMenu(m_window.get());
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->setFont(ProgramFont(12));
  QAction* about = menu->addAction(QStringLiteral("关于 Vexa(&A)..."));
  connect(about, &QAction::triggered, this,
          [this] { Post([this] { m_dlg->OnCommand(kCmdSysAbout); }); });
  menu->addSeparator();
  QAction* close = menu->addAction(QStringLiteral("关闭"));
  connect(close, &QAction::triggered, this, [this] { Post([this] { Cancel(); }); });
  menu->popup(m_window->mapToGlobal(QPoint(4, 20)));
}

void QtWindowLayer::ShowMessageBox(const std::string& text) {
  QMessageBox box(QMessageBox::Warning, ToQString(ProgramName()), ToQString(text), QMessageBox::Ok);
  box.exec();
}

// The desktop has one way to open a page: verb and show command are the Windows shell's.
bool QtWindowLayer::OpenUrl(const std::string& url, const std::string&, int32_t) {
  return QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

void QtWindowLayer::AddTrayIcon(const std::string& tip) {
  if (!m_tray) {
    m_tray = std::make_unique<QSystemTrayIcon>(ProgramIcon());
    connect(m_tray.get(), &QSystemTrayIcon::activated, this, &QtWindowLayer::OnTrayActivated);
  }
  m_tray->setToolTip(ToQString(tip));
  m_tray->show();
}

void QtWindowLayer::SetTrayTip(const std::string& tip) {
  if (m_tray) m_tray->setToolTip(ToQString(tip));
}

void QtWindowLayer::RemoveTrayIcon() {
  if (m_tray) m_tray->hide();
}

void QtWindowLayer::OnTrayActivated(QSystemTrayIcon::ActivationReason reason) {
  if (!m_dlg) return;
  // A StatusNotifierItem host reports a click on the icon as its activation, never as a double
  // click: that activation is the one that brings the window back. In an XEmbed notification
  // area a single click stays a single click.
  if (reason == QSystemTrayIcon::DoubleClick ||
      (reason == QSystemTrayIcon::Trigger && m_trayIsStatusNotifierItem)) {
    m_dlg->OnTrayNotify(kTrayIconId, kTrayDoubleClick);
  } else if (reason == QSystemTrayIcon::Context) {
    m_dlg->OnTrayNotify(kTrayIconId, kTrayRightButtonUp);
  }
}

void QtWindowLayer::RunAboutDialog() {
  CAboutDlg about(m_window.get(), [this](int link) { m_dlg->OnAboutLink(link); });
  about.exec();
}

void QtWindowLayer::RunFindDialog() {
  CFindDlg find(m_window.get(), [this](const QString& text) {
    // A character GBK lacks is in no station's name: such a search finds nothing, as one for a
    // name that is not there does.
    const std::optional<std::string> gbk = ToGbkExactly(text);
    if (gbk && m_dlg->OnFindOk(*gbk)) Post([this] { m_dlg->OnFindRequest(kFindRequestCode); });
  });
  find.exec();
}

void QtWindowLayer::RunTaskDialog(TaskDialogModel& model) {
  CTaskDlg tasks(m_window.get(), model, [this](const std::string& text) { ShowMessageBox(text); });
  tasks.exec();
}

void QtWindowLayer::RunSongHistoryDialog(const SongHistoryTable& table) {
  CSongHistoryDlg songs(m_window.get(), table);
  songs.exec();
}

}  // namespace lumio
