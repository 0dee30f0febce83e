// Maintenance and properties through the service manager: shutdown in each mode and back online,
// a shutdown refused while the database is in use, validation findings of a damaged database,
// sweep, mend, every property changed and read back, and the program's own connection let go and
// taken again around an action that needs the database alone.
#include "admin/admintarget.h"
#include "admin/maintenance.h"
#include "admin/ownconnection.h"
#include "admin/serviceparams.h"
#include "admin/statistics.h"
#include "connection/database.h"
#include "connection/dm.h"
#include "connection/statement.h"
#include "connection/transaction.h"
#include "support/adminfixture.h"
#include "support/connectedholder.h"
#include "support/errortext.h"
#include "support/fbfixture.h"
#include "support/files.h"
#include "support/testconnection.h"
#include <QtTest>

class TestMaintenance : public QObject {
    Q_OBJECT
private slots:
    void shutdownThenOnline_data();
    void shutdownThenOnline();
    void shutdownRefusedWhileInUse();
    void validationFindings();
    void sweepMovesTheOldestTransaction();
    void mendRuns();
    void properties();
    void ownConnectionLetGoAndTakenAgain();
};

Q_DECLARE_METATYPE(ShutdownMode)

namespace {
AdminTarget target(const QString& connection, const QString& password = QString()) {
    return AdminTarget::of(connection, QStringLiteral("SYSDBA"), password);
}
AdminTarget viaServer(const QString& path) {
    return target(testServerHost() + ':' + path, testServerPassword());
}

// Runs one maintenance request as the windows do; returns the error text ("<no error>").
QString run(const AdminTarget& db, const std::function<ServiceParams()>& request, QStringList* lines = nullptr,
            bool stoppable = false) {
    QStringList out;
    const JobRun r = runJob([&](ServiceJob& job) {
        out = runMaintenance(job, db, request(), QStringLiteral("Não foi feito."), stoppable);
    });
    if (lines) *lines = out;
    return r.errorText();
}

HeaderPage header(const AdminTarget& db) {
    return readHeaderPage(db.serviceLogin(), db.path());
}

// Writes over the records of two data pages of table T, as a failing disk would.
void damagePages(const QString& path) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    const QByteArray all = f.readAll();
    const int pageSize = 8192;
    int damaged = 0;
    // Data pages (type 5) of the first user table (relation 128), past their header.
    for (int page = 0; (page + 1) * pageSize <= all.size() && damaged < 2; ++page) {
        const char* p = all.constData() + page * pageSize;
        const quint16 relation = static_cast<quint8>(p[20]) | (static_cast<quint8>(p[21]) << 8);
        if (p[0] == 5 && relation == 128) {
            f.seek(page * pageSize + 40);
            f.write(QByteArray(64, '\xff'));
            ++damaged;
        }
    }
    QCOMPARE(damaged, 2);
}

const QStringList kTable{
    QStringLiteral("create table T (ID integer not null primary key, NOME varchar(40))"),
    QStringLiteral("execute block as declare i integer = 1; begin while (i <= 3000) do begin "
                   "insert into T values (:i, 'nome ' || :i); i = i + 1; end end")};
} // namespace

void TestMaintenance::shutdownThenOnline_data() {
    QTest::addColumn<ShutdownMode>("mode");
    QTest::addColumn<bool>("server");
    QTest::newRow("multi-user, server") << ShutdownMode::Multi << true;
    QTest::newRow("single-user, server") << ShutdownMode::Single << true;
    QTest::newRow("full, server") << ShutdownMode::Full << true;
    QTest::newRow("full, embedded engine") << ShutdownMode::Full << false;
}

void TestMaintenance::shutdownThenOnline() {
    QFETCH(ShutdownMode, mode);
    QFETCH(bool, server);
    TempDatabase db(kTable);
    const AdminTarget t = server ? viaServer(db.path()) : target(db.path());
    QCOMPARE(header(t).shutdown, ShutdownMode::Online);
    QCOMPARE(run(t, [&] { return shutdownRequest(t.path(), mode, ShutdownMethod::Force, 0); }),
             QStringLiteral("<no error>"));
    QCOMPARE(header(t).shutdown, mode);
    if (mode == ShutdownMode::Full) {
        TestConnection c(t.connectionString);
        c.db.params() << QStringLiteral("password=") + t.password;
        QVERIFY(errorText([&] { c.open(); }).contains(QStringLiteral("shutdown")));
    }
    QCOMPARE(run(t, [&] { return onlineRequest(t.path()); }), QStringLiteral("<no error>"));
    QCOMPARE(header(t).shutdown, ShutdownMode::Online);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from T")), QStringLiteral("3000"));
}

void TestMaintenance::shutdownRefusedWhileInUse() {
    TempDatabase db(kTable);
    const AdminTarget t = viaServer(db.path());
    TestConnection other(t.connectionString);
    other.db.params() << QStringLiteral("password=") + t.password;
    other.open();
    const QString error = run(t, [&] {
        return shutdownRequest(t.path(), ShutdownMode::Single, ShutdownMethod::DenyNewAttachments, 0);
    });
    QVERIFY2(error.startsWith(QStringLiteral("Não foi feito.\r\n")) && error.contains(QStringLiteral("shutdown")),
             qPrintable(error));
    QCOMPARE(header(t).shutdown, ShutdownMode::Online);
    QCOMPARE(errorText([&] { other.tr.commit(); }), QStringLiteral("<no error>")); // nobody was thrown out
}

void TestMaintenance::validationFindings() {
    TempDatabase db(kTable);
    const AdminTarget t = target(db.path());
    QStringList lines;
    QCOMPARE(run(t, [&] { return onlineValidationRequest(t.path()); }, &lines), QStringLiteral("<no error>"));
    QCOMPARE(::validationFindings(lines), QStringList());
    QCOMPARE(run(t, [&] { return fullValidationRequest(t.path()); }, &lines), QStringLiteral("<no error>"));
    QCOMPARE(::validationFindings(lines), QStringList());

    damagePages(db.path());
    QCOMPARE(run(t, [&] { return onlineValidationRequest(t.path()); }, &lines), QStringLiteral("<no error>"));
    QStringList found = ::validationFindings(lines);
    QVERIFY2(found.size() == 3, qPrintable(found.join('\n')));
    QVERIFY(found[0].contains(QStringLiteral("Error: Data page")));
    QVERIFY(found[2].endsWith(QStringLiteral("Relation 128 (T) : 2 ERRORS found")));

    // The full validation gives its summary as the action's error: it is a finding, not a failure.
    // (The engine sometimes hands over the summary's title without its counts.)
    QCOMPARE(run(t, [&] { return fullValidationRequest(t.path()); }, &lines), QStringLiteral("<no error>"));
    found = ::validationFindings(lines);
    QVERIFY2(found.size() == 1 || found.size() == 2, qPrintable(lines.join(QLatin1Char(10))));
    QCOMPARE(found[0], QStringLiteral("Summary of validation errors"));
    if (found.size() == 2) QVERIFY(found[1].contains(QStringLiteral("Number of data page errors")));
}

void TestMaintenance::sweepMovesTheOldestTransaction() {
    TempDatabase db(kTable);
    const AdminTarget t = viaServer(db.path());
    qint64 rolledBack = 0;
    {
        // A transaction that changed rows and rolled back holds the oldest interesting one.
        TestConnection c(t.connectionString);
        c.db.params() << QStringLiteral("password=") + t.password;
        c.open();
        rolledBack = header(t).nextTransaction;
        executeImmediate(&c.db, &c.tr, QStringLiteral("update T set NOME = 'outro'"));
        c.tr.rollback();
    }
    QVERIFY(header(t).oldestTransaction <= rolledBack);
    QCOMPARE(run(t, [&] { return sweepRequest(t.path()); }, nullptr, true), QStringLiteral("<no error>"));
    QVERIFY(header(t).oldestTransaction > rolledBack);
}

void TestMaintenance::mendRuns() {
    TempDatabase db(kTable);
    damagePages(db.path());
    const AdminTarget t = target(db.path());
    QCOMPARE(run(t, [&] { return mendRequest(t.path()); }), QStringLiteral("<no error>"));
    QStringList lines;
    QCOMPARE(run(t, [&] { return onlineValidationRequest(t.path()); }, &lines), QStringLiteral("<no error>"));
}

void TestMaintenance::properties() {
    TempDatabase db(kTable);
    const AdminTarget t = viaServer(db.path());
    QCOMPARE(run(t, [&] { return sweepIntervalRequest(t.path(), 7000); }), QStringLiteral("<no error>"));
    QCOMPARE(run(t, [&] { return pageBuffersRequest(t.path(), 512); }), QStringLiteral("<no error>"));
    QCOMPARE(run(t, [&] { return forcedWritesRequest(t.path(), false); }), QStringLiteral("<no error>"));
    QCOMPARE(run(t, [&] { return readOnlyRequest(t.path(), true); }), QStringLiteral("<no error>"));
    HeaderPage h = header(t);
    QCOMPARE(h.sweepInterval, 7000);
    QCOMPARE(h.pageBuffers, 512);
    QVERIFY(!h.forcedWrites);
    QVERIFY(h.readOnly);
    // fbstat reads the same.
    const HeaderPage tool = parseStatistics(fbstat({QStringLiteral("-h")}, db.path())).header;
    QCOMPARE(tool.sweepInterval, 7000);
    QCOMPARE(tool.pageBuffers, 512);
    QVERIFY(!tool.forcedWrites);
    QVERIFY(tool.readOnly);

    QCOMPARE(run(t, [&] { return readOnlyRequest(t.path(), false); }), QStringLiteral("<no error>"));
    QCOMPARE(run(t, [&] { return forcedWritesRequest(t.path(), true); }), QStringLiteral("<no error>"));
    h = header(t);
    QVERIFY(!h.readOnly);
    QVERIFY(h.forcedWrites);

    // Dialect: a dialect-1 database raised to 3.
    TempDatabase old({}, QStringLiteral("NONE"), QStringLiteral("velho.fdb"), 1);
    const AdminTarget o = viaServer(old.path());
    QCOMPARE(header(o).dialect, 1);
    QCOMPARE(run(o, [&] { return dialectRequest(o.path(), 3); }), QStringLiteral("<no error>"));
    QCOMPARE(header(o).dialect, 3);
}

void TestMaintenance::ownConnectionLetGoAndTakenAgain() {
    TempDatabase db(kTable);
    {
        // The password typed at login is kept in memory for the service manager, never in the
        // parameter lines.
        ScriptedPrompts prompts;
        prompts.defaultLogin = ScriptedPrompts::Login{true, QStringLiteral("sysdba"), QStringLiteral("segredo")};
        TestConnection c(db.path(), true);
        c.db.setConnected(true);
        QCOMPARE(c.db.loginUserName(), QStringLiteral("sysdba"));
        QCOMPARE(c.db.loginPassword(), QStringLiteral("segredo"));
        QVERIFY(!c.db.params().join('\n').contains(QStringLiteral("segredo")));
        QVERIFY(!c.db.params().join('\n').contains(QStringLiteral("password"), Qt::CaseInsensitive));
    }
    ConnectedHolder holder(db.path());
    holder.prompts.defaultLogin = std::nullopt; // no second login may be asked for
    Database* banco = holder.dm.Banco;

    OwnConnection::release();
    QVERIFY(!banco->connected());
    QCOMPARE(CurrentDatabase, db.path()); // the windows still count the database as open
    // With nobody attached, the full validation runs.
    QStringList lines;
    QCOMPARE(run(AdminTarget::openDatabase(), [&] { return fullValidationRequest(db.path()); }, &lines),
             QStringLiteral("<no error>"));
    QVERIFY(OwnConnection::retake());
    QVERIFY(banco->connected());
    QVERIFY(holder.dm.Trans->inTransaction());
    QVERIFY(holder.prompts.logins.isEmpty());

    // A database that does not take the program now: the reason is told.
    OwnConnection::release();
    QCOMPARE(run(AdminTarget::openDatabase(), [&] {
                 return shutdownRequest(db.path(), ShutdownMode::Full, ShutdownMethod::Force, 0);
             }),
             QStringLiteral("<no error>"));
    QString reason;
    QVERIFY(!OwnConnection::retake(&reason));
    QVERIFY2(reason.contains(QStringLiteral("shutdown")), qPrintable(reason));
    QCOMPARE(run(AdminTarget::openDatabase(), [&] { return onlineRequest(db.path()); }), QStringLiteral("<no error>"));
    QVERIFY(OwnConnection::retake());

    holder.dm.DisconnectDatabase();
    QCOMPARE(banco->loginPassword(), QString());
}

QTEST_MAIN(TestMaintenance)
#include "test_maintenance.moc"
