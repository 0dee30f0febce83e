// Damaged and hostile files where the program reads its own: Conexoes.New when the main window
// starts, Banco.new when the open-database dialog opens, and scripts loaded in an SQL window.
// Truncated, binary, odd code-page bytes, no line ends and long lines are read as the files'
// rules say; a file too large to read, or one that is not a plain file, is refused with a message.
#include "connection/bancosettings.h"
#include "connection/conexoes.h"
#include "connection/dm.h"
#include "connection/ui/abrebanco.h"
#include "platform/appdir.h"
#include "platform/errorreport.h"
#include "platform/textfile.h"
#include "platform/ui/icons.h"
#include "shell/ui/principal.h"
#include "sql/ui/fsql.h"
#include "support/connectedholder.h"
#include "support/fbfixture.h"
#include "support/files.h"
#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QtTest>
#include <sys/stat.h>

namespace {
QString record(const QString& server, const QString& protocol, const QString& path, const QString& conn) {
    return ConnectionRecord::format(server, protocol, path, conn);
}

// A file of `size` zero bytes that takes no room on the disk.
void writeSparse(const QString& path, qint64 size) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QVERIFY(f.resize(size));
}

const qint64 HundredMB = qint64(100) << 20;
} // namespace

class TestHostileFiles : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initResources(); }
    void init() {
        m_dir = std::make_unique<TempAppDirectory>();
        CurrentDatabase.clear();
    }
    void cleanup() { m_dir.reset(); }

    void conexoesAtStartUp_data();
    void conexoesAtStartUp();
    void bancoNewInDialog_data();
    void bancoNewInDialog();
    void scriptLoad_data();
    void scriptLoad();

private:
    std::unique_ptr<TempAppDirectory> m_dir;
};

// Bytes of the file (or, with hugeSize, a sparse file that size); the captions of "Conexões"; the
// error box's text (%1: the file), empty when none is expected.
void TestHostileFiles::conexoesAtStartUp_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("hugeSize");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QString>("error");
    const QString full = record("srv", "0", "/dados/loja.fdb", "srv:/dados/loja.fdb");
    QTest::newRow("truncated record")
        << full.left(124).toLatin1() << qint64(0) << QStringList{"srv:/dad"} << QString();
    QTest::newRow("no line end") << full.toLatin1() << qint64(0) << QStringList{"srv:/dados/loja.fdb"}
                                 << QString();
    // The five positions that Windows-1252 leaves unassigned come back as the controls of that value.
    QTest::newRow("unassigned Windows-1252 bytes")
        << (record("s", "3", "/x", QString::fromLatin1("/tmp/\x81\x8d\x8f\x90\x9d.fdb")) + "\r\n").toLatin1()
        << qint64(0) << QStringList{QString::fromUtf16(u"/tmp/\u0081\u008d\u008f\u0090\u009d.fdb")}
        << QString();
    QTest::newRow("binary") << QByteArray(300, '\0') + "\n" + QByteArray(300, '\xff') + "\r" << qint64(0)
                            << QStringList{QString(100, QChar(0)), QString(100, QChar(0xff))} << QString();
    QTest::newRow("one line of a megabyte")
        << QByteArray(1 << 20, 'x') << qint64(0) << QStringList{QString(100, 'x')} << QString();
    QTest::newRow("100 MB") << QByteArray() << HundredMB << QStringList{}
                            << QStringLiteral(
                                   "O arquivo \"%1\" é grande demais: o programa lê arquivos de até 1 MB.");
    QTest::newRow("more lines than a menu can show")
        << QByteArray(MaxConnections + 1, '\n') << qint64(0) << QStringList{}
        << QStringLiteral("O arquivo \"%1\" tem mais de 2000 linhas e não pode ser lido.");
}

void TestHostileFiles::conexoesAtStartUp() {
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, hugeSize);
    QFETCH(QStringList, captions);
    QFETCH(QString, error);
    if (hugeSize)
        writeSparse(conexoesFileName(), hugeSize);
    else
        writeBytes(conexoesFileName(), bytes);
    ScriptedPrompts prompts;
    TdM dm;
    TPrincipal win;
    win.show();

    QStringList shown;
    for (QAction* a : win.Bancos->actions())
        shown << a->data().toString();
    QCOMPARE(shown, captions);
    if (error.isEmpty()) {
        QVERIFY(prompts.messages.isEmpty());
    } else {
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages[0].text, error.arg(conexoesFileName()));
        QCOMPARE(prompts.messages[0].caption, applicationTitle());
    }
    // The program goes on: the dialog still opens.
    win.AbreBanco1->trigger();
    QVERIFY(win.abreBancoWindow());
}

void TestHostileFiles::bancoNewInDialog_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("hugeSize");
    QTest::addColumn<QString>("server");
    QTest::addColumn<int>("protocol");
    QTest::addColumn<QString>("database");
    QTest::addColumn<bool>("refused");
    QTest::newRow("truncated") << QByteArray("[BancoAtual]\r\nServidor=srv\r\nTipo=3\r\nBan") << qint64(0)
                               << "srv" << 3 << "" << false;
    static const char binary[] = "\x00\xff[BancoAtual]\x00\nServidor=\x00"
                                 "a\n";
    QTest::newRow("binary") << QByteArray(binary, sizeof binary - 1) << qint64(0) << "" << 0 << "" << false;
    QTest::newRow("lone CRs, odd bytes, a protocol out of range")
        << QByteArray("[BancoAtual]\rServidor=s\x81\rTipo=99999999999\rBanco=/b\x9d") << qint64(0)
        << QString::fromUtf16(u"s\u0081") << 0 << QString::fromUtf16(u"/b\u009d") << false;
    QTest::newRow("long line") << QByteArray("[BancoAtual]\nTipo=2\nServidor=") + QByteArray(100000, 'y')
                               << qint64(0) << QString(100000, 'y') << 2 << "" << false;
    QTest::newRow("100 MB") << QByteArray() << HundredMB << "" << 0 << "" << true;
}

void TestHostileFiles::bancoNewInDialog() {
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, hugeSize);
    QFETCH(QString, server);
    QFETCH(int, protocol);
    QFETCH(QString, database);
    QFETCH(bool, refused);
    if (hugeSize)
        writeSparse(bancoSettingsFileName(), hugeSize);
    else
        writeBytes(bancoSettingsFileName(), bytes);
    ScriptedPrompts prompts;
    TdM dm;
    TPrincipal win;
    win.show();
    win.AbreBanco1->trigger();
    auto* d = qobject_cast<TAbreBanco*>(win.abreBancoWindow());
    QVERIFY(d); // shown also when its settings cannot be read
    QCOMPARE(d->Servidor->text(), server.left(d->Servidor->maxLength()));
    QCOMPARE(d->protocolIndex(), protocol);
    QCOMPARE(d->Banco->text(), database);
    if (refused) {
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages[0].text,
                 errorBoxText(tooLargeMessage(bancoSettingsFileName(), DataFileLimit)));
    } else {
        QVERIFY(prompts.messages.isEmpty());
    }
}

// The file picked in "Abre Script": bytes, or a sparse file, a folder or a pipe by that name.
void TestHostileFiles::scriptLoad_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("kind"); // "file", "huge", "folder", "pipe"
    QTest::addColumn<QString>("memo"); // the memo's text afterwards
    QTest::addColumn<QString>("error");
    const QString before = QStringLiteral("select 1 from RDB$DATABASE");
    QTest::newRow("truncated statement") << QByteArray("select * from T where A = 'ab") << "file"
                                         << "select * from T where A = 'ab" << QString();
    QTest::newRow("binary") << QByteArray("\x00"
                                          "a\x80"
                                          "b\x81\xff\r\x00",
                                          8)
                            << "file" << QString::fromUtf16(u"\u0000a\u20acb\u0081\u00ff\n\u0000", 8)
                            << QString();
    QTest::newRow("every kind of line end") << QByteArray("a\rb\r\nc\nd\n\re") << "file"
                                            << "a\nb\nc\nd\n\ne" << QString();
    QString longLine;
    for (int i = 0; i < 10000; ++i)
        longLine += QStringLiteral("'valor %1', ").arg(i, 4, 10, QChar('0'));
    QTest::newRow("long line") << longLine.toLatin1() << "file" << longLine << QString();
    // A statement of a megabyte on one line: the editor shows it without stalling the window.
    QString megaLine = QStringLiteral("insert into T values (");
    for (int i = 0; megaLine.size() < (1 << 20) - 40; ++i)
        megaLine += QStringLiteral("'valor; %1' || /* x */ ").arg(i, 6, 10, QChar('0'));
    megaLine += QStringLiteral("'fim')");
    QTest::newRow("one line of a megabyte") << megaLine.toLatin1() << "file" << megaLine << QString();
    const QString unbroken(1 << 20, QChar('x'));
    QTest::newRow("a megabyte without a blank") << unbroken.toLatin1() << "file" << unbroken << QString();
    QTest::newRow("100 MB") << QByteArray() << "huge" << before << "O arquivo \"%1\" é grande demais";
    QTest::newRow("a folder") << QByteArray() << "folder" << before
                              << "Cannot open file \"%1\". Is a directory";
    QTest::newRow("a pipe") << QByteArray() << "pipe" << before
                            << "Cannot open file \"%1\". Not a regular file";
}

void TestHostileFiles::scriptLoad() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, kind);
    QFETCH(QString, memo);
    QFETCH(QString, error);
    TempDatabase db;
    ConnectedHolder holder(db.path());
    const QString path = m_dir->filePath("script.New");
    if (kind == "file")
        writeBytes(path, bytes);
    else if (kind == "huge")
        writeSparse(path, HundredMB);
    else if (kind == "folder")
        QVERIFY(QDir().mkdir(path));
    else
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);

    TFSql w;
    w.show();
    w.MemoSql->setPlainText(QStringLiteral("select 1 from RDB$DATABASE"));
    holder.prompts.fileAnswers.append(path);
    w.Bloa->click();
    // Drawn, and typed into at the end of its last line as a user would.
    w.grab();
    QTest::keyClick(w.MemoSql, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(w.MemoSql, QStringLiteral("x"));
    w.grab();
    QTest::keyClick(w.MemoSql, Qt::Key_Backspace);
    QCOMPARE(w.memoText(), memo);
    if (error.isEmpty()) {
        QVERIFY(holder.prompts.messages.isEmpty());
    } else {
        QCOMPARE(holder.prompts.messages.size(), 1);
        const QString expected = error.arg(QFileInfo(path).absoluteFilePath());
        QVERIFY2(holder.prompts.messages[0].text.startsWith(expected),
                 qPrintable(holder.prompts.messages[0].text));
    }
}

QTEST_MAIN(TestHostileFiles)
#include "test_hostilefiles.moc"
