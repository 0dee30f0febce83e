// Backup and restore through the service manager, through the embedded engine and the loopback
// server: what is restored holds the same tables, rows and values; gbak reads our backups; a
// replace never loses the old database; failures leave no file that looks finished; a backup can
// be cancelled, and a server lost in the middle of one is reported.
#include "admin/admintarget.h"
#include "admin/backup.h"
#include "admin/restore.h"
#include "connection/dm.h"
#include "support/adminfixture.h"
#include "support/connectedholder.h"
#include "support/fbfixture.h"
#include "support/files.h"
#include "support/ownserver.h"
#include "support/testconnection.h"
#include <QDir>
#include <QtTest>

class TestBackupRestore : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void backupStreamedHere();
    void backupFailureKeepsOlderBackup();
    void replaceWithDamagedBackupKeepsOld_data();
    void replaceWithDamagedBackupKeepsOld();
    void replaceTakesThePlace();
    void replaceRefused();
    void notABackup();
    void cancelBackup_data();
    void cancelBackup();
    void cancelRestoreSaysItGoesOn();
    void serverLostDuringBackup();
    void cleanupTestCase() { m_big.reset(); }

private:
    std::unique_ptr<TempDatabase> m_big; // rows enough for a backup to be interrupted
};

namespace {
// The loopback server or the embedded engine, as a connection string's server part says.
struct Place {
    QString prefix; // "127.0.0.1:" or empty
    QString password;
    QString of(const QString& path) const { return prefix + path; }
    AdminTarget target(const QString& path) const {
        return AdminTarget::of(of(path), QStringLiteral("SYSDBA"), password);
    }
};

Place embedded() {
    return {};
}
Place loopback() {
    return {testServerHost() + ':', testServerPassword()};
}

BackupResult backup(const AdminTarget& db, const QString& file, JobRun* run = nullptr) {
    BackupOptions o;
    o.file = file;
    BackupResult result;
    const JobRun r = runJob([&](ServiceJob& job) { result = runBackup(job, db, o); });
    if (run) *run = r;
    if (r.error) std::rethrow_exception(r.error);
    return result;
}

JobRun restore(const AdminTarget& server, const RestoreOptions& o, RestoreResult* result = nullptr,
               const std::optional<ServerPlace>& open = std::nullopt) {
    return runJob([&](ServiceJob& job) {
        const RestoreResult r = runRestore(job, server, o, open);
        if (result) *result = r;
    });
}

QStringList filesIn(const QString& dir) {
    return QDir(dir).entryList(QDir::Files, QDir::Name);
}

// Many rows, so that a backup of it lasts long enough to be interrupted.
QString manyRows(int rows) {
    return QStringLiteral("execute block as declare i integer = 1; begin while (i <= %1) do begin "
                          "insert into GRANDE values (:i, 'linha ' || :i || ' ' || lpad('', 60, 'y')); "
                          "i = i + 1; end end")
        .arg(rows);
}
} // namespace

void TestBackupRestore::roundTrip_data() {
    QTest::addColumn<bool>("server");
    QTest::newRow("embedded engine") << false;
    QTest::newRow("loopback server") << true;
}

void TestBackupRestore::roundTrip() {
    QFETCH(bool, server);
    const Place place = server ? loopback() : embedded();
    TempDatabase db(variedSchema());
    const QMap<QString, TableSum> original = tableSums(place.of(db.path()), QStringLiteral("SYSDBA"), place.password);
    QCOMPARE(original.size(), 3);
    QCOMPARE(original.value(QStringLiteral("CLIENTE")).rows, 700);

    const QString file = QDir(db.dir()).filePath(QStringLiteral("copia.fbk"));
    JobRun run;
    const BackupResult b = backup(place.target(db.path()), file, &run);
    QCOMPARE(b.file, file);
    QCOMPARE(b.bytes, QFileInfo(file).size());
    QVERIFY(b.bytes > 0);
    QVERIFY2(run.lines.contains(QStringLiteral("gbak:    writing data for table CLIENTE")), qPrintable(run.lines.join('\n')));
    QCOMPARE(filesIn(db.dir()), (QStringList{QStringLiteral("copia.fbk"), QStringLiteral("test.fdb")}));

    // Our restore.
    RestoreOptions o;
    o.backupFile = file;
    o.databasePath = QDir(db.dir()).filePath(QStringLiteral("restaurado.fdb"));
    RestoreResult result;
    const JobRun r = restore(place.target(QString()), o, &result);
    QCOMPARE(r.errorText(), QStringLiteral("<no error>"));
    QCOMPARE(result.database, o.databasePath);
    QVERIFY(!result.replaced);
    QVERIFY(r.lines.contains(QStringLiteral("gbak:restoring data for table CLIENTE")));
    QCOMPARE(tableSums(place.of(o.databasePath), QStringLiteral("SYSDBA"), place.password), original);

    // gbak's own restore of our backup.
    const QString byGbak = QDir(db.dir()).filePath(QStringLiteral("gbak.fdb"));
    QCOMPARE(gbakRestore(file, byGbak), QString());
    QCOMPARE(tableSums(byGbak), original);
}

void TestBackupRestore::backupStreamedHere() {
    const Place place = loopback();
    TempDatabase db(variedSchema());
    QTemporaryDir here;
    BackupOptions o;
    o.file = here.filePath(QStringLiteral("baixado.fbk"));
    o.streamHere = true;
    BackupResult result;
    const JobRun r = runJob([&](ServiceJob& job) { result = runBackup(job, place.target(db.path()), o); });
    QCOMPARE(r.errorText(), QStringLiteral("<no error>"));
    QCOMPARE(result.bytes, QFileInfo(o.file).size());
    QCOMPARE(filesIn(here.path()), QStringList{QStringLiteral("baixado.fbk")});
    const QString restored = here.filePath(QStringLiteral("r.fdb"));
    QCOMPARE(gbakRestore(o.file, restored), QString());
    QCOMPARE(tableSums(restored), tableSums(db.path()));
}

void TestBackupRestore::backupFailureKeepsOlderBackup() {
    TempDatabase db(variedSchema());
    const QString file = QDir(db.dir()).filePath(QStringLiteral("antigo.fbk"));
    writeBytes(file, "an older backup");
    // A database that is not there: the backup fails after the server was asked.
    const AdminTarget missing = AdminTarget::of(QDir(db.dir()).filePath(QStringLiteral("nada.fdb")),
                                                QStringLiteral("SYSDBA"), QString());
    BackupOptions o;
    o.file = file;
    const JobRun r = runJob([&](ServiceJob& job) { runBackup(job, missing, o); });
    QVERIFY2(r.errorText().startsWith(QStringLiteral("O backup não foi concluído.\r\n")), qPrintable(r.errorText()));
    QCOMPARE(fileBytes(file), QByteArray("an older backup"));
    QCOMPARE(filesIn(db.dir()), (QStringList{QStringLiteral("antigo.fbk"), QStringLiteral("test.fdb")}));

    // A folder that does not exist is named.
    o.file = QDir(db.dir()).filePath(QStringLiteral("falta/x.fbk"));
    const JobRun r2 = runJob([&](ServiceJob& job) { runBackup(job, embedded().target(db.path()), o); });
    QCOMPARE(r2.errorText(), QStringLiteral("O backup não foi concluído.\r\nA pasta %1 não existe.")
                                 .arg(QDir(db.dir()).filePath(QStringLiteral("falta"))));
}

void TestBackupRestore::replaceWithDamagedBackupKeepsOld_data() {
    QTest::addColumn<bool>("server");
    QTest::newRow("embedded engine") << false;
    QTest::newRow("server") << true;
}

// Through a server this runs on one of the test's own: a Firebird 3 server that restores a backup
// cut short reads the next volume's name from its own standard input, which may be a client's
// socket; the suite's server was seen to lose connections and then stop that way.
void TestBackupRestore::replaceWithDamagedBackupKeepsOld() {
    QFETCH(bool, server);
    std::unique_ptr<OwnServer> own;
    QTemporaryDir tmp;
    QString dir = tmp.path();
    Place place = embedded();
    if (server) {
        own = std::make_unique<OwnServer>();
        dir = own->dir();
        place = {own->host() + ':', own->password()};
    }
    const QString oldPath = QDir(dir).filePath(QStringLiteral("velho.fdb"));
    const QStringList oldSchema{QStringLiteral("create table VELHA (ID integer)"),
                                QStringLiteral("insert into VELHA values (42)")};
    if (own) {
        own->createDatabase(QStringLiteral("velho.fdb"), oldSchema);
    } else {
        TempDatabase created(oldSchema);
        QVERIFY(QFile::copy(created.path(), oldPath));
    }
    const QMap<QString, TableSum> oldSums = tableSums(place.of(oldPath), QStringLiteral("SYSDBA"), place.password);
    TempDatabase source(variedSchema());
    const QString good = QDir(source.dir()).filePath(QStringLiteral("bom.fbk"));
    backup(embedded().target(source.path()), good);
    // Cut in the middle of the rows: the restore fails after it created the new database.
    const QString damaged = QDir(dir).filePath(QStringLiteral("danificado.fbk"));
    writeBytes(damaged, fileBytes(good).left(QFileInfo(good).size() * 2 / 3));

    RestoreOptions o;
    o.backupFile = damaged;
    o.databasePath = oldPath;
    o.replace = true;
    const JobRun r = restore(place.target(QString()), o);
    QVERIFY2(r.errorText().startsWith(QStringLiteral("A restauração não foi concluída. O arquivo de backup parece "
                                                     "incompleto ou danificado.")),
             qPrintable(r.errorText()));
    QVERIFY2(r.lines.join('\n').contains(QStringLiteral("gbak:created database")), "the restore got as far as creating");
    // The old database holds what it held, and nothing half-made is left beside it.
    QCOMPARE(tableSums(place.of(oldPath), QStringLiteral("SYSDBA"), place.password), oldSums);
    QCOMPARE(filesIn(dir), (QStringList{QStringLiteral("danificado.fbk"), QStringLiteral("velho.fdb")}));
}

void TestBackupRestore::replaceTakesThePlace() {
    TempDatabase source(variedSchema());
    TempDatabase old({QStringLiteral("create table VELHA (ID integer)")}, QStringLiteral("UTF8"),
                     QStringLiteral("velho.fdb"));
    const QString file = QDir(source.dir()).filePath(QStringLiteral("bom.fbk"));
    backup(embedded().target(source.path()), file);
    RestoreOptions o;
    o.backupFile = file;
    o.databasePath = old.path();
    o.replace = true;
    RestoreResult result;
    const JobRun r = restore(loopback().target(QString()), o, &result);
    QCOMPARE(r.errorText(), QStringLiteral("<no error>"));
    QVERIFY(result.replaced);
    QCOMPARE(result.database, old.path());
    QCOMPARE(result.note, QString());
    QCOMPARE(filesIn(old.dir()), QStringList{QStringLiteral("velho.fdb")});
    QCOMPARE(tableSums(old.path()), tableSums(source.path()));
}

void TestBackupRestore::replaceRefused() {
    TempDatabase source(variedSchema());
    TempDatabase old({QStringLiteral("create table VELHA (ID integer)")}, QStringLiteral("UTF8"),
                     QStringLiteral("velho.fdb"));
    const QString file = QDir(source.dir()).filePath(QStringLiteral("bom.fbk"));
    backup(embedded().target(source.path()), file);
    RestoreOptions o;
    o.backupFile = file;
    o.databasePath = old.path();

    // Without "replace": the existing database is named.
    QCOMPARE(restore(embedded().target(QString()), o).errorText(),
             QStringLiteral("O banco %1 já existe. Marque \"Substituir banco existente\" para substituí-lo.")
                 .arg(old.path()));
    o.replace = true;
    {
        // The program's open database (through the server, here reached by the engine's path).
        ConnectedHolder holder(old.path());
        QCOMPARE(restore(loopback().target(QString()), o, nullptr, ServerPlace::fromConnectionString(old.path()))
                     .errorText(),
                 QStringLiteral("O banco %1 está aberto neste programa. Feche-o (Banco, Fecha Banco) antes de "
                                "restaurar sobre ele.")
                     .arg(old.path()));
    }
    {
        // Somebody else works in it.
        TestConnection other(loopback().of(old.path()));
        other.db.params() << QStringLiteral("password=") + testServerPassword();
        other.open();
        QCOMPARE(restore(loopback().target(QString()), o).errorText(),
                 QStringLiteral("O banco %1 está em uso (1 conexão). Ele só pode ser substituído quando ninguém "
                                "estiver conectado a ele.")
                     .arg(old.path()));
    }
    QCOMPARE(filesIn(old.dir()), QStringList{QStringLiteral("velho.fdb")});
    QCOMPARE(old.column(QStringLiteral("select count(*) from RDB$RELATIONS where RDB$RELATION_NAME = 'VELHA'")),
             QStringList{QStringLiteral("1")});
}

void TestBackupRestore::notABackup() {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("texto.fbk"));
    writeBytes(file, "isto não é um backup\n");
    RestoreOptions o;
    o.backupFile = file;
    o.databasePath = dir.filePath(QStringLiteral("novo.fdb"));
    const JobRun r = restore(embedded().target(QString()), o);
    QVERIFY2(r.errorText().startsWith(QStringLiteral("A restauração não foi concluída.\r\n")), qPrintable(r.errorText()));
    QCOMPARE(filesIn(dir.path()), QStringList{QStringLiteral("texto.fbk")});

    o.backupFile = dir.filePath(QStringLiteral("nenhum.fbk"));
    QCOMPARE(restore(embedded().target(QString()), o).errorText(),
             QStringLiteral("O arquivo de backup %1 não existe.").arg(o.backupFile));
}

void TestBackupRestore::cancelBackup_data() {
    QTest::addColumn<bool>("server");
    QTest::newRow("embedded engine") << false;
    QTest::newRow("loopback server") << true;
}

void TestBackupRestore::cancelBackup() {
    QFETCH(bool, server);
    if (!m_big)
        m_big = std::make_unique<TempDatabase>(
            QStringList{QStringLiteral("create table GRANDE (ID integer, TEXTO varchar(100))"), manyRows(1500000)});
    TempDatabase& db = *m_big;
    const QString file = QDir(db.dir()).filePath(QStringLiteral("cancelado.fbk"));
    BackupOptions o;
    o.file = file;
    const Place place = server ? loopback() : embedded();
    const JobRun r = runJob([&](ServiceJob& job) { runBackup(job, place.target(db.path()), o); },
                            [&](ServiceJob& job) {
                                // Cancelled once the backup has begun writing.
                                const QString writing = file + QStringLiteral(".parcial");
                                QVERIFY(QTest::qWaitFor([&] { return QFileInfo(writing).size() > 0; }, 120000));
                                job.cancel();
                            });
    QVERIFY2(r.notes.isEmpty(), qPrintable(r.notes.join('\n'))); // the server stopped it
    QCOMPARE(r.errorText(), QStringLiteral("Backup cancelado"));
    QCOMPARE(filesIn(db.dir()), QStringList{QStringLiteral("test.fdb")});
}

// The server cannot stop a restore: the window is told so at once, the restore runs to its end,
// and what it made is removed.
void TestBackupRestore::cancelRestoreSaysItGoesOn() {
    TempDatabase db(variedSchema());
    const QString file = QDir(db.dir()).filePath(QStringLiteral("copia.fbk"));
    backup(embedded().target(db.path()), file);
    RestoreOptions o;
    o.backupFile = file;
    o.databasePath = QDir(db.dir()).filePath(QStringLiteral("cancelado.fdb"));
    const JobRun r = restore(loopback().target(QString()), o, nullptr, std::nullopt);
    QCOMPARE(r.errorText(), QStringLiteral("<no error>")); // not cancelled: the baseline
    QFile::remove(o.databasePath);
    const JobRun c = runJob(
        [&](ServiceJob& job) { runRestore(job, loopback().target(QString()), o, std::nullopt); },
        [](ServiceJob& job) { job.cancel(); });
    QCOMPARE(c.notes, QStringList{QStringLiteral("O servidor não pode interromper a restauração: ela continua até o "
                                                 "fim, e o banco restaurado é removido em seguida.")});
    QCOMPARE(c.errorText(), QStringLiteral("Restauração cancelada: o banco restaurado foi removido."));
    QCOMPARE(filesIn(db.dir()), (QStringList{QStringLiteral("copia.fbk"), QStringLiteral("test.fdb")}));
}

void TestBackupRestore::serverLostDuringBackup() {
    OwnServer server;
    server.createDatabase(QStringLiteral("perdido.fdb"),
                          {QStringLiteral("create table GRANDE (ID integer, TEXTO varchar(100))"),
                           QStringLiteral("commit"), QStringLiteral("set term ^"),
                           // isql's script: the block ends with ^, then ";" is the terminator again.
                           manyRows(600000) + QStringLiteral("^\nset term ;^\n--")});
    const AdminTarget db = AdminTarget::of(server.connectionString(QStringLiteral("perdido.fdb")),
                                           QStringLiteral("SYSDBA"), server.password());
    BackupOptions o;
    o.file = QDir(server.dir()).filePath(QStringLiteral("perdido.fbk"));
    const JobRun r = runJob([&](ServiceJob& job) { runBackup(job, db, o); },
                            [&](ServiceJob&) {
                                // The server dies once it has begun writing the backup.
                                const QString writing = o.file + QStringLiteral(".parcial");
                                QVERIFY(QTest::qWaitFor([&] { return QFileInfo(writing).size() > 0; }, 120000));
                                server.kill();
                            });
    QVERIFY2(r.errorText().startsWith(QStringLiteral("A conexão com o servidor foi perdida durante o backup; o backup "
                                                     "não foi concluído.\r\n")),
             qPrintable(r.errorText()));
    // No backup file, whole or in part.
    QCOMPARE(filesIn(server.dir()), QStringList{QStringLiteral("perdido.fdb")});
}

QTEST_MAIN(TestBackupRestore)
#include "test_backuprestore.moc"
