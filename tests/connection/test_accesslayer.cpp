#include "connection/database.h"
#include "connection/fberror.h"
#include "connection/statement.h"
#include "connection/transaction.h"
#include "support/fbfixture.h"
#include "support/scriptedprompts.h"
#include <QtTest>

class TestAccessLayer : public QObject {
    Q_OBJECT
private slots:
    void connectSelectAndCommit();
    void networkLogin_data();
    void networkLogin();
};

namespace {
struct Conn {
    Database db;
    Transaction tr;
    Conn() {
        db.params() = QStringList{QStringLiteral("user_name=SYSDBA")};
        db.setDefaultTransaction(&tr);
        tr.setDefaultDatabase(&db);
        tr.params() = QStringList{QStringLiteral("read_committed"), QStringLiteral("rec_version"),
                                  QStringLiteral("nowait")};
    }
};
} // namespace

void TestAccessLayer::connectSelectAndCommit() {
    TempDatabase tdb({QStringLiteral("create table T (ID integer not null primary key, NOME varchar(20))"),
                      QStringLiteral("insert into T values (1, 'Ação, coração, pão')")});
    ScriptedPrompts prompts;
    prompts.defaultLogin = ScriptedPrompts::Login{};
    Conn c;
    c.db.setDatabaseName(tdb.path());
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
    Conn c;
    c.db.setDatabaseName(testServerHost() + ':' + tdb.path());
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

QTEST_GUILESS_MAIN(TestAccessLayer)
#include "test_accesslayer.moc"
