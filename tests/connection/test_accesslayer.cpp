// The connection and the transaction: login, the failure messages, what commit and rollback do to
// the open objects of every window, and disconnecting with pending work.
#include "connection/database.h"
#include "connection/fberror.h"
#include "connection/statement.h"
#include "connection/tableobject.h"
#include "connection/transaction.h"
#include "support/errortext.h"
#include "support/fbfixture.h"
#include "support/scriptedprompts.h"
#include "support/testconnection.h"
#include <QtTest>

class TestAccessLayer : public QObject {
    Q_OBJECT
private slots:
    void connectSelectAndCommit();
    void networkLogin_data();
    void networkLogin();
    void serverRefusesConnection_data();
    void serverRefusesConnection();
    void failureMessages_data();
    void failureMessages();
    void loginCancelledLeavesParameters();
    void secondLoginProposesFirstName();
    void endOfTransactionInEveryWindow_data();
    void endOfTransactionInEveryWindow();
    void commitAfterAnotherWindowCommitted();
    void disconnectClosesAndCommits();
    void failedCommitKeepsConnection();
    void destroyedInTransactionCommits();
    void statementWithNulRefused();
};

namespace {
// Stands for a dataset or query of some window.
struct WindowObject : AttachedObject {
    Database* db;
    Transaction* tr;
    bool open = true;
    int closes = 0;
    WindowObject(Database* d, Transaction* t) : db(d), tr(t) {
        db->attach(this);
        tr->attach(this);
    }
    ~WindowObject() override {
        tr->detach(this);
        db->detach(this);
    }
    void closeAttached() override {
        open = false;
        ++closes;
    }
};

void exec(TestConnection& c, const QString& sql) {
    Statement st(&c.db, &c.tr);
    st.prepare(sql);
    st.execute();
    if (st.returnsRows())
        while (st.fetch()) {
        }
}

} // namespace

void TestAccessLayer::connectSelectAndCommit() {
    TempDatabase tdb({QStringLiteral("create table T (ID integer not null primary key, NOME varchar(20))"),
                      QStringLiteral("insert into T values (1, 'Ação, coração, pão')")});
    ScriptedPrompts prompts;
    prompts.defaultLogin = ScriptedPrompts::Login{};
    TestConnection c(tdb.path(), true);
    c.db.setConnected(true);
    QVERIFY(c.db.connected());
    QCOMPARE(c.db.sqlDialect(), 3);
    c.tr.start();
    {
        Statement st(&c.db, &c.tr);
        st.prepare(QStringLiteral("select NOME from T"));
        QVERIFY(st.isSelect());
        st.execute();
        QVERIFY(st.fetch());
        QCOMPARE(st.out().text(0), QStringLiteral("Ação, coração, pão"));
        QVERIFY(!st.fetch());
    }
    {
        Statement st(&c.db, &c.tr);
        st.prepare(QStringLiteral("insert into T values (?, ?)"));
        st.in().setValue(0, 2);
        st.in().setValue(1, QStringLiteral("dois"));
        st.execute();
        QCOMPARE(st.rowsAffected(), 1);
    }
    c.db.setConnected(false); // the default action commits
    QCOMPARE(tdb.scalar(QStringLiteral("select count(*) from T")), QStringLiteral("2"));
}

void TestAccessLayer::networkLogin_data() {
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("ok");
    QTest::newRow("right password") << testServerPassword() << true;
    QTest::newRow("wrong password") << QStringLiteral("wrong") << false;
}

void TestAccessLayer::networkLogin() {
    QFETCH(QString, password);
    QFETCH(bool, ok);
    TempDatabase tdb({QStringLiteral("create table T (ID integer)")});
    ScriptedPrompts prompts;
    prompts.loginAnswers.append({true, QStringLiteral("SYSDBA"), password});
    TestConnection c(testServerHost() + ':' + tdb.path(), true);
    if (ok) {
        c.db.setConnected(true);
        QVERIFY(c.db.connected());
        c.db.setConnected(false);
    } else {
        try {
            c.db.setConnected(true);
            QFAIL("login with a wrong password succeeded");
        } catch (const DbError& e) {
            QVERIFY2(e.message().startsWith(QStringLiteral("Your user name and password are not defined")),
                     qPrintable(e.message()));
        }
        QVERIFY(!c.db.connected());
    }
}

void TestAccessLayer::serverRefusesConnection_data() {
    QTest::addColumn<QString>("where"); // %1: path of an existing database
    QTest::addColumn<QString>("messageStart");
    QTest::newRow("no such file") << "/nonexistent/dir/x.fdb"
                                  << "I/O error during \"open\" operation for file";
    QTest::newRow("server unreachable") << "127.0.0.1/3059:%1"
                                        << "Unable to complete network request to host";
}

void TestAccessLayer::serverRefusesConnection() {
    QFETCH(QString, where);
    QFETCH(QString, messageStart);
    TempDatabase tdb;
    TestConnection c(where.contains(QLatin1String("%1")) ? where.arg(tdb.path()) : where);
    try {
        c.db.setConnected(true);
        QFAIL("connected");
    } catch (const DbError& e) {
        // The server's own lines, joined by CR LF, without a final ".".
        QVERIFY2(e.message().startsWith(messageStart), qPrintable(e.message()));
        QVERIFY(!e.message().endsWith('.'));
        QVERIFY(e.engineCode() != 0);
    }
    QVERIFY(!c.db.connected());
    QCOMPARE(c.db.sqlDialect(), 3);
}

void TestAccessLayer::failureMessages_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("connected"); // connected (transaction inactive) before the action
    QTest::addColumn<QString>("expected");
    const QString notActive = QStringLiteral("Transaction is not active");
    QTest::newRow("connect without a database name")
        << "connect unnamed" << false << "Database name is missing";
    QTest::newRow("start while disconnected")
        << "start" << false << "Cannot perform operation -- DB is not open";
    QTest::newRow("activate while disconnected")
        << "activate" << false << "Cannot perform operation -- DB is not open";
    QTest::newRow("start while active") << "start twice" << true << "Transaction is active";
    QTest::newRow("commit") << "commit" << true << notActive;
    QTest::newRow("rollback") << "rollback" << true << notActive;
    QTest::newRow("commit retaining") << "commit retaining" << true << notActive;
    QTest::newRow("rollback retaining") << "rollback retaining" << true << notActive;
    QTest::newRow("commit while disconnected") << "commit" << false << notActive;
    QTest::newRow("other database while connected")
        << "rename" << true << "Cannot perform operation -- DB is currently open";
}

void TestAccessLayer::failureMessages() {
    QFETCH(QString, action);
    QFETCH(bool, connected);
    QFETCH(QString, expected);
    TempDatabase tdb;
    TestConnection c(tdb.path());
    if (connected) c.db.setConnected(true);
    const QString got = errorText([&] {
        if (action == QLatin1String("connect unnamed")) {
            TestConnection unnamed;
            unnamed.db.setConnected(true);
        } else if (action == QLatin1String("start")) {
            c.tr.start();
        } else if (action == QLatin1String("activate")) {
            c.tr.setActive(true);
        } else if (action == QLatin1String("start twice")) {
            c.tr.start();
            c.tr.start();
        } else if (action == QLatin1String("commit")) {
            c.tr.commit();
        } else if (action == QLatin1String("rollback")) {
            c.tr.rollback();
        } else if (action == QLatin1String("commit retaining")) {
            c.tr.commitRetaining();
        } else if (action == QLatin1String("rollback retaining")) {
            c.tr.rollbackRetaining();
        } else if (action == QLatin1String("rename")) {
            c.db.setDatabaseName(tdb.path()); // the same name: nothing
            c.db.setDatabaseName(tdb.path() + QStringLiteral("2"));
        }
    });
    QCOMPARE(got, expected);
    // Nothing changed but what the action may leave: the connection as before, the name kept.
    QCOMPARE(c.db.connected(), connected);
    QCOMPARE(c.db.databaseName(), tdb.path());
    QCOMPARE(c.tr.inTransaction(), action == QLatin1String("start twice"));
}

void TestAccessLayer::loginCancelledLeavesParameters() {
    TempDatabase tdb;
    ScriptedPrompts prompts;
    prompts.loginAnswers.append({false, QStringLiteral("OUTRO"), QStringLiteral("x")});
    TestConnection c(tdb.path(), true);
    c.db.params().append(QStringLiteral("lc_messages=x"));
    const QStringList before = c.db.params();
    QCOMPARE(errorText([&] { c.db.setConnected(true); }),
             QStringLiteral("Operation cancelled at user's request"));
    QVERIFY(!c.db.connected());
    QCOMPARE(c.db.params(), before);
    QCOMPARE(prompts.logins.size(), 1);
    QCOMPARE(prompts.logins[0].databaseName, tdb.path());
    QCOMPARE(prompts.logins[0].userName, QStringLiteral("SYSDBA"));
}

void TestAccessLayer::secondLoginProposesFirstName() {
    TempDatabase tdb;
    ScriptedPrompts prompts;
    prompts.loginAnswers.append({true, QStringLiteral("MARIA"), QStringLiteral("segredo")});
    prompts.loginAnswers.append({true, QStringLiteral("SYSDBA"), QString()});
    TestConnection c(tdb.path(), true);
    c.db.setConnected(true);
    c.db.setConnected(false);
    // The typed name is remembered; the password never enters the parameters.
    QCOMPARE(c.db.params(), QStringList{QStringLiteral("user_name=MARIA")});
    c.db.setConnected(true);
    QCOMPARE(prompts.logins.size(), 2);
    QCOMPARE(prompts.logins[0].userName, QStringLiteral("SYSDBA"));
    QCOMPARE(prompts.logins[1].userName, QStringLiteral("MARIA"));
    QCOMPARE(c.db.params(), QStringList{QStringLiteral("user_name=SYSDBA")});
}

void TestAccessLayer::endOfTransactionInEveryWindow_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<bool>("keepsOpen");
    QTest::addColumn<QString>("rowsAfter"); // rows of T seen from another connection
    QTest::newRow("commit") << "commit" << false << "1";
    QTest::newRow("rollback") << "rollback" << false << "0";
    QTest::newRow("commit retaining") << "commit retaining" << true << "1";
    QTest::newRow("rollback retaining") << "rollback retaining" << true << "0";
}

void TestAccessLayer::endOfTransactionInEveryWindow() {
    QFETCH(QString, operation);
    QFETCH(bool, keepsOpen);
    QFETCH(QString, rowsAfter);
    TempDatabase tdb({QStringLiteral("create table T (ID integer not null primary key)")});
    TestConnection c(tdb.path());
    c.open();
    WindowObject browse(&c.db, &c.tr), sqlWindow(&c.db, &c.tr);
    TableObject table;
    table.setDatabase(&c.db);
    table.setTransaction(&c.tr);
    table.setTableName(QStringLiteral("T"));
    table.open();
    exec(c, QStringLiteral("insert into T values (1)"));

    if (operation == QLatin1String("commit"))
        c.tr.commit();
    else if (operation == QLatin1String("rollback"))
        c.tr.rollback();
    else if (operation == QLatin1String("commit retaining"))
        c.tr.commitRetaining();
    else
        c.tr.rollbackRetaining();

    QCOMPARE(browse.open, keepsOpen);
    QCOMPARE(sqlWindow.open, keepsOpen);
    QCOMPARE(table.active(), keepsOpen);
    QCOMPARE(c.tr.inTransaction(), keepsOpen);
    QCOMPARE(tdb.scalar(QStringLiteral("select count(*) from T")), rowsAfter);
}

void TestAccessLayer::commitAfterAnotherWindowCommitted() {
    TempDatabase tdb;
    TestConnection c(tdb.path());
    c.open();
    WindowObject first(&c.db, &c.tr), second(&c.db, &c.tr);
    c.tr.commit(); // from the first window
    QCOMPARE(first.closes, 1);
    QCOMPARE(second.closes, 1);
    QCOMPARE(errorText([&] { c.tr.commit(); }), QStringLiteral("Transaction is not active")); // the second
    QCOMPARE(second.closes, 1);
}

void TestAccessLayer::disconnectClosesAndCommits() {
    TempDatabase tdb({QStringLiteral("create table T (ID integer)")});
    TestConnection c(tdb.path());
    c.open();
    WindowObject window(&c.db, &c.tr);
    exec(c, QStringLiteral("insert into T values (1)"));
    c.db.setConnected(false);
    QVERIFY(!window.open);
    QVERIFY(!c.tr.inTransaction());
    QCOMPARE(c.db.databaseName(), tdb.path()); // the name stays set
    QCOMPARE(tdb.scalar(QStringLiteral("select count(*) from T")), QStringLiteral("1"));
    c.db.setConnected(false); // nothing when not connected
}

void TestAccessLayer::failedCommitKeepsConnection() {
    // A commit trigger that refuses while the session says so.
    TempDatabase tdb(
        {QStringLiteral("create table T (ID integer)"), QStringLiteral("create exception RECUSA 'recusado'"),
         QStringLiteral("create trigger NO_COMMIT on transaction commit as begin "
                        "if (rdb$get_context('USER_SESSION', 'RECUSAR') = '1') then exception RECUSA; end")});
    TestConnection c(tdb.path());
    c.open();
    exec(c, QStringLiteral("insert into T values (1)"));
    exec(c, QStringLiteral("select rdb$set_context('USER_SESSION', 'RECUSAR', '1') from rdb$database"));
    const QString refused = errorText([&] { c.db.setConnected(false); });
    QVERIFY2(refused.contains(QStringLiteral("recusado")), qPrintable(refused));
    // The work is still pending in the open connection, not silently lost.
    QVERIFY(c.db.connected());
    QVERIFY(c.tr.inTransaction());
    exec(c, QStringLiteral("select rdb$set_context('USER_SESSION', 'RECUSAR', null) from rdb$database"));
    c.db.setConnected(false);
    QVERIFY(!c.db.connected());
    QCOMPARE(tdb.scalar(QStringLiteral("select count(*) from T")), QStringLiteral("1"));

    // At the end of the program nobody can be asked: the work is undone and the attachment released.
    {
        TestConnection ending(tdb.path());
        ending.open();
        exec(ending, QStringLiteral("insert into T values (2)"));
        exec(ending,
             QStringLiteral("select rdb$set_context('USER_SESSION', 'RECUSAR', '1') from rdb$database"));
    }
    QCOMPARE(tdb.scalar(QStringLiteral("select count(*) from T")), QStringLiteral("1"));
    QCOMPARE(tdb.scalar(QStringLiteral("select count(*) from mon$attachments where mon$system_flag = 0 and "
                                       "mon$attachment_id <> current_connection")),
             QStringLiteral("0"));
}

void TestAccessLayer::destroyedInTransactionCommits() {
    TempDatabase tdb({QStringLiteral("create table T (ID integer)")});
    {
        TestConnection c(tdb.path());
        c.open();
        exec(c, QStringLiteral("insert into T values (1)"));
    } // the program ends with the connection open
    QCOMPARE(tdb.scalar(QStringLiteral("select count(*) from T")), QStringLiteral("1"));
}

void TestAccessLayer::statementWithNulRefused() {
    TempDatabase tdb({QStringLiteral("create table T (ID integer)"),
                      QStringLiteral("insert into T values (1)"),
                      QStringLiteral("insert into T values (2)")});
    TestConnection c(tdb.path());
    c.open();
    // Cut at the NUL it would delete every row.
    const QString sql = QStringLiteral("delete from T") + QChar(0) + QStringLiteral(" where ID = 1");
    Statement st(&c.db, &c.tr);
    QCOMPARE(errorText([&] { st.prepare(sql); }), nulInStatementMessage());
    QVERIFY(!st.prepared());
    QCOMPARE(errorText([&] { executeImmediate(&c.db, &c.tr, sql); }), nulInStatementMessage());
    c.tr.commit();
    QCOMPARE(tdb.column(QStringLiteral("select ID from T order by ID")), (QStringList{"1", "2"}));
}

QTEST_GUILESS_MAIN(TestAccessLayer)
#include "test_accesslayer.moc"
