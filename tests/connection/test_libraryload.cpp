// The client library is loaded once per process, so this runs in its own executable and points
// the loader at libraries that are not the client library before anything loads.
#include "connection/database.h"
#include "connection/dm.h"
#include "connection/fbapi.h"
#include "connection/transaction.h"
#include "platform/apperror.h"
#include <QtTest>

class TestLibraryLoad : public QObject {
    Q_OBJECT
private slots:
    void missingLibrary_data();
    void missingLibrary();
    void loadsAfterwards();
};

void TestLibraryLoad::missingLibrary_data() {
    QTest::addColumn<QString>("library");
    QTest::newRow("no such file") << "libfbclient-missing.so.9";
    QTest::newRow("a library without the client functions") << "libz.so.1";
}

void TestLibraryLoad::missingLibrary() {
    QFETCH(QString, library);
    setClientLibraryName(library);
    const QString expected =
        QStringLiteral("InterBase library gds32.dll not found in the path. Please install "
                       "InterBase to use this functionality");
    try {
        TdM dm;
        QFAIL("the connection holder was created without its client library");
    } catch (const AppError& e) {
        QCOMPARE(e.message(), expected);
    }
    QVERIFY(TdM::instance() == nullptr);
    QVERIFY(!clientLibraryLoaded());
    try {
        Database db;
        QFAIL("a connection was created without its client library");
    } catch (const AppError& e) {
        QCOMPARE(e.message(), expected);
    }
}

void TestLibraryLoad::loadsAfterwards() {
    // A failed load leaves nothing behind: the right library still loads in the same process.
    setClientLibraryName(QStringLiteral("libfbclient.so.2"));
    TdM dm;
    QVERIFY(clientLibraryLoaded());
    QCOMPARE(TdM::instance(), &dm);
    QCOMPARE(dm.Banco->params(), QStringList{QStringLiteral("user_name=SYSDBA")});
    QVERIFY(dm.Banco->loginPrompt());
    QVERIFY(!dm.Banco->connected());
    QVERIFY(dm.Banco->databaseName().isEmpty());
    QCOMPARE(dm.Banco->defaultTransaction(), dm.Trans);
    QCOMPARE(dm.Trans->defaultDatabase(), dm.Banco);
    QCOMPARE(dm.Trans->params(), (QStringList{QStringLiteral("read_committed"), QStringLiteral("rec_version"),
                                              QStringLiteral("nowait")}));
    QCOMPARE(dm.Trans->defaultAction(), Transaction::ActionCommit);
    QVERIFY(!dm.Trans->inTransaction());
    QCOMPARE(dm.objectName(), QStringLiteral("dM"));
}

QTEST_GUILESS_MAIN(TestLibraryLoad)
#include "test_libraryload.moc"
