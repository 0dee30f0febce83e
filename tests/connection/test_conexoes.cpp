#include "connection/bancosettings.h"
#include "connection/conexoes.h"
#include "connection/connectionstring.h"
#include "connection/grid.h"
#include "platform/appdir.h"
#include "platform/apperror.h"
#include "support/files.h"
#include "support/scriptedprompts.h"
#include <QtTest>

// The two files beside the executable (Conexoes.New and Banco.new), the connection string and the
// grid row helper, against a temporary "executable directory".
class TestConexoes : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void connectionString_data();
    void connectionString();

    void formatRecord_data();
    void formatRecord();
    void readRecord_data();
    void readRecord();
    void recordProblem_data();
    void recordProblem();

    void append_data();
    void append();
    void appendToMissingFile();
    void appendRefusedCharacterKeepsFile();

    void deleteRow_data();
    void deleteRow();
    void gridRoundTrip();
    void gridDeleteMiddleAndWriteBack();

    void settingsRoundTrip();
    void settingsDefaults();
    void settingsKeepValuesUntrimmed();
    void settingsProtocol_data();
    void settingsProtocol();
    void settingsWriteFailureKeepsOldFile();

private:
    static QString rec(const QString& s, const QString& p, const QString& d, const QString& c) {
        return ConnectionRecord::format(s, p, d, c);
    }
    std::unique_ptr<TempAppDirectory> m_dir;
};

void TestConexoes::init() {
    m_dir = std::make_unique<TempAppDirectory>();
}

void TestConexoes::cleanup() {
    m_dir.reset();
}

void TestConexoes::connectionString_data() {
    QTest::addColumn<int>("protocol");
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected"); // "<none>": no string, the caller keeps its own
    const QString s = QStringLiteral("srv01"), p = QStringLiteral("C:\\dados\\loja.gdb");
    QTest::newRow("TCP/IP") << 0 << s << p << "srv01:C:\\dados\\loja.gdb";
    QTest::newRow("NetBui") << 1 << s << p << "\\\\srv01\\C:\\dados\\loja.gdb";
    QTest::newRow("IPX") << 2 << s << p << "srv01@C:\\dados\\loja.gdb";
    QTest::newRow("Local") << 3 << s << p << "C:\\dados\\loja.gdb";
    QTest::newRow("blanks trimmed") << 0 << "  srv01 "
                                    << " C:\\dados\\loja.gdb  "
                                    << "srv01:C:\\dados\\loja.gdb";
    QTest::newRow("Local ignores the server") << 3 << "" << p << "C:\\dados\\loja.gdb";
    QTest::newRow("empty boxes") << 0 << ""
                                 << ""
                                 << ":";
    QTest::newRow("no choice") << -1 << s << p << "<none>";
    QTest::newRow("beyond the choices") << 4 << s << p << "<none>";
}

void TestConexoes::connectionString() {
    QFETCH(int, protocol);
    QFETCH(QString, server);
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(BuildConnectionString(protocol, server, path).value_or(QStringLiteral("<none>")), expected);
}

void TestConexoes::formatRecord_data() {
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("database");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("connectionColumn"); // 1-based column where the connection string starts
    QTest::newRow("values that fit") << "srv01"
                                     << "C:\\dados\\loja.gdb" << 216 << 117;
    QTest::newRow("full widths") << QString(15, 'S') << QString(100, 'D') << 216 << 117;
    QTest::newRow("server too long is not cut") << QString(16, 'S') << "d" << 217 << 118;
    QTest::newRow("path too long is not cut") << "s" << QString(103, 'D') << 219 << 120;
}

void TestConexoes::formatRecord() {
    QFETCH(QString, server);
    QFETCH(QString, database);
    QFETCH(int, length);
    QFETCH(int, connectionColumn);
    const QString line = rec(server, QStringLiteral("3"), database, QStringLiteral("conn"));
    QCOMPARE(line.size(), length);
    QVERIFY(line.startsWith(server));
    QCOMPARE(line.mid(connectionColumn - 1), QStringLiteral("conn").leftJustified(100));
    QCOMPARE(rec(QStringLiteral("srv01"), QStringLiteral("0"), QStringLiteral("a.gdb"),
                 QStringLiteral("srv01:a.gdb")),
             QStringLiteral("srv01") + QString(10, ' ') + '0' + QStringLiteral("a.gdb") + QString(95, ' ') +
                 QStringLiteral("srv01:a.gdb") + QString(89, ' '));
}

void TestConexoes::readRecord_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("protocol");
    QTest::addColumn<QString>("database");
    QTest::addColumn<QString>("connection");
    const QString full = rec(QStringLiteral("srv01"), QStringLiteral("0"), QStringLiteral("/d/a.fdb"),
                             QStringLiteral("srv01:/d/a.fdb"));
    QTest::newRow("full record, blanks kept") << full << QStringLiteral("srv01").leftJustified(15) << "0"
                                              << QStringLiteral("/d/a.fdb").leftJustified(100)
                                              << QStringLiteral("srv01:/d/a.fdb").leftJustified(100);
    QTest::newRow("empty line") << ""
                                << ""
                                << ""
                                << ""
                                << "";
    QTest::newRow("server only, short") << "srv"
                                        << "srv"
                                        << ""
                                        << ""
                                        << "";
    QTest::newRow("up to the protocol") << "srv01          3"
                                        << "srv01          "
                                        << "3"
                                        << ""
                                        << "";
    QTest::newRow("path cut short") << "srv01          3/d/a"
                                    << "srv01          "
                                    << "3"
                                    << "/d/a"
                                    << "";
    QTest::newRow("connection cut short")
        << full.left(120) << full.left(15) << "0" << full.mid(16, 100) << "srv0";
    QTest::newRow("longer line cut at column 216")
        << full + "XYZ" << full.left(15) << "0" << full.mid(16, 100) << full.mid(116, 100);
    QTest::newRow("over-long server reads wrongly")
        << rec(QString(16, 'S'), "3", "/p", "/p") << QString(15, 'S') << "S"
        << QStringLiteral("3/p").leftJustified(100) << QStringLiteral(" /p").leftJustified(100);
}

void TestConexoes::readRecord() {
    QFETCH(QString, line);
    const ConnectionRecord::Fields f = ConnectionRecord::read(line);
    QTEST(f.server, "server");
    QTEST(f.protocol, "protocol");
    QTEST(f.database, "database");
    QTEST(f.connection, "connection");
    QCOMPARE(ConnectionRecord::connectionOf(line), f.connection.trimmed());
}

void TestConexoes::recordProblem_data() {
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("database");
    QTest::addColumn<QString>("connection");
    QTest::addColumn<QString>("expected");
    QTest::newRow("all fit") << QString(15, 's') << QString(100, 'd') << QString(100, 'c') << "";
    QTest::newRow("server of 16") << QString(16, 's') << "d"
                                  << "c"
                                  << "o servidor tem mais de 15 caracteres";
    QTest::newRow("path of 101") << "s" << QString(101, 'd') << "c"
                                 << "o banco tem mais de 100 caracteres";
    QTest::newRow("connection of 101") << "s"
                                       << "d" << QString(101, 'c') << "a conexão tem mais de 100 caracteres";
    QTest::newRow("accents fit") << "sé"
                                 << "/dados/ação.fdb"
                                 << "/dados/ação.fdb"
                                 << "";
    QTest::newRow("outside the code page") << "s"
                                           << "/dados/数.fdb"
                                           << "/dados/数.fdb"
                                           << "o banco tem caracteres que o arquivo não comporta";
}

void TestConexoes::recordProblem() {
    QFETCH(QString, server);
    QFETCH(QString, database);
    QFETCH(QString, connection);
    QFETCH(QString, expected);
    QCOMPARE(ConnectionRecord::problem(server, QStringLiteral("3"), database, connection), expected);
}

void TestConexoes::append_data() {
    QTest::addColumn<QString>("record");
    QTest::addColumn<bool>("added");
    const QString a = rec("srv01", "0", "/dados/a.fdb", "srv01:/dados/a.fdb");
    QTest::newRow("same line") << a << false;
    QTest::newRow("other letter case") << rec("SRV01", "0", "/DADOS/A.FDB", "SRV01:/DADOS/A.FDB") << false;
    QTest::newRow("differs in the padding")
        << rec("srv01 ", "0", "/dados/a.fdb", "srv01:/dados/a.fdb") << false;
    QTest::newRow("other protocol") << rec("srv01", "3", "/dados/a.fdb", "srv01:/dados/a.fdb") << true;
    QTest::newRow("matches a short line only when equal") << QString("curta") << false;
    QTest::newRow("short line, other text") << QString("curta ") << true;
}

void TestConexoes::append() {
    QFETCH(QString, record);
    QFETCH(bool, added);
    const QString a = rec("srv01", "0", "/dados/a.fdb", "srv01:/dados/a.fdb");
    const QString b = rec("outro", "3", "/b.fdb", "/b.fdb");
    // LF line ends and a short line: the file is rewritten even when nothing is added.
    writeBytes(conexoesFileName(), (a + "\n" + b + "\ncurta\n").toLatin1());
    QCOMPARE(AppendConnection(record), added);
    QStringList expected{a, b, QStringLiteral("curta")};
    if (added) expected.append(record);
    QCOMPARE(fileBytes(conexoesFileName()), (expected.join("\r\n") + "\r\n").toLatin1());
    QCOMPARE(readConnections(), expected);
}

void TestConexoes::appendToMissingFile() {
    QVERIFY(!QFileInfo::exists(conexoesFileName()));
    const QString a = rec("localhost", "3", "/dados/São.fdb", "/dados/São.fdb");
    QVERIFY(AppendConnection(a));
    QCOMPARE(fileBytes(conexoesFileName()), QByteArray("localhost      3/dados/S\xe3o.fdb") +
                                                QByteArray(86, ' ') + "/dados/S\xe3o.fdb" +
                                                QByteArray(86, ' ') + "\r\n");
}

void TestConexoes::appendRefusedCharacterKeepsFile() {
    const QByteArray old = "linha\r\n";
    writeBytes(conexoesFileName(), old);
    QVERIFY_THROWS_EXCEPTION(AppError, AppendConnection(rec("s", "3", "/数.fdb", "/数.fdb")));
    QCOMPARE(fileBytes(conexoesFileName()), old);
    QVERIFY_THROWS_EXCEPTION(AppError, writeConnections({QStringLiteral("数")}));
    QCOMPARE(fileBytes(conexoesFileName()), old);
}

void TestConexoes::deleteRow_data() {
    QTest::addColumn<int>("rows"); // title row included
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("expected"); // column 0 of every row afterwards
    QTest::addColumn<int>("beeps");
    QTest::newRow("middle of three") << 4 << 2 << QStringList{"t", "r1", "r3"} << 0;
    QTest::newRow("first data row") << 4 << 1 << QStringList{"t", "r2", "r3"} << 0;
    QTest::newRow("last row") << 4 << 3 << QStringList{"t", "r1", "r2"} << 0;
    QTest::newRow("only data row") << 2 << 1 << QStringList{"t"} << 0;
    QTest::newRow("negative index") << 4 << -1 << QStringList{"t", "r1", "r2", "r3"} << 1;
    QTest::newRow("index at the row count") << 4 << 4 << QStringList{"t", "r1", "r2", "r3"} << 1;
    QTest::newRow("grid without rows") << 0 << 0 << QStringList{} << 1;
}

void TestConexoes::deleteRow() {
    QFETCH(int, rows);
    QFETCH(int, row);
    QFETCH(QStringList, expected);
    QFETCH(int, beeps);
    ScriptedPrompts prompts;
    StringTable grid(4, rows);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < 4; ++c)
            grid.setCell(c, r,
                         (r ? QStringLiteral("r%1").arg(r) : QStringLiteral("t")) +
                             (c ? QString::number(c) : QString()));
    QCOMPARE(DeleteRow(grid, row), beeps == 0);
    QCOMPARE(prompts.beeps, beeps);
    QStringList got;
    for (int r = 0; r < grid.rowCount(); ++r) {
        got.append(grid.cell(0, r));
        for (int c = 1; c < 4; ++c)
            QCOMPARE(grid.cell(c, r), got.last() + QString::number(c)); // whole rows moved
    }
    QCOMPARE(got, expected);
    // A row added again afterwards starts empty.
    grid.setRowCount(grid.rowCount() + 1);
    QCOMPARE(grid.cell(0, grid.rowCount() - 1), QString());
}

void TestConexoes::gridRoundTrip() {
    const QString a = rec("srv01", "0", "/d/a.fdb", "srv01:/d/a.fdb");
    StringTable grid(4, 6); // leftovers from an earlier fill are cleared
    grid.setCell(0, 5, QStringLiteral("velho"));
    fillConnectionGrid(grid, {a, QStringLiteral("curta3")});
    QCOMPARE(grid.rowCount(), 3);
    QCOMPARE((QStringList{grid.cell(0, 0), grid.cell(1, 0), grid.cell(2, 0), grid.cell(3, 0)}),
             (QStringList{"Servidor", "Tp", "Banco", "Conexão"}));
    QCOMPARE(grid.cell(0, 1), QStringLiteral("srv01").leftJustified(15)); // padding kept
    QCOMPARE(grid.cell(3, 1), QStringLiteral("srv01:/d/a.fdb").leftJustified(100));
    QCOMPARE(grid.cell(0, 2), QStringLiteral("curta3"));
    QCOMPARE(grid.cell(1, 2), QString());
    // Written back: the full record unchanged, the short line padded to full width.
    QCOMPARE(connectionGridLines(grid), (QStringList{a, rec("curta3", "", "", "")}));

    fillConnectionGrid(grid, {});
    QCOMPARE(grid.rowCount(), 1);
    QCOMPARE(connectionGridLines(grid), QStringList{});
}

void TestConexoes::gridDeleteMiddleAndWriteBack() {
    ScriptedPrompts prompts;
    const QStringList lines{rec("um", "0", "/1.fdb", "um:/1.fdb"),
                            rec("dois", "1", "/2.fdb", "\\\\dois\\/2.fdb"),
                            rec("tres", "3", "/3.fdb", "/3.fdb")};
    writeConnections(lines);
    StringTable grid(4);
    fillConnectionGrid(grid, readConnections());
    QVERIFY(DeleteRow(grid, 2));
    writeConnections(connectionGridLines(grid));
    QCOMPARE(fileBytes(conexoesFileName()), (lines[0] + "\r\n" + lines[2] + "\r\n").toLatin1());

    // Down to nothing: an empty file.
    QVERIFY(DeleteRow(grid, 1));
    QVERIFY(DeleteRow(grid, 1));
    writeConnections(connectionGridLines(grid));
    QCOMPARE(fileBytes(conexoesFileName()), QByteArray());
    QCOMPARE(readConnections(), QStringList{});
    QCOMPARE(prompts.beeps, 0);
}

void TestConexoes::settingsRoundTrip() {
    BancoSettings s;
    s.server = QStringLiteral("srv01");
    s.protocol = 0;
    s.database = QStringLiteral("C:\\dados\\loja.gdb");
    s.connection = QStringLiteral("srv01:C:\\dados\\loja.gdb");
    SaveSettings(s);
    QCOMPARE(fileBytes(bancoSettingsFileName()),
             QByteArray("[BancoAtual]\r\nServidor=srv01\r\nTipo=0\r\nBanco=C:\\dados\\loja.gdb\r\n"
                        "Conex\xe3o=srv01:C:\\dados\\loja.gdb\r\n"));
    const BancoSettings back = LoadSettings();
    QCOMPARE(back.server, s.server);
    QCOMPARE(back.protocol, s.protocol);
    QCOMPARE(back.database, s.database);
    QCOMPARE(back.connection, s.connection);

    // A later save rewrites the four keys in place.
    s.protocol = 3;
    s.connection = QStringLiteral("C:\\dados\\loja.gdb");
    SaveSettings(s);
    QCOMPARE(fileBytes(bancoSettingsFileName()),
             QByteArray("[BancoAtual]\r\nServidor=srv01\r\nTipo=3\r\nBanco=C:\\dados\\loja.gdb\r\n"
                        "Conex\xe3o=C:\\dados\\loja.gdb\r\n"));
}

void TestConexoes::settingsDefaults() {
    BancoSettings s = LoadSettings(); // missing file
    QCOMPARE(s.server, QString());
    QCOMPARE(s.protocol, 0);
    QCOMPARE(s.database, QString());
    QCOMPARE(s.connection, QString());
    QVERIFY(!QFileInfo::exists(bancoSettingsFileName()));

    writeBytes(bancoSettingsFileName(), "[BancoAtual]\r\nBanco=/x.fdb\r\n"); // keys missing
    s = LoadSettings();
    QCOMPARE(s.server, QString());
    QCOMPARE(s.protocol, 0);
    QCOMPARE(s.database, QStringLiteral("/x.fdb"));

    // The file written by scripts/run for its demo database reads back.
    writeBytes(bancoSettingsFileName(),
               "[BancoAtual]\r\nServidor=localhost\r\nTipo=3\r\nBanco=/b/demo.fdb\r\n"
               "Conex\xe3o=/b/demo.fdb\r\n");
    s = LoadSettings();
    QCOMPARE(s.server, QStringLiteral("localhost"));
    QCOMPARE(s.protocol, 3);
    QCOMPARE(s.connection, QStringLiteral("/b/demo.fdb"));
}

void TestConexoes::settingsKeepValuesUntrimmed() {
    // Values picked from an earlier connection carry their padding; they are saved as they are.
    BancoSettings s;
    s.server = QStringLiteral("localhost      ");
    s.protocol = 3;
    s.database = QStringLiteral("/d/a.fdb").leftJustified(100);
    s.connection = QStringLiteral(" /d/a.fdb");
    SaveSettings(s);
    const BancoSettings back = LoadSettings();
    QCOMPARE(back.server, s.server);
    QCOMPARE(back.database, s.database);
    QCOMPARE(back.connection, s.connection);
}

void TestConexoes::settingsProtocol_data() {
    QTest::addColumn<QByteArray>("tipo");
    QTest::addColumn<int>("expected");
    QTest::newRow("2") << QByteArray("2") << 2;
    QTest::newRow("no choice") << QByteArray("-1") << -1;
    QTest::newRow("below -1") << QByteArray("-5") << -1;
    QTest::newRow("above 3") << QByteArray("7") << 3;
    QTest::newRow("not a number") << QByteArray("abc") << 0;
    QTest::newRow("empty") << QByteArray("") << 0;
}

void TestConexoes::settingsProtocol() {
    QFETCH(QByteArray, tipo);
    QFETCH(int, expected);
    writeBytes(bancoSettingsFileName(), "[BancoAtual]\r\nTipo=" + tipo + "\r\n");
    QCOMPARE(LoadSettings().protocol, expected);
}

void TestConexoes::settingsWriteFailureKeepsOldFile() {
    const QByteArray old = "[BancoAtual]\r\nServidor=velho\r\n";
    writeBytes(bancoSettingsFileName(), old);
    BancoSettings s;
    s.database = QStringLiteral("/dados/数.fdb"); // Windows-1252 cannot hold it
    QVERIFY_THROWS_EXCEPTION(AppError, SaveSettings(s));
    QCOMPARE(fileBytes(bancoSettingsFileName()), old);

    // The directory is a file: nothing can be created there.
    writeBytes(m_dir->filePath(QStringLiteral("arquivo")), "x");
    setApplicationDirectory(m_dir->filePath(QStringLiteral("arquivo")));
    try {
        SaveSettings(BancoSettings{});
        QFAIL("settings written below a file");
    } catch (const AppError& e) {
        QVERIFY2(e.message().startsWith(QStringLiteral("Cannot create file \"%1\". ")
                                            .arg(m_dir->filePath(QStringLiteral("arquivo/Banco.new")))),
                 qPrintable(e.message()));
    }
}

QTEST_GUILESS_MAIN(TestConexoes)
#include "test_conexoes.moc"
