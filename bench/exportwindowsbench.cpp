// The spreadsheet export of the same 200,000 rows as the user starts it from the two windows that
// offer it: F7 in a browse window of the table, and the export button of an SQL command window
// that ran the same select. Both windows are shown (on the offscreen platform), freshly opened,
// so that each export reads its rows from the server as it walks them; the spreadsheet program is
// a command that does nothing. The ratio compares the best runs of the same invocation.
#include "browse/ui/fbrowse.h"
#include "connection/dm.h"
#include "connection/transaction.h"
#include "export/spreadsheetserver.h"
#include "platform/apperror.h"
#include "platform/automation.h"
#include "platform/prompts.h"
#include "sql/ui/fsql.h"
#include "stallmeter.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QToolButton>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {
constexpr int kRuns = 3;
constexpr int kRows = 200000;
const QString kWhere = QStringLiteral(" Where ID <= 200000");

// Answers the login as SYSDBA (the embedded engine checks no password) and notes every message:
// the benchmark stops on any.
class BenchPrompts : public Prompts {
public:
    QStringList messages;
    MsgButton message(const MessageRequest& r) override {
        messages << r.text;
        return r.defaultButton != MbNone ? r.defaultButton : MbOk;
    }
    bool input(const InputRequest&, QString*) override { return false; }
    QString openFile(const FileDialogRequest&) override { return {}; }
    QString saveFile(const FileDialogRequest&) override { return {}; }
    bool login(const LoginRequest&, QString* user, QString* password) override {
        *user = QStringLiteral("SYSDBA");
        password->clear();
        return true;
    }
    void beep() override {}
};

double secondsOf(const QElapsedTimer& t) {
    return static_cast<double>(t.nsecsElapsed()) / 1e9;
}

void settle() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// Handles events until the condition holds; false when it did not within the time.
template <class F> bool waitFor(F&& done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return true;
}

double browseExport() {
    CurrentTable = QStringLiteral("BENCH");
    BrowseSelect = QStringLiteral("Select * From BENCH") + kWhere;
    std::unique_ptr<TFBrowse> b(new TFBrowse);
    b->setAttribute(Qt::WA_DeleteOnClose, false);
    b->show();
    b->Gs->setFocus();
    settle();
    QElapsedTimer t;
    t.start();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_F7, Qt::NoModifier);
    QApplication::sendEvent(b->Gs, &press);
    const double s = secondsOf(t);
    if (b->IBDataSet1->rowCount() != kRows) throw AppError(QStringLiteral("browse export: rows differ"));
    return s;
}

double sqlExport() {
    std::unique_ptr<TFSql> w(new TFSql);
    w->setAttribute(Qt::WA_DeleteOnClose, false);
    w->show();
    w->MemoSql->setPlainText(QStringLiteral("select * from BENCH") + kWhere);
    w->bexe->click();
    if (!waitFor([&] { return !w->running(); }, 60000))
        throw AppError(QStringLiteral("SQL window: the statement did not end"));
    settle();
    QElapsedTimer t;
    t.start();
    w->bexcel->click();
    const double s = secondsOf(t);
    if (w->IBSet->rowCount() != kRows) throw AppError(QStringLiteral("SQL window export: rows differ"));
    return s;
}
} // namespace

void runExportWindowsBench(const QString& databasePath, const QString& workFolder) {
    // The workbooks land in a folder of ours, emptied afterwards.
    QDir out(QDir(workFolder).filePath(QStringLiteral("export-windows")));
    out.mkpath(QStringLiteral("."));
    const QByteArray tmpBefore = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(out.path()));
    qputenv("FBADMIN_SPREADSHEET", "true");

    BenchPrompts prompts;
    Prompts::setInstance(&prompts);
    registerSpreadsheetServer();
    std::vector<double> browse, sql;
    {
        TdM dm;
        CurrentDatabase = databasePath;
        dm.ConnectDatabase(databasePath);
        for (int i = 0; i < kRuns; ++i) { // interleaved, so that both see the same machine
            browse.push_back(browseExport());
            sql.push_back(sqlExport());
            if (!prompts.messages.isEmpty())
                throw AppError(QStringLiteral("export message: ") +
                               prompts.messages.join(QStringLiteral("; ")));
            dm.Trans->rollback();
            out.removeRecursively();
            out.mkpath(QStringLiteral("."));
        }
        dm.DisconnectDatabase();
    }
    unregisterClass(QStringLiteral("Excel.Application"));
    Prompts::setInstance(nullptr);
    CurrentDatabase.clear();
    out.removeRecursively();
    qputenv("TMPDIR", tmpBefore);

    printRuns("export_browse_s (F7)", browse);
    printRuns("export_sqlwindow_s (export button)", sql);
    std::printf("# %d rows of six columns in each export\n", kRows);
    std::printf("export_browse_vs_sqlwindow: %.3f\n",
                *std::min_element(browse.begin(), browse.end()) / *std::min_element(sql.begin(), sql.end()));
}
