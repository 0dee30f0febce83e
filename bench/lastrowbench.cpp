// Ctrl+End in a grid of the 1,000,000-row table: the rest of the result read in the background
// while the event loop turns, against the dataset's plain fetchAll() in the same run; and the
// longest the event loop stood still meanwhile (a timer ticking every few milliseconds).
#include "connection/database.h"
#include "connection/dataset.h"
#include "connection/datasetmodel.h"
#include "connection/ui/fetchallline.h"
#include "platform/apperror.h"
#include "stallmeter.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
constexpr int kRuns = 5;
constexpr int kTickMs = 5;

double best(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

double plainFetchAll(Database* db, const QString& select) {
    QElapsedTimer t;
    t.start();
    DataSet ds;
    ds.setDatabase(db);
    ds.setSelectSQL({select});
    ds.open();
    ds.fetchAll();
    const double s = static_cast<double>(t.nsecsElapsed()) / 1e9;
    if (!ds.allFetched()) throw AppError(QStringLiteral("fetchAll stopped"));
    return s;
}

// One Ctrl+End: from the key to the grid's cursor on the last row. `stallMs` gets the longest
// gap between two ticks of the event loop meanwhile.
double ctrlEnd(Database* db, const QString& select, int expectedRows, qint64* stallMs) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    DataSet ds;
    ds.setDatabase(db);
    ds.setSelectSQL({select});
    DataSetModel model(&ds);
    auto* grid = new QTableView(&window);
    grid->setModel(&model);
    layout->addWidget(grid);
    auto* line = new FetchAllLine(grid, &ds, &window);
    layout->addWidget(line);
    window.resize(800, 600);
    window.show();
    ds.open();
    QCoreApplication::processEvents(); // the first screen
    grid->setFocus();
    grid->setCurrentIndex(model.index(0, 0));

    QEventLoop loop;
    StallMeter stall(kTickMs);
    QObject::connect(&ds, &DataSet::backgroundFetchEnded, &loop, [&] {
        QTimer::singleShot(0, &loop, &QEventLoop::quit); // after the grid has moved
    });
    QElapsedTimer t;
    t.start();
    stall.start();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
    QCoreApplication::sendEvent(grid, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_End, Qt::ControlModifier);
    QCoreApplication::sendEvent(grid, &release);
    loop.exec();
    const double s = static_cast<double>(t.nsecsElapsed()) / 1e9;
    *stallMs = stall.longestMs();
    if (grid->currentIndex().row() != expectedRows - 1 || ds.rowCount() != expectedRows)
        throw AppError(QStringLiteral("Ctrl+End did not reach the last row (%1 of %2)")
                           .arg(grid->currentIndex().row() + 1)
                           .arg(expectedRows));
    return s;
}
} // namespace

void runLastRowBench(Database* db, const QString& select, int rows) {
    std::vector<double> plain, grid;
    qint64 stall = 0;
    for (int i = 0; i < kRuns; ++i) { // interleaved, so that both see the same machine
        plain.push_back(plainFetchAll(db, select));
        qint64 s = 0;
        grid.push_back(ctrlEnd(db, select, rows, &s));
        stall = std::max(stall, s);
    }
    std::printf("# last row: plain fetch-all best %.3f s, Ctrl+End through the grid best %.3f s; "
                "event-loop ticks every %d ms\n",
                best(plain), best(grid), kTickMs);
    std::printf("last_row_vs_fetch_all: %.3f\n", best(grid) / best(plain));
    std::printf("last_row_ui_stall_ms: %lld\n", static_cast<long long>(stall));
}
