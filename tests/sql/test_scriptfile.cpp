#include "platform/appdir.h"
#include "platform/apperror.h"
#include "sql/scriptfile.h"
#include "support/files.h"
#include "support/scriptedprompts.h"
#include <QtTest>

// Script files beside a temporary "executable directory": the dialogs asked for, the bytes on
// disk, and what comes back.
class TestScriptFile : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void dialogs();
    void directoryCreatedOnEveryPress();
    void directoryThatCannotBeCreated();
    void saveBytes_data();
    void saveBytes();
    void loadLineBreaks_data();
    void loadLineBreaks();
    void refusedCharacter_data();
    void refusedCharacter();
    void missingFile();
    void cancelled();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestScriptFile::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    setApplicationDirectory(m_dir->path());
}

void TestScriptFile::cleanup() {
    setApplicationDirectory(QString());
    m_dir.reset();
}

void TestScriptFile::dialogs() {
    ScriptedPrompts prompts;
    QCOMPARE(ScriptDirectory(), m_dir->path() + "/Script");
    saveScriptAs(QStringLiteral("x"));
    loadScript();
    QCOMPARE(prompts.fileDialogs.size(), 2);
    const FileDialogRequest save = prompts.fileDialogs[0];
    QCOMPARE(save.title, QStringLiteral("Salva Script"));
    QCOMPARE(save.directory, m_dir->path() + "/Script");
    QCOMPARE(save.filters, QStringList{QStringLiteral("New (*.New)")});
    QCOMPARE(save.defaultSuffix, QStringLiteral("New"));
    QVERIFY(save.confirmOverwrite);
    const FileDialogRequest open = prompts.fileDialogs[1];
    QCOMPARE(open.title, QStringLiteral("Abre Script"));
    QCOMPARE(open.directory, m_dir->path() + "/Script");
    QCOMPARE(open.filters, QStringList{QStringLiteral("New (*.New)")});
    QCOMPARE(open.defaultSuffix, QStringLiteral("New"));
    QVERIFY(!open.mustExist);
}

void TestScriptFile::directoryCreatedOnEveryPress() {
    ScriptedPrompts prompts; // every dialog cancelled
    QVERIFY(!QFileInfo::exists(ScriptDirectory()));
    QVERIFY(!saveScriptAs(QStringLiteral("x")));
    QVERIFY(QFileInfo(ScriptDirectory()).isDir());
    QVERIFY(QDir(ScriptDirectory()).removeRecursively());
    QVERIFY(!loadScript());
    QVERIFY(QFileInfo(ScriptDirectory()).isDir());

    // Missing parents are created too.
    setApplicationDirectory(m_dir->path() + "/a/b");
    QVERIFY(!saveScriptAs(QStringLiteral("x")));
    QVERIFY(QFileInfo(m_dir->path() + "/a/b/Script").isDir());
}

void TestScriptFile::directoryThatCannotBeCreated() {
    // A plain file in the way: the dialog still opens and the save still works elsewhere.
    writeBytes(ScriptDirectory(), "not a folder");
    ScriptedPrompts prompts;
    const QString target = m_dir->path() + "/elsewhere.New";
    prompts.fileAnswers << target;
    QVERIFY(saveScriptAs(QStringLiteral("select 1")));
    QCOMPARE(prompts.fileDialogs.size(), 1);
    QCOMPARE(fileBytes(target), QByteArray("select 1"));
}

void TestScriptFile::saveBytes_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("accents, two lines, no break added at the end")
        << QStringLiteral("select 'Ação, coração' from T\nwhere NOME = 'pão'")
        << QByteArray("select 'A\xe7\xe3o, cora\xe7\xe3o' from T\r\nwhere NOME = 'p\xe3o'");
    QTest::newRow("a text ending with a line break keeps exactly one")
        << QStringLiteral("select 1\n") << QByteArray("select 1\r\n");
    QTest::newRow("empty memo gives an empty file") << QString() << QByteArray();
    QTest::newRow("Windows-1252 characters above 0x7F") << QStringLiteral("'€ “x” – ü'")
                                                        << QByteArray("'\x80 \x93x\x94 \x96 \xfc'");
    QTest::newRow("blank lines kept") << QStringLiteral("\n\na\n\n") << QByteArray("\r\n\r\na\r\n\r\n");
}

void TestScriptFile::saveBytes() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    ScriptedPrompts prompts;
    const QString path = ScriptDirectory() + "/teste.New";
    prompts.fileAnswers << path << path;
    QVERIFY(saveScriptAs(text));
    QCOMPARE(fileBytes(path), bytes);
    // And back: the same text.
    const std::optional<QString> loaded = loadScript();
    QVERIFY(loaded.has_value());
    QCOMPARE(*loaded, text);
}

void TestScriptFile::loadLineBreaks_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("CR, LF and CR LF each one break")
        << QByteArray("a\rb\nc\r\nd") << QStringLiteral("a\nb\nc\nd");
    QTest::newRow("LF CR is two breaks") << QByteArray("a\n\rb") << QStringLiteral("a\n\nb");
    QTest::newRow("trailing CR LF kept as one break") << QByteArray("x\r\n") << QStringLiteral("x\n");
    QTest::newRow("Windows-1252 accents") << QByteArray("'S\xe3o Jo\xe3o'") << QStringLiteral("'São João'");
    QTest::newRow("empty file") << QByteArray() << QString();
}

void TestScriptFile::loadLineBreaks() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    makeScriptDirectory();
    const QString path = ScriptDirectory() + "/in.New";
    writeBytes(path, bytes);
    ScriptedPrompts prompts;
    prompts.fileAnswers << path;
    const std::optional<QString> loaded = loadScript();
    QVERIFY(loaded.has_value());
    QCOMPARE(*loaded, text);
}

void TestScriptFile::refusedCharacter_data() {
    QTest::addColumn<bool>("existing");
    QTest::newRow("new file") << false;
    QTest::newRow("existing file") << true;
}

void TestScriptFile::refusedCharacter() {
    QFETCH(bool, existing);
    makeScriptDirectory();
    const QString path = ScriptDirectory() + "/x.New";
    if (existing) writeBytes(path, "old\r\ncontent");
    ScriptedPrompts prompts;
    prompts.fileAnswers << path;
    try {
        saveScriptAs(QStringLiteral("select 'ok ✓ 😀' from T"));
        QFAIL("the save should have been refused");
    } catch (const AppError& e) {
        QCOMPARE(e.message(), QStringLiteral("O texto contém caracteres que não podem ser gravados no arquivo \"%1\", "
                                             "como \"✓\". Nada foi gravado")
                                  .arg(path));
    }
    QCOMPARE(fileBytes(path), existing ? QByteArray("old\r\ncontent") : QByteArray("<missing>"));
    QCOMPARE(QDir(ScriptDirectory()).entryList(QDir::Files).size(), 1 - !existing);

    // A character outside the Basic Multilingual Plane is named whole.
    prompts.fileAnswers << path;
    try {
        saveScriptAs(QStringLiteral("select '😀'"));
        QFAIL("the save should have been refused");
    } catch (const AppError& e) {
        QVERIFY2(e.message().contains(QStringLiteral("como \"😀\".")), qPrintable(e.message()));
    }
}

void TestScriptFile::missingFile() {
    ScriptedPrompts prompts;
    const QString path = ScriptDirectory() + "/naoexiste.New";
    prompts.fileAnswers << path;
    try {
        loadScript();
        QFAIL("loading a missing file should fail");
    } catch (const AppError& e) {
        QVERIFY2(e.message().startsWith(QStringLiteral("Cannot open file \"%1\"").arg(path)),
                 qPrintable(e.message()));
    }
    QVERIFY(!QFileInfo::exists(path));
}

void TestScriptFile::cancelled() {
    ScriptedPrompts prompts;
    QVERIFY(!saveScriptAs(QStringLiteral("select 1")));
    QVERIFY(!loadScript().has_value());
    QCOMPARE(QDir(ScriptDirectory()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList());
}

QTEST_GUILESS_MAIN(TestScriptFile)
#include "test_scriptfile.moc"
