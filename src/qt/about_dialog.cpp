#include "qt/about_dialog.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>

#include "qt/dialog_units.h"
#include "qt/fonts.h"

namespace lumio {
namespace {

constexpr int kHomeLink = 1032;
constexpr int kHelpLink = 1033;

QLabel* LinkLabel(const QString& text, const QRect& rect, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setGeometry(rect);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
  label->setPalette(palette);
  // The dialog decides on the release point, so the label must not take the mouse.
  label->setAttribute(Qt::WA_TransparentForMouseEvents);
  return label;
}

}  // namespace

QString CAboutDlg::IntroductionText() {
  return QStringLiteral(
      "  欢迎使用Lumio网络收音机1.2。由Tarvel网络开发。\r\n"
      "  本播放器支持国内外众多电台，收录世界各地一千多个电台：财经、娱乐、社会新闻、外语电台，"
      "流行、摇滚、爵士、民谣和交响音乐，轻点鼠标即可收听。Lumio网络收音机是一款绿色软件，"
      "收集了1000多个网络电台，并经常更新和扩充，适合收音机爱好者、语言学习者和音乐爱好者。\r\n"
      "  欢迎收音机爱好者提出你们的建议我意见，你们的需求就是下一个版本的功能。");
}

CAboutDlg::CAboutDlg(QWidget* parent, std::function<void(int)> openLink)
    : QDialog(parent), m_openLink(std::move(openLink)) {
  setWindowTitle(QStringLiteral("关于Lumio网络收音机1.0"));
  setFont(ProgramFont(12));
  setFixedSize(DluX(235), DluY(170));
  setMouseTracking(true);

  auto* icon = new QLabel(this);
  icon->setGeometry(DluRect(11, 10, 20, 20));
  QPixmap pixmap(QStringLiteral(":/skin/128.png"));
  if (!pixmap.isNull())
    icon->setPixmap(pixmap.scaled(icon->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));

  auto* version = new QLabel(QStringLiteral("版本 1.2 版"), this);
  version->setGeometry(DluRect(40, 10, 58, 8));
  auto* group = new QGroupBox(QStringLiteral("简称"), this);
  group->setGeometry(DluRect(15, 36, 207, 121));
  group->setAttribute(Qt::WA_TransparentForMouseEvents);

  auto* text = new QPlainTextEdit(this);
  text->setObjectName(QStringLiteral("introduction"));
  text->setGeometry(DluRect(17, 52, 204, 102));
  text->setReadOnly(true);
  text->setPlainText(IntroductionText().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));

  m_homeLink = LinkLabel(QStringLiteral("Tarvel主页"), DluRect(102, 25, 41, 8), this);
  m_helpLink = LinkLabel(QStringLiteral("在线帮助"), DluRect(165, 25, 40, 8), this);
}

int CAboutDlg::LinkAt(const QPoint& pos) const {
  if (m_homeLink->geometry().contains(pos)) return kHomeLink;
  if (m_helpLink->geometry().contains(pos)) return kHelpLink;
  return 0;
}

void CAboutDlg::keyPressEvent(QKeyEvent* event) {
  // The box has no button to be the default one, yet Enter ends it as OK would.
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  const Qt::KeyboardModifiers held =
      event->modifiers() & ~Qt::KeyboardModifiers(Qt::KeypadModifier);
  if (enter && !held) {
    accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void CAboutDlg::mouseMoveEvent(QMouseEvent* event) {
  const bool overLink = LinkAt(event->position().toPoint()) != 0;
  if (overLink) {
    setCursor(Qt::PointingHandCursor);
  } else {
    unsetCursor();
  }
  QDialog::mouseMoveEvent(event);
}

void CAboutDlg::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    const int link = LinkAt(event->position().toPoint());
    if (link != 0 && m_openLink) m_openLink(link);
  }
  QDialog::mouseReleaseEvent(event);
}

}  // namespace lumio
