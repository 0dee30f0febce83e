// Backup and restore of the 1,000,000-row benchmark database through our services layer (the work
// on its job thread, the verbose lines handed to the event loop as the backup window takes them)
// against gbak through the same service manager (`gbak -b -se service_mgr`, `gbak -c -se
// service_mgr`), interleaved in one run; and the longest wait of the event loop while our backups
// ran. Everything goes through the embedded engine, so this must run while no other attachment of
// this process holds the database.
#include "admin/admintarget.h"
#include "admin/backup.h"
#include "admin/gbakprogress.h"
#include "admin/restore.h"
#include "admin/servicejob.h"
#include "platform/apperror.h"
#include "stallmeter.h"
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
constexpr int kRuns = 3;
constexpr int kTickMs = 5;

double seconds(const QElapsedTimer& t) {
    return static_cast<double>(t.nsecsElapsed()) / 1e9;
}

void removeFile(const QString& path) {
    QFile::remove(path);
    if (QFile::exists(path)) throw AppError(QStringLiteral("cannot remove %1").arg(path));
}

int g_gbakCrashes = 0;

// gbak as a separate process; its run time. gbak 3.0.11 through the embedded service manager now
// and then crashes as it exits, once the service has ended (more often when its output is a pipe,
// so it goes to a file): a run whose result `made` is there counts, and the crashes are told.
double runGbak(const QStringList& args, const QString& log, const QString& made) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setStandardOutputFile(log);
    p.setStandardInputFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    p.start(QStringLiteral("gbak"), args);
    const bool finished = p.waitForFinished(-1);
    const double elapsed = seconds(t);
    if (finished && p.exitStatus() == QProcess::CrashExit && QFile(made).size() > 0) {
        ++g_gbakCrashes;
        return elapsed;
    }
    if (!finished || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        throw AppError(QStringLiteral("gbak %1 failed (status %2, code %3): %4")
                           .arg(args.join(' '))
                           .arg(p.exitStatus())
                           .arg(p.exitCode())
                           .arg(QString::fromLocal8Bit([&] {
                               QFile f(log);
                               return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
                           }())));
    return elapsed;
}

struct JobTiming {
    double seconds = 0;
    qint64 longestStallMs = 0;
};

// Runs the work on a ServiceJob inside an event loop, as a window does: the lines are taken on the
// loop's thread and read for progress. A timer ticks every few milliseconds; the longest gap
// between two ticks is how long the interface would have been frozen.
JobTiming runOnJob(const ServiceJob::Work& work) {
    ServiceJob job;
    GbakProgress progress;
    qint64 lines = 0;
    QObject::connect(&job, &ServiceJob::linesArrived, [&](const QStringList& l) {
        for (const QString& line : l)
            progress.read(line);
        lines += l.size();
    });
    QEventLoop loop;
    std::exception_ptr error;
    StallMeter stall(kTickMs);
    QElapsedTimer t;
    t.start();
    stall.start();
    job.start(work, [&](std::exception_ptr e) {
        error = e;
        loop.quit();
    });
    loop.exec();
    JobTiming timing{seconds(t), stall.longestMs()};
    if (error) std::rethrow_exception(error);
    if (lines == 0) throw AppError(QStringLiteral("no verbose lines came"));
    return timing;
}
} // namespace

void runAdminBench(const QString& bigPath, const QString& dataFolder) {
    const QDir dir(dataFolder);
    const QString gbakFile = dir.filePath(QStringLiteral("admin-gbak.fbk"));
    const QString ourFile = dir.filePath(QStringLiteral("admin-ours.fbk"));
    const QString gbakDb = dir.filePath(QStringLiteral("admin-gbak.fdb"));
    const QString ourDb = dir.filePath(QStringLiteral("admin-ours.fdb"));
    const QString log = dir.filePath(QStringLiteral("admin-gbak.log"));
    for (const QString& f : {gbakFile, ourFile, gbakDb, ourDb})
        removeFile(f);
    const AdminTarget database = AdminTarget::of(bigPath, QStringLiteral("SYSDBA"), QString());
    const QStringList login{QStringLiteral("-se"), QStringLiteral("service_mgr"), QStringLiteral("-user"),
                            QStringLiteral("SYSDBA")};

    // A first backup fills the system's file cache for both.
    runGbak(QStringList{QStringLiteral("-b")} + login + QStringList{bigPath, gbakFile}, log, gbakFile);

    std::vector<double> gbakBackup, ourBackup;
    qint64 stall = 0;
    for (int i = 0; i < kRuns; ++i) { // interleaved, so that both see the same machine
        removeFile(gbakFile);
        gbakBackup.push_back(runGbak(QStringList{QStringLiteral("-b")} + login + QStringList{bigPath, gbakFile}, log, gbakFile));
        removeFile(ourFile);
        BackupOptions o;
        o.file = ourFile;
        const JobTiming t = runOnJob([&](ServiceJob& job) { runBackup(job, database, o); });
        ourBackup.push_back(t.seconds);
        stall = std::max(stall, t.longestStallMs);
    }
    if (QFile(ourFile).size() <= 0 || QFile(gbakFile).size() <= 0) throw AppError(QStringLiteral("no backup"));

    std::vector<double> gbakRestore, ourRestore;
    for (int i = 0; i < kRuns; ++i) {
        removeFile(gbakDb);
        gbakRestore.push_back(runGbak(QStringList{QStringLiteral("-c")} + login + QStringList{gbakFile, gbakDb}, log, gbakDb));
        removeFile(ourDb);
        RestoreOptions o;
        o.backupFile = gbakFile;
        o.databasePath = ourDb;
        const JobTiming t = runOnJob([&](ServiceJob& job) { runRestore(job, database, o, std::nullopt); });
        ourRestore.push_back(t.seconds);
    }
    for (const QString& f : {gbakFile, ourFile, gbakDb, ourDb, log})
        removeFile(f);

    printRuns("gbak_backup_s", gbakBackup);
    printRuns("our_backup_s", ourBackup);
    printRuns("gbak_restore_s", gbakRestore);
    printRuns("our_restore_s", ourRestore);
    auto best = [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); };
    std::printf("# backup and restore: best of %d interleaved runs each, through the embedded engine; "
                "event-loop ticks every %d ms; gbak crashed as it exited %d times\n",
                kRuns, kTickMs, g_gbakCrashes);
    std::printf("backup_vs_gbak: %.3f\n", best(ourBackup) / best(gbakBackup));
    std::printf("restore_vs_gbak: %.3f\n", best(ourRestore) / best(gbakRestore));
    std::printf("backup_ui_stall_ms: %lld\n", static_cast<long long>(stall));
    std::fflush(stdout);
}
