// The workbook that F7 in a browse window and the export button of an SQL command window hand to
// the spreadsheet program, read back by an independent reader (Gnumeric's ssconvert): every kind
// of value of a real table, as shown and as stored. The spreadsheet program is a recording
// command that notes the file it was given.
#include "browse/ui/fbrowse.h"
#include "connection/dm.h"
#include "connection/transaction.h"
#include "export/spreadsheetserver.h"
#include "platform/automation.h"
#include "sql/ui/fsql.h"
#include "support/browsewindows.h"
#include "support/connectedholder.h"
#include "support/fbfixture.h"
#include "support/files.h"
#include "support/spreadsheetreader.h"
#include "support/sqlwindows.h"
#include <QTableView>
#include <QToolButton>
#include <QtTest>
#include <cmath>
#include <memory>

namespace {
// Serial day and time of day (ten-thousandths of a second) of a stored date-time value.
QPair<qint64, qint64> serialParts(const QString& raw) {
    const double v = raw.toDouble();
    const double day = std::floor(v);
    return {static_cast<qint64>(day), std::llround((v - day) * 864000000.0)};
}

qint64 serialOf(const QDate& d) {
    return QDate(1899, 12, 30).daysTo(d);
}
} // namespace

class TestSpreadsheetFile : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void everyKindOfValue();
    void sqlWindowColumns_data();
    void sqlWindowColumns();
    void timesNeverRollOver_data();
    void timesNeverRollOver();
    void separatorOfTheSpreadsheetsLocale_data();
    void separatorOfTheSpreadsheetsLocale();
    void cutTextTold_data();
    void cutTextTold();

private:
    // F7 in a browse window of the table; the file the spreadsheet program was given.
    QString exportTable(const QString& table, const QString& order);
    // The statement run in an SQL command window and its export button clicked; the file.
    QString exportStatement(const QString& sql);
    QString openedFile();
    QStringList notices() const;

    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<ConnectedHolder> m_holder;
    QTemporaryDir m_dir;
    BrowseWindows m_windows;
    SqlWindows m_sqlWindows;
};

void TestSpreadsheetFile::initTestCase() {
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    // The spreadsheet program notes the files it is given.
    QVERIFY(!useRecordingSpreadsheetProgram(m_dir.path()).isEmpty());
    qputenv("TMPDIR", QFile::encodeName(m_dir.path())); // the workbooks go with the test's folder
    registerSpreadsheetServer();

    m_db = std::make_unique<TempDatabase>(QStringList{
        QStringLiteral(
            "create table TIPOS (ID integer not null primary key, PEQUENO smallint, GRANDE bigint, "
            "NOME varchar(40), LETRA char(3), VALOR numeric(15,2), TAXA numeric(18,4), "
            "REAL_ double precision, FLUT float, DIA date, HORA time, MOMENTO timestamp, "
            "ATIVO boolean, OBS blob sub_type text, BIN blob sub_type binary)"),
        QStringLiteral(
            "insert into TIPOS values (1, -5, 9007199254740993, 'São João', 'ab', 1234567890123.45, "
            "-0.0001, 0.1, 1.5, '2024-02-29', '13:45:07.1234', '2024-12-31 08:00:00.0005', true, "
            "'Observação:' || ascii_char(13) || ascii_char(10) || 'ç', x'414243')"),
        QStringLiteral("insert into TIPOS (ID) values (2)"),
        QStringLiteral(
            "insert into TIPOS values (3, 0, -42, 'a' || ascii_char(1) || 'b', null, 0.05, "
            "12345678901234.5678, -2.5, null, '1900-02-28', '00:00:00', '1899-12-31 23:59:59.9999', "
            "false, rpad(cast('' as blob sub_type text), 40000, 'y'), null)"),
        QStringLiteral("create table GRUPO (ID integer not null primary key, TIPO integer)"),
        QStringLiteral("insert into GRUPO values (10, 3)"),
        QStringLiteral("insert into GRUPO values (20, 1)"),
        QStringLiteral("create table TEXTOS (ID integer not null primary key, TEXTO blob sub_type text)"),
        QStringLiteral("insert into TEXTOS values (1, rpad(cast('' as blob sub_type text), 40003, 'y'))"),
    });
}

void TestSpreadsheetFile::init() {
    QFile::remove(m_dir.filePath(QStringLiteral("abertos.txt")));
    m_holder = std::make_unique<ConnectedHolder>(m_db->path());
}

void TestSpreadsheetFile::cleanup() {
    m_windows.closeAll();
    m_sqlWindows.closeAll();
    if (m_holder->dm.Trans->active()) m_holder->dm.Trans->rollback();
    m_holder.reset();
}

void TestSpreadsheetFile::cleanupTestCase() {
    unregisterClass(QStringLiteral("Excel.Application"));
    m_db.reset();
}

QString TestSpreadsheetFile::exportTable(const QString& table, const QString& order) {
    TFBrowse* b = m_windows.open(table, order);
    QTest::keyClick(b->Gs, Qt::Key_F7);
    return openedFile();
}

QString TestSpreadsheetFile::exportStatement(const QString& sql) {
    TFSql* w = m_sqlWindows.open();
    SqlWindows::run(w, sql);
    if (!m_holder->prompts.errorReports().isEmpty()) return {};
    w->bexcel->click();
    return openedFile();
}

QStringList TestSpreadsheetFile::notices() const {
    QStringList out;
    for (const MessageRequest& m : m_holder->prompts.messages)
        out << m.caption + ": " + m.text;
    return out;
}

QString TestSpreadsheetFile::openedFile() {
    const QString opened = m_dir.filePath(QStringLiteral("abertos.txt"));
    // The program runs detached; its note arrives when it has run.
    if (!QTest::qWaitFor([&] { return fileBytes(opened).endsWith('\n'); }, 10000)) return {};
    const QStringList lines = QString::fromLocal8Bit(fileBytes(opened)).split('\n', Qt::SkipEmptyParts);
    return lines.size() == 1 ? lines.first() : QString();
}

void TestSpreadsheetFile::everyKindOfValue() {
    const QString file = exportTable(QStringLiteral("TIPOS"), QStringLiteral(" Order By ID"));
    QVERIFY(QFile::exists(file));
    QVERIFY(file.endsWith(QLatin1String("/Pasta1.xlsx")));

    const QList<QStringList> shown = readSheetCells(file, QStringLiteral("preserve"));
    QCOMPARE(shown.size(), 4);
    QCOMPARE(shown[0], (QStringList{"ID", "PEQUENO", "GRANDE", "NOME", "LETRA", "VALOR", "TAXA", "REAL_",
                                    "FLUT", "DIA", "HORA", "MOMENTO", "ATIVO", "OBS", "BIN"}));
    // Exact numbers beyond a spreadsheet number's 15 digits, and a timestamp before 1900, keep
    // their digits as text; a CR LF line break is the cell's line break, a control character
    // that the file cannot carry is replaced.
    QCOMPARE(shown[1], (QStringList{"1", "-5", "9007199254740993", "São João", "ab ", "1234567890123.45",
                                    "-0.0001", "0.1", "1.5", "29/02/2024", "13:45:07.123",
                                    "31/12/2024 08:00:00", "TRUE", "Observação:\nç", "ABC"}));
    QCOMPARE(shown[2], (QStringList{"2", "", "", "", "", "", "", "", "", "", "", "", "", "", ""}));
    const QString longText(32767, QChar('y'));
    QCOMPARE(shown[3],
             (QStringList{"3", "0", "-42", "a\uFFFDb", "", "0.05", "12345678901234.5678", "-2.5", "",
                          "28/02/1900", "00:00:00", "31/12/1899 23:59:59.9999", "FALSE", longText, ""}));

    // Dates and times as stored, cut to the millisecond.
    const QList<QStringList> raw = readSheetCells(file, QStringLiteral("raw"));
    QCOMPARE(raw.size(), 4);
    QCOMPARE(raw[1][5], QStringLiteral("1234567890123.45"));
    QCOMPARE(raw[1][9].toLongLong(), serialOf(QDate(2024, 2, 29)));
    QCOMPARE(serialParts(raw[1][10]), (QPair<qint64, qint64>{0, (13 * 3600 + 45 * 60 + 7) * 10000LL + 1230}));
    QCOMPARE(serialParts(raw[1][11]), (QPair<qint64, qint64>{serialOf(QDate(2024, 12, 31)), 8 * 36000000LL}));
    QCOMPARE(raw[3][9], QStringLiteral("59")); // the day before the 29/02/1900 the spreadsheet counts

    // Cell A1 selected; each column fitted to its longest content.
    const QString xml = readSheetXml(file);
    QVERIFY(
        xml.contains(QLatin1String(R"(<gnm:Selection startCol="0" startRow="0" endCol="0" endRow="0"/>)")));
    QMap<int, double> widths;
    static const QRegularExpression colInfo(QStringLiteral(R"re(<gnm:ColInfo No="(\d+)" Unit="([\d.]+)")re"));
    for (const auto& m : colInfo.globalMatch(xml))
        widths.insert(m.captured(1).toInt(), m.captured(2).toDouble());
    QCOMPARE(widths.keys(), QList<int>({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}));
    QVERIFY(widths[0] < widths[2]);   // "ID" and 1 to 3, against 16 digits
    QVERIFY(widths[2] < widths[13]);  // against the longest text
    QVERIFY(widths[9] < widths[11]);  // a date against a date and time
    QVERIFY(widths[10] < widths[11]); // a time against a date and time
    // The row of the text of two lines is two lines tall; the others keep their height.
    static const QRegularExpression rowInfo(QStringLiteral(R"re(<gnm:RowInfo No="(\d+)" Unit="([\d.]+)")re"));
    QMap<int, double> heights;
    for (const auto& m : rowInfo.globalMatch(xml))
        heights.insert(m.captured(1).toInt(), m.captured(2).toDouble());
    QCOMPARE(heights.value(1), 30.0);
    QVERIFY(heights.value(3, 15) < 20);
    QVERIFY(xml.contains(QLatin1String(R"(WrapText="1")")));

    // The cut text is told once.
    QCOMPARE(notices(),
             QStringList{"Atenção: Uma célula da planilha comporta no máximo 32.767 caracteres; os textos "
                         "maiores foram cortados."});
}

// The SQL window's export read back from the workbook: each column its own values, also when two
// columns share a name, and decimals beyond a spreadsheet number's digits as text with the
// decimal separator that the sheet's numbers show (the reader's locale is C: a point).
void TestSpreadsheetFile::sqlWindowColumns_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QList<QStringList>>("sheet");

    QTest::newRow("two expressions named alike")
        << QStringLiteral("select 11, 22 from rdb$database")
        << QList<QStringList>{{"CONSTANT", "CONSTANT"}, {"11", "22"}};
    QTest::newRow("a join listing both keys")
        << QStringLiteral(
               "select g.ID, t.ID, t.VALOR from GRUPO g join TIPOS t on t.ID = g.TIPO order by g.ID")
        << QList<QStringList>{{"ID", "ID", "VALOR"}, {"10", "3", "0.05"}, {"20", "1", "1234567890123.45"}};
    QTest::newRow("expressions and a column twice")
        << QStringLiteral("select ID, ID * 2, upper(NOME), VALOR + 1, ID from TIPOS where ID = 1")
        << QList<QStringList>{{"ID", "MULTIPLY", "UPPER", "ADD", "ID"},
                              {"1", "2", "SÃO JOÃO", "1234567890124.45", "1"}};
    QTest::newRow("a long decimal as text beside a number of its column")
        << QStringLiteral("select TAXA from TIPOS where ID = 3 union all select TAXA from TIPOS where ID = 1")
        << QList<QStringList>{{"TAXA"}, {"12345678901234.5678"}, {"-0.0001"}};
}

void TestSpreadsheetFile::sqlWindowColumns() {
    QFETCH(QString, sql);
    QFETCH(QList<QStringList>, sheet);
    const QString file = exportStatement(sql);
    QVERIFY(QFile::exists(file));
    QCOMPARE(readSheetCells(file, QStringLiteral("preserve")), sheet);
    QCOMPARE(m_holder->prompts.errorReports(), QStringList());
}

// A date or time cell shows no other day, hour, minute or second than the value: its number is
// the value cut to the millisecond, and a value with a fraction shows it. Values before 1900,
// which go as text, keep all four decimals.
void TestSpreadsheetFile::timesNeverRollOver_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<qint64>("day");   // serial day of the number; -1: text
    QTest::addColumn<qint64>("ticks"); // its time of day in ten-thousandths of a second

    const qint64 s = 10000;
    QTest::newRow("timestamp a tenth of a millisecond before the new year")
        << QStringLiteral("cast('2024-12-31 23:59:59.9999' as timestamp)")
        << QStringLiteral("31/12/2024 23:59:59.999") << serialOf(QDate(2024, 12, 31)) << 86399999 * 10LL;
    QTest::newRow("time a tenth of a millisecond before midnight")
        << QStringLiteral("cast('23:59:59.9999' as time)") << QStringLiteral("23:59:59.999") << 0LL
        << 86399999 * 10LL;
    QTest::newRow("half a second") << QStringLiteral("cast('10:00:00.5' as time)")
                                   << QStringLiteral("10:00:00.500") << 0LL << 36000 * s + 5000;
    QTest::newRow("a whole second") << QStringLiteral("cast('2024-02-29 13:45:07' as timestamp)")
                                    << QStringLiteral("29/02/2024 13:45:07") << serialOf(QDate(2024, 2, 29))
                                    << (13 * 3600 + 45 * 60 + 7) * s;
    QTest::newRow("less than a millisecond past a second")
        << QStringLiteral("cast('08:00:00.0005' as time)") << QStringLiteral("08:00:00") << 0LL
        << 8 * 3600 * s;
    QTest::newRow("before 1900, a tenth of a millisecond before the new year")
        << QStringLiteral("cast('1899-12-31 23:59:59.9999' as timestamp)")
        << QStringLiteral("31/12/1899 23:59:59.9999") << -1LL << 0LL;
    QTest::newRow("before 1900, half a second")
        << QStringLiteral("cast('1850-01-01 10:00:00.5' as timestamp)")
        << QStringLiteral("01/01/1850 10:00:00.5") << -1LL << 0LL;
}

void TestSpreadsheetFile::timesNeverRollOver() {
    QFETCH(QString, sql);
    QFETCH(QString, shown);
    QFETCH(qint64, day);
    QFETCH(qint64, ticks);
    const QString file = exportStatement(QStringLiteral("select %1 as V from rdb$database").arg(sql));
    QVERIFY(QFile::exists(file));
    const QList<QStringList> cells = readSheetCells(file, QStringLiteral("preserve"));
    QCOMPARE(cells.size(), 2);
    QCOMPARE(cells[1].value(0), shown);
    const QString raw = readSheetCells(file, QStringLiteral("raw")).value(1).value(0);
    if (day < 0)
        QCOMPARE(raw, shown);
    else
        QCOMPARE(serialParts(raw), (QPair<qint64, qint64>{day, ticks}));
}

// The spreadsheet program starts in the program's environment and shows its numbers in that
// locale: values that go as text take its decimal separator, whatever the program's own texts use.
void TestSpreadsheetFile::separatorOfTheSpreadsheetsLocale_data() {
    QTest::addColumn<QByteArray>("locale");
    QTest::addColumn<QString>("point");
    QTest::newRow("Brazilian Portuguese") << QByteArray("pt_BR.UTF-8") << QStringLiteral(",");
    QTest::newRow("American English") << QByteArray("en_US.UTF-8") << QStringLiteral(".");
}

void TestSpreadsheetFile::separatorOfTheSpreadsheetsLocale() {
    QFETCH(QByteArray, locale);
    QFETCH(QString, point);
    const QByteArray before = qgetenv("LC_ALL");
    qputenv("LC_ALL", locale);
    const auto restore = qScopeGuard([&] { qputenv("LC_ALL", before); });
    const QString file = exportStatement(QStringLiteral("select TAXA, MOMENTO from TIPOS where ID = 3 union "
                                                        "all select TAXA, MOMENTO from TIPOS where ID = 1"));
    QVERIFY(QFile::exists(file));
    const QList<QStringList> raw = readSheetCells(file, QStringLiteral("raw"));
    QCOMPARE(raw.size(), 3);
    QCOMPARE(raw[1],
             (QStringList{"12345678901234" + point + "5678", "31/12/1899 23:59:59" + point + "9999"}));
    QCOMPARE(raw[2].value(0), QStringLiteral("-0.0001")); // a number, as stored
}

// A text longer than a cell holds is cut, and the user is told, from either window, before the
// spreadsheet program comes up over the window (where a notice after it would not be seen).
void TestSpreadsheetFile::cutTextTold_data() {
    QTest::addColumn<bool>("browse");
    QTest::newRow("F7 in a browse window") << true;
    QTest::newRow("export button of an SQL window") << false;
}

void TestSpreadsheetFile::cutTextTold() {
    QFETCH(bool, browse);
    // The program runs detached: a program started before the notice has noted its file after a
    // moment, one not started yet never does.
    bool programRanBefore = true;
    m_holder->prompts.onMessage = [&](const MessageRequest&) {
        programRanBefore = QTest::qWaitFor(
            [&] { return QFile::exists(m_dir.filePath(QStringLiteral("abertos.txt"))); }, 1500);
    };
    const QString file = browse ? exportTable(QStringLiteral("TEXTOS"), QString())
                                : exportStatement(QStringLiteral("select ID, TEXTO from TEXTOS"));
    QVERIFY(QFile::exists(file));
    const QList<QStringList> cells = readSheetCells(file, QStringLiteral("preserve"));
    QCOMPARE(cells.size(), 2);
    QCOMPARE(cells[1], (QStringList{"1", QString(32767, QChar('y'))}));
    QCOMPARE(notices(),
             QStringList{"Atenção: Uma célula da planilha comporta no máximo 32.767 caracteres; os "
                         "textos maiores foram cortados."});
    QVERIFY(!programRanBefore);
}

QTEST_MAIN(TestSpreadsheetFile)
#include "test_spreadsheetfile.moc"
