// A result whose reading failed part-way (a division by zero in row 300): the rows before it stay
// on screen, and every later reader of the result (scrolling to its end, Ctrl+End, search,
// export, print) raises the error again or says that the result is incomplete, in the browse
// window and in the SQL command window alike. None of them takes the rows read for the whole.
#include "browse/ui/fbrowse.h"
#include "connection/dataset.h"
#include "connection/datasetmodel.h"
#include "connection/dm.h"
#include "connection/transaction.h"
#include "export/spreadsheetserver.h"
#include "export/ui/reportpreview.h"
#include "platform/automation.h"
#include "sql/ui/fsql.h"
#include "sql/ui/sqlstatusline.h"
#include "support/browsewindows.h"
#include "support/connectedholder.h"
#include "support/fbfixture.h"
#include "support/scriptedprompts.h"
#include "support/spreadsheetreader.h"
#include "support/sqlwindows.h"
#include <QLabel>
#include <QScrollBar>
#include <QTableView>
#include <QToolButton>
#include <QtTest>
#include <memory>

namespace {
constexpr int kRowsBeforeError = 299;

// Scrolls the grid from its top towards its end as the user clicks below the scroll bar's
// handle, page after page, letting the view ask for rows (and any error box come and go) after
// each; the user stops at the end, or when an error box came up.
void scrollToEnd(QTableView* grid, const ScriptedPrompts& prompts) {
    QScrollBar* bar = grid->verticalScrollBar();
    bar->triggerAction(QAbstractSlider::SliderToMinimum);
    QCoreApplication::processEvents();
    const qsizetype errors = prompts.errorReports().size();
    for (int i = 0; i < 200 && bar->value() < bar->maximum() && prompts.errorReports().size() == errors;
         ++i) {
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
}

bool previewShown() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<ReportPreview*>(w) && w->isVisible()) return true;
    return false;
}
} // namespace

class TestFailedFetch : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void laterReaders_data();
    void laterReaders();
    void backgroundReadFails_data();
    void backgroundReadFails();

private:
    QTableView* openWindow(bool browse);
    bool workbookHandedOver() const;

    QTemporaryDir m_dir;
    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<ConnectedHolder> m_holder;
    BrowseWindows m_browse;
    SqlWindows m_sql;
    TFBrowse* m_b = nullptr;
    TFSql* m_w = nullptr;
};

void TestFailedFetch::initTestCase() {
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    // The spreadsheet program notes the files it is given.
    QVERIFY(!useRecordingSpreadsheetProgram(m_dir.path()).isEmpty());
    qputenv("TMPDIR", QFile::encodeName(m_dir.path()));
    registerSpreadsheetServer();
    m_db = std::make_unique<TempDatabase>(QStringList{
        QStringLiteral(
            "create table DIVISAO (N integer not null primary key, Q computed by (1 / (N - 300)))"),
        QStringLiteral("execute block as declare i integer = 1; begin while (i <= 600) do begin "
                       "insert into DIVISAO (N) values (:i); i = i + 1; end end"),
    });
}

void TestFailedFetch::init() {
    QFile::remove(m_dir.filePath(QStringLiteral("abertos.txt")));
    m_holder = std::make_unique<ConnectedHolder>(m_db->path());
}

void TestFailedFetch::cleanup() {
    m_browse.closeAll();
    m_sql.closeAll();
    m_b = nullptr;
    m_w = nullptr;
    if (m_holder->dm.Trans->active()) m_holder->dm.Trans->rollback();
    m_holder.reset();
}

void TestFailedFetch::cleanupTestCase() {
    unregisterClass(QStringLiteral("Excel.Application"));
}

QTableView* TestFailedFetch::openWindow(bool browse) {
    if (browse) {
        m_b = m_browse.open(QStringLiteral("DIVISAO"), QStringLiteral(" Order By N"));
        return m_b->Gs;
    }
    m_w = m_sql.open();
    SqlWindows::run(m_w, QStringLiteral("select N, Q from DIVISAO order by N"));
    return m_w->Grade;
}

bool TestFailedFetch::workbookHandedOver() const {
    // The program runs detached: its note would come after a moment.
    return QTest::qWaitFor([this] { return QFile::exists(m_dir.filePath(QStringLiteral("abertos.txt"))); },
                           1000);
}

void TestFailedFetch::laterReaders_data() {
    QTest::addColumn<bool>("browse");
    QTest::addColumn<QString>("reader");
    for (const bool browse : {true, false}) {
        const char* window = browse ? "browse window" : "SQL window";
        for (const char* reader : {"scrolling to the end", "Ctrl+End", "export"})
            QTest::addRow("%s, %s", window, reader) << browse << QString::fromLatin1(reader);
    }
    QTest::addRow("browse window, search") << true << QStringLiteral("search");
    QTest::addRow("browse window, new row") << true << QStringLiteral("new row");
    QTest::addRow("SQL window, print") << false << QStringLiteral("print");
}

void TestFailedFetch::laterReaders() {
    QFETCH(bool, browse);
    QFETCH(QString, reader);
    QTableView* grid = openWindow(browse);
    DataSet* ds = browse ? m_b->IBDataSet1 : m_w->IBSet;
    QVERIFY(ds->active());
    QVERIFY(ds->rowCount() < kRowsBeforeError);
    ScriptedPrompts& prompts = m_holder->prompts;
    prompts.clear();

    // The user scrolls down: the fetch of row 300 fails and says so.
    scrollToEnd(grid, prompts);
    QTRY_COMPARE(prompts.errorReports().size(), 1);
    QVERIFY2(prompts.errorReports()[0].contains(QStringLiteral("divide by zero")),
             qPrintable(prompts.errorReports()[0]));
    QCOMPARE(ds->rowCount(), kRowsBeforeError);
    QCOMPARE(grid->model()->rowCount(), kRowsBeforeError);
    QVERIFY(ds->fetchFailed() && !ds->allFetched());
    if (!browse)
        QCOMPARE(m_w->StatusSql->lLinhas->text(),
                 QStringLiteral("Linhas lidas: 299 (resultado incompleto: erro ao ler a linha 300)"));

    // A later reader raises it again.
    prompts.clear();
    bool previewed = false;
    if (reader == QLatin1String("scrolling to the end")) {
        scrollToEnd(grid, prompts);
    } else if (reader == QLatin1String("Ctrl+End")) {
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(0, 0));
        QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
        QCoreApplication::processEvents();
    } else if (reader == QLatin1String("export")) {
        if (browse)
            QTest::keyClick(grid, Qt::Key_F7);
        else
            m_w->bexcel->click();
        QVERIFY(!workbookHandedOver());
    } else if (reader == QLatin1String("search")) {
        grid->setCurrentIndex(grid->model()->index(0, 0));
        prompts.inputAnswers << QStringLiteral("599"); // past the rows read
        QTest::keyClick(grid, Qt::Key_F12);
    } else if (reader == QLatin1String("new row")) {
        m_b->SNovo->click();
        QCOMPARE(ds->state(), DataSet::Browse);
    } else if (reader == QLatin1String("print")) {
        prompts.messageAnswers << MbYes;
        QTimer::singleShot(0, this, [&previewed] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* p = qobject_cast<ReportPreview*>(w); p && p->isVisible()) {
                    previewed = true;
                    p->close();
                }
        });
        m_w->bprint->click();
        QCoreApplication::processEvents();
    }
    QTRY_COMPARE(prompts.errorReports().size(), 1);
    QVERIFY2(prompts.errorReports()[0].contains(QStringLiteral("divide by zero")),
             qPrintable(prompts.errorReports()[0]));
    QVERIFY(!previewed && !previewShown());
    for (const MessageRequest& m : std::as_const(prompts.messages))
        QVERIFY2(m.icon == MsgIcon::Error || m.text.startsWith(QLatin1String("Sim - para Retrato")),
                 qPrintable(m.text)); // no "not found", no other notice
    QCOMPARE(ds->rowCount(), kRowsBeforeError);
    QVERIFY(ds->active() && ds->fetchFailed());
}

void TestFailedFetch::backgroundReadFails_data() {
    QTest::addColumn<bool>("browse");
    QTest::addRow("browse window") << true;
    QTest::addRow("SQL window") << false;
}

void TestFailedFetch::backgroundReadFails() {
    QFETCH(bool, browse);
    QTableView* grid = openWindow(browse);
    DataSet* ds = browse ? m_b->IBDataSet1 : m_w->IBSet;
    ScriptedPrompts& prompts = m_holder->prompts;
    prompts.clear();
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(0, 0));

    // Ctrl+End before anything failed: the read in the background meets the error.
    QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
    QTRY_VERIFY(!ds->fetchingInBackground());
    QTRY_COMPARE(prompts.errorReports().size(), 1);
    QVERIFY2(prompts.errorReports()[0].contains(QStringLiteral("divide by zero")),
             qPrintable(prompts.errorReports()[0]));
    QCOMPARE(ds->rowCount(), kRowsBeforeError);
    QCOMPARE(grid->model()->rowCount(), kRowsBeforeError);
    QVERIFY(ds->active() && ds->fetchFailed() && !ds->allFetched());
    QCOMPARE(grid->currentIndex().row(), 0); // not taken to the end of an incomplete result
    QCOMPARE(ds->currentRow(), 0);
}

QTEST_MAIN(TestFailedFetch)
#include "test_failedfetch.moc"
