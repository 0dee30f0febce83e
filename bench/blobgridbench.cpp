// Drawing one page of a browse grid whose rows hold text blobs of 4 MB, against the same page of
// rows holding short texts, in the same run. For each visible cell the grid's painting asks the
// model for its display text twice (the default painting, then the cell's own text) and draws the
// text; the first page also opens the table and reads its rows, later pages are repaints.
#include "connection/database.h"
#include "connection/datasetmodel.h"
#include "connection/fbapi.h"
#include "connection/fberror.h"
#include "connection/statement.h"
#include "connection/transaction.h"
#include "platform/apperror.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
constexpr int kPageRows = 30; // a maximised browse window
constexpr qsizetype kBigBytes = 4 * 1024 * 1024;
constexpr int kRuns = 5;
constexpr int kRepaints = 3;

// Lines of accented text up to `bytes` bytes of UTF-8, different for every row.
QByteArray bigText(int row, qsizetype bytes) {
    QByteArray text;
    text.reserve(bytes + 100);
    for (int line = 0; text.size() < bytes; ++line)
        text += QStringLiteral("Registro %1, linha %2: ação, pão e café com açúcar\r\n")
                    .arg(row)
                    .arg(line)
                    .toUtf8();
    text.truncate(bytes);
    return text;
}

// Attached as SYSDBA through the embedded engine, in the program's transaction.
struct Connection {
    Database db;
    Transaction tr;
    explicit Connection(const QString& path) {
        db.setLoginPrompt(false);
        db.params() = QStringList{QStringLiteral("user_name=SYSDBA")};
        db.setDatabaseName(path);
        db.setDefaultTransaction(&tr);
        tr.setDefaultDatabase(&db);
        tr.params() = QStringList{QStringLiteral("read_committed"), QStringLiteral("rec_version"),
                                  QStringLiteral("nowait")};
        db.setConnected(true);
    }
};

void createBlobDatabase(const QString& path) {
    if (QFile::exists(path)) return;
    std::fprintf(stderr, "# creating %s\n", qPrintable(path));
    const QString part = path + QStringLiteral(".part");
    QFile::remove(part);
    {
        ISC_STATUS_ARRAY status = {};
        isc_db_handle db = 0;
        isc_tr_handle tr = 0;
        const QByteArray create =
            QStringLiteral("CREATE DATABASE '%1' USER 'SYSDBA' PAGE_SIZE 8192 DEFAULT CHARACTER SET UTF8")
                .arg(part)
                .toUtf8();
        fbApi().isc_dsql_execute_immediate(status, &db, &tr, 0, create.constData(), 3, nullptr);
        checkStatus(status);
        fbApi().isc_detach_database(status, &db);
        checkStatus(status);
    }
    Connection c(part);
    Database& db = c.db;
    Transaction& tr = c.tr;
    tr.start();
    for (const char* table : {"GRANDES", "CURTOS"})
        executeImmediate(
            &db, &tr,
            QStringLiteral("create table %1 (ID integer not null primary key, OBS blob sub_type text)")
                .arg(QLatin1String(table)));
    tr.commit();
    tr.start();
    {
        Statement big(&db, &tr);
        big.prepare(QStringLiteral("insert into GRANDES (ID, OBS) values (?, ?)"));
        Statement small(&db, &tr);
        small.prepare(QStringLiteral("insert into CURTOS (ID, OBS) values (?, ?)"));
        for (int row = 1; row <= kPageRows; ++row) {
            big.in().setValue(0, row);
            big.in().setValue(
                1, QVariant::fromValue<qulonglong>(blobIdToInt(big.writeBlob(bigText(row, kBigBytes)))));
            big.execute();
            small.in().setValue(0, row);
            small.in().setValue(
                1, QVariant::fromValue<qulonglong>(blobIdToInt(small.writeBlob(bigText(row, 60)))));
            small.execute();
        }
    }
    tr.commit();
    db.setConnected(false);
    if (!QFile::rename(part, path)) throw AppError(QStringLiteral("cannot rename %1").arg(part));
}

// One page as the browse grid paints it: odd record numbers bold, the text 2 pixels in.
void paintPage(const DataSetModel& model, QImage& image) {
    QPainter p(&image);
    QFont font;
    font.setPixelSize(16);
    const int rowHeight = 24;
    const int columnWidth = image.width() / std::max(1, model.columnCount());
    for (int row = 0; row < std::min(kPageRows, model.rowCount()); ++row) {
        font.setBold(row % 2 == 0);
        p.setFont(font);
        for (int column = 0; column < model.columnCount(); ++column) {
            const QModelIndex index = model.index(row, column);
            const QRect cell(column * columnWidth, row * rowHeight, columnWidth, rowHeight);
            p.fillRect(cell, Qt::white);
            p.drawText(cell, Qt::AlignLeft | Qt::AlignVCenter, index.data().toString()); // default painting
            const QString text = index.data().toString().left(512); // the cell's own text
            p.drawText(cell.topLeft() + QPoint(2, 2 + p.fontMetrics().ascent()), text);
        }
    }
}

struct Timings {
    std::vector<double> first, repaint;
    double bestFirst() const { return *std::min_element(first.begin(), first.end()); }
    double bestRepaint() const { return *std::min_element(repaint.begin(), repaint.end()); }
};

// Opening the table and drawing its first page, then drawing the same page again.
void measure(Database& db, const QString& table, Timings& t) {
    QImage image(1200, kPageRows * 24, QImage::Format_ARGB32_Premultiplied);
    QElapsedTimer clock;
    clock.start();
    DataSet ds;
    ds.setDatabase(&db);
    ds.setSelectSQL({QStringLiteral("select * from %1 order by ID").arg(table)});
    ds.open();
    DataSetModel model(&ds);
    while (model.rowCount() < kPageRows && model.canFetchMore({}))
        model.fetchMore({});
    if (model.rowCount() < kPageRows) throw AppError(QStringLiteral("%1: page short").arg(table));
    paintPage(model, image);
    t.first.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e9);
    for (int i = 0; i < kRepaints; ++i) {
        clock.restart();
        paintPage(model, image);
        t.repaint.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e9);
    }
}
} // namespace

void runBlobGridBench(const QString& dataFolder) {
    const QString path = QDir(dataFolder).absoluteFilePath(QStringLiteral("bench-blobs.fdb"));
    createBlobDatabase(path);
    Connection c(path);
    Timings big, small;
    for (int i = 0; i < kRuns; ++i) { // interleaved, so that both see the same machine
        measure(c.db, QStringLiteral("GRANDES"), big);
        measure(c.db, QStringLiteral("CURTOS"), small);
    }
    c.tr.commit();
    std::printf("# grid page: %d rows, text blobs of %lld bytes against texts of 60 bytes; best of %d runs "
                "(repaints: of %d)\n",
                kPageRows, static_cast<long long>(kBigBytes), kRuns, kRuns * kRepaints);
    std::printf("grid_page_4mb_blobs_first_s: %.4f\n", big.bestFirst());
    std::printf("grid_page_short_texts_first_s: %.4f\n", small.bestFirst());
    std::printf("grid_page_first_4mb_vs_short: %.2f\n", big.bestFirst() / small.bestFirst());
    std::printf("grid_page_4mb_blobs_repaint_s: %.4f\n", big.bestRepaint());
    std::printf("grid_page_short_texts_repaint_s: %.4f\n", small.bestRepaint());
    std::printf("grid_page_repaint_4mb_vs_short: %.2f\n", big.bestRepaint() / small.bestRepaint());
}
