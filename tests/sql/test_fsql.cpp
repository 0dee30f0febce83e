#include "browse/ui/fbrowse.h"
#include "connection/dataset.h"
#include "connection/datasetmodel.h"
#include "connection/dm.h"
#include "connection/transaction.h"
#include "platform/appdir.h"
#include "platform/errorreport.h"
#include "platform/ui/mdihost.h"
#include "sql/commandhistory.h"
#include "sql/scriptfile.h"
#include "sql/ui/fsql.h"
#include "sql/ui/sqleditor.h"
#include "support/connectedholder.h"
#include "support/fbfixture.h"
#include "support/sqlwindows.h"
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QSplitter>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <Qsci/qscilexersql.h>
#include <QtTest>
#include <memory>

namespace {
const QString kBlank = QStringLiteral("Nenhum comando SQL, foi encontrado para ser executado....");

QStringList schema() {
    return {QStringLiteral("create table CLIENTE (ID integer not null primary key, NOME varchar(40), "
                           "SALDO numeric(12,2))"),
            QStringLiteral("insert into CLIENTE values (1, 'João', 10.5)"),
            QStringLiteral("insert into CLIENTE values (2, 'Conceição', 20)"),
            QStringLiteral("create table LOG (N integer)"),
            QStringLiteral("create procedure REGISTRA (V integer) returns (TOTAL integer) as begin "
                           "insert into LOG values (:V); select count(*) from LOG into :TOTAL; end")};
}
} // namespace

// The SQL command window on a real database, through the connection holder as the program uses it.
class TestFSql : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void opening();
    void inMainWindowArea();
    void blankMemo_data();
    void blankMemo();
    void runSelect();
    void updateSeenBeforeCommit_data();
    void updateSeenBeforeCommit();
    void failedRun_data();
    void failedRun();
    void equalRunsAndHistoryButtons();
    void secondWindowDiscardsHistory();
    void fullEndElsewhereClosesResult_data();
    void fullEndElsewhereClosesResult();
    void bgraCommitsBrowsePosts();
    void executeProcedureOnce();
    void lazyFetch();
    void closingLeavesWorkPending();
    void scriptRoundTrip_data();
    void scriptRoundTrip();
    void scriptAfterRunIsEmpty();
    void scriptRefused();
    void scriptLoadMixedBreaks();
    void scriptLoadCancelledOrMissing();

private:
    TFBrowse* openBrowse() {
        CurrentTable = QStringLiteral("CLIENTE");
        BrowseSelect = QStringLiteral("Select * From CLIENTE");
        auto* b = new TFBrowse;
        m_windows.add(b);
        b->show();
        return b;
    }
    TFSql* openWindow() { return m_windows.open(); }
    void run(TFSql* w, const QString& text) { SqlWindows::run(w, text); }
    void waitForGrid(TFSql* w) { SqlWindows::waitForGrid(w); }
    // Error boxes of the general error report since the last clear.
    QStringList reportedErrors() const { return prompts().errorReports(); }
    QString cell(TFSql* w, int row, int column) {
        if (row >= w->Ds->rowCount()) return QStringLiteral("<no row %1>").arg(row);
        return w->Ds->index(row, column).data().toString();
    }

    ScriptedPrompts& prompts() const { return m_holder->prompts; }

    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<QTemporaryDir> m_appDir;
    std::unique_ptr<ConnectedHolder> m_holder;
    TdM* m_dm = nullptr;
    SqlWindows m_windows;
};

void TestFSql::init() {
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    m_db = std::make_unique<TempDatabase>(schema());
    m_appDir = std::make_unique<QTemporaryDir>();
    setApplicationDirectory(m_appDir->path());
    m_holder = std::make_unique<ConnectedHolder>(m_db->path());
    m_dm = &m_holder->dm;
}

void TestFSql::cleanup() {
    m_windows.closeAll();
    m_dm = nullptr;
    m_holder.reset();
    setApplicationDirectory(QString());
    m_appDir.reset();
    m_db.reset();
}

void TestFSql::opening() {
    auto* w = new TFSql;
    m_windows.add(w);
    w->MemoSql->setPlainText(QStringLiteral("left over"));
    CommandHistory = QStringList{QString(), QStringLiteral("X")};
    HistoryPosition = 1;
    w->show();

    QCOMPARE(w->objectName(), QStringLiteral("FSql"));
    QCOMPARE(w->windowTitle(), QStringLiteral("Comandos Sql's"));
    QCOMPARE(w->size(), QSize(653, 391));
    QCOMPARE(w->MemoSql->toPlainText(), QString());
    QCOMPARE(CommandHistory, QStringList{QString()});
    QCOMPARE(HistoryPosition, 0);

    QCOMPARE(w->MemoSql->height(), 105);
    QCOMPARE(w->MemoSql->palette().color(QPalette::Base), QColor(187, 211, 225));
    // The highlighted text is drawn on that colour, in the window's face and height.
    for (int style : {QsciLexerSQL::Default, QsciLexerSQL::Keyword, QsciLexerSQL::Comment}) {
        const QsciLexer* lexer = w->MemoSql->lexer();
        QCOMPARE(lexer->paper(style), QColor(187, 211, 225));
        QCOMPARE(QFontInfo(lexer->font(style)).family(), QFontInfo(w->font()).family());
        // (the editor sizes its faces in points)
        QCOMPARE(qRound(lexer->font(style).pointSizeF() * w->MemoSql->logicalDpiY() / 72.0),
                 QFontInfo(w->font()).pixelSize());
    }
    QCOMPARE(w->Grade->palette().color(QPalette::Base), QColor(187, 211, 225));
    QCOMPARE(w->MemoSql->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(w->Splitter1->handleWidth(), 3);
    QCOMPARE(w->Splitter1->orientation(), Qt::Vertical);
    QVERIFY(w->Grade->verticalHeader()->isVisible());
    QCOMPARE(w->Grade->model(), w->Ds);
    QCOMPARE(w->Ds->dataSet(), w->IBSet);
    QCOMPARE(w->IBSet->transaction(), m_dm->Trans);
    QCOMPARE(w->IBSet->database(), m_dm->Banco);

    // Buttons left to right, separators between the groups.
    struct B {
        QString name;
        QString hint;
        bool enabled;
    };
    const QList<B> buttons{{"bexe", "Executa o Comando SQL", true},
                           {"bger", "Cria o SQL", true},
                           {"|", {}, false},
                           {"bgra", "Grava alteração no Banco", false},
                           {"bcan", "Desiste das Alterações", false},
                           {"|", {}, false},
                           {"ToolButton3", {}, true},
                           {"ToolButton5", {}, true},
                           {"Bsav", "Salva script SQL", true},
                           {"Bloa", "Carrega Script SQL", true},
                           {"|", {}, false},
                           {"bexcel", "Exporta para o Excel", true},
                           {"bprint", "Imprime", true},
                           {"|", {}, false},
                           {"bsai", "Fecha a tela", true}};
    const QList<QAction*> actions = w->ToolBar1->actions();
    QCOMPARE(actions.size(), buttons.size());
    for (int i = 0; i < buttons.size(); ++i) {
        const B& b = buttons[i];
        if (b.name == "|") {
            QVERIFY2(actions[i]->isSeparator(), qPrintable(QString::number(i)));
            continue;
        }
        auto* tb = qobject_cast<QToolButton*>(w->ToolBar1->widgetForAction(actions[i]));
        QVERIFY(tb);
        QCOMPARE(tb->objectName(), b.name);
        QCOMPARE(tb->toolTip(), b.hint);
        QCOMPARE(tb->isEnabled(), b.enabled);
        QCOMPARE(tb->size(), QSize(39, 38));
        QCOMPARE(tb->iconSize(), QSize(32, 32));
        QVERIFY(!tb->icon().isNull());
        QCOMPARE(tb->cursor().shape(), b.hint.isEmpty() ? Qt::ArrowCursor : Qt::PointingHandCursor);
    }
}

void TestFSql::inMainWindowArea() {
    QMdiArea area;
    area.resize(1100, 900);
    area.show();
    setMdiHost(&area);
    auto* w = new TFSql;
    QPointer<QMdiSubWindow> sub = showChild(w);
    QVERIFY(sub);
    QCOMPARE(sub->widget(), w);
    // The main window cascades after opening one: the window keeps its designed size.
    area.cascadeSubWindows();
    QCOMPARE(w->size(), QSize(653, 391));
    QCOMPARE(sub->windowTitle(), QStringLiteral("Comandos Sql's"));
    // "Fecha a tela" closes the child window with its frame.
    QPointer<TFSql> window = w;
    w->bsai->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(sub.isNull());
    QVERIFY(window.isNull());
    setMdiHost(nullptr);
}

void TestFSql::blankMemo_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("blanks and empty lines") << QStringLiteral("   \n\n\t  \n ");
}

void TestFSql::blankMemo() {
    QFETCH(QString, text);
    TFSql* w = openWindow();
    run(w, text);
    QCOMPARE(prompts().messages.size(), 1);
    const MessageRequest m = prompts().messages.first();
    QCOMPARE(m.text, kBlank);
    QCOMPARE(m.caption, QStringLiteral("Erro"));
    QCOMPARE(m.icon, MsgIcon::Error);
    QCOMPARE(m.buttons, int(MbOk));
    QCOMPARE(w->MemoSql->toPlainText(), text);
    QCOMPARE(CommandHistory, QStringList{QString()});
    QVERIFY(!w->IBSet->active());
    QVERIFY(!w->bgra->isEnabled());
    QVERIFY(!w->bcan->isEnabled());
}

void TestFSql::runSelect() {
    TFSql* w = openWindow();
    const QString text = QStringLiteral("\n  select ID, NOME, SALDO\n  from CLIENTE order by ID  \n\n");
    run(w, text);
    QCOMPARE(reportedErrors(), QStringList());
    QVERIFY(w->IBSet->active());
    QVERIFY(w->IBSet->hasCursor());
    // The statement as typed, lines untrimmed.
    QCOMPARE(w->IBSet->selectSQL().join('\n'), text);
    QCOMPARE(w->Ds->columnCount(), 3);
    QCOMPARE(w->Ds->headerData(0, Qt::Horizontal).toString(), QStringLiteral("ID"));
    QCOMPARE(w->Ds->headerData(1, Qt::Horizontal).toString(), QStringLiteral("NOME"));
    QCOMPARE(w->Ds->headerData(2, Qt::Horizontal).toString(), QStringLiteral("SALDO"));
    QCOMPARE(w->Ds->rowCount(), 2);
    QCOMPARE(cell(w, 1, 1), QStringLiteral("Conceição"));
    // Columns laid out for their declared widths: a 40-character name fits whole.
    const QFontMetrics fm(w->Grade->font());
    QVERIFY(w->Grade->columnWidth(1) >= fm.horizontalAdvance(QString(40, QChar('0'))));
    QVERIFY(w->Grade->columnWidth(0) < w->Grade->columnWidth(1));
    QCOMPARE(w->IBSet->value(1, 2).toDouble(), 20.0);
    // Read-only grid over a query without writing statements.
    QVERIFY(!(w->Ds->flags(w->Ds->index(0, 1)) & Qt::ItemIsEditable));
    QCOMPARE(w->Grade->editTriggers(), QAbstractItemView::NoEditTriggers);

    QVERIFY(w->bgra->isEnabled());
    QVERIFY(w->bcan->isEnabled());
    QCOMPARE(w->MemoSql->toPlainText(), QString());
    QCOMPARE(CommandHistory,
             (QStringList{QString(), QStringLiteral("select ID, NOME, SALDO\n  from CLIENTE order by ID")}));
    QCOMPARE(HistoryPosition, 1);
}

void TestFSql::updateSeenBeforeCommit_data() {
    QTest::addColumn<bool>("commit");
    QTest::newRow("bgra makes it permanent") << true;
    QTest::newRow("bcan undoes it") << false;
}

void TestFSql::updateSeenBeforeCommit() {
    QFETCH(bool, commit);
    TFSql* w1 = openWindow();
    TFSql* w2 = openWindow();
    run(w1, QStringLiteral("update CLIENTE set NOME = 'Ênio' where ID = 1"));
    QCOMPARE(reportedErrors(), QStringList());
    QVERIFY(w1->IBSet->active());
    QVERIFY(!w1->IBSet->hasCursor());
    QCOMPARE(w1->IBSet->rowsAffected(), 1);
    QCOMPARE(w1->Ds->columnCount(), 0);
    QCOMPARE(w1->Ds->rowCount(), 0);
    QVERIFY(w1->bgra->isEnabled() && w1->bcan->isEnabled());
    QCOMPARE(w1->MemoSql->toPlainText(), QString());

    // Another window of the same transaction sees it at once; another attachment does not.
    run(w2, QStringLiteral("select NOME from CLIENTE where ID = 1"));
    QCOMPARE(cell(w2, 0, 0), QStringLiteral("Ênio"));
    QCOMPARE(m_db->scalar(QStringLiteral("select NOME from CLIENTE where ID = 1")), QStringLiteral("João"));

    (commit ? w1->bgra : w1->bcan)->click();
    QCOMPARE(reportedErrors(), QStringList());
    QVERIFY(m_dm->Trans->inTransaction());
    QVERIFY(!w1->IBSet->active());
    QVERIFY(!w1->bgra->isEnabled() && !w1->bcan->isEnabled());
    // Retaining: the other window's result stays open.
    QVERIFY(w2->IBSet->active());
    QCOMPARE(cell(w2, 0, 0), QStringLiteral("Ênio"));

    const QString expected = commit ? QStringLiteral("Ênio") : QStringLiteral("João");
    QCOMPARE(m_db->scalar(QStringLiteral("select NOME from CLIENTE where ID = 1")), expected);
    run(w2, QStringLiteral("select NOME from CLIENTE where ID = 1"));
    QCOMPARE(cell(w2, 0, 0), expected);
}

void TestFSql::failedRun_data() {
    QTest::addColumn<bool>("resultBefore");
    QTest::newRow("from the state without result") << false;
    QTest::newRow("from a shown result") << true;
}

void TestFSql::failedRun() {
    QFETCH(bool, resultBefore);
    TFSql* w = openWindow();
    if (resultBefore) run(w, QStringLiteral("select * from CLIENTE"));
    const QStringList history = CommandHistory;
    const QString bad = QStringLiteral("selec NOME from CLIENTE");
    run(w, bad);
    const QStringList errors = reportedErrors();
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors.first().contains(QStringLiteral("Token unknown")), qPrintable(errors.first()));
    QCOMPARE(w->MemoSql->toPlainText(), bad);
    QCOMPARE(CommandHistory, history);
    QVERIFY(!w->IBSet->active());
    QCOMPARE(w->Ds->columnCount(), 0);
    QCOMPARE(w->bgra->isEnabled(), resultBefore);
    QCOMPARE(w->bcan->isEnabled(), resultBefore);

    // A server refusal at execution, not at preparation, behaves the same.
    prompts().clear();
    const QString dup = QStringLiteral("insert into CLIENTE values (1, 'outro', 0)");
    run(w, dup);
    QCOMPARE(reportedErrors().size(), 1);
    QCOMPARE(w->MemoSql->toPlainText(), dup);
    QCOMPARE(CommandHistory, history);
    QVERIFY(!w->IBSet->active());
}

void TestFSql::equalRunsAndHistoryButtons() {
    TFSql* w = openWindow();
    run(w, QStringLiteral("select 1 from RDB$DATABASE"));
    run(w, QStringLiteral("select 1 from RDB$DATABASE"));
    QCOMPARE(CommandHistory,
             (QStringList{QString(), "select 1 from RDB$DATABASE", "select 1 from RDB$DATABASE"}));
    QCOMPARE(HistoryPosition, 2);

    startCommandHistory();
    run(w, QStringLiteral("select 'A' from RDB$DATABASE"));
    run(w, QStringLiteral("select\n  'B' from RDB$DATABASE"));
    // Previous: A, the empty entry, then B (wrapped); next: the empty entry, then A.
    const QList<std::pair<QToolButton*, QString>> steps{{w->ToolButton3, "select 'A' from RDB$DATABASE"},
                                                        {w->ToolButton3, ""},
                                                        {w->ToolButton3, "select\n  'B' from RDB$DATABASE"},
                                                        {w->ToolButton5, ""},
                                                        {w->ToolButton5, "select 'A' from RDB$DATABASE"}};
    for (const auto& [button, entry] : steps) {
        button->click();
        QCOMPARE(w->MemoSql->toPlainText(), entry + '\n');
        QCOMPARE(w->MemoSql->caretPosition(), int(entry.size()));
    }
    // A shown entry runs like a typed one.
    w->bexe->click();
    waitForGrid(w);
    QCOMPARE(CommandHistory.size(), 4);
    QCOMPARE(CommandHistory.last(), QStringLiteral("select 'A' from RDB$DATABASE"));
}

void TestFSql::secondWindowDiscardsHistory() {
    TFSql* w1 = openWindow();
    run(w1, QStringLiteral("select 'A' from RDB$DATABASE"));
    run(w1, QStringLiteral("select 'B' from RDB$DATABASE"));
    TFSql* w2 = openWindow();
    QCOMPARE(CommandHistory, QStringList{QString()});
    w1->ToolButton3->click();
    QCOMPARE(w1->MemoSql->toPlainText(), QStringLiteral("\n"));
    w1->MemoSql->clear();
    run(w1, QStringLiteral("select 'C' from RDB$DATABASE"));
    w2->ToolButton3->click();
    QCOMPARE(w2->MemoSql->toPlainText(), QStringLiteral("\n"));
    w2->ToolButton3->click();
    QCOMPARE(w2->MemoSql->toPlainText(), QStringLiteral("select 'C' from RDB$DATABASE\n"));
}

void TestFSql::fullEndElsewhereClosesResult_data() {
    QTest::addColumn<bool>("commit");
    QTest::newRow("browse window's Grava") << true;
    QTest::newRow("browse window's Desfaz") << false;
}

void TestFSql::fullEndElsewhereClosesResult() {
    QFETCH(bool, commit);
    TFBrowse* b = openBrowse();
    TFSql* w = openWindow();
    run(w, QStringLiteral("update CLIENTE set NOME = 'Zé' where ID = 2"));
    run(w, QStringLiteral("select * from CLIENTE"));
    QCOMPARE(w->Ds->rowCount(), 2);
    (commit ? b->SCommit : b->SRollback)->click();
    QCOMPARE(reportedErrors(), QStringList());
    QVERIFY(!m_dm->Trans->inTransaction());
    QCOMPARE(m_db->scalar(QStringLiteral("select NOME from CLIENTE where ID = 2")),
             commit ? QStringLiteral("Zé") : QStringLiteral("Conceição"));
    // The grid empties; the transaction buttons keep their state.
    QVERIFY(!w->IBSet->active());
    QCOMPARE(w->Ds->rowCount(), 0);
    QCOMPARE(w->Ds->columnCount(), 0);
    QVERIFY(w->bgra->isEnabled() && w->bcan->isEnabled());

    // Nothing has started the transaction again: the retaining end is refused, buttons stay.
    (commit ? w->bgra : w->bcan)->click();
    QCOMPARE(reportedErrors(), QStringList{QStringLiteral("Transaction is not active.")});
    QVERIFY(w->bgra->isEnabled() && w->bcan->isEnabled());
    QVERIFY(!w->IBSet->active());

    // A run starts it again.
    run(w, QStringLiteral("select * from CLIENTE"));
    QVERIFY(m_dm->Trans->inTransaction());
    QCOMPARE(w->Ds->rowCount(), 2);
}

void TestFSql::bgraCommitsBrowsePosts() {
    TFBrowse* b = openBrowse();
    TFSql* w = openWindow();
    DataSet* rows = b->IBDataSet1;
    QVERIFY(rows->active());
    QVERIFY(rows->locate(QStringLiteral("ID"), 1, 0));
    rows->edit();
    rows->fieldByName(QStringLiteral("NOME"))->setValue(QStringLiteral("Joana"));
    rows->post();
    QCOMPARE(m_db->scalar(QStringLiteral("select NOME from CLIENTE where ID = 1")), QStringLiteral("João"));
    run(w, QStringLiteral("update CLIENTE set SALDO = 1 where ID = 2"));
    w->bgra->click();
    QCOMPARE(reportedErrors(), QStringList());
    QCOMPARE(m_db->scalar(QStringLiteral("select NOME from CLIENTE where ID = 1")), QStringLiteral("Joana"));
    // A retaining commit closes no query: the browse window's rows stay.
    QVERIFY(rows->active());
    QCOMPARE(rows->rowCount(), 2);
}

void TestFSql::executeProcedureOnce() {
    TFSql* w = openWindow();
    run(w, QStringLiteral("execute procedure REGISTRA(7)"));
    QCOMPARE(reportedErrors(), QStringList());
    QVERIFY(w->IBSet->active());
    QCOMPARE(w->Ds->columnCount(), 0);
    w->bgra->click();
    QCOMPARE(m_db->column(QStringLiteral("select N from LOG")), QStringList{QStringLiteral("7")});
}

void TestFSql::lazyFetch() {
    m_db->exec({QStringLiteral("create table MUITOS (N integer)"),
                QStringLiteral("execute block as declare i integer = 0; begin while (i < 5000) do begin "
                               "insert into MUITOS values (:i); i = i + 1; end end")});
    TFSql* w = openWindow();
    run(w, QStringLiteral("select N from MUITOS order by N"));
    QCoreApplication::processEvents();
    QVERIFY(w->IBSet->active());
    QVERIFY2(w->IBSet->rowCount() < 5000, qPrintable(QString::number(w->IBSet->rowCount())));
    QVERIFY(!w->IBSet->allFetched());
    QVERIFY(w->Ds->canFetchMore({}));
    const int first = w->Ds->rowCount();
    QVERIFY(first > 0);
    // Going down to the last row read, as a user does, reads on.
    w->Grade->setFocus();
    w->Grade->setCurrentIndex(w->Ds->index(first - 1, 0));
    QTest::keyClick(w->Grade, Qt::Key_Down);
    QTRY_VERIFY(w->Ds->rowCount() > first);
    QVERIFY(w->IBSet->rowCount() > first);
    const int second = w->Ds->rowCount();
    // And on, with the scroll bar dragged to its end.
    QScrollBar* bar = w->Grade->verticalScrollBar();
    QTRY_VERIFY(bar->value() < bar->maximum());
    bar->setValue(bar->maximum());
    QTRY_VERIFY(w->Ds->rowCount() > second);
    QCOMPARE(cell(w, 0, 0), QStringLiteral("0"));
    QVERIFY(!w->IBSet->allFetched()); // only as far as shown
}

void TestFSql::closingLeavesWorkPending() {
    TFSql* w1 = openWindow();
    TFSql* w2 = openWindow();
    run(w1, QStringLiteral("update CLIENTE set SALDO = 99 where ID = 2"));
    QPointer<TFSql> gone = w1;
    w1->bsai->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(gone.isNull());
    QVERIFY(m_dm->Trans->inTransaction());
    run(w2, QStringLiteral("select SALDO from CLIENTE where ID = 2"));
    QCOMPARE(w2->Ds->rowCount(), 1);
    QCOMPARE(w2->IBSet->value(0, 0).toDouble(), 99.0);
    QCOMPARE(m_db->scalar(QStringLiteral("select cast(SALDO as integer) from CLIENTE where ID = 2")),
             QStringLiteral("20"));
}

void TestFSql::scriptRoundTrip_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("accents over two lines")
        << QStringLiteral("select NOME from CLIENTE\nwhere NOME = 'Conceição'")
        << QByteArray("select NOME from CLIENTE\r\nwhere NOME = 'Concei\xe7\xe3o'");
    QTest::newRow("empty memo") << QString() << QByteArray();
    QTest::newRow("no-break space kept") << QStringLiteral("select 'a\u00a0b'")
                                         << QByteArray("select 'a\xa0"
                                                       "b'");
}

void TestFSql::scriptRoundTrip() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    TFSql* w = openWindow();
    w->MemoSql->setPlainText(text);
    const QString path = ScriptDirectory() + "/teste.New";
    prompts().fileAnswers << path;
    w->Bsav->click();
    QCOMPARE(reportedErrors(), QStringList());
    QCOMPARE(prompts().fileDialogs.last().title, QStringLiteral("Salva Script"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), bytes);
    QCOMPARE(w->memoText(), text); // saving leaves the memo alone

    w->MemoSql->setPlainText(QStringLiteral("something else"));
    prompts().fileAnswers << path;
    w->Bloa->click();
    QCOMPARE(prompts().fileDialogs.last().title, QStringLiteral("Abre Script"));
    QCOMPARE(w->memoText(), text);
    QCOMPARE(CommandHistory, QStringList{QString()}); // loading does not run
}

void TestFSql::scriptAfterRunIsEmpty() {
    TFSql* w = openWindow();
    run(w, QStringLiteral("select * from CLIENTE"));
    const QString path = ScriptDirectory() + "/depois.New";
    prompts().fileAnswers << path;
    w->Bsav->click();
    QCOMPARE(QFileInfo(path).size(), 0);
}

void TestFSql::scriptRefused() {
    TFSql* w = openWindow();
    const QString text = QStringLiteral("select '✓ feito' from RDB$DATABASE");
    w->MemoSql->setPlainText(text);
    const QString path = ScriptDirectory() + "/x.New";
    prompts().fileAnswers << path;
    w->Bsav->click();
    const QStringList errors = reportedErrors();
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors.first(),
             QStringLiteral("O texto contém caracteres que não podem ser gravados no arquivo \"%1\", "
                            "como \"✓\". Nada foi gravado.")
                 .arg(path));
    QVERIFY(!QFileInfo::exists(path));
    QCOMPARE(w->memoText(), text);
}

void TestFSql::scriptLoadMixedBreaks() {
    TFSql* w = openWindow();
    makeScriptDirectory();
    const QString path = ScriptDirectory() + "/mix.New";
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("select *\rfrom CLIENTE\nwhere ID = 1\r\norder by NOME");
    f.close();
    prompts().fileAnswers << path;
    w->Bloa->click();
    QCOMPARE(w->MemoSql->toPlainText(),
             QStringLiteral("select *\nfrom CLIENTE\nwhere ID = 1\norder by NOME"));
    QCOMPARE(w->MemoSql->lines(), 4);
    w->bexe->click();
    waitForGrid(w);
    QCOMPARE(w->Ds->rowCount(), 1);
}

void TestFSql::scriptLoadCancelledOrMissing() {
    TFSql* w = openWindow();
    w->MemoSql->setPlainText(QStringLiteral("keep me"));
    w->Bloa->click(); // cancelled
    QCOMPARE(w->MemoSql->toPlainText(), QStringLiteral("keep me"));
    QVERIFY(QFileInfo(ScriptDirectory()).isDir());
    prompts().fileAnswers << ScriptDirectory() + "/naoexiste.New";
    w->Bloa->click();
    QCOMPARE(reportedErrors().size(), 1);
    QVERIFY(reportedErrors().first().startsWith(QStringLiteral("Cannot open file")));
    QCOMPARE(w->MemoSql->toPlainText(), QStringLiteral("keep me"));
}

QTEST_MAIN(TestFSql)
#include "test_fsql.moc"
