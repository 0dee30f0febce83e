// The program's own files (Conexoes.New, Banco.new, the Script folder) go beside the executable when
// the program may write there, and to the user's data folder when it may not, as for an installed
// program. Whatever the way of connecting, the typed password reaches no file and no output.
#include "connection/conexoes.h"
#include "connection/database.h"
#include "connection/dm.h"
#include "connection/ui/abrebanco.h"
#include "connection/ui/conecta.h"
#include "platform/appdir.h"
#include "platform/ui/icons.h"
#include "shell/ui/principal.h"
#include "sql/scriptfile.h"
#include "sql/ui/fsql.h"
#include "support/fbfixture.h"
#include "support/files.h"
#include "support/modal.h"
#include "support/scriptedprompts.h"
#include <QAction>
#include <QDirIterator>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <unistd.h>

namespace {
// Sets (or, given nullopt, removes) an environment variable while the object lives.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<QString>& value)
        : m_name(name),
          m_old(qEnvironmentVariableIsSet(name) ? std::optional<QByteArray>(qgetenv(name)) : std::nullopt) {
        if (value)
            qputenv(name, value->toLocal8Bit());
        else
            qunsetenv(name);
    }
    ~ScopedEnv() {
        if (m_old)
            qputenv(m_name, *m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<QByteArray> m_old;
};

// A home of its own for one test: the executable's folder "bin", the home folder "home" and the
// data folder "data", each a place where anybody may write (a read-only test drops privileges).
struct Sandbox {
    QTemporaryDir root;
    QString bin, home, data;
    Sandbox() {
        QFile::setPermissions(root.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                               QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                               QFile::ExeOther);
        for (QString* dir : {&bin, &home, &data}) {
            *dir = root.filePath(dir == &bin ? "bin" : dir == &home ? "home" : "data");
            QDir().mkpath(*dir);
            QFile::setPermissions(*dir, QFileDevice::Permissions(0x7777));
        }
    }
    // Every file below the sandbox, with its path relative to it.
    QStringList files() const {
        QStringList out;
        QDirIterator it(root.path(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext())
            out << QDir(root.path()).relativeFilePath(it.next());
        out.sort();
        return out;
    }
};

// What the program writes to its standard output and error while the object lives, kept in a file
// and echoed afterwards so that nothing is hidden from the test log.
class CapturedOutput {
public:
    explicit CapturedOutput(const QString& file) : m_file(file) {
        std::fflush(stdout);
        std::fflush(stderr);
        m_out = dup(1);
        m_err = dup(2);
        const int fd = ::open(QFile::encodeName(file).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        dup2(fd, 1);
        dup2(fd, 2);
        ::close(fd);
    }
    ~CapturedOutput() { restore(); }
    QByteArray restore() {
        if (m_out >= 0) {
            std::fflush(stdout);
            std::fflush(stderr);
            dup2(m_out, 1);
            dup2(m_err, 2);
            ::close(m_out);
            ::close(m_err);
            m_out = m_err = -1;
            const QByteArray text = fileBytes(m_file);
            std::fwrite(text.constData(), 1, size_t(text.size()), stderr);
        }
        return fileBytes(m_file);
    }

private:
    QString m_file;
    int m_out = -1, m_err = -1;
};

ScriptedPrompts::Login serverLogin(const QString& password = testServerPassword()) {
    return ScriptedPrompts::Login{true, QStringLiteral("SYSDBA"), password};
}

TAbreBanco* openDialog(TPrincipal& win) {
    win.AbreBanco1->trigger();
    return qobject_cast<TAbreBanco*>(win.abreBancoWindow());
}

void fillTcp(TAbreBanco* d, const QString& path) {
    d->Servidor->setText(testServerHost());
    d->setProtocolIndex(0);
    d->Banco->setText(path);
    d->BuildConnectionString();
}

void closeDatabase(TPrincipal& win, ScriptedPrompts& prompts) {
    prompts.messageAnswers.append(MbYes);
    win.FechaBanco1->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
} // namespace

class TestUserFiles : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initResources(); }
    void cleanup() {
        setExecutableDirectory(QString());
        CurrentDatabase.clear();
    }

    void filesWhereTheUserCanWrite_data();
    void filesWhereTheUserCanWrite();
    void systemFoldersNeverHoldTheFiles_data();
    void systemFoldersNeverHoldTheFiles();
    void noPasswordOnDisk();
};

void TestUserFiles::filesWhereTheUserCanWrite_data() {
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<bool>("dataHomeSet");
    QTest::addColumn<QString>("expected"); // relative to the sandbox
    QTest::newRow("beside a writable executable") << false << true << "bin";
    QTest::newRow("read-only executable folder") << true << true << "data/fbadmin";
    QTest::newRow("read-only, no XDG_DATA_HOME") << true << false << "home/.local/share/fbadmin";
}

// A user connects through the open-database dialog, starts the program again, picks the connection
// from "Conexões" and saves a script from an SQL window.
void TestUserFiles::filesWhereTheUserCanWrite() {
    QFETCH(bool, readOnly);
    QFETCH(bool, dataHomeSet);
    QFETCH(QString, expected);
    TempDatabase db({QStringLiteral("create table T (ID integer)")});
    Sandbox box;
    const QString where = box.root.filePath(expected);
    ScopedEnv home("HOME", box.home);
    ScopedEnv dataHome("XDG_DATA_HOME", dataHomeSet ? std::optional<QString>(box.data) : std::nullopt);
    setExecutableDirectory(box.bin);
    std::optional<ReadOnlyFolder> readOnlyBin;
    if (readOnly) readOnlyBin.emplace(box.bin);

    ScriptedPrompts prompts;
    prompts.defaultLogin = serverLogin();
    TdM dm;
    {
        TPrincipal win;
        win.show();
        TAbreBanco* d = openDialog(win);
        QVERIFY(d);
        fillTcp(d, db.path());
        d->Abre->click();
        QVERIFY2(prompts.messages.isEmpty(),
                 prompts.messages.isEmpty() ? "" : qPrintable(prompts.messages[0].text));
        QVERIFY(dm.Banco->connected());
        closeDatabase(win, prompts);
    }
    QVERIFY(QFileInfo(where + "/Conexoes.New").isFile());
    QVERIFY(QFileInfo(where + "/Banco.new").isFile());

    // The next start finds both.
    TPrincipal win;
    win.show();
    QCOMPARE(win.Bancos->actions().size(), 1);
    TAbreBanco* d = openDialog(win);
    QCOMPARE(d->Banco->text(), db.path());
    d->BitBtn2->click();
    win.Bancos->actions().first()->trigger();
    QVERIFY(dm.Banco->connected());

    win.ComandosSQL1->trigger();
    auto* sql = win.findChild<TFSql*>();
    QVERIFY(sql);
    QTest::keyClicks(sql->MemoSql, QStringLiteral("select * from T"));
    const QString script = where + "/Script/consulta.New";
    prompts.fileAnswers.append(script);
    sql->Bsav->click();
    QCOMPARE(prompts.fileDialogs.last().directory, where + "/Script");
    QCOMPARE(fileBytes(script), QByteArray("select * from T"));
    closeDatabase(win, prompts);
    QCOMPARE(prompts.messages.size(), 2); // the two questions of "&Fecha Banco"

    readOnlyBin.reset();
    if (expected != "bin") QCOMPARE(QDir(box.bin).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), {});
}

void TestUserFiles::systemFoldersNeverHoldTheFiles_data() {
    QTest::addColumn<QString>("executableDir"); // "@" stands for the sandbox
    QTest::addColumn<bool>("beside");
    // Root may write in all of these: the folder, not the right to write, decides.
    QTest::newRow("installed package") << "/usr/bin" << false;
    QTest::newRow("installed by hand") << "/usr/local/bin" << false;
    QTest::newRow("usr-merged /bin") << "/bin" << false;
    QTest::newRow("under /opt") << "/opt/fbadmin/bin" << false;
    QTest::newRow("path with dots into /usr") << "/usr/local/../bin" << false;
    QTest::newRow("link to /usr/bin") << "@/atalho" << false;
    QTest::newRow("build or copy folder") << "@/bin" << true;
    QTest::newRow("a folder merely called usr") << "@/usr/bin" << true;
}

void TestUserFiles::systemFoldersNeverHoldTheFiles() {
    QFETCH(QString, executableDir);
    QFETCH(bool, beside);
    Sandbox box;
    ScopedEnv home("HOME", box.home);
    ScopedEnv dataHome("XDG_DATA_HOME", box.data);
    QVERIFY(QFile::link(QStringLiteral("/usr/bin"), box.root.filePath("atalho")));
    QVERIFY(QDir().mkpath(box.root.filePath("usr/bin")));
    const QString dir =
        executableDir.startsWith('@') ? box.root.path() + executableDir.mid(1) : executableDir;
    const QString chosen = filesDirectoryFor(dir);
    QCOMPARE(chosen, beside ? dir : box.data + "/fbadmin");
    // And so the files themselves.
    setExecutableDirectory(dir);
    QCOMPARE(applicationFile(QStringLiteral("Conexoes.New")), chosen + "/Conexoes.New");
}

// Connections through the dialog (with a wrong password first and a retry), through "Conexões" and
// through the earlier-connections window; then every file below the sandbox, and everything the
// program printed, is searched for both passwords.
void TestUserFiles::noPasswordOnDisk() {
    TempDatabase db({QStringLiteral("create table T (ID integer)")});
    Sandbox box;
    ScopedEnv home("HOME", box.home);
    ScopedEnv dataHome("XDG_DATA_HOME", box.data);
    ScopedEnv config("XDG_CONFIG_HOME", box.home + "/.config");
    ScopedEnv cache("XDG_CACHE_HOME", box.home + "/.cache");
    setExecutableDirectory(box.bin);
    const QString wrong = QStringLiteral("Errada-ção-7q");
    const QString right = testServerPassword();

    CapturedOutput output(box.root.filePath("output.txt"));
    ScriptedPrompts prompts;
    TdM dm;
    {
        TPrincipal win;
        win.show();
        TAbreBanco* d = openDialog(win);
        fillTcp(d, db.path());
        prompts.loginAnswers = {serverLogin(wrong)};
        d->Abre->click();
        QCOMPARE(prompts.messages.size(), 1); // the server refused the password
        QVERIFY(!dm.Banco->connected());
        prompts.loginAnswers = {serverLogin(right)};
        d->Abre->click();
        QVERIFY(dm.Banco->connected());
        closeDatabase(win, prompts);
    }
    {
        TPrincipal win;
        win.show();
        prompts.loginAnswers = {serverLogin(wrong)};
        win.Bancos->actions().first()->trigger();
        QVERIFY(!dm.Banco->connected());
        prompts.loginAnswers = {serverLogin(right)};
        win.Bancos->actions().first()->trigger();
        QVERIFY(dm.Banco->connected());
        closeDatabase(win, prompts);

        TAbreBanco* d = openDialog(win);
        onNextModal(qApp, [](QWidget* m) {
            auto* conecta = qobject_cast<TFConecta*>(m);
            QVERIFY(conecta);
            conecta->sg->setCurrentCell(1, 0);
        });
        QTest::mouseClick(d->SP1, Qt::LeftButton);
        prompts.loginAnswers = {serverLogin(right)};
        d->Abre->click();
        QVERIFY(dm.Banco->connected());
        closeDatabase(win, prompts);
    }
    const QByteArray printed = output.restore();

    QStringList written = box.files();
    QVERIFY(written.contains("bin/Conexoes.New"));
    QVERIFY(written.contains("bin/Banco.new"));
    for (const QString& password : {wrong, right}) {
        const QList<QByteArray> forms{
            password.toUtf8(), password.toLatin1(),
            QByteArray(reinterpret_cast<const char*>(password.utf16()), password.size() * 2)};
        for (const QString& file : written)
            for (const QByteArray& form : forms)
                QVERIFY2(!fileBytes(box.root.filePath(file)).contains(form), qPrintable(file));
        QVERIFY(!printed.contains(password.toUtf8()));
        for (const MessageRequest& m : prompts.messages)
            QVERIFY2(!m.text.contains(password), qPrintable(m.text));
    }
}

QTEST_MAIN(TestUserFiles)
#include "test_userfiles.moc"
