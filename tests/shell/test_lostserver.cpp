// The server goes away while a database is open over TCP/IP (killed, as a crash or a power cut
// would end it). Every action that needs the database reports the failure in the error box and the
// program goes on; "&Fecha Banco" closes the dead connection, saying that nothing pending could be
// committed; once the server is back, connecting again works and what was committed is there.
// The server is one of the test's own, on another port, so the suite's server is never touched.
#include "browse/ui/fbrowse.h"
#include "browse/ui/tabelas.h"
#include "connection/database.h"
#include "connection/dm.h"
#include "connection/statement.h"
#include "connection/ui/abrebanco.h"
#include "platform/errorreport.h"
#include "platform/ui/icons.h"
#include "shell/ui/principal.h"
#include "sql/ui/fsql.h"
#include "support/files.h"
#include "support/ownserver.h"
#include "support/scriptedprompts.h"
#include "support/testconnection.h"
#include <QAction>
#include <QLineEdit>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>
#include <functional>

class TestLostServer : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initResources(); }
    void init() {
        m_dir = std::make_unique<TempAppDirectory>();
        CurrentDatabase.clear();
    }
    void cleanup() { m_dir.reset(); }

    void actionsAfterTheServerDies();
    void leavingAfterTheServerDies();

private:
    void connect(TPrincipal& win, const OwnServer& server);
    TFSql* sqlWindow(TPrincipal& win);
    void run(TFSql* sql, const QString& statement);
    QStringList ids(const OwnServer& server);

    std::unique_ptr<TempAppDirectory> m_dir;
};

namespace {
const QStringList kSchema{
    QStringLiteral("create table T (ID integer not null primary key, NOME varchar(20))"),
    QStringLiteral("create table U (ID integer)"), QStringLiteral("insert into T values (1, 'um')"),
    QStringLiteral("insert into T values (2, 'dois')")};
const QString kFile = QStringLiteral("perdido.fdb");
} // namespace

void TestLostServer::connect(TPrincipal& win, const OwnServer& server) {
    win.AbreBanco1->trigger();
    auto* d = qobject_cast<TAbreBanco*>(win.abreBancoWindow());
    QVERIFY(d);
    d->Servidor->setText(server.host());
    d->setProtocolIndex(0);
    d->Banco->setText(QDir(server.dir()).filePath(kFile));
    d->BuildConnectionString();
    d->Abre->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(TdM::instance()->Banco->connected());
}

TFSql* TestLostServer::sqlWindow(TPrincipal& win) {
    win.ComandosSQL1->trigger();
    const QList<TFSql*> all = win.findChildren<TFSql*>();
    return all.isEmpty() ? nullptr : all.last();
}

void TestLostServer::run(TFSql* sql, const QString& statement) {
    sql->MemoSql->setPlainText(statement);
    sql->bexe->click();
    QTRY_VERIFY_WITH_TIMEOUT(!sql->running(), 20000); // the server answers in the background
}

// The IDs in T, read through a connection of the test's own.
QStringList TestLostServer::ids(const OwnServer& server) {
    TestConnection c(server.connectionString(kFile));
    c.db.params() << QStringLiteral("password=") + server.password();
    c.open();
    QStringList out;
    {
        Statement st(&c.db, &c.tr);
        st.prepare(QStringLiteral("select ID from T order by ID"));
        st.execute();
        while (st.fetch())
            out << st.out().text(0);
    }
    c.tr.commit();
    return out;
}

void TestLostServer::actionsAfterTheServerDies() {
    OwnServer server;
    server.createDatabase(kFile, kSchema);
    ScriptedPrompts prompts;
    prompts.defaultLogin = ScriptedPrompts::Login{true, QStringLiteral("SYSDBA"), server.password()};
    TdM dm;
    TPrincipal win;
    win.show();
    connect(win, server);

    // Two browse windows on T: the first committed (its rows closed, "reopen" offered), the
    // second with an edit in progress; an SQL window with one insert committed and one pending.
    win.Tabelas1->trigger();
    auto* list = win.findChild<TTabelas*>();
    QVERIFY(list);
    list->SG->setCurrentCell(0, 0); // T
    list->SGDblClick();
    QCOMPARE(list->browseWindows().size(), 1);
    TFBrowse* committed = list->browseWindows().first();
    committed->SCommit->click();
    QVERIFY(committed->SAbre->isEnabled());
    list->SGDblClick();
    TFBrowse* editing = list->browseWindows().last();
    TFSql* sql = sqlWindow(win);
    QVERIFY(sql);
    run(sql, QStringLiteral("insert into T values (3, 'tres')"));
    sql->bgra->click();
    run(sql, QStringLiteral("insert into T values (4, 'quatro')"));
    editing->SEdita->click();
    editing->IBDataSet1->fieldByName(QStringLiteral("NOME"))->setValue(QStringLiteral("mudado"));
    QVERIFY(prompts.messages.isEmpty());

    server.kill();

    const struct {
        const char* what;
        std::function<void()> act;
    } actions[] = {
        {"post", [&] { editing->SGrava->click(); }},
        {"commit",
         [&] {
             editing->SCancela->click(); // the refused edit is given up first: nothing to ask the server
             editing->SCommit->click();
         }},
        {"refresh", [&] { committed->SAbre->click(); }},
        {"open a table",
         [&] {
             list->SG->setCurrentCell(1, 0); // U
             list->SGDblClick();
         }},
        {"run a statement", [&] { run(sql, QStringLiteral("select * from T")); }},
    };
    for (const auto& a : actions) {
        const qsizetype before = prompts.messages.size();
        a.act();
        QVERIFY2(prompts.messages.size() == before + 1, a.what);
        const MessageRequest& m = prompts.messages.last();
        QVERIFY2(!m.text.isEmpty(), a.what);
        QCOMPARE(m.caption, applicationTitle());
        QCOMPARE(m.icon, MsgIcon::Error);
        qInfo("%s: %s", a.what, qPrintable(m.text));
    }
    QVERIFY(editing->SAbre->isEnabled()); // after the refused commit the table may be reopened

    // "&Fecha Banco": the connection goes, and the user is told that nothing pending was committed.
    prompts.messages.clear();
    prompts.messageAnswers.append(MbYes);
    win.FechaBanco1->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(prompts.messages.size(), 2);
    QVERIFY2(
        prompts.messages[1].text.startsWith(QStringLiteral("A conexão com o banco de dados foi perdida")),
        qPrintable(prompts.messages[1].text));
    QCOMPARE(prompts.messages[1].icon, MsgIcon::Error);
    QVERIFY(!dm.Banco->connected());
    QVERIFY(!databaseIsOpen());
    QVERIFY(win.ClientArea->subWindowList().isEmpty());

    // The server is back: connecting again works, and what was committed is there.
    server.start();
    prompts.messages.clear();
    connect(win, server);
    QVERIFY(prompts.messages.isEmpty());
    TFSql* again = sqlWindow(win);
    run(again, QStringLiteral("select count(*) from T"));
    QVERIFY(prompts.messages.isEmpty());
    QCOMPARE(ids(server), (QStringList{"1", "2", "3"}));
}

// Leaving the program while the connection is dead neither hangs nor crashes.
void TestLostServer::leavingAfterTheServerDies() {
    OwnServer server;
    server.createDatabase(kFile, kSchema);
    ScriptedPrompts prompts;
    prompts.defaultLogin = ScriptedPrompts::Login{true, QStringLiteral("SYSDBA"), server.password()};
    auto dm = std::make_unique<TdM>();
    auto win = std::make_unique<TPrincipal>();
    win->show();
    connect(*win, server);
    TFSql* sql = sqlWindow(*win);
    run(sql, QStringLiteral("insert into T values (3, 'tres')"));
    server.kill();

    prompts.messageAnswers.append(MbYes);
    QVERIFY(win->close());
    win.reset();
    dm.reset();
    server.start();
    QCOMPARE(ids(server), (QStringList{"1", "2"}));
}

QTEST_MAIN(TestLostServer)
#include "test_lostserver.moc"
