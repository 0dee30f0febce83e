// The list report of a result already fetched, against fetching those rows, in the same run:
// the time until the preview is ready (report built, pages worked out, first page drawn), the
// memory the report adds beside the row store, and the speed of saving it as PDF.
#include "connection/database.h"
#include "connection/dataset.h"
#include "export/listreport.h"
#include "export/ui/reportpreview.h"
#include "platform/apperror.h"
#include "platform/prompts.h"
#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <malloc.h>
#include <vector>

namespace {
constexpr int kRows = 100000;
constexpr int kRuns = 5;
const QString kFirstRows = QStringLiteral("select first 100000 * from BENCH");

double secondsOf(const QElapsedTimer& t) {
    return static_cast<double>(t.nsecsElapsed()) / 1e9;
}

long long heapInUse() {
    return static_cast<long long>(mallinfo2().uordblks);
}

void openAll(DataSet& ds, Database* db) {
    ds.setDatabase(db);
    ds.setSelectSQL({kFirstRows});
    ds.open();
    ds.fetchAll();
}

// What the preview does before it shows: the report of every field, its pages, page 1 drawn at
// the size a maximised window shows it (a whole A4 page in about 700 pixels of height).
// Answers the preview's file dialog with one file.
class SaveAs : public Prompts {
public:
    explicit SaveAs(QString path) : m_path(std::move(path)) {}
    MsgButton message(const MessageRequest&) override { return MbOk; }
    bool input(const InputRequest&, QString*) override { return false; }
    QString openFile(const FileDialogRequest&) override { return {}; }
    QString saveFile(const FileDialogRequest&) override { return m_path; }
    bool login(const LoginRequest&, QString*, QString*) override { return false; }
    void beep() override {}

private:
    QString m_path;
};

std::unique_ptr<ListReport> previewReady(DataSet& ds) {
    auto report = BuildListReport(&ds, QStringLiteral("BENCH"), ds.fieldDefNames(), QPageSize(QPageSize::A4));
    report->setTitle(QStringLiteral("Relatório de Dados da tabela - BENCH"));
    report->prepare();
    QImage page(500, 707, QImage::Format_ARGB32_Premultiplied);
    page.fill(Qt::white);
    QPainter p(&page);
    p.scale(500 / report->pageSize(0).width(), 500 / report->pageSize(0).width());
    report->paintPage(p, 0);
    return report;
}
} // namespace

void runPrintBench(Database* db, const QString& dataFolder) {
    std::vector<double> fetch, ready;
    long long storeBytes = 0, reportBytes = 0;
    int pages = 0;
    // A first report loads the fonts, which stay for the whole process whatever is printed.
    {
        DataSet ds;
        openAll(ds, db);
        previewReady(ds);
    }
    for (int i = 0; i < kRuns; ++i) {
        DataSet ds;
        QElapsedTimer t;
        t.start();
        openAll(ds, db);
        fetch.push_back(secondsOf(t));
        if (ds.rowCount() != kRows) throw AppError(QStringLiteral("print bench: row count differs"));
        const long long before = heapInUse();
        t.restart();
        const std::unique_ptr<ListReport> report = previewReady(ds);
        ready.push_back(secondsOf(t));
        reportBytes = std::max(0LL, heapInUse() - before);
        storeBytes = ds.memoryUsed();
        pages = report->pageCount();
    }

    DataSet ds;
    openAll(ds, db);
    const std::unique_ptr<ListReport> report = previewReady(ds);
    const QString pdf = QDir(dataFolder).absoluteFilePath(QStringLiteral("print-bench.pdf"));
    QElapsedTimer t;
    t.start();
    report->savePdf(pdf);
    const double pdfSeconds = secondsOf(t);
    const qint64 pdfBytes = QFile(pdf).size();
    QFile::remove(pdf);
    // The same through the preview's "Save report", which shows its progress and lets the windows
    // be painted between pages.
    double previewSeconds = 0;
    {
        SaveAs answer(pdf);
        Prompts::setInstance(&answer);
        ReportPreview preview(report.get(), nullptr);
        t.restart();
        preview.saveReportAction->trigger();
        previewSeconds = secondsOf(t);
        Prompts::setInstance(nullptr);
        if (QFile(pdf).size() != pdfBytes) throw AppError(QStringLiteral("print bench: saved PDF differs"));
        QFile::remove(pdf);
    }

    const double bestFetch = *std::min_element(fetch.begin(), fetch.end());
    const double bestReady = *std::min_element(ready.begin(), ready.end());
    std::printf(
        "# print: %d rows in %d pages; fetch best %.4f s, preview ready best %.4f s; row store %lld bytes, "
        "report %lld bytes; PDF %lld bytes in %.2f s (%.2f s through the preview, with its progress)\n",
        kRows, pages, bestFetch, bestReady, storeBytes, reportBytes, static_cast<long long>(pdfBytes),
        pdfSeconds, previewSeconds);
    std::printf("preview_vs_fetch: %.4f\n", bestReady / bestFetch);
    std::printf("preview_bytes_vs_rowstore: %.4f\n", static_cast<double>(reportBytes) / storeBytes);
    std::printf("pdf_pages_per_s: %.1f\n", pages / pdfSeconds);
    std::printf("pdf_save_preview_vs_plain: %.3f\n", previewSeconds / pdfSeconds);
}
