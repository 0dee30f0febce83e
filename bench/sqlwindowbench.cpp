// The SQL command window's query: a SELECT of every row run as the window runs it (the server's
// part on its own thread) and read to the end through the grid's model, against the raw client
// loop in the same run; and how long the event loop (which draws the windows) was kept waiting
// while a long statement ran.
#include "connection/database.h"
#include "connection/dataset.h"
#include "connection/datasetmodel.h"
#include "platform/apperror.h"
#include "sql/sqlrunner.h"
#include "stallmeter.h"
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace {
constexpr int kRuns = 7;
constexpr int kTickMs = 5;

// CPU time of the whole process (the embedded engine and the statement's thread work in it too):
// less swayed than the wall clock by other work on a shared machine.
double cpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// Runs one statement as the window does and waits for its end in an event loop; returns the
// longest gap between two ticks of a timer on that loop meanwhile.
qint64 runInWindowQuery(SqlRunner& runner, const QString& sql) {
    QEventLoop loop;
    StallMeter stall(kTickMs);
    RunOutcome outcome;
    const auto c = QObject::connect(&runner, &SqlRunner::finished, [&](const RunOutcome& o) {
        outcome = o;
        loop.quit();
    });
    stall.start();
    runner.runStatement(sql);
    loop.exec();
    const qint64 longest = stall.longestMs();
    QObject::disconnect(c);
    if (outcome.kind != RunOutcome::Rows) throw AppError(outcome.error);
    return longest;
}
} // namespace

void sqlWindowBench(Database* db, const QString& select, const std::function<qint64()>& rawFetch) {
    DataSet query;
    query.setDatabase(db);
    DataSetModel model(&query);
    SqlRunner runner(&query);

    std::vector<double> raw, window, rawCpu, windowCpu;
    qint64 rows = 0;
    for (int i = 0; i < kRuns; ++i) { // interleaved, so that both see the same machine
        QElapsedTimer t;
        t.start();
        double c0 = cpuSeconds();
        rawFetch();
        raw.push_back(static_cast<double>(t.nsecsElapsed()) / 1e9);
        rawCpu.push_back(cpuSeconds() - c0);

        t.restart();
        c0 = cpuSeconds();
        runInWindowQuery(runner, select);
        while (model.canFetchMore({}))
            model.fetchMore({});
        window.push_back(static_cast<double>(t.nsecsElapsed()) / 1e9);
        windowCpu.push_back(cpuSeconds() - c0);
        rows = model.rowCount();
        query.close();
    }

    // A statement that keeps the server busy for a while before its one row comes back.
    qint64 stall = 0;
    QElapsedTimer longRun;
    longRun.start();
    for (int i = 0; i < 3; ++i)
        stall =
            std::max(stall, runInWindowQuery(runner, QStringLiteral("select count(*), max(a.OBS || a.NOME) "
                                                                    "from BENCH a where a.ID > 0")));
    const double longSeconds = static_cast<double>(longRun.elapsed()) / 3000.0;
    query.close();

    const double rawBest = *std::min_element(raw.begin(), raw.end());
    const double windowBest = *std::min_element(window.begin(), window.end());
    std::printf("# sql window: %lld rows; best raw %.4f s, best window query + model %.4f s (of %d runs)\n",
                static_cast<long long>(rows), rawBest, windowBest, kRuns);
    std::printf("# sql window, ratio of best CPU time: %.3f\n",
                *std::min_element(windowCpu.begin(), windowCpu.end()) /
                    *std::min_element(rawCpu.begin(), rawCpu.end()));
    std::printf("# long statement: %.3f s each; event-loop ticks every %d ms\n", longSeconds, kTickMs);
    std::printf("sqlwindow_fetch_vs_raw: %.3f\n", windowBest / rawBest);
    std::printf("longest_ui_stall_ms: %lld\n", static_cast<long long>(stall));
}
