#include "browse/ui/fbrowse.h"
#include "connection/database.h"
#include "connection/dataset.h"
#include "connection/datasetmodel.h"
#include "connection/dm.h"
#include "connection/transaction.h"
#include "platform/appdir.h"
#include "platform/errorreport.h"
#include "sql/commandhistory.h"
#include "sql/ui/fsql.h"
#include "sql/ui/sqleditor.h"
#include "sql/ui/sqlstatusline.h"
#include "support/connectedholder.h"
#include "support/fbfixture.h"
#include "support/files.h"
#include "support/sqlwindows.h"
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTableView>
#include <QToolButton>
#include <QtTest>
#include <memory>

namespace {
QStringList schema() {
    return {QStringLiteral("create table CLIENTE (ID integer not null primary key, NOME varchar(40), "
                           "SALDO numeric(12,2))"),
            QStringLiteral("insert into CLIENTE values (1, 'João', 10.5)"),
            QStringLiteral("insert into CLIENTE values (2, 'Conceição', 20)")};
}

// Runs for minutes unless it is stopped.
const QString kLong =
    QStringLiteral("select count(*) from RDB$FIELDS a, RDB$FIELDS b, RDB$FIELDS c, RDB$FIELDS d");
} // namespace

// The SQL command window as a workbench, on a real database: statements run with the window
// answering, cancelling, scripts, the place of an error, the status line, the plan, completion.
class TestSqlWorkbench : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void stoppingLongStatement_data();
    void stoppingLongStatement();
    void othersWaitOrSayWhy();
    void scriptRunsWhole();
    void scriptStopsAtError();
    void errorPosition_data();
    void errorPosition();
    void statusLineAndPlan();
    void completion();
    void nulRefusedBeforeTheServer_data();
    void nulRefusedBeforeTheServer();
    void scriptKeyFollowsTheButton();

private:
    TFSql* openWindow() { return m_windows.open(); }
    // Types as a user does; the editor's own completion list must not take the keys.
    void type(TFSql* w, const QString& text) {
        w->MemoSql->setFocus();
        for (const QChar c : text) {
            if (c == QChar('\n'))
                QTest::keyClick(w->MemoSql, Qt::Key_Return);
            else if (c.unicode() < 0x80)
                QTest::keyClicks(w->MemoSql, QString(c));
            else // a key of a keyboard laid out for it
                QTest::sendKeyEvent(QTest::Click, w->MemoSql, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
        w->MemoSql->cancelList();
    }
    void waitForRun(TFSql* w) { SqlWindows::waitForGrid(w); }
    void run(TFSql* w, const QString& text) { SqlWindows::run(w, text); }
    // The statement is at work on the server (seen from another attachment).
    bool longStatementRuns() {
        return m_db->scalar(QStringLiteral(
                   "select count(*) from MON$STATEMENTS where MON$STATE = 1 and "
                   "MON$ATTACHMENT_ID <> current_connection and "
                   "MON$SQL_TEXT starting with 'select count(*) from RDB$FIELDS a'")) != QStringLiteral("0");
    }
    void startLong(TFSql* w) {
        type(w, kLong);
        w->bexe->click();
        QVERIFY(w->running());
        QTRY_VERIFY_WITH_TIMEOUT(longStatementRuns(), 10000);
    }
    QStringList reportedErrors() const { return prompts().errorReports(); }
    QString status(TFSql* w) const { return w->StatusSql->lStatus->text(); }
    QString rows(TFSql* w) const { return w->StatusSql->lLinhas->text(); }
    QString cell(TFSql* w, int row, int column) const { return w->Ds->index(row, column).data().toString(); }
    ScriptedPrompts& prompts() const { return m_holder->prompts; }

    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<QTemporaryDir> m_appDir;
    std::unique_ptr<ConnectedHolder> m_holder;
    TdM* m_dm = nullptr;
    SqlWindows m_windows;
};

void TestSqlWorkbench::init() {
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    m_db = std::make_unique<TempDatabase>(schema());
    m_appDir = std::make_unique<QTemporaryDir>();
    setApplicationDirectory(m_appDir->path());
    m_holder = std::make_unique<ConnectedHolder>(m_db->path());
    m_dm = &m_holder->dm;
}

void TestSqlWorkbench::cleanup() {
    m_windows.closeAll();
    m_dm = nullptr;
    m_holder.reset();
    setApplicationDirectory(QString());
    m_appDir.reset();
    m_db.reset();
}

void TestSqlWorkbench::stoppingLongStatement_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancelar") << QStringLiteral("cancel");
    QTest::newRow("closing the window") << QStringLiteral("close");
    QTest::newRow("closing the database") << QStringLiteral("disconnect");
}

void TestSqlWorkbench::stoppingLongStatement() {
    QFETCH(QString, how);
    TFSql* w = openWindow();
    QPointer<TFSql> window = w;
    startLong(w);
    // While it runs the window says so, draws, and offers only what cannot disturb the run.
    QVERIFY(status(w).startsWith(QStringLiteral("Executando... ")));
    QVERIFY(!w->bexe->isEnabled() && !w->StatusSql->bscript->isEnabled());
    QVERIFY(!w->bexcel->isEnabled() && !w->bprint->isEnabled());
    QVERIFY(w->StatusSql->bcancelar->isEnabled());
    QVERIFY(w->bsai->isEnabled());
    QVERIFY(w->MemoSql->isReadOnly());

    QElapsedTimer clock;
    clock.start();
    if (how == QStringLiteral("cancel")) {
        w->StatusSql->bcancelar->click();
        // The outcome tells whether it stopped; a busy machine may take its time.
        QTRY_VERIFY_WITH_TIMEOUT(!w->running(), 120000);
        QCOMPARE(status(w), QStringLiteral("Comando cancelado"));
    } else if (how == QStringLiteral("close")) {
        w->bsai->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(window.isNull());
    } else {
        m_dm->DisconnectDatabase();
        QVERIFY(!m_dm->Banco->connected());
        QVERIFY(!w->running());
    }
    qInfo("stopped after %lld ms", static_cast<long long>(clock.elapsed()));
    QVERIFY(!longStatementRuns());
    QCOMPARE(reportedErrors(), QStringList());

    if (window) {
        // A cancelled statement is a failed run, told as such: nothing else changes.
        QCOMPARE(status(w), QStringLiteral("Comando cancelado"));
        QCOMPARE(w->memoText(), kLong);
        QVERIFY(!w->MemoSql->isReadOnly());
        QCOMPARE(CommandHistory, QStringList{QString()});
        QVERIFY(!w->IBSet->active());
        QVERIFY(!w->bgra->isEnabled());
        QVERIFY(w->bexe->isEnabled() && w->bexcel->isEnabled() && w->bprint->isEnabled());
    }
    if (how == QStringLiteral("disconnect")) return;
    // The connection works on.
    TFSql* next = window ? window.data() : openWindow();
    run(next, QStringLiteral("select count(*) from CLIENTE"));
    QCOMPARE(reportedErrors(), QStringList());
    QCOMPARE(cell(next, 0, 0), QStringLiteral("2"));
}

void TestSqlWorkbench::othersWaitOrSayWhy() {
    CurrentTable = QStringLiteral("CLIENTE");
    BrowseSelect = QStringLiteral("Select * From CLIENTE");
    auto* browse = new TFBrowse;
    m_windows.add(browse);
    browse->show();
    TFSql* w1 = openWindow();
    TFSql* w2 = openWindow();
    run(w2, QStringLiteral("update CLIENTE set SALDO = 5 where ID = 1"));
    startLong(w1);

    // Another SQL window is told why it cannot run now, and keeps its statement.
    const QString other = QStringLiteral("select * from CLIENTE");
    w2->MemoSql->setPlainText(other);
    w2->bexe->click();
    QCOMPARE(reportedErrors(), QStringList{errorBoxText(connectionBusyMessage())});
    QVERIFY(!w2->running());
    QCOMPARE(w2->memoText(), other);
    // So is the browse window's commit: the update stays pending.
    prompts().clear();
    browse->SCommit->click();
    QCOMPARE(reportedErrors(), QStringList{errorBoxText(connectionBusyMessage())});
    QCOMPARE(m_db->scalar(QStringLiteral("select cast(SALDO * 100 as integer) from CLIENTE where ID = 1")),
             QStringLiteral("1050"));
    // The running window's memo takes no typing.
    QTest::keyClicks(w1->MemoSql, QStringLiteral("xyz"));
    QCOMPARE(w1->memoText(), kLong);

    prompts().clear();
    w1->StatusSql->bcancelar->click();
    waitForRun(w1);
    run(w2, other);
    QCOMPARE(reportedErrors(), QStringList());
    QCOMPARE(w2->Ds->rowCount(), 2);
    browse->SCommit->click();
    QCOMPARE(reportedErrors(), QStringList());
    QCOMPARE(m_db->scalar(QStringLiteral("select cast(SALDO * 100 as integer) from CLIENTE where ID = 1")),
             QStringLiteral("500"));
}

void TestSqlWorkbench::scriptRunsWhole() {
    TFSql* w = openWindow();
    const QString script = QStringLiteral("-- tabela; e procedimento\n"
                                          "create table ITEM (ID integer, NOME varchar(20));\n"
                                          "commit;\n"
                                          "insert into ITEM values (1, 'a;b'); /* um; comentário */\n"
                                          "insert into ITEM values (2, 'it''s');\n"
                                          "SET TERM ^ ;\n"
                                          "create procedure CONTA returns (N integer) as\n"
                                          "begin\n"
                                          "  select count(*) from ITEM where NOME <> ';' into :N;\n"
                                          "  suspend;\n"
                                          "end^\n"
                                          "SET TERM ; ^\n"
                                          "commit;\n"
                                          "insert into ITEM values (3, ';');\n"
                                          "select NOME from ITEM order by ID;\n"
                                          "select N from CONTA");
    type(w, script);
    QCOMPARE(w->memoText(), script);
    QTest::keyClick(w->MemoSql, Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier);
    waitForRun(w);
    QCOMPARE(reportedErrors(), QStringList());
    QVERIFY2(status(w).startsWith(QStringLiteral("Script: 9 comando(s) em ")), qPrintable(status(w)));
    // The grid shows the last SELECT; the script went into the history once; the memo is emptied.
    QCOMPARE(w->Ds->rowCount(), 1);
    QCOMPARE(cell(w, 0, 0), QStringLiteral("2"));
    QCOMPARE(rows(w), QStringLiteral("Linhas lidas: 1"));
    QCOMPARE(CommandHistory, (QStringList{QString(), script}));
    QCOMPARE(w->memoText(), QString());
    QVERIFY(w->bgra->isEnabled() && w->bcan->isEnabled());
    // The script's commits kept the transaction going; what came after them waits for bgra.
    const QStringList committed{QStringLiteral("a;b"), QStringLiteral("it's")};
    QCOMPARE(m_db->column(QStringLiteral("select NOME from ITEM order by ID")), committed);
    QCOMPARE(m_db->scalar(QStringLiteral("select N from CONTA")), QStringLiteral("2"));
    w->bgra->click();
    QCOMPARE(m_db->column(QStringLiteral("select NOME from ITEM order by ID")), committed + QStringList{";"});
}

void TestSqlWorkbench::scriptStopsAtError() {
    TFSql* w = openWindow();
    const QString script = QStringLiteral("insert into CLIENTE values (10, 'x', 1);\n"
                                          "insert into CLIENTE values (11, 'y', 2);\n"
                                          "update CLIENTE\n"
                                          "   set NOMX = 'z' where ID = 10;\n"
                                          "insert into CLIENTE values (12, 'w', 3);");
    w->MemoSql->setPlainText(script);
    w->StatusSql->bscript->click();
    waitForRun(w);
    const QStringList errors = reportedErrors();
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors.first().contains(QStringLiteral("NOMX")), qPrintable(errors.first()));
    // The box names the script's line, where the mark is, not the statement's second line.
    QVERIFY2(errors.first().contains(QStringLiteral("At line 4, column 8")), qPrintable(errors.first()));
    QCOMPARE(status(w), QStringLiteral("Erro no comando 3 de 4, linha 4, coluna 8"));
    int line = -1, index = -1;
    w->MemoSql->getCursorPosition(&line, &index);
    QCOMPARE(line, 3);
    QCOMPARE(index, 7);
    QCOMPARE(w->MemoSql->markedErrorLine(), 3);
    QCOMPARE(w->memoText(), script);
    QCOMPARE(CommandHistory, QStringList{QString()});
    // The two statements before it ran, in the transaction; the one after it did not.
    QVERIFY(w->bgra->isEnabled());
    run(w, QStringLiteral("select ID from CLIENTE where ID >= 10 order by ID"));
    QCOMPARE(w->Ds->rowCount(), 2);
    QCOMPARE(cell(w, 1, 0), QStringLiteral("11"));
}

void TestSqlWorkbench::errorPosition_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("line"); // 0-based, as the editor counts
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("boxPlace"); // the error box names the same place as the mark
    QTest::newRow("misspelt keyword")
        << QStringLiteral("selec * from CLIENTE") << 0 << 0 << QStringLiteral("Erro na linha 1, coluna 1")
        << QStringLiteral("line 1, column 1");
    QTest::newRow("unknown column on the third line")
        << QStringLiteral("select *\n  from CLIENTE\n where NOMEX = 1") << 2 << 7
        << QStringLiteral("Erro na linha 3, coluna 8") << QStringLiteral("line 3, column 8");
    QTest::newRow("after accented text")
        << QStringLiteral("select 'ação', X from CLIENTE") << 0 << 15
        << QStringLiteral("Erro na linha 1, coluna 16") << QStringLiteral("line 1, column 16");
    QTest::newRow("after blank lines")
        << QStringLiteral("\n\nselect ID, from CLIENTE") << 2 << 11
        << QStringLiteral("Erro na linha 3, coluna 12") << QStringLiteral("line 3, column 12");
}

void TestSqlWorkbench::errorPosition() {
    QFETCH(QString, text);
    QFETCH(int, line);
    QFETCH(int, index);
    QFETCH(QString, shown);
    QFETCH(QString, boxPlace);
    TFSql* w = openWindow();
    type(w, text);
    w->bexe->click();
    waitForRun(w);
    QCOMPARE(reportedErrors().size(), 1);
    QVERIFY2(reportedErrors().first().contains(boxPlace), qPrintable(reportedErrors().first()));
    QCOMPARE(status(w), shown);
    int caretLine = -1, caretIndex = -1;
    w->MemoSql->getCursorPosition(&caretLine, &caretIndex);
    QCOMPARE(caretLine, line);
    QCOMPARE(caretIndex, index);
    QCOMPARE(w->MemoSql->markedErrorLine(), line);
    QCOMPARE(w->memoText(), text);
    // The next run takes the mark away.
    w->MemoSql->setPlainText(QStringLiteral("select 1 from RDB$DATABASE"));
    w->bexe->click();
    waitForRun(w);
    QCOMPARE(w->MemoSql->markedErrorLine(), -1);
}

void TestSqlWorkbench::statusLineAndPlan() {
    m_db->exec({QStringLiteral("create table MUITOS (N integer)"),
                QStringLiteral("execute block as declare i integer = 0; begin while (i < 1000) do begin "
                               "insert into MUITOS values (:i); i = i + 1; end end")});
    TFSql* w = openWindow();
    // The plan of a statement typed, before it is run.
    type(w, QStringLiteral("select N from MUITOS where N = 3"));
    w->StatusSql->bplano->click();
    waitForRun(w);
    QVERIFY(w->PlanoSql->isVisible());
    QCOMPARE(w->PlanoSql->toPlainText(), QStringLiteral("PLAN (MUITOS NATURAL)"));
    QCOMPARE(w->memoText(), QStringLiteral("select N from MUITOS where N = 3")); // not run
    QCOMPARE(CommandHistory, QStringList{QString()});

    run(w, QStringLiteral("select N from MUITOS order by N"));
    QVERIFY2(QRegularExpression(QStringLiteral("^Tempo: \\d+,\\d{3} s$")).match(status(w)).hasMatch(),
             qPrintable(status(w)));
    QCOMPARE(rows(w), QStringLiteral("Linhas lidas: 256 (há mais)"));
    // The pane follows the last run; with an empty memo, the plan asked for is the last run's.
    QCOMPARE(w->PlanoSql->toPlainText(), QStringLiteral("PLAN SORT (MUITOS NATURAL)"));
    w->StatusSql->bplano->click();
    QVERIFY(!w->PlanoSql->isVisible());
    w->StatusSql->bplano->click();
    QVERIFY(w->PlanoSql->isVisible());
    QCOMPARE(w->PlanoSql->toPlainText(), QStringLiteral("PLAN SORT (MUITOS NATURAL)"));
    // A plan asked for meanwhile leaves the status line telling of the run.
    const QString ran = status(w);
    type(w, QStringLiteral("select N from MUITOS where N > 3"));
    w->StatusSql->bplano->click();
    waitForRun(w);
    QCOMPARE(w->PlanoSql->toPlainText(), QStringLiteral("PLAN (MUITOS NATURAL)"));
    QCOMPARE(status(w), ran);
    QCOMPARE(rows(w), QStringLiteral("Linhas lidas: 256 (há mais)"));
    w->MemoSql->setPlainText(QString());
    w->Ds->fetchMore({}); // as the grid asks when scrolled to its end
    QCOMPARE(rows(w), QStringLiteral("Linhas lidas: 512 (há mais)"));
    w->IBSet->fetchAll();
    QCOMPARE(rows(w), QStringLiteral("Linhas lidas: 1000"));

    run(w, QStringLiteral("update CLIENTE set SALDO = SALDO + 1"));
    QCOMPARE(rows(w), QStringLiteral("Linhas afetadas: 2"));
    run(w, QStringLiteral("create table OUTRA (X integer)"));
    QCOMPARE(rows(w), QString());
    QCOMPARE(reportedErrors(), QStringList());
    // A failed run takes the plan of an earlier statement away.
    QVERIFY(w->PlanoSql->isVisible());
    run(w, QStringLiteral("select NADA from MUITOS"));
    QCOMPARE(reportedErrors().size(), 1);
    QVERIFY(!w->PlanoSql->isVisible());
}

void TestSqlWorkbench::completion() {
    TFSql* w = openWindow();
    // Table names, read in the background when first asked for.
    type(w, QStringLiteral("select * from CLI"));
    QTest::keyClick(w->MemoSql, Qt::Key_Space, Qt::ControlModifier);
    QTRY_VERIFY(w->MemoSql->isListActive());
    QTest::keyClick(w->MemoSql, Qt::Key_Return);
    QCOMPARE(w->memoText(), QStringLiteral("select * from CLIENTE"));
    // Columns of the table an alias stands for.
    type(w, QStringLiteral(" C where C.SA"));
    QTest::keyClick(w->MemoSql, Qt::Key_Space, Qt::ControlModifier);
    QTRY_VERIFY(w->MemoSql->isListActive());
    QTest::keyClick(w->MemoSql, Qt::Key_Return);
    QCOMPARE(w->memoText(), QStringLiteral("select * from CLIENTE C where C.SALDO"));
    // A keyword typed whole and Enter: a new line, not the list's choice.
    w->MemoSql->setPlainText(QString());
    type(w, QStringLiteral("select"));
    w->MemoSql->autoCompleteFromAPIs();
    QVERIFY(w->MemoSql->isListActive());
    QTest::keyClick(w->MemoSql, Qt::Key_Return);
    QCOMPARE(w->memoText(), QStringLiteral("select\n"));
}

void TestSqlWorkbench::nulRefusedBeforeTheServer_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Executa") << QStringLiteral("statement");
    QTest::newRow("Executar script (Ctrl+Shift+Enter)") << QStringLiteral("script");
    QTest::newRow("Plano") << QStringLiteral("plan");
}

void TestSqlWorkbench::nulRefusedBeforeTheServer() {
    QFETCH(QString, how);
    // A script file with a NUL in it, loaded as a user loads one.
    const QByteArray bytes = QByteArray("-- apaga um\r\ndelete from CLIENTE") + '\0' + " where ID = 1";
    const QString path = m_appDir->filePath(QStringLiteral("apaga.New"));
    writeBytes(path, bytes);
    TFSql* w = openWindow();
    prompts().fileAnswers = {path};
    w->Bloa->click();
    const QString loaded = w->memoText();
    QCOMPARE(loaded.size(), bytes.size() - 1); // CR LF is one line break
    QCOMPARE(loaded.indexOf(QChar(0)), 31);

    prompts().clear();
    if (how == QStringLiteral("statement"))
        w->bexe->click();
    else if (how == QStringLiteral("script"))
        QTest::keyClick(w->MemoSql, Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier);
    else
        w->StatusSql->bplano->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w->running(), 120000);
    const QList<MessageRequest> asked = prompts().messages;
    const int marked = w->MemoSql->markedErrorLine();
    const QString memo = w->memoText();
    const QStringList history = CommandHistory;
    const bool commitOffered = w->bgra->isEnabled();
    const bool planShown = w->PlanoSql->isVisible();

    // Nothing ran: both rows are there, in this transaction too.
    prompts().clear();
    run(w, QStringLiteral("select count(*) from CLIENTE"));
    QCOMPARE(reportedErrors(), QStringList());
    QCOMPARE(cell(w, 0, 0), QStringLiteral("2"));

    QCOMPARE(asked.size(), 1);
    const MessageRequest m = asked.first();
    QCOMPARE(m.text,
             QStringLiteral("O comando SQL contém um caractere nulo (código 0) na linha 2, coluna 20; "
                            "nada foi enviado ao servidor."));
    QCOMPARE(m.caption, QStringLiteral("Erro"));
    QCOMPARE(m.icon, MsgIcon::Error);
    QCOMPARE(m.buttons, int(MbOk));
    QCOMPARE(marked, 1);
    QCOMPARE(memo, loaded);
    QCOMPARE(history, QStringList{QString()});
    QVERIFY(!commitOffered);
    QVERIFY(!planShown);
}

void TestSqlWorkbench::scriptKeyFollowsTheButton() {
    TFSql* w = openWindow();
    startLong(w);
    QVERIFY(!w->StatusSql->bscript->isEnabled());
    // The key, pressed in the editor or in the grid while the statement runs, does what the
    // button would: nothing.
    QTest::keyClick(w->MemoSql, Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier);
    w->Grade->setFocus();
    QTest::keyClick(w->Grade, Qt::Key_Enter, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(reportedErrors(), QStringList());
    QVERIFY(w->running());
    QVERIFY(status(w).startsWith(QStringLiteral("Executando... ")));

    w->StatusSql->bcancelar->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w->running(), 120000);
    QCOMPARE(status(w), QStringLiteral("Comando cancelado"));
    QCOMPARE(reportedErrors(), QStringList());
    QCOMPARE(w->memoText(), kLong);
    QCOMPARE(CommandHistory, QStringList{QString()});

    // Once it is offered again, the key runs the memo as a script.
    w->MemoSql->setPlainText(QStringLiteral("select count(*) from CLIENTE"));
    QTest::keyClick(w->MemoSql, Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier);
    waitForRun(w);
    QCOMPARE(reportedErrors(), QStringList());
    QVERIFY2(status(w).startsWith(QStringLiteral("Script: 1 comando(s) em ")), qPrintable(status(w)));
    QCOMPARE(cell(w, 0, 0), QStringLiteral("2"));
}

QTEST_MAIN(TestSqlWorkbench)
#include "test_sqlworkbench.moc"
