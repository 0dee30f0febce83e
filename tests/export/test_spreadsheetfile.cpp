// The workbook that F7 in a browse window hands to the spreadsheet program, read back by an
// independent reader (Gnumeric's ssconvert): every kind of value of a real table, as shown and as
// stored. The spreadsheet program is a recording command that notes the file it was given.
#include "browse/ui/fbrowse.h"
#include "connection/dm.h"
#include "connection/transaction.h"
#include "export/spreadsheetserver.h"
#include "platform/automation.h"
#include "support/browsewindows.h"
#include "support/connectedholder.h"
#include "support/fbfixture.h"
#include "support/files.h"
#include "support/spreadsheetreader.h"
#include <QTableView>
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

private:
    // F7 in a browse window of the table; the file the spreadsheet program was given.
    QString exportTable(const QString& table, const QString& order);

    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<ConnectedHolder> m_holder;
    QTemporaryDir m_dir;
    BrowseWindows m_windows;
};

void TestSpreadsheetFile::initTestCase() {
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    // The spreadsheet program: notes the file it is given, one line per workbook.
    QFile script(m_dir.filePath(QStringLiteral("planilha.sh")));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("printf '%s\\n' \"$1\" >> \"$(dirname \"$0\")/abertos.txt\"\n");
    script.close();
    qputenv("FBADMIN_SPREADSHEET", ("sh " + script.fileName()).toLocal8Bit());
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
    });
}

void TestSpreadsheetFile::init() {
    QFile::remove(m_dir.filePath(QStringLiteral("abertos.txt")));
    m_holder = std::make_unique<ConnectedHolder>(m_db->path());
}

void TestSpreadsheetFile::cleanup() {
    m_windows.closeAll();
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
                                    "-0.0001", "0.1", "1.5", "29/02/2024", "13:45:07", "31/12/2024 08:00:00",
                                    "TRUE", "Observação:\nç", "ABC"}));
    QCOMPARE(shown[2], (QStringList{"2", "", "", "", "", "", "", "", "", "", "", "", "", "", ""}));
    const QString longText(32767, QChar('y'));
    QCOMPARE(shown[3],
             (QStringList{"3", "0", "-42", "a\uFFFDb", "", "0.05", "12345678901234,5678", "-2.5", "",
                          "28/02/1900", "00:00:00", "31/12/1899 23:59:59", "FALSE", longText, ""}));

    // Dates and times as stored: to the ten-thousandth of a second.
    const QList<QStringList> raw = readSheetCells(file, QStringLiteral("raw"));
    QCOMPARE(raw.size(), 4);
    QCOMPARE(raw[1][5], QStringLiteral("1234567890123.45"));
    QCOMPARE(raw[1][9].toLongLong(), serialOf(QDate(2024, 2, 29)));
    QCOMPARE(serialParts(raw[1][10]), (QPair<qint64, qint64>{0, (13 * 3600 + 45 * 60 + 7) * 10000LL + 1234}));
    QCOMPARE(serialParts(raw[1][11]),
             (QPair<qint64, qint64>{serialOf(QDate(2024, 12, 31)), 8 * 36000000LL + 5}));
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
    QVERIFY(widths[0] < widths[2]);  // "ID" and 1 to 3, against 16 digits
    QVERIFY(widths[2] < widths[13]); // against the longest text
    QVERIFY(widths[10] < widths[9]); // a time against a date
    // The row of the text of two lines is two lines tall; the others keep their height.
    static const QRegularExpression rowInfo(QStringLiteral(R"re(<gnm:RowInfo No="(\d+)" Unit="([\d.]+)")re"));
    QMap<int, double> heights;
    for (const auto& m : rowInfo.globalMatch(xml))
        heights.insert(m.captured(1).toInt(), m.captured(2).toDouble());
    QCOMPARE(heights.value(1), 30.0);
    QVERIFY(heights.value(3, 15) < 20);
    QVERIFY(xml.contains(QLatin1String(R"(WrapText="1")")));

    // The cut text is told once.
    QStringList notices;
    for (const MessageRequest& m : m_holder->prompts.messages)
        notices << m.caption + ": " + m.text;
    QCOMPARE(notices,
             QStringList{"Atenção: Uma célula da planilha comporta no máximo 32.767 caracteres; os textos "
                         "maiores foram cortados."});
}

QTEST_MAIN(TestSpreadsheetFile)
#include "test_spreadsheetfile.moc"
