// The table object's column and index definitions and the metadata lists, against real tables.
#include "connection/fberror.h"
#include "connection/tableobject.h"
#include "support/fbfixture.h"
#include "support/testconnection.h"
#include <QtTest>
#include <memory>

class TestTableObject : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();

    void columnDefinitions_data();
    void columnDefinitions();
    void arrayColumnLeftOut();
    void indexDefinitions_data();
    void indexDefinitions();
    void openStartsTransactionAndEndsWithIt();
    void unknownTableStaysClosed();
    void emptyTableName();
    void quoteInTableName();
    void fieldAndTableNames();
    void dialectOneUpperCasesNames();

private:
    std::unique_ptr<TempDatabase> m_db;
};

namespace {
const ColumnDef* findColumn(const TableObject& t, const QString& name) {
    for (const ColumnDef& c : t.columnDefs())
        if (c.name == name) return &c;
    return nullptr;
}

const IndexDef* findIndex(const TableObject& t, const QString& name) {
    for (const IndexDef& i : t.indexDefs())
        if (i.name == name) return &i;
    return nullptr;
}
} // namespace

void TestTableObject::initTestCase() {
    m_db = std::make_unique<TempDatabase>(QStringList{
        QStringLiteral("create domain DOM_DEFAULT integer default 7"),
        QStringLiteral("create table TIPOS ("
                       " CODIGO integer not null primary key,"
                       " NOME varchar(40) not null,"
                       " CIDADE varchar(30) default 'São Paulo' not null,"
                       " DOMINIO DOM_DEFAULT not null,"
                       " TOTAL computed by (CODIGO * 2),"
                       " OPCIONAL varchar(10),"
                       " PEQUENO smallint, GRANDE bigint,"
                       " N42 numeric(4,2), N92 numeric(9,2), N184 numeric(18,4), D186 decimal(18,6),"
                       " F float, DP double precision,"
                       " DT date, TM time, TS timestamp, BO boolean,"
                       " CH char(5) character set WIN1252, NN varchar(12) character set NONE,"
                       " OC char(8) character set OCTETS, U8 varchar(3) character set UTF8,"
                       " MEMO blob sub_type text, FOTO blob sub_type binary, ARR integer[3])"),
        QStringLiteral("create table K (A integer not null, B integer not null, C integer, D varchar(10),"
                       " primary key (B, A))"),
        QStringLiteral("create unique index UQ_K_C on K (C)"),
        QStringLiteral("create descending index IX_K_DC on K (D, C)"),
        QStringLiteral("create table NAMED (ID integer not null, constraint PK_NAMED primary key (ID))"),
    });
}

void TestTableObject::cleanupTestCase() {
    m_db.reset();
}

void TestTableObject::columnDefinitions_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("precision");
    QTest::addColumn<bool>("required");
    QTest::addColumn<bool>("computed");
    QTest::addColumn<bool>("hasDefault");

    using K = FieldKind;
    auto row = [](const char* name, K kind, int size, int precision, bool required, bool computed, bool def) {
        QTest::newRow(name) << QString::fromLatin1(name) << int(kind) << size << precision << required
                            << computed << def;
    };
    row("CODIGO", K::Integer, 0, 0, true, false, false);
    row("NOME", K::String, 40, 0, true, false, false);
    row("CIDADE", K::String, 30, 0, false, false, true);  // NOT NULL with a default: not required
    row("DOMINIO", K::Integer, 0, 0, false, false, true); // default on the domain
    row("TOTAL", K::LargeInt, 0, 0, false, true, false);
    row("OPCIONAL", K::String, 10, 0, false, false, false);
    row("PEQUENO", K::SmallInt, 0, 0, false, false, false);
    row("GRANDE", K::LargeInt, 0, 0, false, false, false);
    row("N42", K::BCD, 2, 4, false, false, false);
    row("N92", K::BCD, 2, 9, false, false, false);
    row("N184", K::BCD, 4, 18, false, false, false);
    row("D186", K::FmtBCD, 6, 18, false, false, false);
    row("F", K::Float, 0, 0, false, false, false);
    row("DP", K::Float, 0, 0, false, false, false);
    row("DT", K::Date, 0, 0, false, false, false);
    row("TM", K::Time, 0, 0, false, false, false);
    row("TS", K::DateTime, 0, 0, false, false, false);
    row("BO", K::Boolean, 0, 0, false, false, false);
    row("CH", K::String, 5, 0, false, false, false);
    row("NN", K::String, 12, 0, false, false, false);
    row("OC", K::String, 8, 0, false, false, false);
    row("U8", K::String, 3, 0, false, false, false);
    row("MEMO", K::Memo, 0, 0, false, false, false);
    row("FOTO", K::Blob, 0, 0, false, false, false);
}

void TestTableObject::columnDefinitions() {
    QFETCH(QString, name);
    QFETCH(int, kind);
    QFETCH(int, size);
    QFETCH(int, precision);
    QFETCH(bool, required);
    QFETCH(bool, computed);
    QFETCH(bool, hasDefault);
    TestConnection c(m_db->path());
    c.db.setConnected(true);
    TableObject t;
    t.setDatabase(&c.db);
    t.setTransaction(&c.tr);
    t.setTableName(QStringLiteral("TIPOS"));
    t.open();
    t.updateColumnDefs();
    const ColumnDef* col = findColumn(t, name);
    QVERIFY(col);
    QCOMPARE(int(col->kind), kind);
    QCOMPARE(col->size, size);
    QCOMPARE(col->precision, precision);
    QCOMPARE(col->required, required);
    QCOMPARE(col->computed, computed);
    QCOMPARE(col->readOnly, computed);
    QCOMPARE(col->hasDefault, hasDefault);
}

void TestTableObject::arrayColumnLeftOut() {
    TestConnection c(m_db->path());
    TableObject t;
    t.setDatabase(&c.db);
    t.setTableName(QStringLiteral("TIPOS"));
    t.updateColumnDefs(); // opens the table, connecting first
    QVERIFY(t.active());
    QStringList names;
    for (const ColumnDef& col : t.columnDefs())
        names.append(col.name);
    QCOMPARE(names.size(), 24);
    QVERIFY(!names.contains(QStringLiteral("ARR")));
    QCOMPARE(names.first(), QStringLiteral("CODIGO")); // column order
    QCOMPARE(names.last(), QStringLiteral("FOTO"));
}

void TestTableObject::indexDefinitions_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("index"); // empty: the primary key's index, whatever its name
    QTest::addColumn<QString>("fields");
    QTest::addColumn<bool>("primary");
    QTest::addColumn<bool>("unique");
    QTest::addColumn<bool>("descending");
    QTest::newRow("two-column key in segment order") << "K"
                                                     << ""
                                                     << "B;A" << true << true << false;
    QTest::newRow("unique index") << "K"
                                  << "UQ_K_C"
                                  << "C" << false << true << false;
    QTest::newRow("descending two-column index") << "K"
                                                 << "IX_K_DC"
                                                 << "D;C" << false << false << true;
    QTest::newRow("key index under its own name") << "NAMED"
                                                  << "PK_NAMED"
                                                  << "ID" << true << true << false;
    QTest::newRow("one-column key") << "TIPOS"
                                    << ""
                                    << "CODIGO" << true << true << false;
}

void TestTableObject::indexDefinitions() {
    QFETCH(QString, table);
    QFETCH(QString, index);
    QFETCH(QString, fields);
    QFETCH(bool, primary);
    QFETCH(bool, unique);
    QFETCH(bool, descending);
    TestConnection c(m_db->path());
    TableObject t;
    t.setDatabase(&c.db);
    t.setTransaction(&c.tr);
    t.setTableName(table);
    t.updateIndexDefs();
    const IndexDef* def = nullptr;
    for (const IndexDef& i : t.indexDefs())
        if (index.isEmpty() ? i.name.startsWith(QLatin1String("RDB$PRIMARY")) : i.name == index) def = &i;
    QVERIFY(def);
    QCOMPARE(def->fieldsText(), fields);
    QCOMPARE(def->primary, primary);
    QCOMPARE(def->unique, unique);
    QCOMPARE(def->descending, descending);
    // One definition per index, however many segments it has.
    QStringList names;
    for (const IndexDef& i : t.indexDefs())
        names.append(i.name);
    QCOMPARE(names.removeDuplicates(), 0);
}

void TestTableObject::openStartsTransactionAndEndsWithIt() {
    TestConnection c(m_db->path());
    c.db.setConnected(true);
    TableObject t;
    t.setDatabase(&c.db);
    t.setTransaction(&c.tr);
    t.setTableName(QStringLiteral("K"));
    QVERIFY(!c.tr.inTransaction());
    t.open();
    QVERIFY(c.tr.inTransaction());
    QVERIFY(t.active());
    c.tr.commitRetaining();
    QVERIFY(t.active());
    c.tr.commit();
    QVERIFY(!t.active());
    t.open(); // starts the transaction again
    QVERIFY(c.tr.inTransaction());
    c.tr.rollback();
    QVERIFY(!t.active());
    t.open();
    c.db.setConnected(false);
    QVERIFY(!t.active());
}

void TestTableObject::unknownTableStaysClosed() {
    TestConnection c(m_db->path());
    TableObject t;
    t.setDatabase(&c.db);
    t.setTableName(QStringLiteral("NAO_EXISTE"));
    try {
        t.open();
        QFAIL("a table that does not exist was opened");
    } catch (const DbError& e) {
        QVERIFY2(e.message().contains(QStringLiteral("Table unknown")), qPrintable(e.message()));
    }
    QVERIFY(!t.active());
    QCOMPARE(t.indexDefCount(), 0);
}

void TestTableObject::emptyTableName() {
    TestConnection c(m_db->path());
    c.db.setConnected(true);
    for (const QString& name : {QString(), QStringLiteral("   ")}) {
        QStringList list{QStringLiteral("kept")};
        try {
            c.db.getFieldNames(name, list);
            QFAIL("field names of an empty table name");
        } catch (const AppError& e) {
            QCOMPARE(e.message(), QStringLiteral("No Table Name assigned"));
        }
        QCOMPARE(list, QStringList{QStringLiteral("kept")});
        TableObject t;
        t.setDatabase(&c.db);
        t.setTableName(name);
        try {
            t.open();
            QFAIL("a table object without a table name was opened");
        } catch (const AppError& e) {
            QCOMPARE(e.message(), QStringLiteral("No Table Name assigned"));
        }
    }
}

void TestTableObject::quoteInTableName() {
    TempDatabase tdb({QStringLiteral("create table \"O'BRIEN\" (ID integer not null primary key,"
                                     " \"x\" integer computed by (ID + 1), Y varchar(5) default 'a')"),
                      QStringLiteral("create table OUTRA (SEGREDO integer)")});
    TestConnection c(tdb.path());
    QStringList fields;
    c.db.getFieldNames(QStringLiteral("O'BRIEN"), fields);
    QCOMPARE(fields, (QStringList{QStringLiteral("ID"), QStringLiteral("x"), QStringLiteral("Y")}));
    // A name that tries to widen the query finds no table instead of every column of the database.
    c.db.getFieldNames(QStringLiteral("X' or '1'='1"), fields);
    QCOMPARE(fields, QStringList());

    TableObject t;
    t.setDatabase(&c.db);
    t.setTableName(QStringLiteral("O'BRIEN"));
    t.open();
    t.updateColumnDefs();
    t.updateIndexDefs();
    QCOMPARE(t.columnDefCount(), 3);
    QVERIFY(findColumn(t, QStringLiteral("x"))->computed);
    QVERIFY(findColumn(t, QStringLiteral("Y"))->hasDefault);
    QCOMPARE(t.indexDefCount(), 1);
    QVERIFY(t.indexDef(0).primary);
    QCOMPARE(t.indexDef(0).fieldsText(), QStringLiteral("ID"));
    QVERIFY(!findIndex(t, QStringLiteral("X")));
}

void TestTableObject::fieldAndTableNames() {
    TestConnection c(m_db->path());
    QStringList tables{QStringLiteral("old content")};
    c.db.getTableNames(tables); // connects first
    QVERIFY(c.db.connected());
    QCOMPARE(tables, (QStringList{QStringLiteral("K"), QStringLiteral("NAMED"), QStringLiteral("TIPOS")}));
    QStringList fields;
    c.db.getFieldNames(QStringLiteral("  K "), fields); // trimmed
    QCOMPARE(fields, (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                                  QStringLiteral("D")}));
    QVERIFY(!c.db.metadataTransaction()->inTransaction());
}

void TestTableObject::dialectOneUpperCasesNames() {
    TempDatabase tdb(
        {QStringLiteral("create table CLIENTES (CODIGO integer not null primary key, NOME varchar(10))")},
        QStringLiteral("UTF8"), QStringLiteral("d1.fdb"), 1);
    TestConnection c(tdb.path());
    c.db.setConnected(true);
    QCOMPARE(c.db.sqlDialect(), 1);
    QStringList fields;
    c.db.getFieldNames(QStringLiteral("clientes"), fields);
    QCOMPARE(fields, (QStringList{QStringLiteral("CODIGO"), QStringLiteral("NOME")}));
    TableObject t;
    t.setDatabase(&c.db);
    t.setTableName(QStringLiteral("clientes"));
    t.updateColumnDefs();
    t.updateIndexDefs();
    QCOMPARE(t.columnDefCount(), 2);
    QCOMPARE(t.indexDefCount(), 1);
    QVERIFY(t.indexDef(0).primary);
}

QTEST_GUILESS_MAIN(TestTableObject)
#include "test_tableobject.moc"
