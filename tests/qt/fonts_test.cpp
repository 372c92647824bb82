// The program font must draw Chinese station names and Latin text, not empty boxes.

#include <QApplication>
#include <QFontInfo>
#include <QtTest>

#include "qt/fonts.h"

namespace lumio {
namespace {

class FontsTest : public QObject {
  Q_OBJECT

 private slots:
  void ChineseAndLatinTextIsDrawable_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("bold");
    QTest::newRow("station name") << QStringLiteral("中国之声") << false;
    QTest::newRow("selected station name") << QStringLiteral("北京交通广播") << true;
    QTest::newRow("banner") << QStringLiteral("欢迎使用Lumio网络收音机1.2 - Tarvel网络") << false;
    QTest::newRow("popularity tip") << QStringLiteral("频率: 未知\n类型: 未知\n热度: 5") << false;
    QTest::newRow("latin") << QStringLiteral("Radio FM 101.7 (test)") << false;
  }

  void ChineseAndLatinTextIsDrawable() {
    QFETCH(QString, text);
    QFETCH(bool, bold);
    const QFont font = ProgramFont(14, bold);
    QVERIFY2(FontCanShow(font, text),
             qPrintable(
                 QStringLiteral("font '%1' cannot show '%2'").arg(QFontInfo(font).family(), text)));
  }

  void CheckDetectsMissingGlyphs() {
    // A private-use character is in no ordinary font: the check must be able to say no.
    QVERIFY(!FontCanShow(ProgramFont(14), QString(QChar(0xE000))));
  }
};

}  // namespace
}  // namespace lumio

QTEST_MAIN(lumio::FontsTest)
#include "fonts_test.moc"
