#include "connection/conexoes.h"
#include "connection/ui/conecta.h"
#include "platform/appdir.h"
#include "platform/errorreport.h"
#include "platform/wincolor.h"
#include "support/files.h"
#include "support/scriptedprompts.h"
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

// The earlier-connections window over a Conexoes.New in a temporary "executable directory".
class TestConecta : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void layout();
    void cellsAsRead();
    void missingFile();
    void messageFollowsFocus();
    void enterMovesFocus();
    void deleteRow_data();
    void deleteRow();
    void deleteWithoutRows();
    void retorna();
    void gravaFailure();

private:
    // Shows the window as the open-database dialog does (FormShow runs) and makes it active.
    static void showActive(TFConecta& w) {
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
    }
    static QStringList threeLines() {
        return {ConnectionRecord::format("um", "0", "/1.fdb", "um:/1.fdb"),
                ConnectionRecord::format("dois", "2", "/2.fdb", "dois@/2.fdb"),
                ConnectionRecord::format("tres", "3", "/3.fdb", "/3.fdb")};
    }
    std::unique_ptr<TempAppDirectory> m_dir;
};

void TestConecta::init() {
    m_dir = std::make_unique<TempAppDirectory>();
}

void TestConecta::cleanup() {
    m_dir.reset();
}

void TestConecta::layout() {
    TFConecta w;
    QCOMPARE(w.objectName(), QStringLiteral("FConecta"));
    QCOMPARE(w.windowTitle(), QStringLiteral("Conexões Anteriores"));
    QCOMPARE(w.size(), QSize(632, 348));
    QVERIFY(w.windowFlags() & Qt::Tool);
    QVERIFY(!(w.windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint)));
    QCOMPARE(w.palette().color(QPalette::Window), winColor(12058551));
    QCOMPARE(w.font().pixelSize(), 13);

    QCOMPARE(w.sg->objectName(), QStringLiteral("sg"));
    QCOMPARE(w.sg->geometry(), QRect(0, 0, 632, 305));
    QCOMPARE(w.sg->columnCount(), 4);
    const int widths[] = {88, 20, 500, 239};
    for (int c = 0; c < 4; ++c)
        QCOMPARE(w.sg->columnWidth(c), widths[c]);
    QStringList titles;
    for (int c = 0; c < 4; ++c)
        titles.append(w.sg->horizontalHeaderItem(c)->text());
    QCOMPARE(titles, (QStringList{"Servidor", "Tp", "Banco", "Conexão"}));
    QVERIFY(w.sg->verticalHeader()->isHidden()); // no title column
    QCOMPARE(w.sg->verticalHeader()->defaultSectionSize(), 20);
    QCOMPARE(w.sg->horizontalHeader()->height(), 20);
    QCOMPARE(w.sg->palette().color(QPalette::Base), winColor(14799803));
    QCOMPARE(w.sg->font().pixelSize(), 11);
    QCOMPARE(w.sg->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(w.sg->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(w.sg->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QVERIFY(w.sg->showGrid());

    QCOMPARE(w.msg->objectName(), QStringLiteral("msg"));
    QCOMPARE(w.msg->text(), QStringLiteral("DELETE - Apaga linha"));
    QVERIFY(w.msg->font().bold());
    QVERIFY(w.msg->isHidden());
    QCOMPARE(w.BitBtn2->objectName(), QStringLiteral("BitBtn2"));
    QCOMPARE(w.BitBtn2->text(), QStringLiteral("&Grava"));
    QCOMPARE(w.BitBtn1->objectName(), QStringLiteral("BitBtn1"));
    QCOMPARE(w.BitBtn1->text(), QStringLiteral("&Retorna"));
    QCOMPARE(w.BitBtn1->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(w.BitBtn2->cursor().shape(), Qt::PointingHandCursor);
    QVERIFY(!w.BitBtn1->icon().isNull());
    QVERIFY(!w.BitBtn2->icon().isNull());
}

void TestConecta::cellsAsRead() {
    const QString full = threeLines().first();
    writeBytes(conexoesFileName(), (full + "\r\ncurta\r\n").toLatin1());
    ScriptedPrompts prompts;
    TFConecta w;
    showActive(w);
    QCOMPARE(w.sg->rowCount(), 2);
    QCOMPARE(w.grid().rowCount(), 3);
    QCOMPARE(w.sg->item(0, 0)->text(), QStringLiteral("um").leftJustified(15)); // blanks kept
    QCOMPARE(w.sg->item(0, 1)->text(), QStringLiteral("0"));
    QCOMPARE(w.sg->item(0, 2)->text(), QStringLiteral("/1.fdb").leftJustified(100));
    QCOMPARE(w.sg->item(0, 3)->text(), QStringLiteral("um:/1.fdb").leftJustified(100));
    QCOMPARE(w.grid().cell(0, 2), QStringLiteral("curta"));
    QCOMPARE(w.grid().cell(3, 2), QString());
    QCOMPARE(w.currentRow(), 1);
    QCOMPARE(w.focusWidget(), w.sg);

    // "&Grava" writes the short line back at full width.
    w.BitBtn2->click();
    QVERIFY(w.isVisible()); // the window stays open
    QCOMPARE(fileBytes(conexoesFileName()),
             (full + "\r\n" + ConnectionRecord::format("curta", "", "", "") + "\r\n").toLatin1());
    QVERIFY(prompts.messages.isEmpty());
}

void TestConecta::missingFile() {
    ScriptedPrompts prompts;
    TFConecta w;
    showActive(w);
    QCOMPARE(prompts.messages.size(), 1);
    QCOMPARE(prompts.messages[0].text,
             QStringLiteral("Cannot open file \"%1\". No such file or directory.").arg(conexoesFileName()));
    QCOMPARE(prompts.messages[0].caption, applicationTitle());
    QCOMPARE(prompts.messages[0].icon, MsgIcon::Error);
    QCOMPARE(w.grid().rowCount(), 1); // the title row alone
    QCOMPARE(w.currentRow(), -1);
}

void TestConecta::messageFollowsFocus() {
    writeBytes(conexoesFileName(), (threeLines().join("\r\n") + "\r\n").toLatin1());
    ScriptedPrompts prompts;
    TFConecta w;
    QVERIFY(w.msg->isHidden());
    showActive(w);
    QTRY_VERIFY(w.msg->isVisible()); // the grid has the focus once shown
    w.BitBtn2->setFocus(Qt::TabFocusReason);
    QVERIFY(!w.msg->isVisible());
    w.sg->setFocus(Qt::MouseFocusReason);
    QVERIFY(w.msg->isVisible());
}

void TestConecta::enterMovesFocus() {
    writeBytes(conexoesFileName(), (threeLines().join("\r\n") + "\r\n").toLatin1());
    ScriptedPrompts prompts;
    TFConecta w;
    showActive(w);
    QCOMPARE(w.focusWidget(), w.sg);
    QTest::keyClick(w.sg, Qt::Key_Return);
    QCOMPARE(w.focusWidget(), w.BitBtn2);
    QTest::keyClick(w.BitBtn2, Qt::Key_Return); // moves on, does not write
    QCOMPARE(w.focusWidget(), w.BitBtn1);
    QTest::keyClick(w.BitBtn1, Qt::Key_Enter); // moves on, does not close
    QVERIFY(w.isVisible());
    QCOMPARE(w.focusWidget(), w.sg);
    QCOMPARE(w.currentRow(), 1);
    QVERIFY(prompts.messages.isEmpty());
}

void TestConecta::deleteRow_data() {
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("current");     // grid row made current before Delete
    QTest::addColumn<QList<int>>("kept"); // indexes into threeLines()
    QTest::addColumn<int>("currentAfter");
    QTest::newRow("middle of three") << 3 << 2 << QList<int>{0, 2} << 2;
    QTest::newRow("first of three") << 3 << 1 << QList<int>{1, 2} << 1;
    QTest::newRow("last of three") << 3 << 3 << QList<int>{0, 1} << 2;
    QTest::newRow("the only one") << 1 << 1 << QList<int>{} << -1;
}

void TestConecta::deleteRow() {
    QFETCH(int, lines);
    QFETCH(int, current);
    QFETCH(QList<int>, kept);
    QFETCH(int, currentAfter);
    const QStringList all = threeLines().mid(0, lines);
    const QByteArray before = (all.join("\r\n") + "\r\n").toLatin1();
    writeBytes(conexoesFileName(), before);
    ScriptedPrompts prompts;
    TFConecta w;
    showActive(w);
    w.sg->setCurrentCell(current - 1, 0);
    QTest::keyClick(w.sg, Qt::Key_Delete);
    QCOMPARE(prompts.beeps, 0);
    QCOMPARE(w.sg->rowCount(), kept.size());
    QCOMPARE(w.currentRow(), currentAfter);
    QCOMPARE(fileBytes(conexoesFileName()), before); // nothing written before "&Grava"

    w.BitBtn2->click();
    QByteArray expected;
    for (int i : kept)
        expected += (all[i] + "\r\n").toLatin1();
    QCOMPARE(fileBytes(conexoesFileName()), expected);
    QVERIFY(prompts.messages.isEmpty());
}

void TestConecta::deleteWithoutRows() {
    writeBytes(conexoesFileName(), "");
    ScriptedPrompts prompts;
    TFConecta w;
    showActive(w);
    QTest::keyClick(w.sg, Qt::Key_Delete);
    QCOMPARE(prompts.beeps, 1);
    QCOMPARE(w.grid().rowCount(), 1);
    QCOMPARE(w.sg->horizontalHeaderItem(1)->text(), QStringLiteral("Tp")); // the title row stays
    w.BitBtn2->click();
    QCOMPARE(fileBytes(conexoesFileName()), QByteArray());
}

void TestConecta::retorna() {
    writeBytes(conexoesFileName(), (threeLines().join("\r\n") + "\r\n").toLatin1());
    ScriptedPrompts prompts;
    TFConecta w;
    showActive(w);
    w.BitBtn1->click();
    QVERIFY(!w.isVisible());
    QCOMPARE(w.result(), int(QDialog::Accepted));
}

void TestConecta::gravaFailure() {
    const QByteArray before = (threeLines().join("\r\n") + "\r\n").toLatin1();
    writeBytes(conexoesFileName(), before);
    ScriptedPrompts prompts;
    TFConecta w;
    showActive(w);
    QTest::keyClick(w.sg, Qt::Key_Delete);
    // The directory turns out to be unusable: the file layer's message in the error box.
    writeBytes(m_dir->filePath(QStringLiteral("arquivo")), "x");
    setApplicationDirectory(m_dir->filePath(QStringLiteral("arquivo")));
    w.BitBtn2->click();
    QCOMPARE(prompts.messages.size(), 1);
    QVERIFY2(prompts.messages[0].text.startsWith(
                 QStringLiteral("Cannot create file \"%1\". ")
                     .arg(m_dir->filePath(QStringLiteral("arquivo/Conexoes.New")))),
             qPrintable(prompts.messages[0].text));
    QCOMPARE(prompts.messages[0].icon, MsgIcon::Error);
    QVERIFY(w.isVisible());
    QCOMPARE(fileBytes(m_dir->filePath(QStringLiteral("Conexoes.New"))), before);
}

QTEST_MAIN(TestConecta)
#include "test_conecta.moc"
