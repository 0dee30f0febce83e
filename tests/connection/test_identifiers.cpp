#include "connection/identifiers.h"
#include <QtTest>

class TestIdentifiers : public QObject {
    Q_OBJECT
private slots:
    void quoting_data();
    void quoting();
    void dialectOneWritesNamesAsTheyAre();
};

void TestIdentifiers::quoting_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("quoted");
    QTest::addColumn<QString>("oldParameter");

    QTest::newRow("regular") << "CODIGO"
                             << "CODIGO"
                             << ":OLD_CODIGO";
    QTest::newRow("digits, underscore, dollar") << "A1_B$2"
                                                << "A1_B$2"
                                                << ":OLD_A1_B$2";
    QTest::newRow("lower case") << "clientes"
                                << "\"clientes\""
                                << ":\"OLD_clientes\"";
    QTest::newRow("mixed case") << "Nome"
                                << "\"Nome\""
                                << ":\"OLD_Nome\"";
    QTest::newRow("blank") << "Nome Completo"
                           << "\"Nome Completo\""
                           << ":\"OLD_Nome Completo\"";
    QTest::newRow("reserved word") << "DATE"
                                   << "\"DATE\""
                                   << ":\"OLD_DATE\"";
    QTest::newRow("reserved word VALUES") << "VALUES"
                                          << "\"VALUES\""
                                          << ":\"OLD_VALUES\"";
    QTest::newRow("not reserved: NOME") << "NOME"
                                        << "NOME"
                                        << ":OLD_NOME";
    QTest::newRow("starts with a digit") << "1A"
                                         << "\"1A\""
                                         << ":\"OLD_1A\"";
    QTest::newRow("starts with underscore") << "_A"
                                            << "\"_A\""
                                            << ":\"OLD__A\"";
    QTest::newRow("accented") << "AÇÃO"
                              << "\"AÇÃO\""
                              << ":\"OLD_AÇÃO\"";
    QTest::newRow("inner double quote") << "A\"B"
                                        << "\"A\"\"B\""
                                        << ":\"OLD_A\"\"B\"";
    QTest::newRow("single quote") << "O'BRIEN"
                                  << "\"O'BRIEN\""
                                  << ":\"OLD_O'BRIEN\"";
    QTest::newRow("semicolon") << "A;B"
                               << "\"A;B\""
                               << ":\"OLD_A;B\"";
    QTest::newRow("empty") << ""
                           << "\"\""
                           << ":\"OLD_\"";
}

void TestIdentifiers::quoting() {
    QFETCH(QString, name);
    QFETCH(QString, quoted);
    QFETCH(QString, oldParameter);
    QCOMPARE(quoteIdentifier(name), quoted);
    QCOMPARE(identifierNeedsQuotes(name), quoted != name);
    QCOMPARE(parameterFor(name, QStringLiteral("OLD_")), oldParameter);
    QCOMPARE(parameterFor(name), quoted == name ? ':' + name : ':' + quoted);
}

void TestIdentifiers::dialectOneWritesNamesAsTheyAre() {
    QCOMPARE(quoteIdentifier(QStringLiteral("clientes"), 1), QStringLiteral("clientes"));
    QCOMPARE(quoteIdentifier(QStringLiteral("clientes"), 3), QStringLiteral("\"clientes\""));
    QCOMPARE(parameterFor(QStringLiteral("nome"), QStringLiteral("OLD_"), 1), QStringLiteral(":OLD_nome"));
}

QTEST_GUILESS_MAIN(TestIdentifiers)
#include "test_identifiers.moc"
