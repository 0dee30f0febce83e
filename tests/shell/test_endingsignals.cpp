// Ending the program from outside: SIGTERM, SIGINT and SIGHUP end it as leaving it does after its
// question was answered Yes, committing the work pending in the default transaction, with no
// question and no message. Tried on the program itself, started as a child process of this test
// (the same executable, with "--programa"), which opens a database through its embedded engine,
// posts an edit in a browse window and waits; the database is then read through an attachment of
// this process. Also the signal object alone.
#include "browse/ui/editortable.h"
#include "browse/ui/fbrowse.h"
#include "browse/ui/tabelas.h"
#include "connection/dataset.h"
#include "connection/dm.h"
#include "platform/endingsignals.h"
#include "platform/ui/icons.h"
#include "shell/ui/application.h"
#include "shell/ui/principal.h"
#include "shell/ui/startup.h"
#include "support/fbfixture.h"
#include "support/scriptedprompts.h"
#include <QLineEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>
#include <csignal>
#include <cstdio>

namespace {
const char* const kChildFlag = "--programa";

QStringList schema() {
    return {QStringLiteral("create table CLIENTE (ID integer not null primary key, NOME varchar(20))"),
            QStringLiteral("insert into CLIENTE values (1, 'antes')"),
            QStringLiteral("insert into CLIENTE values (2, 'outro')")};
}

void say(const char* text) {
    std::fputs(text, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// The child: the program's start-up, then what a user does. Situations: "posted" (an edit posted
// in the browse window, not committed) and "form" (the same, then the record form open with a
// value typed into it and not posted).
int runProgram(int argc, char** argv) {
    const QString database = QString::fromLocal8Bit(argv[2]);
    const QString situation = QString::fromLocal8Bit(argv[3]);
    Application app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    initResources();
    ScriptedPrompts prompts;
    prompts.defaultLogin = ScriptedPrompts::Login{};
    std::unique_ptr<Program> program = startProgram();
    if (!program) return 3;
    endOnSignals(*program);
    TPrincipal* principal = program->principal.get();
    showMainWindow(principal);

    QTimer::singleShot(0, principal, [&] {
        CurrentDatabase = database;
        program->dm->ConnectDatabase(database);
        principal->Tabelas1->trigger();
        auto* tables = qobject_cast<TTabelas*>(principal->tabelasWindow());
        tables->SG->setCurrentCell(
            tables->SG->findItems(QStringLiteral("CLIENTE"), Qt::MatchExactly).first()->row(), 0);
        tables->SGDblClick();
        TFBrowse* b = tables->browseWindows().first();
        b->SEdita->click();
        b->IBDataSet1->fieldByName(QStringLiteral("NOME"))->setValue(QStringLiteral("depois"));
        b->SGrava->click();
        if (situation != QStringLiteral("form")) {
            say("pronto");
            return;
        }
        QTimer::singleShot(0, b, [] {
            auto* form = qobject_cast<TEditorTable*>(QApplication::activeModalWidget());
            if (!form) return say("sem formulário");
            form->SEdita->click();
            auto* nome = qobject_cast<QLineEdit*>(form->fieldControl(1));
            nome->setFocus();
            nome->selectAll();
            QTest::keyClicks(nome, QStringLiteral("digitado"));
            say("pronto");
        });
        b->SformClick(); // modal until the end
        say("formulário fechado");
    });
    const int status = app.exec();
    std::printf("perguntas: %d\n", static_cast<int>(prompts.messages.size()));
    for (const MessageRequest& m : prompts.messages)
        std::printf("  %s\n", qPrintable(m.text));
    program.reset(); // the windows go, the connection commits and detaches
    say("fim");
    return status;
}
} // namespace

class TestEndingSignals : public QObject {
    Q_OBJECT
private slots:
    void signalBecomesARequest_data();
    void signalBecomesARequest();
    void programEndsAndCommits_data();
    void programEndsAndCommits();
};

void TestEndingSignals::signalBecomesARequest_data() {
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGHUP") << SIGHUP;
}

void TestEndingSignals::signalBecomesARequest() {
    QFETCH(int, signal);
    struct sigaction before = {};
    sigaction(signal, nullptr, &before);
    {
        EndingSignals ending;
        QSignalSpy requests(&ending, &EndingSignals::endRequested);
        std::raise(signal); // would end this process without the object
        QTRY_COMPARE(requests.size(), 1);
        QCOMPARE(requests.first().first().toInt(), signal);
    }
    struct sigaction after = {};
    sigaction(signal, nullptr, &after);
    QCOMPARE(reinterpret_cast<void*>(after.sa_handler), reinterpret_cast<void*>(before.sa_handler));
}

void TestEndingSignals::programEndsAndCommits_data() {
    QTest::addColumn<int>("signal");
    QTest::addColumn<QString>("situation");
    QTest::newRow("SIGTERM, edit posted") << SIGTERM << "posted";
    QTest::newRow("SIGINT, edit posted") << SIGINT << "posted";
    QTest::newRow("SIGHUP, edit posted") << SIGHUP << "posted";
    QTest::newRow("SIGTERM, record form open") << SIGTERM << "form";
}

void TestEndingSignals::programEndsAndCommits() {
    QFETCH(int, signal);
    QFETCH(QString, situation);
    TempDatabase db(schema());
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                {QString::fromLatin1(kChildFlag), db.path(), situation});
    QVERIFY(child.waitForStarted());
    QByteArray out;
    // A slow machine under the sanitizers takes its time to start the program.
    QTRY_VERIFY_WITH_TIMEOUT((out += child.readAllStandardOutput()).contains("pronto\n") ||
                                 child.state() == QProcess::NotRunning,
                             120000);
    QVERIFY2(out.contains("pronto\n"), out.constData());

    ::kill(static_cast<pid_t>(child.processId()), signal);
    QVERIFY2(child.waitForFinished(120000), "the program did not end");
    out += child.readAllStandardOutput();
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
    QVERIFY2(out.contains("perguntas: 0\n"), out.constData()); // no question, no message
    QVERIFY2(out.endsWith("fim\n"), out.constData());
    if (situation == QStringLiteral("form")) QVERIFY2(out.contains("formulário fechado\n"), out.constData());

    // The posted edit was committed; what was typed and not posted was not.
    QCOMPARE(db.column(QStringLiteral("select NOME from CLIENTE order by ID")),
             (QStringList{"depois", "outro"}));
}

int main(int argc, char** argv) {
    if (argc == 4 && qstrcmp(argv[1], kChildFlag) == 0) return runProgram(argc, argv);
    QApplication app(argc, argv);
    TestEndingSignals test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_endingsignals.moc"
