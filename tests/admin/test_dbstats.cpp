// The statistics parser against real outputs of this server (tests/admin/data/statistics: the text
// of our service call and of fbstat for the same databases, made with Firebird 3.0.11), and the
// statistics read live through the service manager held against fbstat of the same database.
#include "admin/admintarget.h"
#include "admin/dbstats.h"
#include "admin/statistics.h"
#include "admin/statsmodel.h"
#include "support/adminfixture.h"
#include "support/fbfixture.h"
#include <QAbstractItemModelTester>
#include <QFile>
#include <QtTest>

class TestDbStats : public QObject {
    Q_OBJECT
private slots:
    void variedDatabase();
    void serviceAndFbstatAgree_data();
    void serviceAndFbstatAgree();
    void headerStates_data();
    void headerStates();
    void systemTables();
    void liveAgainstFbstat();
    void gapsPastTheLimitWarn();
    void tablesAndIndexesModels();
};

namespace {
QString data(const QString& name) {
    QFile f(QStringLiteral(FBADMIN_TEST_SOURCE_DIR "/data/statistics/") + name);
    if (!f.open(QIODevice::ReadOnly)) qFatal("missing test data %s", qPrintable(name));
    return QString::fromUtf8(f.readAll());
}

QString fill(const FillDistribution& f) {
    QStringList parts;
    for (qint64 n : f)
        parts << QString::number(n);
    return parts.join('/');
}

// Every number the parser read, one line per table and index, to compare two readings whole.
QString describe(const DbStatistics& s) {
    QStringList out;
    const HeaderPage& h = s.header;
    QStringList entries;
    for (const auto& e : h.entries)
        entries << e.first + '=' + e.second;
    out << entries.join('|');
    out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9")
               .arg(h.pageSize)
               .arg(h.odsVersion)
               .arg(h.dialect)
               .arg(h.oldestTransaction)
               .arg(h.oldestActive)
               .arg(h.oldestSnapshot)
               .arg(h.nextTransaction)
               .arg(h.pageBuffers)
               .arg(h.sweepInterval);
    for (const TableStats& t : s.tables)
        out << QStringLiteral("T %1 %2 rec %3 %4 ver %5 %6 %7 frag %8 pages %9 fill %10 %11 blobs %12 %13 %14")
                   .arg(t.name)
                   .arg(t.id)
                   .arg(t.totalRecords)
                   .arg(t.averageRecordLength)
                   .arg(t.totalVersions)
                   .arg(t.maxVersions)
                   .arg(t.averageVersionLength)
                   .arg(t.totalFragments)
                   .arg(t.dataPages)
                   .arg(t.averageFill)
                   .arg(fill(t.fill))
                   .arg(t.blobs)
                   .arg(t.blobsLength)
                   .arg(t.blobPages);
    for (const IndexStats& i : s.indexes)
        out << QStringLiteral("I %1.%2 %3 depth %4 leaf %5 nodes %6 dup %7 %8 key %9 clu %10 fill %11")
                   .arg(i.table, i.name)
                   .arg(i.id)
                   .arg(i.depth)
                   .arg(i.leafBuckets)
                   .arg(i.nodes)
                   .arg(i.totalDup)
                   .arg(i.maxDup)
                   .arg(i.averageKeyLength)
                   .arg(i.clusteringFactor)
                   .arg(fill(i.fill));
    return out.join('\n');
}

const TableStats* table(const DbStatistics& s, const QString& name) {
    for (const TableStats& t : s.tables)
        if (t.name == name) return &t;
    return nullptr;
}
} // namespace

void TestDbStats::variedDatabase() {
    const DbStatistics s = parseStatistics(data(QStringLiteral("varied-service.txt")));
    QVERIFY(s.hasHeader);
    QCOMPARE(s.unread, QStringList());
    const HeaderPage& h = s.header;
    QCOMPARE(h.databaseFile, QStringLiteral("/tmp/i21exp/gen/stats.fdb"));
    QCOMPARE(h.pageSize, 4096);
    QCOMPARE(h.odsVersion, QStringLiteral("12.0"));
    QCOMPARE(h.dialect, 3);
    QCOMPARE(h.oldestTransaction, 16);
    QCOMPARE(h.oldestActive, 17);
    QCOMPARE(h.oldestSnapshot, 17);
    QCOMPARE(h.nextTransaction, 20);
    QCOMPARE(h.activeGap(), 1);
    QCOMPARE(h.snapshotGap(), 1);
    QCOMPARE(h.nextGap(), 3);
    QVERIFY(h.forcedWrites);
    QVERIFY(!h.readOnly);
    QCOMPARE(h.shutdown, ShutdownMode::Online);
    QCOMPARE(h.sweepInterval, -1); // never set: the header holds none
    QCOMPARE(h.effectiveSweepInterval(), 20000);
    QCOMPARE(h.creationDate, QStringLiteral("Dec 11, 2026 3:32:32"));
    QCOMPARE(h.implementation, QStringLiteral("HW=AMD/Intel/x64 little-endian OS=Linux CC=gcc"));

    QCOMPARE(s.tables.size(), 4);
    const TableStats* c = table(s, QStringLiteral("CLIENTE"));
    QVERIFY(c);
    QCOMPARE(c->id, 128);
    QCOMPARE(c->totalRecords, 5000);
    QCOMPARE(c->averageRecordLength, 49.22);
    QCOMPARE(c->totalVersions, 1500); // the rows updated while a snapshot was open
    QCOMPARE(c->maxVersions, 1);
    QCOMPARE(c->averageVersionLength, 18.60);
    QCOMPARE(c->totalFragments, 641);
    QCOMPARE(c->dataPages, 176);
    QCOMPARE(c->averageFill, 84);
    QCOMPARE(c->primaryPages, 113);
    QCOMPARE(c->secondaryPages, 63);
    QCOMPARE(c->emptyPages, 3);
    QCOMPARE(c->fullPages, 170);
    QCOMPARE(c->blobs, 5000);
    QCOMPARE(c->blobsLength, 8346670);
    QCOMPARE(c->blobPages, 3332);
    QCOMPARE(fill(c->fill), QStringLiteral("3/1/1/77/94"));
    const TableStats* p = table(s, QStringLiteral("Pedido de Venda")); // a name with blanks
    QVERIFY(p);
    QCOMPARE(p->id, 129);
    QCOMPARE(p->totalVersions, 300); // the rows deleted
    QCOMPARE(fill(p->fill), QStringLiteral("4/0/1/34/169"));
    const TableStats* v = table(s, QStringLiteral("VAZIA"));
    QVERIFY(v);
    QCOMPARE(v->totalRecords, 0);
    QCOMPARE(v->dataPages, 0);
    QCOMPARE(fill(v->fill), QStringLiteral("0/0/0/0/0"));

    QCOMPARE(s.indexes.size(), 5);
    QStringList names;
    for (const IndexStats& i : s.indexes)
        names << i.table + '.' + i.name;
    QCOMPARE(names, (QStringList{QStringLiteral("CLIENTE.IX_CLIENTE_EXPR"), QStringLiteral("CLIENTE.IX_CLIENTE_NOME"),
                                 QStringLiteral("CLIENTE.IX_CLIENTE_SALDO"), QStringLiteral("CLIENTE.RDB$PRIMARY1"),
                                 QStringLiteral("Pedido de Venda.PK_PEDIDO")}));
    const IndexStats& saldo = s.indexes[2];
    QCOMPARE(saldo.id, 2);
    QCOMPARE(saldo.rootPage, 516);
    QCOMPARE(saldo.depth, 2);
    QCOMPARE(saldo.leafBuckets, 35);
    QCOMPARE(saldo.nodes, 6500);
    QCOMPARE(saldo.averageNodeLength, 11.87);
    QCOMPARE(saldo.totalDup, 0);
    QCOMPARE(saldo.averageKeyLength, 10.03);
    QCOMPARE(saldo.compressionRatio, 0.90);
    QCOMPARE(saldo.averagePrefixLength, 1.96);
    QCOMPARE(saldo.averageDataLength, 7.04);
    QCOMPARE(saldo.clusteringFactor, 110);
    QCOMPARE(saldo.clusteringRatio, 0.02);
    QCOMPARE(fill(saldo.fill), QStringLiteral("0/1/24/1/9"));
    QCOMPARE(s.indexes[1].totalDup, 5900);
    QCOMPARE(s.indexes[1].maxDup, 16);
    QCOMPARE(s.indexes[1].selectivity, -1.0); // not read from the catalogue here
}

void TestDbStats::serviceAndFbstatAgree_data() {
    QTest::addColumn<QString>("name");
    for (const char* n : {"varied", "varied-header", "header-readonly", "header-full", "header-single",
                          "header-multi", "header-tuned", "header-dialect1"})
        QTest::newRow(n) << QString::fromLatin1(n);
}

void TestDbStats::serviceAndFbstatAgree() {
    QFETCH(QString, name);
    const DbStatistics service = parseStatistics(data(name + QStringLiteral("-service.txt")));
    const DbStatistics tool = parseStatistics(data(name + QStringLiteral("-fbstat.txt")));
    QVERIFY(service.hasHeader);
    QCOMPARE(describe(service), describe(tool));
    QCOMPARE(service.unread, QStringList());
    QCOMPARE(tool.unread, QStringList());
}

void TestDbStats::headerStates_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<ShutdownMode>("shutdown");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<bool>("forcedWrites");
    QTest::addColumn<qint64>("sweep");
    QTest::addColumn<qint64>("buffers");
    QTest::addColumn<int>("dialect");
    QTest::newRow("read only") << "header-readonly-service.txt" << ShutdownMode::Online << true << true << qint64(-1)
                               << qint64(0) << 3;
    QTest::newRow("full shutdown") << "header-full-service.txt" << ShutdownMode::Full << false << true << qint64(-1)
                                   << qint64(0) << 3;
    QTest::newRow("single-user") << "header-single-service.txt" << ShutdownMode::Single << false << true << qint64(-1)
                                 << qint64(0) << 3;
    QTest::newRow("multi-user") << "header-multi-service.txt" << ShutdownMode::Multi << false << true << qint64(-1)
                                << qint64(0) << 3;
    QTest::newRow("async, sweep, buffers") << "header-tuned-service.txt" << ShutdownMode::Online << false << false
                                           << qint64(5000) << qint64(300) << 3;
    QTest::newRow("dialect 1") << "header-dialect1-service.txt" << ShutdownMode::Online << false << true << qint64(-1)
                               << qint64(0) << 1;
}

void TestDbStats::headerStates() {
    QFETCH(QString, file);
    QFETCH(ShutdownMode, shutdown);
    QFETCH(bool, readOnly);
    QFETCH(bool, forcedWrites);
    QFETCH(qint64, sweep);
    QFETCH(qint64, buffers);
    QFETCH(int, dialect);
    const DbStatistics s = parseStatistics(data(file));
    QCOMPARE(s.header.shutdown, shutdown);
    QCOMPARE(s.header.readOnly, readOnly);
    QCOMPARE(s.header.forcedWrites, forcedWrites);
    QCOMPARE(s.header.sweepInterval, sweep);
    QCOMPARE(s.header.pageBuffers, buffers);
    QCOMPARE(s.header.dialect, dialect);
    QVERIFY(s.tables.isEmpty());
}

void TestDbStats::systemTables() {
    const DbStatistics s = parseStatistics(data(QStringLiteral("system-service.txt")));
    QCOMPARE(s.unread, QStringList());
    QVERIFY2(s.tables.size() >= 40, qPrintable(QString::number(s.tables.size())));
    const TableStats* pages = table(s, QStringLiteral("RDB$PAGES"));
    QVERIFY(pages);
    QCOMPARE(pages->id, 0);
    QVERIFY(table(s, QStringLiteral("Pedido de Venda")));
    // Every index belongs to a table that was listed before it.
    for (const IndexStats& i : s.indexes)
        QVERIFY(table(s, i.table));
}

void TestDbStats::liveAgainstFbstat() {
    TempDatabase db(variedSchema());
    db.exec(QStringLiteral("update CLIENTE set SALDO = SALDO + 1 where ID <= 50"));
    DbStatistics ours;
    const JobRun run = runJob([&](ServiceJob& job) {
        ours = runStatistics(job, AdminTarget::of(db.path(), QStringLiteral("SYSDBA"), QString()), StatisticsOptions{});
    });
    QCOMPARE(run.errorText(), QStringLiteral("<no error>"));
    QVERIFY(run.lines.isEmpty()); // shown as tables, never as text
    const DbStatistics theirs = parseStatistics(fbstat({QStringLiteral("-a"), QStringLiteral("-r")}, db.path()));
    // The header's counters move with every attachment (fbstat's own too): the pages do not.
    QCOMPARE(describe(ours).section('\n', 2), describe(theirs).section('\n', 2));
    QCOMPARE(ours.header.pageSize, theirs.header.pageSize);
    QCOMPARE(ours.header.attributes, theirs.header.attributes);
    QCOMPARE(ours.header.databaseFile, db.path());
    QCOMPARE(ours.tables.size(), 3);
    QCOMPARE(table(ours, QStringLiteral("CLIENTE"))->totalVersions, 50);
    // Selectivity as the catalogue holds it, for every index.
    QCOMPARE(ours.indexes.size(), 3);
    for (const IndexStats& i : ours.indexes) {
        const QString stored = db.scalar(
            QStringLiteral("select RDB$STATISTICS from RDB$INDICES where RDB$INDEX_NAME = '%1'").arg(i.name));
        QCOMPARE(QString::number(i.selectivity), QString::number(stored.toDouble()));
    }
}

void TestDbStats::gapsPastTheLimitWarn() {
    const HeaderPage h = parseStatistics(data(QStringLiteral("varied-service.txt"))).header;
    QCOMPARE(defaultGapLimit(h), 20000);
    StatsModel model;
    QAbstractItemModelTester tester(&model);
    fillHeaderModel(model, h, 2); // gaps 1, 1 and 3
    QStringList warned;
    for (int r = 0; r < model.rowCount(); ++r)
        if (model.warning(r)) warned << model.value(r, 0).toString();
    QCOMPARE(warned, QStringList{QStringLiteral("Diferença Próxima - OAT")});
    for (int r = 0; r < model.rowCount(); ++r) {
        const QModelIndex i = model.index(r, 1);
        QCOMPARE(model.data(i, Qt::BackgroundRole).isValid(), model.warning(r));
    }
    fillHeaderModel(model, h, defaultGapLimit(h));
    for (int r = 0; r < model.rowCount(); ++r)
        QVERIFY(!model.warning(r));
}

void TestDbStats::tablesAndIndexesModels() {
    const DbStatistics s = parseStatistics(data(QStringLiteral("varied-service.txt")));
    StatsModel tables;
    QAbstractItemModelTester tester(&tables);
    fillTablesModel(tables, s);
    QCOMPARE(tables.rowCount(), 4);
    QCOMPARE(tables.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Tabela"));
    QCOMPARE(tables.value(0, 0).toString(), QStringLiteral("CLIENTE"));
    QCOMPARE(tables.value(0, 1).toLongLong(), 5000);
    // Every export name fits the list report (no blanks, dashes, slashes, ampersands or percents).
    for (const StatsModel::Column& c : tables.columns())
        QVERIFY2(!c.field.contains(QRegularExpression(QStringLiteral("[ /\\\\&%-]"))), qPrintable(c.field));
    StatsModel indexes;
    fillIndexesModel(indexes, s);
    QCOMPARE(indexes.rowCount(), 5);
    QCOMPARE(indexes.value(4, 0).toString(), QStringLiteral("Pedido de Venda"));
    QCOMPARE(indexes.value(4, 1).toString(), QStringLiteral("PK_PEDIDO"));
    QVERIFY(!indexes.value(4, 5).isValid()); // selectivity not read
    for (const StatsModel::Column& c : indexes.columns())
        QVERIFY2(!c.field.contains(QRegularExpression(QStringLiteral("[ /\\\\&%-]"))), qPrintable(c.field));
}

QTEST_MAIN(TestDbStats)
#include "test_dbstats.moc"
