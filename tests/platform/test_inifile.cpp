#include "platform/apperror.h"
#include "platform/inifile.h"
#include "support/files.h"
#include <QtTest>
#include <csignal>
#include <sys/resource.h>

// Initialisation files in Windows-1252: what the bytes on disk are, how Windows' reading rules are
// followed, and that a failed rewrite leaves the old file alone.
class TestIniFile : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void writtenBytes();
    void lineEnds_data();
    void lineEnds();
    void readRules_data();
    void readRules();
    void valuesComeBackAsWritten_data();
    void valuesComeBackAsWritten();
    void readInteger_data();
    void readInteger();
    void rewriteKeepsOtherLines();
    void refusedNames_data();
    void refusedNames();
    void missingFileIsEmpty();
    void characterOutsideCodePage();
    void parentIsAFile();
    void fullDiskKeepsOldContent();

private:
    QString path() const { return m_dir->filePath(QStringLiteral("t.ini")); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestIniFile::init() {
    m_dir = std::make_unique<QTemporaryDir>();
}
void TestIniFile::cleanup() {
    m_dir.reset();
}

void TestIniFile::writtenBytes() {
    IniFile ini(path());
    ini.writeString(QStringLiteral("BancoAtual"), QStringLiteral("Servidor"), QStringLiteral("srv01"));
    ini.writeInteger(QStringLiteral("BancoAtual"), QStringLiteral("Tipo"), 3);
    ini.writeString(QStringLiteral("BancoAtual"), QStringLiteral("Conexão"), QStringLiteral("São Paulo"));
    QCOMPARE(fileBytes(path()), QByteArray("<missing>")); // nothing on disk before updateFile
    ini.updateFile();
    QCOMPARE(fileBytes(path()),
             QByteArray("[BancoAtual]\r\nServidor=srv01\r\nTipo=3\r\nConex\xe3o=S\xe3o Paulo\r\n"));
}

void TestIniFile::lineEnds_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("CR LF") << QByteArray("[S]\r\nConex\xe3o=a\r\nTipo=2\r\n");
    QTest::newRow("LF") << QByteArray("[S]\nConex\xe3o=a\nTipo=2\n");
    QTest::newRow("CR") << QByteArray("[S]\rConex\xe3o=a\rTipo=2\r");
    QTest::newRow("no end on the last line") << QByteArray("[S]\r\nConex\xe3o=a\r\nTipo=2");
}

void TestIniFile::lineEnds() {
    QFETCH(QByteArray, bytes);
    writeBytes(path(), bytes);
    const IniFile ini(path());
    QCOMPARE(ini.readString(QStringLiteral("S"), QStringLiteral("Conexão"), QStringLiteral("x")),
             QStringLiteral("a"));
    QCOMPARE(ini.readInteger(QStringLiteral("S"), QStringLiteral("Tipo"), 0), 2);
}

void TestIniFile::readRules_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    const QByteArray f = "top=1\r\n[Um]\r\nA=um\r\n  b  =  dois  \r\nC=\"tres \"\r\nD='x'\r\nE=a=b\r\nF=\r\n"
                         "G=\"meio\r\nH=\"\"\r\n[Dois]\r\nA=outro\r\n[ Tr\xeas ]\r\nA=acento\r\n";
    QTest::newRow("plain") << f << "Um"
                           << "A"
                           << "um";
    QTest::newRow("section in other case") << f << "UM"
                                           << "A"
                                           << "um";
    QTest::newRow("key in other case, blanks around") << f << "Um"
                                                      << "B"
                                                      << "dois";
    QTest::newRow("double quotes keep blanks") << f << "Um"
                                               << "C"
                                               << "tres ";
    QTest::newRow("single quotes removed") << f << "Um"
                                           << "D"
                                           << "x";
    QTest::newRow("equals sign in the value") << f << "Um"
                                              << "E"
                                              << "a=b";
    QTest::newRow("empty value") << f << "Um"
                                 << "F"
                                 << "";
    QTest::newRow("unmatched quote kept") << f << "Um"
                                          << "G"
                                          << "\"meio";
    QTest::newRow("pair of quotes alone") << f << "Um"
                                          << "H"
                                          << "";
    QTest::newRow("same key, other section") << f << "Dois"
                                             << "A"
                                             << "outro";
    QTest::newRow("accented section name in other case, blanks") << f << "TRÊS"
                                                                 << "a"
                                                                 << "acento";
    QTest::newRow("missing key") << f << "Um"
                                 << "Z"
                                 << "<default>";
    QTest::newRow("missing section") << f << "Zero"
                                     << "A"
                                     << "<default>";
    QTest::newRow("key before any section") << f << ""
                                            << "top"
                                            << "<default>";
}

void TestIniFile::readRules() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    writeBytes(path(), bytes);
    const IniFile ini(path());
    QCOMPARE(ini.readString(section, key, QStringLiteral("<default>")), expected);
    QCOMPARE(ini.valueExists(section, key), expected != QLatin1String("<default>"));
}

void TestIniFile::valuesComeBackAsWritten_data() {
    QTest::addColumn<QString>("value");
    QTest::newRow("empty") << "";
    QTest::newRow("blanks after") << "localhost      ";
    QTest::newRow("blanks before") << "  /dados/a.fdb";
    QTest::newRow("only blanks") << "   ";
    QTest::newRow("quoted") << "\"x\"";
    QTest::newRow("single-quoted") << "'x'";
    QTest::newRow("one quote") << "\"";
    QTest::newRow("accents") << "C:\\Importação\\ção.gdb";
    QTest::newRow("equals and brackets") << "[a]=b";
}

void TestIniFile::valuesComeBackAsWritten() {
    QFETCH(QString, value);
    {
        IniFile ini(path());
        ini.writeString(QStringLiteral("S"), QStringLiteral("K"), value);
        ini.updateFile();
    }
    QCOMPARE(
        IniFile(path()).readString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("<default>")),
        value);
}

void TestIniFile::readInteger_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("expected");
    QTest::newRow("digit") << QByteArray("2") << 2;
    QTest::newRow("negative with blanks") << QByteArray("  -1 ") << -1;
    QTest::newRow("plus sign") << QByteArray("+3") << 3;
    QTest::newRow("hexadecimal 0x") << QByteArray("0x10") << 16;
    QTest::newRow("hexadecimal $") << QByteArray("$1F") << 31;
    QTest::newRow("word") << QByteArray("abc") << 77;
    QTest::newRow("digit and letter") << QByteArray("3x") << 77;
    QTest::newRow("empty") << QByteArray("") << 77;
    QTest::newRow("too large") << QByteArray("99999999999") << 77;
    QTest::newRow("decimal comma") << QByteArray("1,5") << 77;
    QTest::newRow("superscript two") << QByteArray("\xb2") << 77;
}

void TestIniFile::readInteger() {
    QFETCH(QByteArray, text);
    QFETCH(int, expected);
    writeBytes(path(), "[S]\r\nN=" + text + "\r\n");
    QCOMPARE(IniFile(path()).readInteger(QStringLiteral("S"), QStringLiteral("N"), 77), expected);
    QCOMPARE(IniFile(path()).readInteger(QStringLiteral("S"), QStringLiteral("missing"), 77), 77);
}

void TestIniFile::rewriteKeepsOtherLines() {
    writeBytes(path(),
               "; comentario\n[Outra]\nX=1\n\n[BancoAtual]\nservidor=velho\nOutro=fica\n\n[Fim]\nY=2\n");
    IniFile ini(path());
    ini.writeString(QStringLiteral("BancoAtual"), QStringLiteral("Servidor"), QStringLiteral("novo"));
    ini.writeString(QStringLiteral("BancoAtual"), QStringLiteral("Banco"), QStringLiteral("b"));
    ini.writeString(QStringLiteral("Nova"), QStringLiteral("Z"), QStringLiteral("3"));
    ini.updateFile();
    // The key is replaced where it stood, a new key follows the section's last line, a new section
    // goes to the end; every other line stays as it was (line ends become CR LF).
    QCOMPARE(fileBytes(path()),
             QByteArray("; comentario\r\n[Outra]\r\nX=1\r\n\r\n[BancoAtual]\r\nServidor=novo\r\n"
                        "Outro=fica\r\nBanco=b\r\n\r\n[Fim]\r\nY=2\r\n[Nova]\r\nZ=3\r\n"));
}

void TestIniFile::refusedNames_data() {
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("line break in the value") << "S"
                                             << "K"
                                             << "a\nb";
    QTest::newRow("carriage return in the value") << "S"
                                                  << "K"
                                                  << "a\rb";
    QTest::newRow("equals sign in the key") << "S"
                                            << "K=1"
                                            << "v";
    QTest::newRow("empty key") << "S"
                               << ""
                               << "v";
    QTest::newRow("blank around the key") << "S"
                                          << " K"
                                          << "v";
    QTest::newRow("bracket in the section") << "S]"
                                            << "K"
                                            << "v";
    QTest::newRow("empty section") << ""
                                   << "K"
                                   << "v";
}

void TestIniFile::refusedNames() {
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    writeBytes(path(), "[S]\r\nK=old\r\n");
    IniFile ini(path());
    QVERIFY_THROWS_EXCEPTION(AppError, ini.writeString(section, key, value));
    ini.updateFile();
    QCOMPARE(fileBytes(path()), QByteArray("[S]\r\nK=old\r\n"));
}

void TestIniFile::missingFileIsEmpty() {
    const IniFile ini(path());
    QCOMPARE(ini.readString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("d")),
             QStringLiteral("d"));
    QVERIFY(!QFileInfo::exists(path())); // reading creates nothing
}

void TestIniFile::characterOutsideCodePage() {
    writeBytes(path(), "[S]\r\nK=old\r\n");
    IniFile ini(path());
    ini.writeString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("数据"));
    try {
        ini.updateFile();
        QFAIL("a character outside Windows-1252 was written");
    } catch (const AppError& e) {
        QVERIFY2(e.message().contains(QStringLiteral("\"数\"")), qPrintable(e.message()));
    }
    QCOMPARE(fileBytes(path()), QByteArray("[S]\r\nK=old\r\n"));
}

void TestIniFile::parentIsAFile() {
    writeBytes(m_dir->filePath(QStringLiteral("arquivo")), "x");
    const QString p = m_dir->filePath(QStringLiteral("arquivo/t.ini"));
    IniFile ini(p);
    ini.writeString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("v"));
    try {
        ini.updateFile();
        QFAIL("written below a file");
    } catch (const AppError& e) {
        QVERIFY2(e.message().startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(p)),
                 qPrintable(e.message()));
    }
    QCOMPARE(fileBytes(m_dir->filePath(QStringLiteral("arquivo"))), QByteArray("x"));
}

void TestIniFile::fullDiskKeepsOldContent() {
    // A file-size limit makes the write fail part way, as a full disk would (permissions cannot,
    // since the tests may run as root).
    const QByteArray old = "[BancoAtual]\r\nServidor=velho\r\n";
    writeBytes(path(), old);
    IniFile ini(path());
    ini.writeString(QStringLiteral("BancoAtual"), QStringLiteral("Banco"), QString(500, QChar('b')));

    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 100;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool failed = false;
    QString message;
    try {
        ini.updateFile();
    } catch (const AppError& e) {
        failed = true;
        message = e.message();
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY(failed);
    QVERIFY2(message.startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(path())),
             qPrintable(message));
    QCOMPARE(fileBytes(path()), old);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files),
             QStringList{QStringLiteral("t.ini")}); // no leftovers
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "test_inifile.moc"
