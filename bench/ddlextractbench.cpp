// The whole database's metadata as a script ("E&xtrai DDL..."), against isql -x of the same
// database in the same run: a schema of 2,000 tables, each with a primary key, an index, a foreign
// key, a trigger and a procedure, and a view for every tenth table. Both sides attach through the
// embedded engine, read the catalogue and write the script to a file.
#include "admin/ddlwriter.h"
#include "connection/database.h"
#include "connection/fbapi.h"
#include "connection/fberror.h"
#include "connection/transaction.h"
#include "platform/apperror.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
constexpr int kTables = 2000;
constexpr int kRuns = 3; // isql -x takes tens of seconds a run here

void exec(isc_db_handle* db, isc_tr_handle* tr, const QString& sql) {
    ISC_STATUS_ARRAY status = {};
    const QByteArray text = sql.toUtf8();
    fbApi().isc_dsql_execute_immediate(status, db, tr, 0, text.constData(), 3, nullptr);
    checkStatus(status);
}

QString table(int i) {
    return QStringLiteral("TABELA_%1").arg(i, 4, 10, QChar('0'));
}

// Each phase commits before the next uses what it made.
void createSchema(const QString& path) {
    if (QFile::exists(path)) return;
    std::fprintf(stderr, "# creating %s (%d tables)\n", qPrintable(path), kTables);
    const QString tmp = path + QStringLiteral(".part");
    QFile::remove(tmp);
    ISC_STATUS_ARRAY status = {};
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
    exec(&db, &tr,
         QStringLiteral("CREATE DATABASE '%1' USER 'SYSDBA' PAGE_SIZE 8192 DEFAULT CHARACTER SET UTF8").arg(tmp));
    char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_concurrency, isc_tpb_wait};
    FbTeb teb{&db, sizeof tpb, tpb};
    fbApi().isc_start_multiple(status, &tr, 1, &teb);
    checkStatus(status);
    auto phase = [&](const std::function<QStringList(int)>& statements) {
        for (int i = 1; i <= kTables; ++i)
            for (const QString& s : statements(i))
                exec(&db, &tr, s);
        fbApi().isc_commit_retaining(status, &tr);
        checkStatus(status);
    };
    exec(&db, &tr, QStringLiteral("create domain D_VALOR numeric(12,2) default 0 check (value >= 0)"));
    exec(&db, &tr, QStringLiteral("create sequence G_BENCH"));
    fbApi().isc_commit_retaining(status, &tr);
    checkStatus(status);
    phase([](int i) {
        return QStringList{QStringLiteral("create table %1 (ID integer not null primary key, NOME varchar(40) not null, "
                                          "VALOR D_VALOR, DATA timestamp default current_timestamp, PAI integer, "
                                          "OBS blob sub_type text, DOBRO computed by (VALOR * 2))")
                               .arg(table(i))};
    });
    phase([](int i) {
        QStringList s{QStringLiteral("create index %1_NOME on %1 (NOME)").arg(table(i)),
                      QStringLiteral("comment on table %1 is 'Tabela número %2'").arg(table(i)).arg(i)};
        if (i > 1)
            s << QStringLiteral("alter table %1 add constraint FK_%1 foreign key (PAI) references %2 (ID)")
                     .arg(table(i), table(i - 1));
        return s;
    });
    phase([](int i) {
        QStringList s{
            QStringLiteral("create trigger %1_BI for %1 active before insert position 0 as begin "
                           "if (new.ID is null) then new.ID = next value for G_BENCH; new.NOME = upper(new.NOME); end")
                .arg(table(i)),
            QStringLiteral("create procedure %1_CONTA (MINIMO integer) returns (N integer, TOTAL numeric(18,2)) as "
                           "begin select count(*), sum(VALOR) from %1 where ID >= :MINIMO into :N, :TOTAL; "
                           "suspend; end")
                .arg(table(i))};
        if (i % 10 == 0)
            s << QStringLiteral("create view V_%1 (ID, NOME, DOBRO) as select ID, NOME, DOBRO from %1 where VALOR > 0")
                     .arg(table(i));
        return s;
    });
    fbApi().isc_commit_transaction(status, &tr);
    checkStatus(status);
    fbApi().isc_detach_database(status, &db);
    checkStatus(status);
    if (!QFile::rename(tmp, path)) throw AppError(QStringLiteral("cannot rename %1").arg(tmp));
}

// The whole of it, and of that the catalogue's reading.
std::pair<double, double> ours(const QString& path, const QString& out) {
    QElapsedTimer t;
    t.start();
    Database db;
    db.setLoginPrompt(false);
    db.params() = QStringList{QStringLiteral("user_name=SYSDBA")};
    db.setDatabaseName(path);
    db.setConnected(true);
    QElapsedTimer reading;
    reading.start();
    const Catalog catalog = readCatalog(&db);
    const double read = static_cast<double>(reading.nsecsElapsed()) / 1e9;
    writeDdlFile(out, DdlWriter(catalog).script());
    db.setConnected(false);
    return {static_cast<double>(t.nsecsElapsed()) / 1e9, read};
}

double isql(const QString& path, const QString& out) {
    QString program = QStandardPaths::findExecutable(QStringLiteral("isql-fb"));
    if (program.isEmpty()) program = QStandardPaths::findExecutable(QStringLiteral("isql"));
    if (program.isEmpty()) throw AppError(QStringLiteral("isql-fb not found"));
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.setStandardOutputFile(out);
    p.start(program, {QStringLiteral("-x"), QStringLiteral("-ch"), QStringLiteral("UTF8"), QStringLiteral("-user"),
                      QStringLiteral("SYSDBA"), path});
    if (!p.waitForFinished(600000) || p.exitCode() != 0) throw AppError(QStringLiteral("isql -x failed"));
    return static_cast<double>(t.nsecsElapsed()) / 1e9;
}
} // namespace

void runDdlExtractBench(const QString& dataFolder) {
    const QDir dir(dataFolder);
    const QString path = dir.absoluteFilePath(QStringLiteral("bench-schema.fdb"));
    createSchema(path);
    const QString ourFile = dir.absoluteFilePath(QStringLiteral("bench-schema.fbadmin.sql"));
    const QString isqlFile = dir.absoluteFilePath(QStringLiteral("bench-schema.isql.sql"));
    ours(path, ourFile); // the first run fills the system's cache of the file
    std::vector<double> a, b, reading;
    for (int i = 0; i < kRuns; ++i) { // interleaved, so that both see the same machine
        const auto [whole, read] = ours(path, ourFile);
        a.push_back(whole);
        reading.push_back(read);
        b.push_back(isql(path, isqlFile));
    }
    const double bestOurs = *std::min_element(a.begin(), a.end());
    std::printf("# of which reading the catalogue: best %.3f s\n", *std::min_element(reading.begin(), reading.end()));
    const double bestIsql = *std::min_element(b.begin(), b.end());
    std::printf("# ddl extract of %d tables: best of %d runs, fbadmin %.3f s (%lld bytes), isql -x %.3f s (%lld bytes)\n",
                kTables, kRuns, bestOurs, static_cast<long long>(QFile(ourFile).size()), bestIsql,
                static_cast<long long>(QFile(isqlFile).size()));
    std::printf("ddl_extract_vs_isql: %.3f\n", bestOurs / bestIsql);
}
