// The packed row store on its own: values of every storage type at their limits survive packing,
// NULLs of many columns, rows larger than a slot, and rows after them.
#include "connection/rowstore.h"
#include <QtTest>
#include <limits>

class TestRowStore : public QObject {
    Q_OBJECT
private slots:
    void valuesSurvivePacking_data();
    void valuesSurvivePacking();
    void manyColumnsOfNulls();
    void rowLargerThanASlot();
};

namespace {
ColumnLayout layout(FieldKind kind, int sqlType, int scale = 0, int len = 0) {
    ColumnLayout s;
    s.kind = kind;
    s.sqlType = sqlType;
    s.scale = scale;
    s.sqlLen = len;
    s.charset = 4;
    s.fixedChar = sqlType == SQL_TEXT;
    return s;
}

Cell intCell(qint64 v) {
    Cell c;
    c.null = false;
    c.i = v;
    return c;
}
} // namespace

void TestRowStore::valuesSurvivePacking_data() {
    QTest::addColumn<int>("sqlType");
    QTest::addColumn<qint64>("i");
    QTest::addColumn<double>("f");
    QTest::addColumn<QByteArray>("bytes");
    const qint64 min64 = std::numeric_limits<qint64>::min(), max64 = std::numeric_limits<qint64>::max();
    QTest::newRow("smallint min") << SQL_SHORT << qint64(-32768) << 0.0 << QByteArray();
    QTest::newRow("integer max") << SQL_LONG << qint64(2147483647) << 0.0 << QByteArray();
    QTest::newRow("bigint min") << SQL_INT64 << min64 << 0.0 << QByteArray();
    QTest::newRow("bigint max") << SQL_INT64 << max64 << 0.0 << QByteArray();
    QTest::newRow("zero") << SQL_LONG << qint64(0) << 0.0 << QByteArray();
    QTest::newRow("date before 1858") << SQL_TYPE_DATE << qint64(-678575) << 0.0 << QByteArray();
    QTest::newRow("time, whole seconds") << SQL_TYPE_TIME << qint64(863990000) << 0.0 << QByteArray();
    QTest::newRow("time with fraction") << SQL_TYPE_TIME << qint64(863999999) << 0.0 << QByteArray();
    QTest::newRow("timestamp before 1858 with time")
        << SQL_TIMESTAMP << qint64(-678575) * kTicksPerDay + 123456 << 0.0 << QByteArray();
    QTest::newRow("timestamp at midnight") << SQL_TIMESTAMP << qint64(60000) * kTicksPerDay << 0.0 << QByteArray();
    QTest::newRow("double") << SQL_DOUBLE << qint64(0) << -1.5e300 << QByteArray();
    QTest::newRow("float") << SQL_FLOAT << qint64(0) << 0.5 << QByteArray();
    QTest::newRow("boolean") << SQL_BOOLEAN << qint64(1) << 0.0 << QByteArray();
    QTest::newRow("blob id") << SQL_BLOB << qint64(0x7fffffff00000001LL) << 0.0 << QByteArray();
    QTest::newRow("varchar") << SQL_VARYING << qint64(0) << 0.0 << QByteArray("Ação \0 ok", 11);
    QTest::newRow("empty varchar") << SQL_VARYING << qint64(0) << 0.0 << QByteArray("");
    QTest::newRow("char loses only its padding") << SQL_TEXT << qint64(0) << 0.0 << QByteArray(" a b   ");
}

void TestRowStore::valuesSurvivePacking() {
    QFETCH(int, sqlType);
    QFETCH(qint64, i);
    QFETCH(double, f);
    QFETCH(QByteArray, bytes);
    RowStore store;
    // The value between two integers, so that skipping it is tested too.
    store.setLayout({layout(FieldKind::Integer, SQL_LONG), layout(FieldKind::String, sqlType, 0, 200),
                     layout(FieldKind::Integer, SQL_LONG)},
                    {0, 1, 2});
    Cell c;
    c.null = false;
    c.i = i;
    c.f = f;
    c.bytes = bytes;
    store.insertEmpty(0);
    store.setRow(0, {intCell(-1), c, intCell(77)});
    const Cell back = store.cell(0, 1);
    QVERIFY(!back.null);
    if (sqlType == SQL_VARYING || sqlType == SQL_TEXT) {
        QByteArray expected = bytes;
        if (sqlType == SQL_TEXT) expected = " a b";
        QCOMPARE(back.bytes, expected);
        QCOMPARE(store.textBytes(0, 1).toByteArray(), expected);
    } else if (sqlType == SQL_DOUBLE || sqlType == SQL_FLOAT) {
        QCOMPARE(back.f, f);
    } else {
        QCOMPARE(back.i, i);
    }
    QCOMPARE(store.cell(0, 0).i, -1);
    QCOMPARE(store.cell(0, 2).i, 77);
}

void TestRowStore::manyColumnsOfNulls() {
    RowStore store;
    std::vector<ColumnLayout> layouts(19, layout(FieldKind::Integer, SQL_LONG));
    std::vector<int> vars(19);
    for (int k = 0; k < 19; ++k)
        vars[k] = k;
    store.setLayout(layouts, vars);
    std::vector<Cell> cells(19);
    for (int k = 0; k < 19; k += 3)
        cells[k] = intCell(k * 1000);
    store.insertEmpty(0);
    QVERIFY(store.isNull(0, 5)); // a row being inserted: all NULL
    store.setRow(0, cells);
    for (int k = 0; k < 19; ++k) {
        QCOMPARE(store.isNull(0, k), k % 3 != 0);
        QCOMPARE(store.cell(0, k).i, k % 3 == 0 ? k * 1000 : 0);
    }
    const std::vector<Cell> all = store.cells(0);
    QCOMPARE(all[18].i, 18000);
    QVERIFY(all[17].null);
}

void TestRowStore::rowLargerThanASlot() {
    RowStore store;
    store.setLayout({layout(FieldKind::String, SQL_VARYING, 0, 3000000), layout(FieldKind::Integer, SQL_LONG)}, {0, 1});
    Cell big;
    big.null = false;
    big.bytes = QByteArray(2500000, 'x');
    big.bytes[2499999] = 'y';
    for (int r = 0; r < 4; ++r) {
        store.insertEmpty(r);
        Cell small;
        small.null = false;
        small.bytes = QByteArray::number(r);
        store.setRow(r, {r == 1 ? big : small, intCell(r)});
    }
    QCOMPARE(store.cell(1, 0).bytes, big.bytes);
    for (int r = 0; r < 4; ++r)
        QCOMPARE(store.cell(r, 1).i, r);
    QCOMPARE(store.cell(3, 0).bytes, QByteArray("3"));
    QVERIFY(store.memoryUsed() >= size_t(2500000));
    store.remove(1);
    QCOMPARE(store.count(), 3);
    QCOMPARE(store.cell(1, 0).bytes, QByteArray("2"));
}

QTEST_APPLESS_MAIN(TestRowStore)
#include "test_rowstore.moc"
