// Reading the rest of a result in the background, as the user meets it in the browse window and
// the SQL command window: Ctrl+End to the real last row, cancelling (the rows read stay, the grid's
// cursor stays, a later read goes on), the busy message for other work meanwhile, and a search
// among rows not read yet.
#include "browse/ui/fbrowse.h"
#include "connection/dataset.h"
#include "connection/datasetmodel.h"
#include "connection/dm.h"
#include "connection/transaction.h"
#include "connection/ui/fetchallline.h"
#include "sql/ui/fsql.h"
#include "support/browsewindows.h"
#include "support/connectedholder.h"
#include "support/fbfixture.h"
#include "support/scriptedprompts.h"
#include "support/sqlwindows.h"
#include <QLabel>
#include <QTableView>
#include <QToolButton>
#include <QtTest>
#include <memory>

namespace {
// Several batches of the background read, and far more than the grid reads for its first screen.
constexpr int kRows = 60000;
constexpr int kWaitMs = 120000;
} // namespace

class TestBackgroundRead : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void ctrlEndGoesToTheLastRow_data();
    void ctrlEndGoesToTheLastRow();
    void cancelKeepsWhatWasRead_data();
    void cancelKeepsWhatWasRead();
    void otherWorkMeanwhileIsBusy_data();
    void otherWorkMeanwhileIsBusy();
    void searchAmongUnreadRows_data();
    void searchAmongUnreadRows();

private:
    QTableView* openWindow(bool browse);
    DataSet* dataSet() const { return m_b ? m_b->IBDataSet1 : m_w->IBSet; }
    FetchAllLine* line() const;
    void waitForRead();
    // The value of N in the dataset's row.
    int numberAt(int row) const { return dataSet()->value(row, 0).toInt(); }

    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<ConnectedHolder> m_holder;
    BrowseWindows m_browse;
    SqlWindows m_sql;
    TFBrowse* m_b = nullptr;
    TFSql* m_w = nullptr;
};

void TestBackgroundRead::initTestCase() {
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    m_db = std::make_unique<TempDatabase>(QStringList{
        QStringLiteral("create table LINHAS (N integer not null primary key, T varchar(20))"),
        QStringLiteral("execute block as declare i integer = 1; begin while (i <= %1) do begin "
                       "insert into LINHAS (N, T) values (:i, 'linha ' || :i); i = i + 1; end end")
            .arg(kRows),
    });
}

void TestBackgroundRead::init() {
    m_holder = std::make_unique<ConnectedHolder>(m_db->path());
}

void TestBackgroundRead::cleanup() {
    m_browse.closeAll();
    m_sql.closeAll();
    m_b = nullptr;
    m_w = nullptr;
    if (m_holder->dm.Trans->active()) m_holder->dm.Trans->rollback();
    m_holder.reset();
}

QTableView* TestBackgroundRead::openWindow(bool browse) {
    if (browse) {
        m_b = m_browse.open(QStringLiteral("LINHAS"), QStringLiteral(" Order By N"));
        m_b->Gs->setFocus();
        return m_b->Gs;
    }
    m_w = m_sql.open();
    SqlWindows::run(m_w, QStringLiteral("select N, T from LINHAS order by N"));
    m_w->Grade->setFocus();
    return m_w->Grade;
}

FetchAllLine* TestBackgroundRead::line() const {
    QWidget* window = m_b ? static_cast<QWidget*>(m_b) : static_cast<QWidget*>(m_w);
    return window->findChild<FetchAllLine*>(QStringLiteral("Leitura"));
}

void TestBackgroundRead::waitForRead() {
    QVERIFY(QTest::qWaitFor([this] { return !dataSet()->fetchingInBackground(); }, kWaitMs));
    QCoreApplication::processEvents(); // the grid follows
}

void TestBackgroundRead::ctrlEndGoesToTheLastRow_data() {
    QTest::addColumn<bool>("browse");
    QTest::addRow("browse window") << true;
    QTest::addRow("SQL window") << false;
}

void TestBackgroundRead::ctrlEndGoesToTheLastRow() {
    QFETCH(bool, browse);
    QTableView* grid = openWindow(browse);
    DataSet* ds = dataSet();
    QVERIFY(ds->rowCount() < kRows);
    grid->setCurrentIndex(grid->model()->index(0, 1));

    QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
    QVERIFY(ds->fetchingInBackground());
    QVERIFY(line() && line()->isVisible());
    waitForRead();
    QVERIFY(!line()->isVisible());
    QVERIFY(ds->allFetched());
    QCOMPARE(ds->rowCount(), kRows);
    QCOMPARE(grid->model()->rowCount(), kRows);
    QCOMPARE(grid->currentIndex().row(), kRows - 1);
    QCOMPARE(grid->currentIndex().column(), 1);
    QCOMPARE(ds->currentRow(), kRows - 1);
    QCOMPARE(numberAt(ds->currentRow()), kRows);
    QCOMPARE(grid->currentIndex().data().toString(), QStringLiteral("linha %1").arg(kRows));
    QVERIFY(m_holder->prompts.messages.isEmpty());

    // Everything is read now: Ctrl+End stays, Ctrl+Home goes to the first row.
    QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
    QVERIFY(!ds->fetchingInBackground());
    QCOMPARE(grid->currentIndex().row(), kRows - 1);
    QTest::keyClick(grid, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(grid->currentIndex().row(), 0);
    QCOMPARE(ds->currentRow(), 0);
}

void TestBackgroundRead::cancelKeepsWhatWasRead_data() {
    ctrlEndGoesToTheLastRow_data();
}

void TestBackgroundRead::cancelKeepsWhatWasRead() {
    QFETCH(bool, browse);
    QTableView* grid = openWindow(browse);
    DataSet* ds = dataSet();
    grid->setCurrentIndex(grid->model()->index(2, 0));
    const int before = ds->rowCount();

    QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
    QVERIFY(ds->fetchingInBackground());
    line()->bCancelar->click();
    waitForRead();
    QVERIFY(!line()->isVisible());
    const int kept = ds->rowCount();
    QVERIFY2(kept >= before && kept < kRows, qPrintable(QString::number(kept)));
    QVERIFY(!ds->allFetched() && !ds->fetchFailed());
    QCOMPARE(grid->model()->rowCount(), kept);
    QCOMPARE(grid->currentIndex().row(), 2);
    QCOMPARE(ds->currentRow(), 2);
    for (int r = 0; r < kept; r += 997)
        QCOMPARE(numberAt(r), r + 1);
    QVERIFY(m_holder->prompts.messages.isEmpty());

    // The cursor is where the read stopped: the next read goes on from there.
    QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
    waitForRead();
    QCOMPARE(ds->rowCount(), kRows);
    for (int r = 0; r < kRows; r += 997)
        QCOMPARE(numberAt(r), r + 1);
    QCOMPARE(numberAt(kRows - 1), kRows);
    QCOMPARE(grid->currentIndex().row(), kRows - 1);
}

void TestBackgroundRead::otherWorkMeanwhileIsBusy_data() {
    QTest::addColumn<QString>("work");
    QTest::newRow("commit in the same window") << QStringLiteral("commit");
    QTest::newRow("post in another browse window") << QStringLiteral("post");
    QTest::newRow("statement in an SQL window") << QStringLiteral("sql");
}

void TestBackgroundRead::otherWorkMeanwhileIsBusy() {
    QFETCH(QString, work);
    TFBrowse* other = nullptr;
    TFSql* sql = nullptr;
    if (work == QLatin1String("post")) {
        other = m_browse.open(QStringLiteral("LINHAS"), QStringLiteral(" Order By N"));
        other->IBDataSet1->edit();
        other->IBDataSet1->fieldByName(QStringLiteral("T"))->setAsString(QStringLiteral("mudou"));
    } else if (work == QLatin1String("sql")) {
        sql = m_sql.open();
        sql->MemoSql->setPlainText(QStringLiteral("update LINHAS set T = 'mudou' where N = 1"));
    }
    QTableView* grid = openWindow(true);
    DataSet* ds = dataSet();
    ScriptedPrompts& prompts = m_holder->prompts;
    prompts.clear();

    QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
    QVERIFY(ds->fetchingInBackground());
    // The read holds the connection until its end comes back to this thread.
    if (work == QLatin1String("commit"))
        m_b->SCommit->click();
    else if (work == QLatin1String("post"))
        other->SGrava->click();
    else
        sql->bexe->click();
    QCOMPARE(prompts.errorReports(), QStringList{connectionBusyMessage()});
    if (other) QCOMPARE(other->IBDataSet1->state(), DataSet::Edit); // the row kept, to be saved later
    if (sql) QVERIFY(!sql->MemoSql->toPlainText().isEmpty());

    waitForRead();
    QCOMPARE(ds->rowCount(), kRows);
    QVERIFY(ds->active());
    QCOMPARE(m_db->scalar(QStringLiteral("select T from LINHAS where N = 1")), QStringLiteral("linha 1"));
    if (other) {
        other->SGrava->click(); // free again
        QCOMPARE(other->IBDataSet1->state(), DataSet::Browse);
        QCOMPARE(prompts.errorReports().size(), 1);
    }
}

void TestBackgroundRead::searchAmongUnreadRows_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("foundRow"); // -1: not found
    QTest::newRow("found among unread rows") << QStringLiteral("LINHA 45000") << 44999;
    QTest::newRow("found among rows read") << QStringLiteral("linha 7") << 6;
    QTest::newRow("not found") << QStringLiteral("nenhuma") << -1;
}

void TestBackgroundRead::searchAmongUnreadRows() {
    QFETCH(QString, answer);
    QFETCH(int, foundRow);
    QTableView* grid = openWindow(true);
    DataSet* ds = dataSet();
    grid->setCurrentIndex(grid->model()->index(3, 1)); // the search is by the column T
    ScriptedPrompts& prompts = m_holder->prompts;
    prompts.clear();
    prompts.inputAnswers << answer;

    QTest::keyClick(grid, Qt::Key_F12);
    waitForRead();
    if (foundRow < 0) {
        QCOMPARE(ds->rowCount(), kRows); // every row was looked at
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages[0].text, QStringLiteral("Não Achei informações para esse dado, tente novamente..."));
        QCOMPARE(ds->currentRow(), 3);
        QCOMPARE(grid->currentIndex().row(), 3);
    } else {
        QVERIFY(prompts.messages.isEmpty());
        QCOMPARE(ds->currentRow(), foundRow);
        QCOMPARE(grid->currentIndex().row(), foundRow);
        QCOMPARE(numberAt(foundRow), foundRow + 1);
    }
}

QTEST_MAIN(TestBackgroundRead)
#include "test_backgroundread.moc"
