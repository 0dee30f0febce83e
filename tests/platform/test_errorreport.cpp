// The general error report: one box for every error that ends a handler.
#include "connection/fberror.h"
#include "platform/apperror.h"
#include "platform/errorreport.h"
#include "support/scriptedprompts.h"
#include <QtTest>
#include <stdexcept>

class TestErrorReport : public QObject {
    Q_OBJECT
private slots:
    void finalDot_data();
    void finalDot();
    void caption();
    void guardedHandlerReportsAndGoesOn_data();
    void guardedHandlerReportsAndGoesOn();
};

void TestErrorReport::finalDot_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << "Database name is missing" << "Database name is missing.";
    QTest::newRow("already a dot") << "Fim." << "Fim.";
    QTest::newRow("digit") << "code 335544344" << "code 335544344.";
    QTest::newRow("slash sorts after the dot") << "c:/dados/" << "c:/dados/.";
    QTest::newRow("accented letter") << "Operação não permitida" << "Operação não permitida.";
    QTest::newRow("exclamation sorts before") << "Atenção !!!!" << "Atenção !!!!";
    QTest::newRow("closing parenthesis sorts before") << "erro (1)" << "erro (1)";
    QTest::newRow("comma sorts before") << "a," << "a,";
    QTest::newRow("hyphen sorts before") << "a -" << "a -";
    QTest::newRow("blank sorts before") << "texto " << "texto ";
    QTest::newRow("line end sorts before") << "linha\r\n" << "linha\r\n";
    QTest::newRow("quote sorts before") << "file \"x\"" << "file \"x\"";
    QTest::newRow("empty") << "" << "";
}

void TestErrorReport::finalDot() {
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(errorBoxText(message), shown);
}

void TestErrorReport::caption() {
    // The executable's file name without folder, cut before its first dot.
    QCOMPARE(applicationTitle(), QStringLiteral("test_errorreport"));
}

void TestErrorReport::guardedHandlerReportsAndGoesOn_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("shown");
    QTest::newRow("AppError") << 0 << "Transaction is not active.";
    QTest::newRow("DbError") << 1 << "lock conflict on no wait transaction\r\ndeadlock.";
    QTest::newRow("other std::exception") << 2 << "bad thing.";
    QTest::newRow("anything else") << 3 << "Unknown error.";
}

void TestErrorReport::guardedHandlerReportsAndGoesOn() {
    QFETCH(int, kind);
    QFETCH(QString, shown);
    ScriptedPrompts prompts;
    int stepsDone = 0;
    auto handler = guarded([&] {
        ++stepsDone;
        switch (kind) {
        case 0: throw AppError(QStringLiteral("Transaction is not active"));
        case 1: throw DbError(QStringLiteral("lock conflict on no wait transaction\r\ndeadlock"), -913, 335544336);
        case 2: throw std::runtime_error("bad thing");
        default: throw 42;
        }
        ++stepsDone; // never reached: the handler ends at the failing step
    });
    handler();
    handler(true, 3); // signals may pass arguments; they are ignored
    QCOMPARE(stepsDone, 2);
    QCOMPARE(prompts.messages.size(), 2);
    const MessageRequest& m = prompts.messages.first();
    QCOMPARE(m.text, shown);
    QCOMPARE(m.caption, QStringLiteral("test_errorreport"));
    QCOMPARE(m.icon, MsgIcon::Error);
    QCOMPARE(m.buttons, int(MbOk));
    QVERIFY(runGuarded([] {}));
}

QTEST_GUILESS_MAIN(TestErrorReport)
#include "test_errorreport.moc"
