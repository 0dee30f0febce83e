// The spreadsheet export of 100,000 rows of the benchmark table, rows already fetched and the
// dataset shown by a grid's model, through the procedure the windows run until the .xlsx is
// written; against libxlsxwriter writing the same values directly in the same run. Also the bytes
// the in-memory workbook holds for those cells against the dataset's own row store.
#include "connection/database.h"
#include "connection/dataset.h"
#include "connection/datasetmodel.h"
#include "export/spreadsheetexport.h"
#include "export/spreadsheetserver.h"
#include "platform/automation.h"
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>
#include <xlsxwriter.h>

namespace {
constexpr int kExportRuns = 5;
const QString kExportSelect = QStringLiteral("select * from BENCH where ID <= 100000 order by ID");

// One value ready for libxlsxwriter.
struct PlainCell {
    enum Kind { Number, Text, Empty } kind = Empty;
    double number = 0;
    std::string text;
    int format = 0; // 0 general, 1 two decimals, 2 date and time
};

// The dataset's values as the reference writes them: numbers, UTF-8 texts, timestamps as serial days.
std::vector<std::vector<PlainCell>> plainRows(const DataSet& ds) {
    std::vector<std::vector<PlainCell>> rows;
    std::vector<PlainCell> title;
    for (int f = 0; f < ds.fieldCount(); ++f)
        title.push_back({PlainCell::Text, 0, ds.field(f)->fieldName().toStdString(), 0});
    rows.push_back(std::move(title));
    const QDateTime epoch(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
    for (int r = 0; r < ds.rowCount(); ++r) {
        std::vector<PlainCell> row;
        for (int f = 0; f < ds.fieldCount(); ++f) {
            const QVariant v = ds.value(r, f);
            PlainCell c;
            if (!v.isValid()) {
            } else if (v.typeId() == QMetaType::QString) {
                c = {PlainCell::Text, 0, v.toString().toStdString(), 0};
            } else if (v.typeId() == QMetaType::QDateTime) {
                c = {PlainCell::Number,
                     static_cast<double>(epoch.msecsTo(v.toDateTime())) / 86400000.0,
                     {},
                     2};
            } else {
                c = {PlainCell::Number, v.toDouble(), {}, ds.field(f)->kind() == FieldKind::BCD ? 1 : 0};
            }
            row.push_back(std::move(c));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

void writeDirectly(const std::vector<std::vector<PlainCell>>& rows, const QString& path,
                   bool constantMemory) {
    lxw_workbook_options options{};
    options.constant_memory = constantMemory ? LXW_TRUE : LXW_FALSE;
    lxw_workbook* wb = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    lxw_worksheet* ws = workbook_add_worksheet(wb, "Planilha1");
    lxw_format* formats[3] = {nullptr, workbook_add_format(wb), workbook_add_format(wb)};
    format_set_num_format(formats[1], "0.00");
    format_set_num_format(formats[2], "dd/mm/yyyy hh:mm:ss");
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size(); ++c) {
            const PlainCell& cell = rows[r][c];
            if (cell.kind == PlainCell::Text)
                worksheet_write_string(ws, static_cast<lxw_row_t>(r), static_cast<lxw_col_t>(c),
                                       cell.text.c_str(), nullptr);
            else if (cell.kind == PlainCell::Number)
                worksheet_write_number(ws, static_cast<lxw_row_t>(r), static_cast<lxw_col_t>(c), cell.number,
                                       formats[cell.format]);
        }
    if (workbook_close(wb) != LXW_NO_ERROR) throw AppError(QStringLiteral("libxlsxwriter failed"));
}

// Wall-clock and process CPU seconds of each run: on a busy machine the CPU time is the steadier.
struct Runs {
    std::vector<double> wall, cpu;
    template <class F> void measure(F&& f) {
        timespec c0{}, c1{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &c0);
        QElapsedTimer t;
        t.start();
        f();
        wall.push_back(static_cast<double>(t.nsecsElapsed()) / 1e9);
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &c1);
        cpu.push_back(static_cast<double>(c1.tv_sec - c0.tv_sec) +
                      static_cast<double>(c1.tv_nsec - c0.tv_nsec) / 1e9);
    }
    double best() const { return *std::min_element(wall.begin(), wall.end()); }
    double bestCpu() const { return *std::min_element(cpu.begin(), cpu.end()); }
    void print(const char* name) const {
        std::printf("# %s runs (wall s):", name);
        for (double s : wall)
            std::printf(" %.4f", s);
        std::printf("; best %.4f, best CPU %.4f\n", best(), bestCpu());
    }
};
} // namespace

void runExportBench(Database& db, const QString& workFolder) {
    // The workbooks the export hands over land in a folder of ours, emptied afterwards.
    QDir work(workFolder);
    work.mkpath(QStringLiteral("export"));
    QDir out(work.filePath(QStringLiteral("export")));
    qputenv("TMPDIR", QFile::encodeName(out.path()));

    DataSet ds;
    ds.setDatabase(&db);
    ds.setSelectSQL({kExportSelect});
    ds.open();
    ds.fetchAll();
    DataSetModel grid(&ds);
    const auto rows = plainRows(ds);

    DispatchRef lastApplication;
    ClassRegistration r;
    r.clsid = QUuid::createUuid();
    r.create = [&] {
        lastApplication = createSpreadsheetApplication({QStringLiteral("true"), {}});
        return lastApplication;
    };
    registerClass(QStringLiteral("Excel.Application"), r);

    Runs direct, directDefault, exported;
    const QString directFile = out.filePath(QStringLiteral("direct.xlsx"));
    for (int i = 0; i < kExportRuns; ++i) { // interleaved, so that all three see the same machine
        direct.measure([&] { writeDirectly(rows, directFile, true); });
        exported.measure([&] { SpreadsheetExport(ds, {ExportControls::BeforeWorkbook, [](bool) {}}); });
        directDefault.measure([&] { writeDirectly(rows, directFile, false); });
    }
    const double workbookBytes = static_cast<double>(spreadsheetCellBytes(lastApplication));
    lastApplication.reset();
    unregisterClass(QStringLiteral("Excel.Application"));
    out.removeRecursively();

    direct.print("xlsxwriter_direct_s (rows streamed, as the export writes)");
    directDefault.print("xlsxwriter_direct_default_s (the library's default mode)");
    exported.print("export_s");
    // Against the faster of the library's two modes.
    const double reference = std::min(direct.best(), directDefault.best());
    std::printf("# ratio of best CPU time: export_vs_xlsxwriter %.3f\n",
                exported.bestCpu() / std::min(direct.bestCpu(), directDefault.bestCpu()));
    std::printf("# %d rows; workbook %.0f bytes, row store %lld bytes\n", ds.rowCount(), workbookBytes,
                static_cast<long long>(ds.memoryUsed()));
    std::printf("export_vs_xlsxwriter: %.3f\n", exported.best() / reference);
    std::printf("workbook_bytes_vs_rowstore: %.3f\n", workbookBytes / static_cast<double>(ds.memoryUsed()));
}
