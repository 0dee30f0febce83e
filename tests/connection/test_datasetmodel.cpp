// The grid model over a dataset: Qt's model checks through every kind of change, lazy batches,
// NULL distinct from empty text, editable flags by what the dataset can write, edits through the
// dataset, hidden columns, and errors kept away from the view.
#include "connection/datasetmodel.h"
#include "support/fbfixture.h"
#include "support/scriptedprompts.h"
#include "support/testconnection.h"
#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

class TestDataSetModel : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void passesModelTesterThroughChanges();
    void fetchesInBatches();
    void nullAndEmptyText();
    void editableFlags_data();
    void editableFlags();
    void editsGoThroughTheDataset();
    void hiddenColumns();
    void fetchErrorIsReported();
};

namespace {
const QStringList kDdl{
    QStringLiteral("create table T (ID integer not null primary key, NOME varchar(20), VALOR numeric(9,2), "
                   "DOBRO computed by (ID * 2), FOTO blob sub_type binary)"),
    QStringLiteral("execute block as declare i int = 1; begin while (i <= 600) do begin "
                   "insert into T (ID, NOME, VALOR) values (:i, iif(:i = 2, '', 'nome ' || :i), iif(:i = 3, null, :i * 0.25)); "
                   "i = i + 1; end end"),
};

struct Fixture {
    TempDatabase tdb;
    TestConnection c;
    DataSet ds;
    explicit Fixture(bool writable = true) : tdb(kDdl), c(tdb.path()) {
        ds.setDatabase(&c.db);
        ds.setSelectSQL({QStringLiteral("select * from T order by ID")});
        if (writable) {
            ds.setInsertSQL({QStringLiteral("insert into T (ID, NOME, VALOR) values (:ID, :NOME, :VALOR)")});
            ds.setModifySQL({QStringLiteral("update T set ID = :ID, NOME = :NOME, VALOR = :VALOR where ID = :OLD_ID")});
            ds.setDeleteSQL({QStringLiteral("delete from T where ID = :OLD_ID")});
            ds.setRefreshSQL({QStringLiteral("select * from T where ID = :ID")});
        }
    }
};
} // namespace

void TestDataSetModel::initTestCase() { QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil)); }

void TestDataSetModel::passesModelTesterThroughChanges() {
    Fixture f;
    DataSetModel model(&f.ds);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.columnCount(), 0);
    f.ds.open();
    QCOMPARE(model.columnCount(), 5);
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("NOME"));
    while (model.canFetchMore({}))
        model.fetchMore({});
    QCOMPARE(model.rowCount(), 600);
    f.ds.setCurrentRow(10);
    f.ds.insert(); // a row appears at 10
    QCOMPARE(model.rowCount(), 601);
    f.ds.fieldByName("ID")->setValue(1000);
    f.ds.post();
    QCOMPARE(model.index(10, 0).data().toString(), QStringLiteral("1000"));
    f.ds.append();
    f.ds.cancel(); // and goes away again
    QCOMPARE(model.rowCount(), 601);
    f.ds.setCurrentRow(5);
    f.ds.remove();
    QCOMPARE(model.rowCount(), 600);
    f.ds.edit();
    f.ds.fieldByName("NOME")->setValue(QStringLiteral("mudado"));
    QCOMPARE(model.index(5, 1).data().toString(), QStringLiteral("mudado"));
    f.ds.cancel();
    QCOMPARE(model.index(5, 1).data().toString(), QStringLiteral("nome 7"));
    f.ds.locate(QStringLiteral("ID"), 599, 0);
    f.c.tr.commit(); // closes the dataset
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.columnCount(), 0);
    f.ds.open();
    QVERIFY(model.rowCount() >= 1); // the tester itself reads further
    QCOMPARE(model.index(0, 0).data().toString(), QStringLiteral("1"));
}

void TestDataSetModel::fetchesInBatches() {
    Fixture f(false);
    f.ds.open();
    DataSetModel model(&f.ds);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QCOMPARE(model.rowCount(), 1);
    QVERIFY(model.canFetchMore({}));
    model.fetchMore({});
    QCOMPARE(model.rowCount(), 1 + DataSetModel::BatchSize);
    model.fetchMore({});
    model.fetchMore({});
    QCOMPARE(model.rowCount(), 600);
    QVERIFY(!model.canFetchMore({}));
    QCOMPARE(inserted.count(), 3);
    QCOMPARE(inserted.at(0).at(1).toInt(), 1);
    QCOMPARE(inserted.at(0).at(2).toInt(), DataSetModel::BatchSize);
    // Rows read by the dataset itself (here by going to the last row) reach the view too.
    f.ds.close();
    f.ds.open();
    QCOMPARE(model.rowCount(), 1);
    f.ds.last();
    QCOMPARE(model.rowCount(), 600);
}

void TestDataSetModel::nullAndEmptyText() {
    Fixture f(false);
    f.ds.open();
    DataSetModel model(&f.ds);
    model.fetchMore({});
    const QModelIndex empty = model.index(1, 1); // NOME of ID 2: ''
    QVERIFY(empty.data().isValid());
    QCOMPARE(empty.data().toString(), QString());
    QCOMPARE(empty.data(DataSetModel::NullRole).toBool(), false);
    const QModelIndex null = model.index(2, 2); // VALOR of ID 3: NULL
    QVERIFY(!null.data().isValid());
    QCOMPARE(null.data(DataSetModel::NullRole).toBool(), true);
    QCOMPARE(model.index(0, 2).data().toString(), QStringLiteral("0,25"));
    QCOMPARE(model.index(0, 2).data(DataSetModel::FieldIndexRole).toInt(), 2);
    QVERIFY(model.index(0, 2).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight);
    QVERIFY(!model.index(0, 4).data().isValid()); // a NULL blob
}

void TestDataSetModel::editableFlags_data() {
    QTest::addColumn<bool>("insert");
    QTest::addColumn<bool>("modify");
    QTest::addColumn<bool>("browseRowEditable");
    QTest::addColumn<bool>("insertedRowEditable");
    QTest::newRow("read-only query") << false << false << false << false;
    QTest::newRow("insert and modify") << true << true << true << true;
    QTest::newRow("insert only") << true << false << false << true;
    QTest::newRow("modify only") << false << true << true << false;
}

void TestDataSetModel::editableFlags() {
    QFETCH(bool, insert);
    QFETCH(bool, modify);
    QFETCH(bool, browseRowEditable);
    QFETCH(bool, insertedRowEditable);
    Fixture f;
    if (!insert) f.ds.setInsertSQL({});
    if (!modify) f.ds.setModifySQL({});
    if (!insert && !modify) f.ds.setDeleteSQL({});
    f.ds.open();
    DataSetModel model(&f.ds);
    QCOMPARE(bool(model.flags(model.index(0, 1)) & Qt::ItemIsEditable), browseRowEditable);
    QVERIFY(!(model.flags(model.index(0, 3)) & Qt::ItemIsEditable)); // computed
    QVERIFY(!(model.flags(model.index(0, 4)) & Qt::ItemIsEditable)); // binary blob
    if (insert) {
        f.ds.insert();
        QCOMPARE(bool(model.flags(model.index(0, 1)) & Qt::ItemIsEditable), insertedRowEditable);
        QCOMPARE(bool(model.flags(model.index(1, 1)) & Qt::ItemIsEditable), browseRowEditable);
    }
}

void TestDataSetModel::editsGoThroughTheDataset() {
    Fixture f;
    f.ds.open();
    DataSetModel model(&f.ds);
    QSignalSpy states(&model, &DataSetModel::stateChanged);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.fetchMore({});
    QVERIFY(model.setData(model.index(4, 1), QStringLiteral("Quinto")));
    QCOMPARE(f.ds.state(), DataSet::Edit);
    QCOMPARE(f.ds.currentRow(), 4);
    QCOMPARE(states.count(), 1);
    QVERIFY(changed.count() >= 1);
    QVERIFY(model.setData(model.index(4, 2), QStringLiteral("12,5")));
    QCOMPARE(model.index(4, 2).data().toString(), QStringLiteral("12,50"));
    // Moving to another row posts the edited one.
    QVERIFY(model.setData(model.index(6, 1), QStringLiteral("Sétimo")));
    QCOMPARE(f.c.tr.inTransaction(), true);
    QCOMPARE(f.ds.currentRow(), 6);
    f.ds.post();
    f.ds.close();
    f.c.tr.commit();
    QCOMPARE(f.tdb.column(QStringLiteral("select NOME || '/' || VALOR from T where ID in (5, 7) order by ID")),
             (QStringList{"Quinto/12.50", "Sétimo/1.75"}));
    // A value that does not convert is refused and reported, the state unchanged.
    ScriptedPrompts prompts;
    f.ds.open();
    QSignalSpy errors(&model, &DataSetModel::errorOccurred);
    QVERIFY(!model.setData(model.index(0, 2), QStringLiteral("abc")));
    QCOMPARE(errors.count(), 1);
    QCOMPARE(errors.at(0).at(0).toString(), QStringLiteral("'abc' is not a valid floating point value"));
}

void TestDataSetModel::hiddenColumns() {
    Fixture f(false);
    f.ds.open();
    DataSetModel model(&f.ds);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    f.ds.fieldByName("NOME")->setVisible(false);
    model.refreshColumns();
    QCOMPARE(model.columnCount(), 4);
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("VALOR"));
    QCOMPARE(model.fieldIndex(1), 2);
    QCOMPARE(model.columnOf(1), -1);
    QCOMPARE(model.columnOf(2), 1);
    QCOMPARE(model.fieldIndex(9), -1);
    // Reopening shows every field again.
    f.ds.close();
    f.ds.open();
    QCOMPARE(model.columnCount(), 5);
}

void TestDataSetModel::fetchErrorIsReported() {
    // A row that fails to convert while the grid reads ends the reading and reaches the error
    // report, once the view's call is over; the rows read so far stay.
    Fixture f(false);
    f.ds.setSelectSQL({QStringLiteral("select ID, cast(iif(ID = 300, 'x', ID) as integer) from T order by ID")});
    f.ds.open();
    DataSetModel model(&f.ds);
    ScriptedPrompts prompts;
    while (model.canFetchMore({}))
        model.fetchMore({});
    QCOMPARE(prompts.messages.size(), 0); // not from inside the model
    QVERIFY(model.rowCount() >= 257 && model.rowCount() < 600);
    QTRY_COMPARE(prompts.messages.size(), 1);
    QVERIFY2(prompts.messages.at(0).text.contains(QStringLiteral("conversion")), qPrintable(prompts.messages.at(0).text));
}

QTEST_MAIN(TestDataSetModel)
#include "test_datasetmodel.moc"
