// Values through the access layer's statements: every number and date kind, BOOLEAN, NULLs,
// blobs beyond 64 KB, and Portuguese text in databases of several character sets.
#include "connection/statement.h"
#include "support/fbfixture.h"
#include "support/testconnection.h"
#include <QtTest>

class TestValues : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void nullsReadAndWrite();
    void largeBlobs_data();
    void largeBlobs();
    void portugueseText_data();
    void portugueseText();
    void noneCharsetReadAsWindows1252();
    void textBlobCharset_data();
    void textBlobCharset();
};

namespace {
const QString kAcao = QStringLiteral("Ação, coração, pão");

// Inserts `value` into a one-column table of the given type through a bound parameter and reads
// it back through a second statement.
QVariant writeAndRead(TestConnection& c, const QVariant& value) {
    {
        Statement ins(&c.db, &c.tr);
        ins.prepare(QStringLiteral("insert into T (V) values (?)"));
        ins.in().setValue(0, value);
        ins.execute();
    }
    Statement sel(&c.db, &c.tr);
    sel.prepare(QStringLiteral("select V from T"));
    sel.execute();
    if (!sel.fetch()) return QStringLiteral("<no row>");
    return sel.out().value(0);
}
} // namespace

void TestValues::roundTrip_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QVariant>("expected");
    QTest::addColumn<QString>("serverText"); // the value as the server casts it to text

    QTest::newRow("smallint") << "smallint" << QVariant(-32768) << QVariant(-32768) << "-32768";
    QTest::newRow("integer") << "integer" << QVariant(2147483647) << QVariant(2147483647) << "2147483647";
    QTest::newRow("bigint") << "bigint" << QVariant(qint64(-9223372036854775807LL))
                            << QVariant(qint64(-9223372036854775807LL)) << "-9223372036854775807";
    QTest::newRow("numeric(4,2) on smallint")
        << "numeric(4,2)" << QVariant(-12.34) << QVariant(-12.34) << "-12.34";
    QTest::newRow("numeric(9,4) on integer")
        << "numeric(9,4)" << QVariant(12345.6789) << QVariant(12345.6789) << "12345.6789";
    QTest::newRow("numeric(18,2) on bigint")
        << "numeric(18,2)" << QVariant(1234567890.25) << QVariant(1234567890.25) << "1234567890.25";
    QTest::newRow("decimal(18,6)") << "decimal(18,6)" << QVariant(-3.141593) << QVariant(-3.141593)
                                   << "-3.141593";
    QTest::newRow("decimal text with comma")
        << "decimal(9,2)" << QVariant(QStringLiteral("1234,56")) << QVariant(1234.56) << "1234.56";
    QTest::newRow("numeric rounds half away")
        << "numeric(9,2)" << QVariant(QStringLiteral("-0.125")) << QVariant(-0.13) << "-0.13";
    QTest::newRow("float") << "float" << QVariant(1.5) << QVariant(1.5) << "1.5000000";
    QTest::newRow("double precision") << "double precision" << QVariant(2.718281828459045)
                                      << QVariant(2.718281828459045) << "2.718281828459045";
    QTest::newRow("date") << "date" << QVariant(QDate(1858, 11, 16)) << QVariant(QDate(1858, 11, 16))
                          << "1858-11-16";
    QTest::newRow("date 2026") << "date" << QVariant(QDate(2026, 2, 28)) << QVariant(QDate(2026, 2, 28))
                               << "2026-02-28";
    QTest::newRow("time") << "time" << QVariant(QTime(23, 59, 58, 123)) << QVariant(QTime(23, 59, 58, 123))
                          << "23:59:58.1230";
    QTest::newRow("timestamp") << "timestamp"
                               << QVariant(QDateTime(QDate(2000, 2, 29), QTime(12, 0, 1), Qt::UTC))
                               << QVariant(QDateTime(QDate(2000, 2, 29), QTime(12, 0, 1), Qt::UTC))
                               << "2000-02-29 12:00:01.0000";
    // Values read go back exactly: ten-thousandths of a second, also into a parameter of another type.
    const ISC_TIME ticks = (12 * 3600 + 30 * 60 + 9) * 10000 + 1234;
    const ISC_DATE day = qDateToIscDate(QDate(2020, 3, 15));
    QTest::newRow("time, exact") << "time" << QVariant::fromValue(SqlTime{ticks})
                                 << QVariant(QTime(12, 30, 9, 123)) << "12:30:09.1234";
    QTest::newRow("timestamp, exact")
        << "timestamp" << QVariant::fromValue(SqlTimestamp{day, ticks})
        << QVariant(QDateTime(QDate(2020, 3, 15), QTime(12, 30, 9, 123), Qt::UTC))
        << "2020-03-15 12:30:09.1234";
    QTest::newRow("exact timestamp into text")
        << "varchar(30)" << QVariant::fromValue(SqlTimestamp{day, ticks})
        << QVariant(QStringLiteral("2020-03-15 12:30:09.1234")) << "2020-03-15 12:30:09.1234";
    QTest::newRow("boolean true") << "boolean" << QVariant(true) << QVariant(true) << "TRUE";
    QTest::newRow("boolean false") << "boolean" << QVariant(false) << QVariant(false) << "FALSE";
    QTest::newRow("char pads") << "char(6)" << QVariant(QStringLiteral("pão"))
                               << QVariant(QStringLiteral("pão   ")) << "pão   ";
    QTest::newRow("char, a character beyond the BMP")
        << "char(3)" << QVariant(QStringLiteral("a\U0001F600")) << QVariant(QStringLiteral("a\U0001F600 "))
        << QStringLiteral("a\U0001F600 ");
    QTest::newRow("char, only characters beyond the BMP")
        << "char(2)" << QVariant(QStringLiteral("\U0001F600\U0001F601"))
        << QVariant(QStringLiteral("\U0001F600\U0001F601")) << QStringLiteral("\U0001F600\U0001F601");
    QTest::newRow("varchar") << "varchar(30)" << QVariant(kAcao) << QVariant(kAcao) << kAcao;
}

void TestValues::roundTrip() {
    QFETCH(QString, type);
    QFETCH(QVariant, value);
    QFETCH(QVariant, expected);
    QFETCH(QString, serverText);
    TempDatabase tdb({QStringLiteral("create table T (V %1)").arg(type)});
    {
        TestConnection c(tdb.path());
        c.open();
        const QVariant got = writeAndRead(c, value);
        if (expected.typeId() == QMetaType::Double)
            QVERIFY2(qAbs(got.toDouble() - expected.toDouble()) < 1e-9, qPrintable(got.toString()));
        else
            QCOMPARE(got, expected);
    } // committed by the transaction's default action
    QCOMPARE(tdb.scalar(QStringLiteral("select cast(V as varchar(60)) from T")), serverText);
}

void TestValues::nullsReadAndWrite() {
    TempDatabase tdb({QStringLiteral("create table T (I integer, S varchar(10), D date, B boolean, "
                                     "M blob sub_type text, X blob sub_type binary)"),
                      QStringLiteral("insert into T values (null, null, null, null, null, null)")});
    TestConnection c(tdb.path());
    c.open();
    {
        Statement sel(&c.db, &c.tr);
        sel.prepare(QStringLiteral("select I, S, D, B, M, X from T"));
        sel.execute();
        QVERIFY(sel.fetch());
        for (int i = 0; i < 6; ++i) {
            QVERIFY2(sel.out().isNull(i), qPrintable(sel.out().name(i)));
            QVERIFY(!sel.out().value(i).isValid());
        }
    }
    // A null QVariant binds NULL for every type; an empty text is not NULL.
    Statement ins(&c.db, &c.tr);
    ins.prepare(QStringLiteral("insert into T values (?, ?, ?, ?, ?, ?)"));
    for (int i = 0; i < 6; ++i)
        ins.in().setValue(i, QVariant());
    ins.in().setValue(1, QString(""));
    ins.execute();
    Statement count(&c.db, &c.tr);
    count.prepare(
        QStringLiteral("select count(*) from T where I is null and D is null and B is null and M is null "
                       "and X is null and S = ''"));
    count.execute();
    QVERIFY(count.fetch());
    QCOMPARE(count.out().value(0).toLongLong(), 1);
}

void TestValues::largeBlobs_data() {
    QTest::addColumn<QString>("subType");
    QTest::addColumn<QByteArray>("data");
    QString text;
    while (text.size() < 100000)
        text += kAcao + QStringLiteral("\r\n");
    QByteArray binary(200000, '\0');
    for (int i = 0; i < binary.size(); ++i)
        binary[i] = static_cast<char>((i * 7 + i / 256) & 0xff);
    QTest::newRow("text blob, 100 000 characters") << "text" << text.toUtf8();
    QTest::newRow("binary blob, 200 000 bytes") << "binary" << binary;
    QTest::newRow("binary blob, exactly 65 536 bytes") << "binary" << binary.left(65536);
    QTest::newRow("empty binary blob") << "binary" << QByteArray();
}

void TestValues::largeBlobs() {
    QFETCH(QString, subType);
    QFETCH(QByteArray, data);
    TempDatabase tdb({QStringLiteral("create table T (ID integer, B blob sub_type %1)").arg(subType)});
    {
        TestConnection c(tdb.path());
        c.open();
        Statement ins(&c.db, &c.tr);
        ins.prepare(QStringLiteral("insert into T values (1, ?)"));
        ins.in().setValue(0, QVariant::fromValue<qulonglong>(blobIdToInt(ins.writeBlob(data))));
        ins.execute();
    }
    QCOMPARE(tdb.scalar(QStringLiteral("select octet_length(B) from T")), QString::number(data.size()));
    TestConnection c(tdb.path());
    c.open();
    Statement sel(&c.db, &c.tr);
    sel.prepare(QStringLiteral("select B from T"));
    sel.execute();
    QVERIFY(sel.fetch());
    const QByteArray back = sel.readBlob(blobIdFromInt(sel.out().value(0).toULongLong()));
    QCOMPARE(back.size(), data.size());
    QVERIFY(back == data);
}

void TestValues::portugueseText_data() {
    QTest::addColumn<QString>("charset");
    QTest::addColumn<int>("bytes"); // octets the server stores for the text
    QTest::newRow("UTF8") << "UTF8" << 23;
    QTest::newRow("WIN1252") << "WIN1252" << 18;
    QTest::newRow("ISO8859_1") << "ISO8859_1" << 18;
}

void TestValues::portugueseText() {
    QFETCH(QString, charset);
    QFETCH(int, bytes);
    TempDatabase tdb({QStringLiteral("create table T (ID integer, V varchar(40), C char(20))")}, charset);
    {
        TestConnection c(tdb.path());
        c.open();
        Statement ins(&c.db, &c.tr);
        ins.prepare(QStringLiteral("insert into T values (1, ?, ?)"));
        ins.in().setValue(0, kAcao);
        ins.in().setValue(1, kAcao);
        ins.execute();
        // Literal text in a statement travels as UTF-8 too.
        Statement lit(&c.db, &c.tr);
        lit.prepare(QStringLiteral("insert into T values (2, 'Ação, coração, pão', 'Ação, coração, pão')"));
        lit.execute();
    }
    // Stored in the database's own character set, as other programs expect it.
    QCOMPARE(tdb.column(QStringLiteral("select octet_length(V) from T order by ID")),
             (QStringList{QString::number(bytes), QString::number(bytes)}));
    TestConnection c(tdb.path());
    c.open();
    Statement sel(&c.db, &c.tr);
    sel.prepare(QStringLiteral("select V, C, ID from T where V = 'Ação, coração, pão' order by ID"));
    sel.execute();
    for (int id = 1; id <= 2; ++id) {
        QVERIFY(sel.fetch());
        QCOMPARE(sel.out().text(0), kAcao);
        QCOMPARE(sel.out().text(1), kAcao.leftJustified(20, ' '));
    }
    QVERIFY(!sel.fetch());
}

void TestValues::noneCharsetReadAsWindows1252() {
    // Bytes of "Ação" in Windows-1252, stored as they are in a column without a character set.
    TempDatabase tdb({QStringLiteral("create table T (ID integer, N varchar(20) character set none)"),
                      QStringLiteral("insert into T values (1, x'41E7E36F')")},
                     QStringLiteral("NONE"));
    {
        TestConnection c(tdb.path());
        c.open();
        Statement sel(&c.db, &c.tr);
        sel.prepare(QStringLiteral("select N from T"));
        sel.execute();
        QVERIFY(sel.fetch());
        QCOMPARE(sel.out().text(0), QStringLiteral("Ação"));
        // Written back the same way: one byte per character.
        Statement ins(&c.db, &c.tr);
        ins.prepare(QStringLiteral("insert into T values (2, ?)"));
        ins.in().setValue(0, kAcao);
        ins.execute();
    }
    QCOMPARE(tdb.scalar(QStringLiteral("select octet_length(N) from T where ID = 2")), QStringLiteral("18"));
    QCOMPARE(tdb.scalar(QStringLiteral("select N from T where ID = 2")), kAcao);
}

void TestValues::textBlobCharset_data() {
    portugueseText_data();
}

void TestValues::textBlobCharset() {
    QFETCH(QString, charset);
    QFETCH(int, bytes);
    TempDatabase tdb({QStringLiteral("create table T (ID integer, M blob sub_type text)"),
                      QStringLiteral("insert into T values (1, 'Ação, coração, pão')")},
                     charset);
    QCOMPARE(tdb.scalar(QStringLiteral("select octet_length(M) from T")), QString::number(bytes));
    TestConnection c(tdb.path());
    c.open();
    Statement sel(&c.db, &c.tr);
    sel.prepare(QStringLiteral("select M from T"));
    sel.execute();
    QVERIFY(sel.fetch());
    const QByteArray raw = sel.readBlob(blobIdFromInt(sel.out().value(0).toULongLong()));
    QCOMPARE(QString::fromUtf8(raw), kAcao);
    // Written as UTF-8 by this connection, stored in the column's own character set.
    Statement ins(&c.db, &c.tr);
    ins.prepare(QStringLiteral("insert into T values (2, ?)"));
    ins.in().setValue(0, QVariant::fromValue<qulonglong>(blobIdToInt(ins.writeBlob(kAcao.toUtf8()))));
    ins.execute();
    c.tr.commit();
    QCOMPARE(tdb.scalar(QStringLiteral("select octet_length(M) from T where ID = 2")),
             QString::number(bytes));
    QCOMPARE(tdb.scalar(QStringLiteral("select cast(M as varchar(40)) from T where ID = 2")), kAcao);
}

QTEST_GUILESS_MAIN(TestValues)
#include "test_values.moc"
