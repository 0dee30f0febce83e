// The dataset's reading side: opening (messages, statements executed once, automatic connect),
// fields and their properties, values and their text forms, navigation, lazy fetching, and
// closing at the end of the transaction and on disconnect.
#include "connection/dataset.h"
#include "connection/fberror.h"
#include "connection/transaction.h"
#include "support/errortext.h"
#include "support/fbfixture.h"
#include "support/scriptedprompts.h"
#include "support/testconnection.h"
#include <QSignalSpy>
#include <QtTest>

class TestDataSet : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void fieldsAndProperties();
    void textForms_data();
    void textForms();
    void nullDistinctFromEmpty();
    void navigation();
    void lazyFetching();
    void emptyStatement_data();
    void emptyStatement();
    void statementWithoutRows_data();
    void statementWithoutRows();
    void rejectedStatementFailsOpen_data();
    void rejectedStatementFailsOpen();
    void connectsAndStartsTransaction();
    void closedByEndOfTransaction_data();
    void closedByEndOfTransaction();
    void closedByDisconnect();
    void closedDatasetMessages();
    void changingStatementCloses();
    void charsetNoneAndWin1252();
    void locate_data();
    void locate();
    void locateReadsFurtherAndPostsEdit();
};

namespace {
const QStringList kTypesDdl{
    QStringLiteral("create table T (ID integer not null primary key, NOME varchar(20), CODIGO char(5), "
                   "VALOR numeric(15,2), PRECO decimal(9,4), PESO double precision, F float, QTD smallint, "
                   "BIG bigint, NASC date, HORA time, MOMENTO timestamp, ATIVO boolean, "
                   "OBS blob sub_type text, FOTO blob sub_type binary, DOBRO computed by (ID * 2), "
                   "PADRAO integer default 7 not null, ARR integer[3])"),
    QStringLiteral("insert into T (ID, NOME, CODIGO, VALOR, PRECO, PESO, F, QTD, BIG, NASC, HORA, MOMENTO, "
                   "ATIVO, OBS, FOTO) values (1, 'Ação', 'AB', 1234.5, 3.14159, 2.5, 0.1, -3, 9000000000, "
                   "'2026-01-02', '13:45:30', '2026-01-02 00:00:00', true, 'memo text', x'0102')"),
    QStringLiteral("insert into T (ID, NOME, MOMENTO, VALOR) values (2, '', '2026-01-02 08:05:09', -0.05)"),
    QStringLiteral("insert into T (ID) values (3)"),
};

// A dataset on a fresh database, named as the SQL command window names its query.
struct Fixture {
    TempDatabase tdb;
    TestConnection c;
    DataSet ds;
    explicit Fixture(const QStringList& ddl, const QString& charset = QStringLiteral("UTF8"))
        : tdb(ddl, charset), c(tdb.path()) {
        ds.setObjectName(QStringLiteral("IBSet"));
        ds.setDatabase(&c.db);
    }
    void open(const QString& select) {
        ds.setSelectSQL({select});
        ds.open();
    }
};

} // namespace

void TestDataSet::initTestCase() { QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil)); }

void TestDataSet::fieldsAndProperties() {
    Fixture f(kTypesDdl);
    f.open(QStringLiteral("select * from T order by ID"));
    QVERIFY(f.ds.active());
    QCOMPARE(f.ds.state(), DataSet::Browse);
    QVERIFY(f.ds.hasCursor());
    // The array column has no field.
    const QStringList names{"ID",   "NOME", "CODIGO", "VALOR", "PRECO", "PESO", "F",    "QTD",   "BIG",
                            "NASC", "HORA", "MOMENTO", "ATIVO", "OBS",  "FOTO", "DOBRO", "PADRAO"};
    QCOMPARE(f.ds.fieldDefNames(), names);
    QCOMPARE(f.ds.fieldCount(), names.size());
    const QList<FieldKind> kinds{FieldKind::Integer, FieldKind::String,   FieldKind::String, FieldKind::BCD,
                                 FieldKind::BCD,     FieldKind::Float,    FieldKind::Float,  FieldKind::SmallInt,
                                 FieldKind::LargeInt, FieldKind::Date,    FieldKind::Time,   FieldKind::DateTime,
                                 FieldKind::Boolean, FieldKind::Memo,     FieldKind::Blob,   FieldKind::LargeInt,
                                 FieldKind::Integer};
    for (int i = 0; i < names.size(); ++i) {
        Field* fld = f.ds.field(i);
        QCOMPARE(fld->fieldName(), names[i]);
        QCOMPARE(fld->displayName(), names[i]);
        QCOMPARE(fld->index(), i);
        QVERIFY2(fld->kind() == kinds[i], qPrintable(names[i]));
        QCOMPARE(fld->isBlob(), names[i] == "OBS" || names[i] == "FOTO");
        QCOMPARE(fld->isMemo(), names[i] == "OBS");
        QVERIFY(fld->visible());
        QCOMPARE(fld->required(), names[i] == "ID"); // PADRAO is NOT NULL but has a default
        QCOMPARE(fld->readOnly(), names[i] == "DOBRO");
        QCOMPARE(fld->computed(), names[i] == "DOBRO");
        QCOMPARE(fld->hasDefault(), names[i] == "PADRAO");
        QCOMPARE(f.ds.fieldByName(names[i].toLower()), fld);
    }
    QCOMPARE(f.ds.fieldByName("NOME")->size(), 20);
    QCOMPARE(f.ds.fieldByName("CODIGO")->size(), 5);
    QCOMPARE(f.ds.fieldByName("VALOR")->size(), 2);
    QCOMPARE(f.ds.fieldByName("VALOR")->precision(), 18);
    QCOMPARE(f.ds.fieldByName("PRECO")->size(), 4);
    QCOMPARE(f.ds.fieldByName("PRECO")->precision(), 9);
    QVERIFY(f.ds.findField("NADA") == nullptr);
    QCOMPARE(errorText([&] { f.ds.fieldByName("NADA"); }), QStringLiteral("Field 'NADA' not found"));
    // Expressions belong to no table: never required.
    f.ds.close();
    f.open(QStringLiteral("select ID + 0 as SOMA, cast(null as integer) as NADA from T"));
    QVERIFY(!f.ds.field(0)->required());
    QCOMPARE(f.ds.field(0)->fieldName(), QStringLiteral("SOMA"));
}

void TestDataSet::textForms_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("varchar") << "NOME" << 1 << "Ação" << QVariant(QStringLiteral("Ação"));
    QTest::newRow("char padded to its length") << "CODIGO" << 1 << "AB   " << QVariant(QStringLiteral("AB   "));
    QTest::newRow("numeric: decimal comma, all its digits") << "VALOR" << 1 << "1234,50" << QVariant(1234.5);
    QTest::newRow("numeric below one, negative") << "VALOR" << 2 << "-0,05" << QVariant(-0.05);
    QTest::newRow("decimal rounded to its scale") << "PRECO" << 1 << "3,1416" << QVariant(3.1416);
    QTest::newRow("double") << "PESO" << 1 << "2,5" << QVariant(2.5);
    QTest::newRow("float: shortest form") << "F" << 1 << "0,1" << QVariant(0.1);
    QTest::newRow("smallint") << "QTD" << 1 << "-3" << QVariant(-3);
    QTest::newRow("bigint: no grouping") << "BIG" << 1 << "9000000000" << QVariant(qlonglong(9000000000LL));
    QTest::newRow("date") << "NASC" << 1 << "02/01/2026" << QVariant(QDate(2026, 1, 2));
    QTest::newRow("time") << "HORA" << 1 << "13:45:30" << QVariant(QTime(13, 45, 30));
    QTest::newRow("timestamp at midnight: date only")
        << "MOMENTO" << 1 << "02/01/2026" << QVariant(QDateTime(QDate(2026, 1, 2), QTime(0, 0), Qt::UTC));
    QTest::newRow("timestamp with time")
        << "MOMENTO" << 2 << "02/01/2026 08:05:09" << QVariant(QDateTime(QDate(2026, 1, 2), QTime(8, 5, 9), Qt::UTC));
    QTest::newRow("boolean") << "ATIVO" << 1 << "True" << QVariant(true);
    QTest::newRow("text blob: its content") << "OBS" << 1 << "memo text" << QVariant(QStringLiteral("memo text"));
    QTest::newRow("binary blob") << "FOTO" << 1 << QString::fromLatin1("\x01\x02") << QVariant(QByteArray("\x01\x02"));
    QTest::newRow("computed") << "DOBRO" << 2 << "4" << QVariant(qlonglong(4));
    QTest::newRow("default") << "PADRAO" << 3 << "7" << QVariant(7);
}

void TestDataSet::textForms() {
    QFETCH(QString, field);
    QFETCH(int, id);
    QFETCH(QString, text);
    QFETCH(QVariant, value);
    Fixture f(kTypesDdl);
    f.open(QStringLiteral("select * from T order by ID"));
    while (f.ds.fieldByName("ID")->value().toInt() != id)
        f.ds.next();
    Field* fld = f.ds.fieldByName(field);
    QCOMPARE(fld->asString(), text);
    QCOMPARE(f.ds.text(f.ds.currentRow(), fld->index()), text);
    const QVariant got = fld->value();
    if (value.typeId() == QMetaType::Double) {
        QCOMPARE(got.typeId(), int(QMetaType::Double));
        QCOMPARE(got.toDouble(), value.toDouble());
    } else {
        QCOMPARE(got, value);
    }
    QVERIFY(!fld->isNull());
    if (fld->isBlob()) QCOMPARE(fld->blobBytes(), fld->kind() == FieldKind::Memo ? text.toUtf8() : value.toByteArray());
}

void TestDataSet::nullDistinctFromEmpty() {
    Fixture f(kTypesDdl);
    f.open(QStringLiteral("select ID, NOME, OBS, NASC from T where ID >= 2 order by ID"));
    Field* nome = f.ds.fieldByName("NOME");
    QVERIFY(!nome->isNull()); // row 2: ''
    QCOMPARE(nome->value(), QVariant(QString("")));
    QVERIFY(nome->value().isValid());
    f.ds.next();
    for (int i = 1; i < 4; ++i) { // row 3: all NULL
        QVERIFY(f.ds.field(i)->isNull());
        QVERIFY(!f.ds.field(i)->value().isValid());
        QCOMPARE(f.ds.field(i)->asString(), QString());
        QVERIFY(f.ds.isNull(1, i));
    }
}

void TestDataSet::navigation() {
    Fixture f({QStringLiteral("create table T (ID integer)"),
               QStringLiteral("execute block as declare i int = 1; begin while (i <= 5) do begin "
                              "insert into T values (:i); i = i + 1; end end")});
    QSignalSpy moved(&f.ds, &DataSet::currentRowChanged);
    f.open(QStringLiteral("select ID from T order by ID"));
    QCOMPARE(f.ds.recNo(), 1);
    QVERIFY(f.ds.bof());
    QVERIFY(!f.ds.eof());
    QList<int> seen;
    for (f.ds.first(); !f.ds.eof(); f.ds.next())
        seen.append(f.ds.field(0)->value().toInt());
    QCOMPARE(seen, (QList<int>{1, 2, 3, 4, 5}));
    QCOMPARE(f.ds.recNo(), 5); // eof after the last row: still on it
    QVERIFY(f.ds.allFetched());
    f.ds.prior();
    QCOMPARE(f.ds.recNo(), 4);
    QVERIFY(!f.ds.eof());
    f.ds.first();
    f.ds.prior();
    QVERIFY(f.ds.bof());
    QCOMPARE(f.ds.recNo(), 1);
    f.ds.setCurrentRow(2);
    QCOMPARE(f.ds.field(0)->value().toInt(), 3);
    f.ds.last();
    QCOMPARE(f.ds.recNo(), 5);
    QVERIFY(f.ds.eof());
    QVERIFY(moved.count() >= 4);
    QCOMPARE(moved.last().at(0).toInt(), 4);
    // An empty result.
    f.ds.close();
    f.open(QStringLiteral("select ID from T where ID > 100"));
    QVERIFY(f.ds.isEmpty());
    QVERIFY(f.ds.eof());
    QVERIFY(f.ds.bof());
    QCOMPARE(f.ds.recNo(), 0);
    QCOMPARE(f.ds.currentRow(), -1);
    QVERIFY(f.ds.field(0)->isNull());
    f.ds.next();
    QVERIFY(f.ds.eof());
}

void TestDataSet::lazyFetching() {
    Fixture f({QStringLiteral("create table T (ID integer, S varchar(30))"),
               QStringLiteral("execute block as declare i int = 1; begin while (i <= 1000) do begin "
                              "insert into T values (:i, 'linha ' || :i); i = i + 1; end end")});
    QSignalSpy fetched(&f.ds, &DataSet::rowsFetched);
    QSignalSpy reset(&f.ds, &DataSet::dataReset);
    f.open(QStringLiteral("select ID, S from T order by ID"));
    QCOMPARE(reset.count(), 1);
    QCOMPARE(f.ds.rowCount(), 1); // positioned on the first row, nothing more read
    QVERIFY(!f.ds.allFetched());
    QCOMPARE(f.ds.fetchMore(100), 100);
    QCOMPARE(f.ds.rowCount(), 101);
    QCOMPARE(fetched.count(), 1);
    QCOMPARE(fetched.last().at(0).toInt(), 1);
    QCOMPARE(fetched.last().at(1).toInt(), 100);
    QCOMPARE(f.ds.text(100, 1), QStringLiteral("linha 101"));
    f.ds.fetchAll();
    QCOMPARE(f.ds.rowCount(), 1000);
    QVERIFY(f.ds.allFetched());
    QCOMPARE(f.ds.fetchMore(10), 0);
    QCOMPARE(f.ds.value(999, 0).toInt(), 1000);
    QCOMPARE(f.ds.text(999, 1), QStringLiteral("linha 1000"));
    // Reopening reads the rows again from the start.
    f.ds.close();
    QCOMPARE(f.ds.rowCount(), 0);
    f.ds.open();
    QCOMPARE(f.ds.rowCount(), 1);
    QCOMPARE(f.ds.value(0, 0).toInt(), 1);
}

void TestDataSet::emptyStatement_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("message");
    QTest::newRow("no lines") << QStringList() << "Empty query";
    QTest::newRow("one empty line") << QStringList{""} << "Empty query";
    QTest::newRow("blanks") << QStringList{"   "} << "Empty SQL Statement";
    QTest::newRow("empty lines") << QStringList{"", ""} << "Empty SQL Statement";
    QTest::newRow("tab and blank lines") << QStringList{"\t", " "} << "Empty SQL Statement";
}

void TestDataSet::emptyStatement() {
    QFETCH(QStringList, lines);
    QFETCH(QString, message);
    Fixture f({QStringLiteral("create table T (ID integer)")});
    f.ds.setSelectSQL(lines);
    QCOMPARE(errorText([&] { f.ds.open(); }), message);
    QVERIFY(!f.ds.active());
    QCOMPARE(f.ds.state(), DataSet::Inactive);
}

void TestDataSet::statementWithoutRows_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("check");    // a query whose answer shows the statement ran once
    QTest::addColumn<QString>("expected");
    QTest::addColumn<qint64>("affected");
    QTest::newRow("update") << "update T set N = N + 1" << "select sum(N) from T" << "5" << qint64(2);
    QTest::newRow("insert") << "insert into T values (9, 9)" << "select count(*) from T" << "3" << qint64(1);
    QTest::newRow("delete") << "delete from T where ID = 1" << "select count(*) from T" << "1" << qint64(1);
    QTest::newRow("ddl") << "create table U (X integer)"
                         << "select count(*) from RDB$RELATIONS where RDB$RELATION_NAME = 'U'" << "1" << qint64(0);
    // The server counts only the rows of the statement itself, not those of the procedure.
    QTest::newRow("execute procedure") << "execute procedure BUMP"
                                       << "select sum(N) from T" << "5" << qint64(0);
    QTest::newRow("select for update") << "select ID from T for update" << "select sum(N) from T" << "3"
                                       << qint64(0);
}

void TestDataSet::statementWithoutRows() {
    QFETCH(QString, sql);
    QFETCH(QString, check);
    QFETCH(QString, expected);
    QFETCH(qint64, affected);
    Fixture f({QStringLiteral("create table T (ID integer, N integer)"),
               QStringLiteral("insert into T values (1, 1)"), QStringLiteral("insert into T values (2, 2)"),
               QStringLiteral("create procedure BUMP returns (R integer) as begin update T set N = N + 1; "
                              "R = 1; end")});
    QSignalSpy state(&f.ds, &DataSet::stateChanged);
    f.open(sql);
    QVERIFY(f.ds.active());
    QCOMPARE(f.ds.state(), DataSet::Browse);
    QCOMPARE(state.count(), 1);
    QVERIFY(!f.ds.hasCursor());
    QCOMPARE(f.ds.fieldCount(), 0);
    QCOMPARE(f.ds.rowCount(), 0);
    QVERIFY(f.ds.eof());
    QCOMPARE(f.ds.rowsAffected(), affected);
    f.ds.close();
    f.c.tr.commit();
    QCOMPARE(f.tdb.scalar(check), expected);
}

void TestDataSet::rejectedStatementFailsOpen_data() {
    QTest::addColumn<int>("which"); // 0 select, 1 insert, 2 modify, 3 delete, 4 refresh
    QTest::newRow("select") << 0;
    QTest::newRow("insert") << 1;
    QTest::newRow("modify") << 2;
    QTest::newRow("delete") << 3;
    QTest::newRow("refresh") << 4;
}

void TestDataSet::rejectedStatementFailsOpen() {
    QFETCH(int, which);
    Fixture f({QStringLiteral("create table T (ID integer)"), QStringLiteral("insert into T values (1)")});
    QStringList sql[5] = {{"select * from T"}, {"insert into T values (:ID)"}, {"update T set ID = :ID where ID = :OLD_ID"},
                          {"delete from T where ID = :OLD_ID"}, {"select * from T where ID = :ID"}};
    sql[which] = QStringList{QStringLiteral("select NO_SUCH_COLUMN from T")};
    f.ds.setSelectSQL(sql[0]);
    f.ds.setInsertSQL(sql[1]);
    f.ds.setModifySQL(sql[2]);
    f.ds.setDeleteSQL(sql[3]);
    f.ds.setRefreshSQL(sql[4]);
    try {
        f.ds.open();
        QFAIL("opened");
    } catch (const DbError& e) {
        QVERIFY2(e.message().contains(QStringLiteral("NO_SUCH_COLUMN")), qPrintable(e.message()));
    }
    QVERIFY(!f.ds.active());
    QCOMPARE(f.ds.state(), DataSet::Inactive);
    // Corrected, it opens.
    sql[which] = which == 0 ? QStringList{"select * from T"} : QStringList{" "};
    f.ds.setSelectSQL(sql[0]);
    f.ds.setInsertSQL(sql[1]);
    f.ds.setModifySQL(sql[2]);
    f.ds.setDeleteSQL(sql[3]);
    f.ds.setRefreshSQL(sql[4]);
    f.ds.open();
    QVERIFY(f.ds.active());
    QCOMPARE(f.ds.canInsert(), which != 1);
    QCOMPARE(f.ds.canModify(), which != 2);
    QCOMPARE(f.ds.canDelete(), which != 3);
}

void TestDataSet::connectsAndStartsTransaction() {
    TempDatabase tdb({QStringLiteral("create table T (ID integer)"), QStringLiteral("insert into T values (1)")});
    ScriptedPrompts prompts;
    prompts.loginAnswers.append(ScriptedPrompts::Login{});
    TestConnection c(tdb.path(), true);
    DataSet ds;
    ds.setDatabase(&c.db);
    ds.setSelectSQL({QStringLiteral("select ID from T")});
    QVERIFY(!c.db.connected());
    ds.open();
    QCOMPARE(prompts.logins.size(), 1);
    QVERIFY(c.db.connected());
    QVERIFY(c.tr.inTransaction());
    QCOMPARE(ds.transaction(), &c.tr);
    QCOMPARE(ds.field(0)->value().toInt(), 1);
    // Closing a dataset never ends the transaction.
    ds.close();
    QVERIFY(c.tr.inTransaction());
}

void TestDataSet::closedByEndOfTransaction_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("closes");
    QTest::newRow("commit") << "commit" << true;
    QTest::newRow("rollback") << "rollback" << true;
    QTest::newRow("commit retaining") << "commitRetaining" << false;
    QTest::newRow("rollback retaining") << "rollbackRetaining" << false;
}

void TestDataSet::closedByEndOfTransaction() {
    QFETCH(QString, how);
    QFETCH(bool, closes);
    Fixture f({QStringLiteral("create table T (ID integer)"), QStringLiteral("insert into T values (1)"),
               QStringLiteral("insert into T values (2)")});
    f.open(QStringLiteral("select ID from T order by ID"));
    DataSet other; // a second window's dataset in the same transaction
    other.setDatabase(&f.c.db);
    other.setSelectSQL({QStringLiteral("select count(*) from T")});
    other.open();
    QSignalSpy state(&f.ds, &DataSet::stateChanged);
    QSignalSpy reset(&f.ds, &DataSet::dataReset);
    if (how == "commit") f.c.tr.commit();
    else if (how == "rollback") f.c.tr.rollback();
    else if (how == "commitRetaining") f.c.tr.commitRetaining();
    else f.c.tr.rollbackRetaining();
    QCOMPARE(f.ds.active(), !closes);
    QCOMPARE(other.active(), !closes);
    if (closes) {
        QCOMPARE(state.count(), 1);
        QCOMPARE(state.last().at(0).value<DataSet::State>(), DataSet::Inactive);
        QCOMPARE(reset.count(), 1);
        QCOMPARE(f.ds.rowCount(), 0);
        // The owner reopens explicitly; the transaction starts again.
        f.ds.open();
        QVERIFY(f.c.tr.inTransaction());
    } else {
        f.ds.next();
        QCOMPARE(f.ds.field(0)->value().toInt(), 2);
    }
}

void TestDataSet::closedByDisconnect() {
    Fixture f({QStringLiteral("create table T (ID integer)"), QStringLiteral("insert into T values (1)")});
    f.open(QStringLiteral("select ID from T"));
    QSignalSpy state(&f.ds, &DataSet::stateChanged);
    f.c.db.setConnected(false);
    QVERIFY(!f.ds.active());
    QCOMPARE(state.count(), 1);
    // Open again reconnects (no prompt in this connection) and prepares anew.
    f.ds.open();
    QVERIFY(f.ds.active());
    QCOMPARE(f.ds.field(0)->value().toInt(), 1);
}

void TestDataSet::closedDatasetMessages() {
    Fixture f({QStringLiteral("create table T (ID integer)")});
    f.ds.setSelectSQL({QStringLiteral("select * from T")});
    const QString closed = QStringLiteral("IBSet: Cannot perform this operation on a closed dataset");
    QCOMPARE(errorText([&] { f.ds.first(); }), closed);
    QCOMPARE(errorText([&] { f.ds.next(); }), closed);
    QCOMPARE(errorText([&] { f.ds.edit(); }), closed);
    QCOMPARE(errorText([&] { f.ds.append(); }), closed);
    QCOMPARE(errorText([&] { f.ds.remove(); }), closed);
    QCOMPARE(errorText([&] { f.ds.post(); }), QStringLiteral("Dataset not in edit or insert mode"));
    QCOMPARE(errorText([&] { f.ds.cancel(); }), QStringLiteral("<no error>"));
    QCOMPARE(errorText([&] { f.ds.close(); }), QStringLiteral("<no error>"));
    QVERIFY(f.ds.eof());
    QCOMPARE(f.ds.recNo(), 0);
    QCOMPARE(f.ds.fieldCount(), 0);
    // Without a name the message stands alone.
    DataSet unnamed;
    QCOMPARE(errorText([&] { unnamed.first(); }), QStringLiteral("Cannot perform this operation on a closed dataset"));
    QCOMPARE(errorText([&] { unnamed.open(); }), QStringLiteral("Database not assigned"));
}

void TestDataSet::changingStatementCloses() {
    Fixture f({QStringLiteral("create table T (ID integer, N varchar(5))"), QStringLiteral("insert into T values (1, 'a')")});
    f.open(QStringLiteral("select ID from T"));
    f.ds.setSelectSQL({QStringLiteral("select ID from T")}); // the same text: stays open
    QVERIFY(f.ds.active());
    f.ds.setSelectSQL({QStringLiteral("select N from T")});
    QVERIFY(!f.ds.active());
    f.ds.open();
    QCOMPARE(f.ds.fieldDefNames(), QStringList{"N"});
    QCOMPARE(f.ds.field(0)->asString(), QStringLiteral("a"));
}

void TestDataSet::charsetNoneAndWin1252() {
    // Text of a column without a character set is read as Windows-1252; a WIN1252 column and a
    // text blob arrive translated.
    Fixture f({QStringLiteral("create table T (N varchar(10) character set none, W char(6) character set win1252, "
                              "M blob sub_type text character set win1252)"),
               QStringLiteral("insert into T values (x'41E7E36F', 'Ação', 'Ação memo')")},
              QStringLiteral("WIN1252"));
    f.open(QStringLiteral("select N, W, M from T"));
    QCOMPARE(f.ds.field(0)->asString(), QStringLiteral("Ação"));
    QCOMPARE(f.ds.field(1)->asString(), QStringLiteral("Ação  "));
    QCOMPARE(f.ds.field(1)->size(), 6);
    QCOMPARE(f.ds.field(2)->asString(), QStringLiteral("Ação memo"));
}

void TestDataSet::locate_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("options");
    QTest::addColumn<int>("found"); // ID of the row found; 0: not found, the position unchanged
    const int ci = DataSet::CaseInsensitive, partial = DataSet::PartialKey, both = ci | partial;
    QTest::newRow("ab finds ABC, any case, partial") << "NOME" << QVariant("ab") << both << 3;
    QTest::newRow("case-sensitive partial") << "NOME" << QVariant("ab") << partial << 4;
    QTest::newRow("case-insensitive whole value") << "NOME" << QVariant("abc") << ci << 3;
    QTest::newRow("whole value does not take a prefix") << "NOME" << QVariant("ab") << ci << 0;
    QTest::newRow("nothing begins with it") << "NOME" << QVariant("zz") << both << 0;
    QTest::newRow("accented, any case") << "NOME" << QVariant("ação") << both << 5;
    QTest::newRow("accented needle, ASCII rows") << "NOME" << QVariant("abç") << both << 0;
    // A CHAR value is its text padded to the column's length; the searched text keeps its blanks.
    QTest::newRow("CHAR whole value holds its padding") << "CODIGO" << QVariant("X1") << ci << 0;
    QTest::newRow("CHAR whole value with its padding") << "CODIGO" << QVariant("x1   ") << ci << 3;
    QTest::newRow("CHAR partial") << "CODIGO" << QVariant("x") << both << 3;
    QTest::newRow("CHAR partial, trailing blank kept") << "CODIGO" << QVariant("x ") << both << 0;
    QTest::newRow("CHAR partial into the padding") << "CODIGO" << QVariant("y  ") << both << 4;
    // Other kinds: the value written as text equals the searched text, case and all.
    QTest::newRow("integer as text") << "ID" << QVariant("4") << both << 4;
    QTest::newRow("integer written otherwise") << "ID" << QVariant("04") << both << 0;
    QTest::newRow("integer as number") << "ID" << QVariant(5) << 0 << 5;
    QTest::newRow("integer: text that is no number") << "ID" << QVariant("quatro") << both << 0;
    QTest::newRow("decimal not as shown") << "VALOR" << QVariant("12,5") << both << 0;
    QTest::newRow("decimal as shown") << "VALOR" << QVariant("12,50") << both << 4;
    QTest::newRow("decimal as number") << "VALOR" << QVariant(12.5) << 0 << 4;
    QTest::newRow("date in the short form") << "NASC" << QVariant("02/01/2026") << both << 4;
    QTest::newRow("date that does not read: no match, no error") << "NASC" << QVariant("32/13/2026") << both << 0;
    QTest::newRow("date as text of another kind") << "NASC" << QVariant("ontem") << both << 0;
    QTest::newRow("date with a time of day matches no date") << "NASC" << QVariant("02/01/2026 10:00") << both << 0;
    QTest::newRow("timestamp: date alone is midnight") << "MOMENTO" << QVariant("02/01/2026") << both << 3;
    QTest::newRow("timestamp with time") << "MOMENTO" << QVariant("02/01/2026 08:05:09") << both << 4;
    QTest::newRow("timestamp as QDateTime")
        << "MOMENTO" << QVariant(QDateTime(QDate(2026, 1, 2), QTime(8, 5, 9, 500), Qt::UTC)) << 0 << 4;
    QTest::newRow("timestamp as QDateTime, to the millisecond")
        << "MOMENTO" << QVariant(QDateTime(QDate(2026, 1, 2), QTime(8, 5, 9), Qt::UTC)) << 0 << 0;
    QTest::newRow("time") << "HORA" << QVariant("13:45:30") << both << 4;
    QTest::newRow("time without seconds") << "HORA" << QVariant("13:45") << both << 0;
    QTest::newRow("boolean text") << "ATIVO" << QVariant("True") << both << 4;
    QTest::newRow("boolean text in another case") << "ATIVO" << QVariant("true") << both << 0;
    QTest::newRow("null finds null") << "NOME" << QVariant() << both << 2;
    QTest::newRow("text blob, whole text") << "OBS" << QVariant("memo longo") << both << 4;
    QTest::newRow("text blob, no partial match") << "OBS" << QVariant("memo") << both << 0;
    QTest::newRow("text blob, case kept") << "OBS" << QVariant("MEMO LONGO") << both << 0;
}

void TestDataSet::locate() {
    QFETCH(QString, field);
    QFETCH(QVariant, value);
    QFETCH(int, options);
    QFETCH(int, found);
    Fixture f({QStringLiteral("create table T (ID integer, NOME varchar(20), CODIGO char(5), VALOR numeric(15,2), "
                              "NASC date, HORA time, MOMENTO timestamp, ATIVO boolean, OBS blob sub_type text)"),
               QStringLiteral("insert into T (ID, NOME) values (1, 'xyz')"),
               QStringLiteral("insert into T (ID) values (2)"),
               QStringLiteral("insert into T values (3, 'ABC', 'X1', 1, '2026-01-01', '00:00', '2026-01-02', false, 'outro')"),
               QStringLiteral("insert into T values (4, 'abd', 'Y', 12.5, '2026-01-02', '13:45:30.1234', "
                              "'2026-01-02 08:05:09.5', true, 'memo longo')"),
               QStringLiteral("insert into T (ID, NOME) values (5, 'AÇÃO Boa')")});
    f.open(QStringLiteral("select * from T order by ID"));
    f.ds.next(); // somewhere that is not the answer
    const bool hit = f.ds.locate(field, value, options);
    QCOMPARE(hit, found != 0);
    QCOMPARE(f.ds.fieldByName("ID")->value().toInt(), found ? found : 2);
    QCOMPARE(f.ds.state(), DataSet::Browse);
}

void TestDataSet::locateReadsFurtherAndPostsEdit() {
    Fixture f({QStringLiteral("create table T (ID integer not null primary key, S varchar(20))"),
               QStringLiteral("execute block as declare i int = 1; begin while (i <= 10000) do begin "
                              "insert into T values (:i, 'linha ' || :i); i = i + 1; end end")});
    f.ds.setModifySQL({QStringLiteral("update T set S = :S where ID = :OLD_ID")});
    f.open(QStringLiteral("select * from T order by ID"));
    QSignalSpy fetched(&f.ds, &DataSet::rowsFetched);
    QVERIFY(f.ds.locate(QStringLiteral("S"), QStringLiteral("LINHA 9999"), DataSet::CaseInsensitive));
    QCOMPARE(f.ds.recNo(), 9999);
    QVERIFY(fetched.count() >= 1);
    QVERIFY(!f.ds.locate(QStringLiteral("S"), QStringLiteral("nada"), DataSet::CaseInsensitive | DataSet::PartialKey));
    QVERIFY(f.ds.allFetched());
    QCOMPARE(f.ds.recNo(), 9999);
    // A changed row is posted before the search moves away from it.
    f.ds.fieldByName("S")->setValue(QStringLiteral("mudada"));
    QVERIFY(f.ds.locate(QStringLiteral("ID"), 1, 0));
    QCOMPARE(f.ds.state(), DataSet::Browse);
    QCOMPARE(f.ds.text(9998, 1), QStringLiteral("mudada"));
    QCOMPARE(errorText([&] { f.ds.locate(QStringLiteral("NADA"), 1, 0); }), QStringLiteral("Field 'NADA' not found"));
}

QTEST_GUILESS_MAIN(TestDataSet)
#include "test_dataset.moc"
