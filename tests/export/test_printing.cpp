#include "connection/dataset.h"
#include "connection/datasetmodel.h"
#include "export/listreport.h"
#include "export/ui/reportpreview.h"
#include "platform/appdir.h"
#include "platform/errorreport.h"
#include "sql/ui/fgerasql.h"
#include "sql/ui/fsql.h"
#include "support/connectedholder.h"
#include "support/fbfixture.h"
#include "support/files.h"
#include "support/modal.h"
#include "support/scriptedprinterdialog.h"
#include "support/sqlwindows.h"
#include <QAction>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QtTest>
#include <functional>
#include <memory>

namespace {
const QString kTitle = QStringLiteral("Relatório de Dados da tabela - ");
const QString kQuestion = QStringLiteral("Sim - para Retrato, Não - Para paisagem");

QStringList schema() {
    return {
        QStringLiteral("create table CLIENTE (ID integer not null primary key, NOME varchar(30), "
                       "SALDO numeric(12,2), NASCIDO date)"),
        // Three columns of 50 characters do not fit side by side even on a landscape page.
        QStringLiteral(
            "create table LARGA (ID integer, A varchar(50), B varchar(50), C varchar(50), D integer)"),
        QStringLiteral("insert into LARGA values (1, 'a', 'b', 'c', 4)"),
        QStringLiteral("create table NUMEROS (N integer)"),
        QStringLiteral("create table MUITAS (N integer)"),
        QStringLiteral("execute block as declare i integer = 1; begin while (i <= 7000) do begin "
                       "insert into MUITAS values (:i); i = i + 1; end end"),
        QStringLiteral("execute block as declare i integer = 1; begin while (i <= 300) do begin "
                       "insert into CLIENTE values (:i, 'Cliente ' || :i, :i + 0.5, dateadd(:i day to date "
                       "'2020-01-01')); "
                       "insert into NUMEROS values (:i); i = i + 1; end end"),
    };
}

// The text of pages of a PDF file as pdftotext reads it (all pages when first is 0).
QString pdfText(const QString& path, int first = 0, int last = 0) {
    QStringList args{QStringLiteral("-layout")};
    if (first > 0)
        args << QStringLiteral("-f") << QString::number(first) << QStringLiteral("-l")
             << QString::number(last);
    args << path << QStringLiteral("-");
    QProcess p;
    p.start(QStringLiteral("pdftotext"), args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return QStringLiteral("<pdftotext failed>");
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString pdfInfo(const QString& path, const QString& key) {
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {path});
    if (!p.waitForFinished(60000)) return QStringLiteral("<pdfinfo failed>");
    for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split(QChar('\n')))
        if (line.startsWith(key + QChar(':'))) return line.mid(key.size() + 1).trimmed();
    return QStringLiteral("<no %1>").arg(key);
}

ReportPreview* visiblePreview() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<ReportPreview*>(w); p && p->isVisible()) return p;
    return nullptr;
}

const ListReport* listReport(const ReportPreview* p) {
    return p ? dynamic_cast<const ListReport*>(p->pages()) : nullptr;
}

QStringList labels(const ListReport* r) {
    QStringList out;
    for (const ReportColumn& c : r->columns())
        out << c.label;
    return out;
}
// A word of a PDF page as pdftotext places it, in points from the page's left edge.
struct PdfWord {
    double left = 0, right = 0;
    QString text;
};

QList<PdfWord> pdfWords(const QString& path, int page) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"),
            {QStringLiteral("-bbox"), QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
             QString::number(page), path, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
    static const QRegularExpression word(QStringLiteral(
        R"re(<word xMin="([\d.]+)" yMin="[\d.]+" xMax="([\d.]+)" yMax="[\d.]+">([^<]*)</word>)re"));
    QList<PdfWord> out;
    for (const auto& m : word.globalMatch(QString::fromUtf8(p.readAllStandardOutput())))
        out.append({m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3)});
    return out;
}
} // namespace

// Printing an SQL result the way a user does: a statement run in the SQL window, its print
// button, the orientation question answered, then the preview (driven while it is open).
class TestPrinting : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void layout_data();
    void layout();
    void questionAndCaption();
    void queryNotOpen();
    void titleFromGenerator_data();
    void titleFromGenerator();
    void savedPdfAndLoad();
    void savingLongReport();
    void reportFilesRefused();
    void printJob();
    void printWithoutPrinter();
    void goToPage_data();
    void goToPage();
    void keys();
    void upDownAcrossPages();
    void failingFetch();
    void wideValuesKeepTheirStart_data();
    void wideValuesKeepTheirStart();
    void previewUnderChangingWindow_data();
    void previewUnderChangingWindow();

private:
    TFSql* openWindow() { return m_windows.open(); }
    void run(TFSql* w, const QString& sql) { SqlWindows::run(w, sql); }
    // Clicks the print button with the orientation answer queued; `act` runs on the open preview
    // (nullptr when none opened), which is closed afterwards if it is still open.
    // A result not read to its end is read in the background first: the preview comes after it.
    void print(TFSql* w, MsgButton answer, const std::function<void(ReportPreview*)>& act) {
        prompts().messageAnswers << answer;
        const auto actOn = [act](ReportPreview* p) {
            act(p);
            if (p && p->isVisible()) p->close();
        };
        if (w->IBSet->allFetched() || w->IBSet->fetchFailed()) {
            QTimer::singleShot(0, this, [actOn] { actOn(visiblePreview()); });
            w->bprint->click();
            return;
        }
        bool acted = false;
        QTimer poll;
        poll.setInterval(5);
        connect(&poll, &QTimer::timeout, this, [&] {
            if (ReportPreview* p = visiblePreview(); p && !acted) {
                acted = true;
                poll.stop();
                actOn(p);
            }
        });
        poll.start();
        w->bprint->click();
        QTRY_VERIFY_WITH_TIMEOUT(acted, 20000);
    }
    QStringList reportedErrors() const { return prompts().errorReports(); }
    ScriptedPrompts& prompts() const { return m_holder->prompts; }

    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<QTemporaryDir> m_appDir;
    std::unique_ptr<ConnectedHolder> m_holder;
    SqlWindows m_windows;
};

void TestPrinting::init() {
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    if (!m_db) m_db = std::make_unique<TempDatabase>(schema());
    m_appDir = std::make_unique<QTemporaryDir>();
    setApplicationDirectory(m_appDir->path());
    m_holder = std::make_unique<ConnectedHolder>(m_db->path());
}

void TestPrinting::cleanup() {
    TFGeraSql::instance()->ReturnedTable.clear();
    m_windows.closeAll();
    QVERIFY(!visiblePreview());
    m_holder.reset();
    setApplicationDirectory(QString());
    m_appDir.reset();
}

// The column-fitting rule as the laid-out report shows it.
void TestPrinting::layout_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("printed");
    QTest::addColumn<bool>("landscape");      // the orientation in force after the answer
    QTest::addColumn<bool>("beyondPortrait"); // the last column reaches past a portrait page

    QTest::newRow("blobs and names with blank / \\ & % - left out, the rest closes up")
        << QStringLiteral(
               "select ID, cast('x' as blob sub_type text) as MEMO, NOME, cast('y' as blob) as BIN, "
               "1 as \"A B\", 2 as \"A/B\", 3 as \"A\\B\", 4 as \"A&B\", 5 as \"A%B\", 6 as \"A-B\", "
               "SALDO from CLIENTE")
        << int(MbYes) << QStringList{"ID", "NOME", "SALDO"} << false << false;
    QTest::newRow("a name that two columns share: each column once")
        << QStringLiteral("select C.ID, L.ID from CLIENTE C join LARGA L on L.D = C.ID") << int(MbYes)
        << QStringList{"ID", "ID"} << false << false;
    QTest::newRow("fits portrait, answered No: landscape, same places")
        << QStringLiteral("select ID, NOME, SALDO, NASCIDO from CLIENTE") << int(MbNo)
        << QStringList{"ID", "NOME", "SALDO", "NASCIDO"} << true << false;
    QTest::newRow("too wide for portrait, answered Yes: portrait with columns beyond the edge")
        << QStringLiteral("select ID, A, B from LARGA") << int(MbYes) << QStringList{"ID", "A", "B"} << false
        << true;
    QTest::newRow("too wide for landscape: C dropped, the narrower D after B")
        << QStringLiteral("select ID, A, B, C, D from LARGA") << int(MbNo) << QStringList{"ID", "A", "B", "D"}
        << true << true;
}

void TestPrinting::layout() {
    QFETCH(QString, sql);
    QFETCH(int, answer);
    QFETCH(QStringList, printed);
    QFETCH(bool, landscape);
    QFETCH(bool, beyondPortrait);
    TFSql* w = openWindow();
    run(w, sql);
    bool seen = false;
    print(w, MsgButton(answer), [&](ReportPreview* p) {
        const ListReport* r = listReport(p);
        QVERIFY(r);
        seen = true;
        QCOMPARE(labels(r), printed);
        QCOMPARE(r->orientation(), landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
        const std::vector<ReportColumn>& c = r->columns();
        QCOMPARE(c.front().left, 1.0);
        for (size_t i = 1; i < c.size(); ++i) {
            QCOMPARE(c[i].left, c[i - 1].right() + 10);
            QVERIFY(c[i].field > c[i - 1].field); // the fields in the result's order, none twice
        }
        for (const ReportColumn& col : c)
            QCOMPARE(col.alignRight, col.label == "ID" || col.label == "SALDO" || col.label == "D");
        const double portraitWidth = r->paperSize().sizePoints().width() - 2 * 72 / 2.54;
        QCOMPARE(c.back().right() > portraitWidth, beyondPortrait);
        QVERIFY(c.back().right() <= r->paperSize().sizePoints().height() - 2 * 72 / 2.54);
        QVERIFY(r->detailBandHeight() > 0 && r->detailBandHeight() == r->headerBandHeight());
    });
    QVERIFY(seen);
}

void TestPrinting::questionAndCaption() {
    TFSql* w = openWindow();
    run(w, QStringLiteral("select ID, NOME from CLIENTE"));
    QVERIFY(w->IBSet->rowCount() < 300);
    prompts().clear();
    print(w, MbYes, [&](ReportPreview* p) {
        QVERIFY(p);
        QCOMPARE(p->windowTitle(), QStringLiteral("Report Preview : ") + kTitle);
        QVERIFY(p->isMaximized());
        QVERIFY(!p->isModal());
        QVERIFY(!listReport(p)->hasTitleBand());
        QCOMPARE(p->zoom(), ReportPreview::Zoom::Fit);
        // Not modal: the SQL window still takes a statement while the preview is open.
        QVERIFY(w->isEnabled());
    });
    QCOMPARE(prompts().messages.size(), 1);
    const MessageRequest m = prompts().messages.first();
    QCOMPARE(m.text, kQuestion);
    QCOMPARE(m.caption, QStringLiteral("Escolha"));
    QCOMPARE(m.icon, MsgIcon::Information);
    QCOMPARE(m.buttons, int(MbYes | MbNo));
    QCOMPARE(m.defaultButton, MbYes);
    // Making the pages read the rows to the end, where the query now stands.
    QCOMPARE(w->IBSet->rowCount(), 300);
    QCOMPARE(w->IBSet->currentRow(), 299);
}

void TestPrinting::queryNotOpen() {
    TFSql* w = openWindow();
    print(w, MbYes, [&](ReportPreview* p) {
        QVERIFY(p);
        QVERIFY(listReport(p)->columns().empty());
        QCOMPARE(p->pages()->pageCount(), 1);
    });
    QVERIFY(reportedErrors().isEmpty());
}

// The table last chosen in the SQL generator names the report.
void TestPrinting::titleFromGenerator_data() {
    QTest::addColumn<QString>("table"); // chosen before "&Retorna"; none when empty
    QTest::newRow("a table") << QStringLiteral("CLIENTE");
    QTest::newRow("no table") << QString();
}

void TestPrinting::titleFromGenerator() {
    QFETCH(QString, table);
    TFSql* w = openWindow();
    onNextModal(this, [&](QWidget* d) {
        auto* g = qobject_cast<TFGeraSql*>(d);
        QVERIFY(g);
        const QList<QListWidgetItem*> found = g->Tabelas->findItems(table, Qt::MatchExactly);
        if (!table.isEmpty() && found.size() == 1)
            QTest::mouseClick(g->Tabelas->viewport(), Qt::LeftButton, {},
                              g->Tabelas->visualItemRect(found.first()).center());
        QTest::mouseClick(g->Bret, Qt::LeftButton);
    });
    w->bger->click();
    run(w, QStringLiteral("select ID, NOME from CLIENTE order by ID"));
    const QString pdf = m_appDir->filePath(QStringLiteral("titulo.pdf"));
    print(w, MbYes, [&](ReportPreview* p) {
        QVERIFY(p);
        QCOMPARE(p->windowTitle(), QStringLiteral("Report Preview : ") + kTitle + table);
        QCOMPARE(listReport(p)->hasTitleBand(), !table.isEmpty());
        QCOMPARE(listReport(p)->titleBandText(), table);
        prompts().fileAnswers << pdf;
        p->saveReportAction->trigger();
    });
    QCOMPARE(pdfInfo(pdf, QStringLiteral("Title")), (kTitle + table).trimmed());
    // The title band on the first page only, above the column headers.
    const QRegularExpression titleLine(QStringLiteral("^\\s*CLIENTE\\s*$"),
                                       QRegularExpression::MultilineOption);
    QCOMPARE(pdfText(pdf, 1, 1).contains(titleLine), !table.isEmpty());
    QVERIFY(!pdfText(pdf, 2, 2).contains(titleLine));
}

void TestPrinting::savedPdfAndLoad() {
    TFSql* w = openWindow();
    run(w, QStringLiteral("select ID, NOME, SALDO, NASCIDO from CLIENTE order by ID"));
    const QString pdf = m_appDir->filePath(QStringLiteral("cliente.pdf"));
    int pages = 0;
    print(w, MbYes, [&](ReportPreview* p) {
        QVERIFY(p);
        pages = p->pages()->pageCount();
        QVERIFY(pages >= 3);
        prompts().fileAnswers << pdf;
        p->saveReportAction->trigger();
        QCOMPARE(prompts().fileDialogs.last().title, QStringLiteral("Save report"));

        prompts().fileAnswers << pdf;
        p->loadReportAction->trigger();
        QVERIFY(!dynamic_cast<const ListReport*>(p->pages()));
        QCOMPARE(p->pages()->pageCount(), pages);
        QCOMPARE(p->windowTitle(), QStringLiteral("Report Preview : ") + kTitle);
        p->lastPageAction->trigger();
        QCOMPARE(p->currentPage(), pages - 1);
        p->scrollArea()->widget()->grab(); // the loaded page draws
    });
    QVERIFY(reportedErrors().isEmpty());

    const QString all = pdfText(pdf);
    for (const QString& line : {QStringLiteral("^\\s*ID\\s+NOME\\s+SALDO\\s+NASCIDO\\s*$"),
                                QStringLiteral("^\\s*1\\s+Cliente 1\\s+1,50\\s+02/01/2020\\s*$"),
                                QStringLiteral("^\\s*300\\s+Cliente 300\\s+300,50\\s+27/10/2020\\s*$")})
        QVERIFY2(all.contains(QRegularExpression(line, QRegularExpression::MultilineOption)),
                 qPrintable(line));
    QVERIFY(pdfText(pdf, pages, pages).contains(QStringLiteral("Page %1").arg(pages)));
    QVERIFY(pdfText(pdf, 3, 3).contains(QStringLiteral("Page 3")));
    QCOMPARE(pdfInfo(pdf, QStringLiteral("Pages")), QString::number(pages));
}

// Saving a report of a hundred pages and more shows its progress, the windows go on being painted
// meanwhile, and its Cancel leaves no file.
void TestPrinting::savingLongReport() {
    TFSql* w = openWindow();
    run(w, QStringLiteral("select N from MUITAS order by N"));
    const QString pdf = m_appDir->filePath(QStringLiteral("longo.pdf"));
    const QString cancelled = m_appDir->filePath(QStringLiteral("cancelado.pdf"));
    int pages = 0;
    int ticks = 0;
    bool cancel = false;
    QStringList labels;
    QTimer ticker; // runs only while the event loop does
    ticker.setInterval(0);
    connect(&ticker, &QTimer::timeout, this, [&] {
        ++ticks;
        for (QWidget* t : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QProgressDialog*>(t); d && d->isVisible()) {
                if (labels.isEmpty() || labels.last() != d->labelText()) labels << d->labelText();
                if (cancel && d->value() >= 10) d->cancel();
            }
    });
    print(w, MbYes, [&](ReportPreview* p) {
        QVERIFY(p);
        pages = p->pages()->pageCount();
        QVERIFY2(pages >= 100, qPrintable(QString::number(pages)));
        prompts().fileAnswers << pdf << cancelled;
        ticker.start();
        p->saveReportAction->trigger();
        QVERIFY(ticks > 0);
        QVERIFY(labels.size() > 2);
        QCOMPARE(labels.last(), QStringLiteral("Gravando o relatório: página %1 de %1").arg(pages));
        cancel = true;
        p->saveReportAction->trigger();
        ticker.stop();
    });
    QVERIFY(reportedErrors().isEmpty());
    QCOMPARE(pdfInfo(pdf, QStringLiteral("Pages")), QString::number(pages));
    QVERIFY(!QFile::exists(cancelled));
}

void TestPrinting::reportFilesRefused() {
    TFSql* w = openWindow();
    run(w, QStringLiteral("select ID, NOME from CLIENTE where ID <= 3"));
    const QString missingFolder = m_appDir->filePath(QStringLiteral("nenhuma/r.pdf"));
    const QString notPdf = m_appDir->filePath(QStringLiteral("texto.pdf"));
    writeBytes(notPdf, "not a report");
    print(w, MbYes, [&](ReportPreview* p) {
        QVERIFY(p);
        const ReportPages* shown = p->pages();
        prompts().fileAnswers << missingFolder << notPdf;
        p->saveReportAction->trigger();
        p->loadReportAction->trigger();
        QCOMPARE(p->pages(), shown);
        QVERIFY(p->isVisible());
    });
    const QStringList errors = reportedErrors();
    QCOMPARE(errors.size(), 2);
    QVERIFY2(errors[0].startsWith(QStringLiteral("Cannot create file \"%1\".").arg(missingFolder)),
             qPrintable(errors[0]));
    QCOMPARE(errors[1], QStringLiteral("\"%1\" is not a saved report.").arg(notPdf));
    QVERIFY(!QFile::exists(missingFolder));
}

void TestPrinting::printJob() {
    TFSql* w = openWindow();
    run(w, QStringLiteral("select ID, NOME from CLIENTE where ID <= 3"));
    const QString out = m_appDir->filePath(QStringLiteral("printed.pdf"));
    bool setupShown = false;
    print(w, MbNo, [&](ReportPreview* p) {
        QVERIFY(p);
        // Printer setup is Qt's printer dialog, on the printer that Print then uses.
        onNextModal(this, [&](QWidget* d) {
            auto* dialog = qobject_cast<QPrintDialog*>(d);
            setupShown = dialog && dialog->printer() == p->printer();
        });
        p->printerSetupAction->trigger();
        p->printer()->setOutputFileName(out);
        p->printAction->trigger();
    });
    QVERIFY(setupShown);
    QVERIFY(reportedErrors().isEmpty());
    QCOMPARE(pdfInfo(out, QStringLiteral("Title")), kTitle.trimmed());
    QVERIFY(pdfInfo(out, QStringLiteral("Page size")).startsWith(QStringLiteral("842 x 595 pts")));
    const QString text = pdfText(out);
    QVERIFY(text.contains(QStringLiteral("Cliente 3")) && text.contains(QStringLiteral("Page 1")));
}

// With no printer installed, "Print" asks where to print (the printer dialog, with its "Print to
// file"), and prints into the PDF file chosen there; a file that cannot be written is reported,
// and the printer can be chosen again and used afterwards.
void TestPrinting::printWithoutPrinter() {
    TFSql* w = openWindow();
    run(w, QStringLiteral("select ID, NOME from CLIENTE where ID <= 3"));
    const QString out = m_appDir->filePath(QStringLiteral("impresso.pdf"));
    const QString again = m_appDir->filePath(QStringLiteral("de novo.pdf"));
    const QString nowhere = m_appDir->filePath(QStringLiteral("nenhuma/impresso.pdf"));
    ScriptedPrinterDialog dialog;
    QStringList errors;
    print(w, MbYes, [&](ReportPreview* p) {
        QVERIFY(p);
        QVERIFY(p->printer()->outputFileName().isEmpty());
        // Cancelled: nothing printed, nothing said.
        dialog.answers << ScriptedPrinterDialog::Answer{false, QString()};
        p->printAction->trigger();
        QCOMPARE(dialog.requests.size(), 1);
        QCOMPARE(dialog.requests[0].use, PrinterDialog::Print);
        QCOMPARE(dialog.requests[0].pageCount, 1);
        QVERIFY(reportedErrors().isEmpty());

        dialog.answers << ScriptedPrinterDialog::Answer{true, out};
        p->printAction->trigger();
        QCOMPARE(dialog.requests.size(), 2);
        QVERIFY(QFile::exists(out));
        // The file chosen stays the printer: printing again asks nothing.
        QFile::remove(out);
        p->printAction->trigger();
        QCOMPARE(dialog.requests.size(), 2);
        QVERIFY(QFile::exists(out));

        // A file that cannot be made; then the printer setup chooses another, and Print uses it.
        dialog.answers << ScriptedPrinterDialog::Answer{true, nowhere};
        p->printerSetupAction->trigger();
        QCOMPARE(dialog.requests.last().use, PrinterDialog::Setup);
        p->printAction->trigger();
        errors = reportedErrors();
        dialog.answers << ScriptedPrinterDialog::Answer{true, again};
        p->printerSetupAction->trigger();
        p->printAction->trigger();
        QCOMPARE(dialog.requests.size(), 4);
    });
    QCOMPARE(errors, QStringList{"The print job could not be started."});
    QCOMPARE(reportedErrors(), errors);
    QVERIFY(!QFile::exists(nowhere));
    for (const QString& file : {out, again}) {
        QCOMPARE(pdfInfo(file, QStringLiteral("Title")), kTitle.trimmed());
        QVERIFY(pdfText(file).contains(QRegularExpression(QStringLiteral("^\\s*3\\s+Cliente 3\\s*$"),
                                                          QRegularExpression::MultilineOption)));
    }
}

void TestPrinting::goToPage_data() {
    QTest::addColumn<QVariant>("entry"); // a text typed, or nothing for Cancel
    QTest::addColumn<int>("page");       // shown afterwards, 1-based

    QTest::newRow("a page") << QVariant(QStringLiteral("3")) << 3;
    QTest::newRow("blanks around") << QVariant(QStringLiteral(" 2 ")) << 2;
    QTest::newRow("past the last") << QVariant(QStringLiteral("99")) << 1;
    QTest::newRow("zero") << QVariant(QStringLiteral("0")) << 1;
    QTest::newRow("not a number") << QVariant(QStringLiteral("dois")) << 1;
    QTest::newRow("cancelled") << QVariant() << 4;
}

void TestPrinting::goToPage() {
    QFETCH(QVariant, entry);
    QFETCH(int, page);
    TFSql* w = openWindow();
    run(w, QStringLiteral("select ID, NOME from CLIENTE"));
    print(w, MbYes, [&](ReportPreview* p) {
        QVERIFY(p);
        const int count = p->pages()->pageCount();
        p->showPage(3);
        prompts().inputAnswers << (entry.isValid() ? std::optional<QString>(entry.toString()) : std::nullopt);
        p->goToPageAction->trigger();
        QCOMPARE(prompts().inputs.size(), 1);
        QCOMPARE(prompts().inputs[0].caption, QStringLiteral("Select a page from 1 to %1").arg(count));
        QCOMPARE(prompts().inputs[0].prompt, QStringLiteral("Enter page number"));
        QCOMPARE(prompts().inputs[0].value, QStringLiteral("4"));
        QCOMPARE(p->currentPage() + 1, page);
    });
}

void TestPrinting::keys() {
    TFSql* w = openWindow();
    run(w, QStringLiteral("select ID, NOME from CLIENTE"));
    print(w, MbYes, [&](ReportPreview* p) {
        QVERIFY(p);
        const int last = p->pages()->pageCount() - 1;
        struct Key {
            Qt::Key key;
            Qt::KeyboardModifiers mods;
            int from, to;
        };
        const Key keys[] = {
            {Qt::Key_PageDown, Qt::NoModifier, 0, 1},         {Qt::Key_PageUp, Qt::NoModifier, 2, 1},
            {Qt::Key_PageUp, Qt::ControlModifier, 3, 0},      {Qt::Key_Home, Qt::NoModifier, 3, 0},
            {Qt::Key_PageDown, Qt::ControlModifier, 1, last}, {Qt::Key_End, Qt::NoModifier, 1, last},
            {Qt::Key_PageDown, Qt::NoModifier, last, last},   {Qt::Key_PageUp, Qt::NoModifier, 0, 0}};
        for (const Key& k : keys) {
            p->showPage(k.from);
            QTest::keyClick(p, k.key, k.mods);
            QCOMPARE(p->currentPage(), k.to);
        }
        QTest::keyClick(p, Qt::Key_Escape);
        QVERIFY(!p->isVisible());
    });
}

void TestPrinting::upDownAcrossPages() {
    TFSql* w = openWindow();
    run(w, QStringLiteral("select ID, NOME from CLIENTE"));
    print(w, MbYes, [&](ReportPreview* p) {
        QVERIFY(p);
        p->resize(800, 600);
        p->zoomWidthAction->trigger();
        QScrollBar* bar = p->scrollArea()->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        p->showPage(1);
        bar->setValue(0);
        QTest::keyClick(p, Qt::Key_Down);
        QCOMPARE(p->currentPage(), 1);
        QVERIFY(bar->value() > 0);
        bar->setValue(bar->maximum());
        QTest::keyClick(p, Qt::Key_Down);
        QCOMPARE(p->currentPage(), 2);
        QCOMPARE(bar->value(), 0);
        QTest::keyClick(p, Qt::Key_Up);
        QCOMPARE(p->currentPage(), 1);
        QCOMPARE(bar->value(), bar->maximum());
        // The whole page in the window: the arrows turn the pages.
        p->zoomFitAction->trigger();
        QTest::keyClick(p, Qt::Key_Down);
        QCOMPARE(p->currentPage(), 2);
        QTest::keyClick(p, Qt::Key_Up);
        QCOMPARE(p->currentPage(), 1);
    });
}

void TestPrinting::failingFetch() {
    // Row 290 fails only when it is read: after the grid's first batch, while the rest of the
    // result is read for the report. The error is told, and the print stops there.
    TFSql* w = openWindow();
    run(w, QStringLiteral("select N, 1 / (N - 290) as Q from NUMEROS order by N"));
    QVERIFY(w->Ds->rowCount() < 290);
    prompts().clear();
    prompts().messageAnswers << MbYes;
    w->bprint->click();
    QTRY_VERIFY(!w->IBSet->fetchingInBackground());
    QTRY_COMPARE(reportedErrors().size(), 1);
    QVERIFY2(reportedErrors().first().contains(QStringLiteral("divide by zero")), qPrintable(reportedErrors().first()));
    QCOMPARE(prompts().messages.size(), 1); // the error alone: no question for a report of part of the rows
    QVERIFY(!visiblePreview());
    QVERIFY(w->IBSet->fetchFailed());
}

// A value or a name wider than its column keeps its first characters: it is drawn narrower to
// fit, or, when that would make it too narrow to read, cut at its end with a mark. The PDF's text
// holds what the page shows, inside the column.
void TestPrinting::wideValuesKeepTheirStart_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("full"); // the value (or name) as its field writes it
    QTest::addColumn<bool>("cut");     // shown cut, with the mark

    QTest::newRow("the smallest BIGINT")
        << QStringLiteral("select -9223372036854775807 - 1 as B from CLIENTE")
        << QStringLiteral("-9223372036854775808") << false;
    QTest::newRow("a double of 16 digits")
        << QStringLiteral("select cast(3.141592653589793 as double precision) as F from CLIENTE")
        << QStringLiteral("3,141592653589793") << false;
    QTest::newRow("a double with an exponent, too long to narrow")
        << QStringLiteral("select cast('-1.2345678901234567e-30' as double precision) as F from CLIENTE")
        << QStringLiteral("-1,2345678901234568e-30") << true;
    QTest::newRow("a long name over a column of four characters")
        << QStringLiteral("select cast('a' as char(4)) as UM_NOME_BEM_COMPRIDO from CLIENTE")
        << QStringLiteral("UM_NOME_BEM_COMPRIDO") << true;
}

void TestPrinting::wideValuesKeepTheirStart() {
    QFETCH(QString, sql);
    QFETCH(QString, full);
    QFETCH(bool, cut);
    TFSql* w = openWindow();
    run(w, sql + QStringLiteral(" where ID = 1"));
    QVERIFY2(reportedErrors().isEmpty(), qPrintable(reportedErrors().join('\n')));
    const QString pdf = m_appDir->filePath(QStringLiteral("larga.pdf"));
    double left = 0, right = 0;
    print(w, MbYes, [&](ReportPreview* p) {
        const ListReport* r = listReport(p);
        QVERIFY(r && r->columns().size() == 1);
        const double margin = (r->pageSize(0).width() - r->bandWidth()) / 2;
        left = margin + r->columns().front().left;
        right = margin + r->columns().front().right();
        prompts().fileAnswers << pdf;
        p->saveReportAction->trigger();
    });
    QCOMPARE(reportedErrors(), QStringList());
    const QList<PdfWord> words = pdfWords(pdf, 1);
    QStringList all;
    for (const PdfWord& word : words)
        all << word.text;
    QString shown;
    for (const PdfWord& word : words) {
        if (word.text.isEmpty() || !(full.startsWith(word.text) || full.startsWith(word.text.chopped(1))))
            continue;
        if (word.text.size() < 2 || word.text == QLatin1String("1")) continue;
        shown = word.text;
        QVERIFY2(word.left >= left - 0.5 && word.right <= right + 0.5,
                 qPrintable(QStringLiteral("%1 at %2-%3, column %4-%5")
                                .arg(word.text)
                                .arg(word.left)
                                .arg(word.right)
                                .arg(left)
                                .arg(right)));
    }
    if (cut) {
        QVERIFY2(shown.endsWith(QChar(0x2026)) && full.startsWith(shown.chopped(1)),
                 qPrintable(all.join(' ')));
    } else {
        QVERIFY2(shown == full, qPrintable(all.join(' ')));
    }
}

// The preview belongs to the SQL window's report: printing again from the window brings it to the
// front, and whatever takes the window's rows away closes it first.
void TestPrinting::previewUnderChangingWindow_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("stillOpen");
    QTest::newRow("print again") << QStringLiteral("bprint") << true;
    QTest::newRow("close the window") << QStringLiteral("bsai") << false;
    QTest::newRow("commit closes the query") << QStringLiteral("bgra") << false;
    QTest::newRow("run another statement") << QStringLiteral("bexe") << false;
}

void TestPrinting::previewUnderChangingWindow() {
    QFETCH(QString, action);
    QFETCH(bool, stillOpen);
    QPointer<TFSql> w = openWindow();
    run(w, QStringLiteral("select ID, NOME from CLIENTE"));
    prompts().clear();
    bool checked = false;
    print(w, MbYes, [&](ReportPreview* p) {
        QVERIFY(p);
        QPointer<ReportPreview> preview = p;
        w->MemoSql->setPlainText(QStringLiteral("select N from NUMEROS"));
        w->findChild<QToolButton*>(action)->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(preview && preview->isVisible(), stillOpen);
        if (stillOpen) QCOMPARE(visiblePreview(), p);
        checked = true;
    });
    QVERIFY(checked);
    QCOMPARE(prompts().messages.size(), 1); // one orientation question
    QCOMPARE(bool(w), action != "bsai");
    QVERIFY(reportedErrors().isEmpty());
}

QTEST_MAIN(TestPrinting)
#include "test_printing.moc"
