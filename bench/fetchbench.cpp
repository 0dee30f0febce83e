// fbadmin-bench <data folder>: how fast the dataset reads a large table and how little memory it
// keeps per row, against plain client-library fetches measured in the same run.
//
// The folder holds two databases created here through the embedded engine when missing: one with
// a table of 1,000,000 rows of six columns and a copy of its first 10 rows. Every timed figure is
// the best (shortest) of several runs, the run least disturbed by other work on the machine; the
// ratios compare the best runs of the same invocation. Medians and the ratios of process CPU time
// are printed as comments beside them.
#include "connection/database.h"
#include "connection/dataset.h"
#include "connection/fbapi.h"
#include "connection/fberror.h"
#include "connection/statement.h"
#include "connection/transaction.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <unistd.h>
#include <vector>

namespace {
constexpr int kBigRows = 1000000;
constexpr int kRuns = 7;
constexpr int kScreenRuns = 21;
constexpr int kScreenRows = 100;

const char* const kCreateTable =
    "create table BENCH (ID integer not null primary key, NOME varchar(40), VALOR numeric(15,2), "
    "DATA timestamp, QTDE integer, OBS varchar(100))";

// Names, streets and towns combined by the row number: realistic lengths and repetition.
QString fillBlock(int rows) {
    return QStringLiteral(
               "execute block as declare i integer = 1; begin while (i <= %1) do begin "
               "insert into BENCH values (:i, "
               "decode(mod(:i, 12), 0, 'Ana', 1, 'Bruno', 2, 'Carla', 3, 'Daniel', 4, 'Eduarda', 5, 'Fernando', "
               "6, 'Gabriela', 7, 'Henrique', 8, 'Isabela', 9, 'João', 10, 'Luíza', 'Marcelo') || ' ' || "
               "decode(mod(:i / 12, 10), 0, 'Silva', 1, 'Santos', 2, 'Oliveira', 3, 'Souza', 4, 'Rodrigues', "
               "5, 'Ferreira', 6, 'Alves', 7, 'Pereira', 8, 'Lima', 'Gomes'), "
               "mod(:i * 7919, 10000000) / 100.0, "
               "dateadd(mod(:i * 37, 86400) second to dateadd(mod(:i * 13, 2500) day to timestamp '2019-01-01 00:00:00')), "
               "mod(:i * 31, 500), "
               "'Rua ' || decode(mod(:i, 7), 0, 'das Flores', 1, 'Sete de Setembro', 2, 'XV de Novembro', "
               "3, 'São João', 4, 'Marechal Deodoro', 5, 'da Praia', 'Tiradentes') || ', ' || mod(:i * 17, 3000) || "
               "' - ' || decode(mod(:i / 7, 6), 0, 'Centro', 1, 'Boa Vista', 2, 'Jardim América', 3, 'Vila Nova', "
               "4, 'Santa Cruz', 'Bela Vista') || ' - ' || decode(mod(:i / 42, 5), 0, 'São Paulo/SP', "
               "1, 'Curitiba/PR', 2, 'Recife/PE', 3, 'Belo Horizonte/MG', 'Porto Alegre/RS')); "
               "i = i + 1; end end")
        .arg(rows);
}

void execImmediate(isc_db_handle* db, isc_tr_handle* tr, const QString& sql) {
    ISC_STATUS_ARRAY status = {};
    const QByteArray text = sql.toUtf8();
    fbApi().isc_dsql_execute_immediate(status, db, tr, 0, text.constData(), 3, nullptr);
    checkStatus(status);
}

// Creates the database under a temporary name and renames it when it is complete, so that an
// interrupted run leaves nothing that looks finished.
void createDatabase(const QString& path, int rows) {
    if (QFile::exists(path)) return;
    std::fprintf(stderr, "# creating %s (%d rows)\n", qPrintable(path), rows);
    const QString tmp = path + QStringLiteral(".part");
    QFile::remove(tmp);
    ISC_STATUS_ARRAY status = {};
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
    execImmediate(&db, &tr,
                  QStringLiteral("CREATE DATABASE '%1' USER 'SYSDBA' PAGE_SIZE 8192 DEFAULT CHARACTER SET UTF8").arg(tmp));
    char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_concurrency, isc_tpb_wait};
    FbTeb teb{&db, sizeof tpb, tpb};
    fbApi().isc_start_multiple(status, &tr, 1, &teb);
    checkStatus(status);
    execImmediate(&db, &tr, QString::fromLatin1(kCreateTable));
    fbApi().isc_commit_retaining(status, &tr);
    checkStatus(status);
    execImmediate(&db, &tr, fillBlock(rows));
    fbApi().isc_commit_transaction(status, &tr);
    checkStatus(status);
    fbApi().isc_detach_database(status, &db);
    checkStatus(status);
    if (!QFile::rename(tmp, path)) throw AppError(QStringLiteral("cannot rename %1").arg(tmp));
}

struct Connection {
    Database db;
    Transaction tr;
    // Through the embedded engine, or through a server with `password`.
    explicit Connection(const QString& path, const QString& password = QString()) {
        db.setLoginPrompt(false);
        db.params() = QStringList{QStringLiteral("user_name=SYSDBA")};
        if (!password.isEmpty()) db.params() << QStringLiteral("password=") + password;
        db.setDatabaseName(path);
        db.setDefaultTransaction(&tr);
        tr.setDefaultDatabase(&db);
        tr.params() = QStringList{QStringLiteral("read_committed"), QStringLiteral("rec_version"),
                                  QStringLiteral("nowait")};
        db.setConnected(true);
        tr.start();
    }
};

double seconds(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e9; }

// CPU time of the whole process (the embedded engine works in it too).
double cpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

long residentBytes() {
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> parts = f.readAll().split(' ');
    return parts.size() > 1 ? parts[1].toLong() * sysconf(_SC_PAGESIZE) : 0;
}

QString loadAverage() {
    QFile f(QStringLiteral("/proc/loadavg"));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(f.readAll()).trimmed();
}

const QString kSelect = QStringLiteral("select * from BENCH");

QString serverPassword() {
    const QString p = qEnvironmentVariable("FBADMIN_TEST_PASSWORD");
    return p.isEmpty() ? QStringLiteral("fbadmin-test") : p;
}

// The dataset reading every row, opened anew.
int datasetFetchAll(Database* db) {
    DataSet ds;
    ds.setDatabase(db);
    ds.setSelectSQL({kSelect});
    ds.open();
    ds.fetchAll();
    return ds.rowCount();
}

// The floor: the client library's own statement calls, every row fetched into the descriptor area
// and nothing kept.
qint64 rawFetch(Connection& c) {
    const FbApi& api = fbApi();
    ISC_STATUS_ARRAY status = {};
    SqlDa out;
    out.reserve(6);
    isc_stmt_handle st = 0;
    api.isc_dsql_alloc_statement2(status, c.db.handle(), &st);
    checkStatus(status);
    const QByteArray sql = kSelect.toUtf8();
    api.isc_dsql_prepare(status, c.tr.handle(), &st, 0, sql.constData(), 3, out.da());
    checkStatus(status);
    out.allocate();
    api.isc_dsql_execute(status, c.tr.handle(), &st, 1, nullptr);
    checkStatus(status);
    qint64 rows = 0;
    while (api.isc_dsql_fetch(status, &st, 1, out.da()) == 0)
        ++rows;
    checkStatus(status);
    api.isc_dsql_free_statement(status, &st, DSQL_drop);
    return rows;
}

// Wall-clock and CPU seconds of each run of one measurement.
struct Figures {
    std::vector<double> runs;
    std::vector<double> cpu;
    double best() const { return *std::min_element(runs.begin(), runs.end()); }
    double med() const { return median(runs); }
    double cpuBest() const { return *std::min_element(cpu.begin(), cpu.end()); }
    // Times f() as one run.
    template <class F> auto measure(F&& f) {
        QElapsedTimer t;
        const double c0 = cpuSeconds();
        t.start();
        auto result = f();
        runs.push_back(seconds(t));
        cpu.push_back(cpuSeconds() - c0);
        return result;
    }
};

void printRuns(const char* name, const Figures& f) {
    std::printf("# %s runs (wall s):", name);
    for (double r : f.runs)
        std::printf(" %.4f", r);
    std::printf("; best %.4f, median %.4f, best CPU %.4f\n", f.best(), f.med(), f.cpuBest());
}
} // namespace

void runPrintBench(Database* db, const QString& dataFolder);
void sqlWindowBench(Database* db, const QString& select, const std::function<qint64()>& rawFetch);
void runExportBench(Database& db, const QString& workFolder); // exportbench.cpp
void runBlobGridBench(const QString& dataFolder);             // blobgridbench.cpp
void runMonitorBench(const QString& dataFolder);              // monitorbench.cpp
void runExportWindowsBench(const QString& databasePath, const QString& workFolder); // exportwindowsbench.cpp
void runAdminBench(const QString& bigPath, const QString& dataFolder); // adminbench.cpp
void runDdlExtractBench(const QString& dataFolder);           // ddlextractbench.cpp
void runLastRowBench(Database* db, const QString& select, int rows);                // lastrowbench.cpp

namespace {
// The 1,000,000 rows through the loopback server: the dataset against the raw client loop over
// the same protocol, and against the dataset on the embedded engine, interleaved.
void runTcpBench(Connection& embedded, const QString& serverPath) {
    Connection tcp(QStringLiteral("127.0.0.1:") + serverPath, serverPassword());
    rawFetch(tcp); // the server's page cache
    Figures raw, dataset, local;
    for (int i = 0; i < 5; ++i) {
        if (raw.measure([&] { return rawFetch(tcp); }) != kBigRows ||
            dataset.measure([&] { return datasetFetchAll(&tcp.db); }) != kBigRows ||
            local.measure([&] { return datasetFetchAll(&embedded.db); }) != kBigRows)
            throw AppError(QStringLiteral("row count differs"));
    }
    printRuns("raw_fetch_tcp_s", raw);
    printRuns("dataset_fetch_all_tcp_s", dataset);
    printRuns("dataset_fetch_all_embedded_s", local);
    std::printf("fetch_all_tcp_vs_raw_tcp: %.3f\n", dataset.best() / raw.best());
    std::printf("fetch_all_tcp_vs_embedded: %.3f\n", dataset.best() / local.best());
}
} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen"); // fonts, no display
    QApplication app(argc, argv); // the windows of the export benchmark
    if (argc < 2) {
        std::fprintf(stderr, "usage: fbadmin-bench <data folder>\n");
        return 2;
    }
    try {
        const QDir dir(QString::fromLocal8Bit(argv[1]));
        if (!dir.exists() && !QDir().mkpath(dir.path())) throw AppError(QStringLiteral("no folder"));
        // "--ddl": the metadata extract alone.
        if (argc >= 3 && QByteArray(argv[2]) == "--ddl") {
            runDdlExtractBench(dir.absolutePath());
            return 0;
        }
        const QString bigPath = dir.absoluteFilePath(QStringLiteral("bench-1m.fdb"));
        const QString smallPath = dir.absoluteFilePath(QStringLiteral("bench-10.fdb"));
        createDatabase(bigPath, kBigRows);
        createDatabase(smallPath, 10);
        // The server reaches its own copy: the embedded engine of this process holds the first.
        const QString serverPath = dir.absoluteFilePath(QStringLiteral("bench-1m-server.fdb"));
        if (!QFile::exists(serverPath) && !QFile::copy(bigPath, serverPath))
            throw AppError(QStringLiteral("cannot copy %1").arg(bigPath));
        std::printf("# load average before: %s\n", qPrintable(loadAverage()));
        // Backup and restore through the embedded engine's service manager and gbak's: before this
        // process attaches the database (the engine gives a file to one process at a time).
        if (!(argc >= 4 && QByteArray(argv[2]) == "--only")) runAdminBench(bigPath, dir.absolutePath());

        Connection big(bigPath);
        Connection small(smallPath);

        // "--only export-windows" or "--only print": the exports from the two windows, or the
        // list report, alone.
        if (argc >= 4 && QByteArray(argv[2]) == "--only" && QByteArray(argv[3]) == "export-windows") {
            runExportWindowsBench(bigPath, dir.path());
            return 0;
        }
        if (argc >= 4 && QByteArray(argv[2]) == "--only" && QByteArray(argv[3]) == "print") {
            runPrintBench(&big.db, dir.absolutePath());
            return 0;
        }
        // "--only last-row" or "--only tcp": Ctrl+End through the grid, or the reads through the
        // loopback server, alone.
        if (argc >= 4 && QByteArray(argv[2]) == "--only" && QByteArray(argv[3]) == "last-row") {
            runLastRowBench(&big.db, kSelect, kBigRows);
            return 0;
        }
        if (argc >= 4 && QByteArray(argv[2]) == "--only" && QByteArray(argv[3]) == "tcp") {
            runTcpBench(big, serverPath);
            return 0;
        }
        // "--only raw|dataset|locate N": N passes of one kind and nothing else, for profilers;
        // "--only monitor": the monitor's figures alone.
        if (argc >= 4 && QByteArray(argv[2]) == "--only") {
            const QByteArray kind(argv[3]);
            if (kind == "monitor") {
                runMonitorBench(dir.absolutePath());
                return 0;
            }
            const int passes = argc >= 5 ? QByteArray(argv[4]).toInt() : 3;
            for (int i = 0; i < passes; ++i) {
                if (kind == "raw") {
                    rawFetch(big);
                } else {
                    DataSet ds;
                    ds.setDatabase(&big.db);
                    ds.setSelectSQL({kSelect});
                    ds.open();
                    if (kind == "locate")
                        ds.locate(QStringLiteral("NOME"), QStringLiteral("Zuleica Nenhuma"),
                                  DataSet::CaseInsensitive | DataSet::PartialKey);
                    else
                        ds.fetchAll();
                }
            }
            return 0;
        }

        // Raw client fetches; a first run fills the engine's page cache.
        qint64 rawRows = rawFetch(big);
        // Each round runs the three full reads one after the other, so that all three see the same
        // machine; the dataset's first round also gives the memory.
        Figures raw, fetchAll, locate;
        double bytesPerRow = 0;
        double storePerRow = 0;
        int datasetRows = 0;
        for (int i = 0; i < kRuns; ++i) {
            rawRows = raw.measure([&] { return rawFetch(big); });
            {
                const long before = residentBytes();
                DataSet ds;
                datasetRows = fetchAll.measure([&] {
                    ds.setDatabase(&big.db);
                    ds.setSelectSQL({kSelect});
                    ds.open();
                    ds.fetchAll();
                    return ds.rowCount();
                });
                if (i == 0) {
                    bytesPerRow = static_cast<double>(residentBytes() - before) / datasetRows;
                    storePerRow = static_cast<double>(ds.memoryUsed()) / datasetRows;
                }
            }
            {
                // A text that no row holds: every row is read and compared.
                DataSet ds;
                const bool found = locate.measure([&] {
                    ds.setDatabase(&big.db);
                    ds.setSelectSQL({kSelect});
                    ds.open();
                    return ds.locate(QStringLiteral("NOME"), QStringLiteral("Zuleica Nenhuma"),
                                     DataSet::CaseInsensitive | DataSet::PartialKey);
                });
                if (found || ds.rowCount() != kBigRows) throw AppError(QStringLiteral("locate found a row"));
            }
        }

        // Opening a new dataset and reading the first screen of rows, on the large and the small table.
        auto firstScreen = [](Connection& c) {
            DataSet ds;
            ds.setDatabase(&c.db);
            ds.setSelectSQL({kSelect});
            ds.open();
            ds.fetchMore(kScreenRows - ds.rowCount());
            if (ds.rowCount() < 10) throw AppError(QStringLiteral("first screen short"));
            return 0;
        };
        Figures screenBig, screenSmall;
        for (int i = 0; i < kScreenRuns; ++i) { // interleaved, so that both see the same machine
            screenBig.measure([&] { return firstScreen(big); });
            screenSmall.measure([&] { return firstScreen(small); });
        }

        if (rawRows != kBigRows || datasetRows != kBigRows) throw AppError(QStringLiteral("row count differs"));
        printRuns("raw_fetch_s", raw);
        printRuns("dataset_fetch_all_s", fetchAll);
        printRuns("locate_miss_s", locate);
        printRuns("first_screen_1m_s", screenBig);
        printRuns("first_screen_10_s", screenSmall);
        std::printf("# ratios of medians: fetch_all_vs_raw %.3f, locate_miss_vs_fetch_all %.3f, "
                    "first_screen_1m_vs_10 %.3f\n",
                    fetchAll.med() / raw.med(), locate.med() / fetchAll.med(), screenBig.med() / screenSmall.med());
        std::printf("# ratios of best CPU time: fetch_all_vs_raw %.3f, locate_miss_vs_fetch_all %.3f, "
                    "first_screen_1m_vs_10 %.3f\n",
                    fetchAll.cpuBest() / raw.cpuBest(), locate.cpuBest() / fetchAll.cpuBest(),
                    screenBig.cpuBest() / screenSmall.cpuBest());
        std::printf("# packed store: %.1f bytes per row (resident growth %.1f)\n", storePerRow, bytesPerRow);
        std::printf("# timed figures are the best of %d runs (first screen: of %d runs)\n", kRuns, kScreenRuns);
        std::printf("# load average after: %s\n", qPrintable(loadAverage()));
        std::printf("raw_fetch_s: %.3f\n", raw.best());
        std::printf("dataset_fetch_all_s: %.3f\n", fetchAll.best());
        std::printf("fetch_all_vs_raw: %.3f\n", fetchAll.best() / raw.best());
        std::printf("bytes_per_row: %.1f\n", bytesPerRow);
        std::printf("locate_miss_vs_fetch_all: %.3f\n", locate.best() / fetchAll.best());
        std::printf("first_screen_1m_vs_10: %.3f\n", screenBig.best() / screenSmall.best());
        runLastRowBench(&big.db, kSelect, kBigRows);
        runTcpBench(big, serverPath);
        runPrintBench(&big.db, dir.absolutePath());
        sqlWindowBench(&big.db, kSelect, [&] { return rawFetch(big); });
        runExportBench(big.db, dir.path());
        runBlobGridBench(dir.absolutePath());
        runMonitorBench(dir.absolutePath());
        runExportWindowsBench(bigPath, dir.path());
        runDdlExtractBench(dir.absolutePath());
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "fbadmin-bench: %s\n", e.what());
        return 1;
    }
}
