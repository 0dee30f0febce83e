// The texts of the filter and order windows and the browse select built from them.
#include "browse/filtertext.h"
#include <QtTest>

class TestFilterText : public QObject {
    Q_OBJECT
private slots:
    void operators();
    void blankValue_data();
    void blankValue();
    void conditionLines_data();
    void conditionLines();
    void orderText_data();
    void orderText();
    void filterClause_data();
    void filterClause();
    void selectionAfterMove_data();
    void selectionAfterMove();
};

void TestFilterText::operators() {
    QCOMPARE(filterOperators(), (QStringList{"=", "<", ">", "<=", ">=", "<>", "Like"}));
}

void TestFilterText::blankValue_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("blank");
    QTest::newRow("empty") << "" << true;
    QTest::newRow("blanks") << "   " << true;
    QTest::newRow("tab") << "\t " << true;
    QTest::newRow("zero") << "0" << false;
    QTest::newRow("padded") << "  'a' " << false;
    QTest::newRow("empty quotes") << "''" << false;
}

void TestFilterText::blankValue() {
    QFETCH(QString, value);
    QFETCH(bool, blank);
    QCOMPARE(isBlankValue(value), blank);
}

void TestFilterText::conditionLines_data() {
    QTest::addColumn<int>("join"); // 0: first line, 1: And, 2: Or
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("op");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("dialect");
    QTest::addColumn<QString>("line");
    QTest::newRow("first") << 0 << "CODIGO" << "=" << "1" << 3 << "Where CODIGO  = 1";
    QTest::newRow("first like") << 0 << "NOME" << "Like" << "'AB%'" << 3 << "Where NOME  Like 'AB%'";
    QTest::newRow("value as typed") << 0 << "NOME" << "<>" << "  'a b' " << 3 << "Where NOME  <>   'a b' ";
    QTest::newRow("and") << 1 << "NASC" << ">=" << "'2000-01-01'" << 3 << " And  NASC  >= '2000-01-01'";
    QTest::newRow("or") << 2 << "CODIGO" << "<" << "10" << 3 << " Or  CODIGO  < 10";
    QTest::newRow("and <=") << 1 << "CODIGO" << "<=" << "3" << 3 << " And  CODIGO  <= 3";
    QTest::newRow("and >") << 1 << "CODIGO" << ">" << "3" << 3 << " And  CODIGO  > 3";
    // Names the server only knows quoted are written quoted, or the filter names another column.
    QTest::newRow("blank in name") << 0 << "Nome Completo" << "=" << "'x'" << 3
                                   << "Where \"Nome Completo\"  = 'x'";
    QTest::newRow("lower case") << 2 << "nome" << "=" << "'x'" << 3 << " Or  \"nome\"  = 'x'";
    QTest::newRow("reserved word") << 1 << "DATE" << "=" << "'2000-01-01'" << 3
                                   << " And  \"DATE\"  = '2000-01-01'";
    QTest::newRow("dialect 1 as is") << 0 << "DATE" << "=" << "1" << 1 << "Where DATE  = 1";
    QTest::newRow("no field") << 0 << "" << "=" << "1" << 3 << "Where   = 1";
}

void TestFilterText::conditionLines() {
    QFETCH(int, join);
    QFETCH(QString, field);
    QFETCH(QString, op);
    QFETCH(QString, value);
    QFETCH(int, dialect);
    QFETCH(QString, line);
    QCOMPARE(join == 0 ? firstConditionLine(field, op, value, dialect)
                       : furtherConditionLine(join == 2, field, op, value, dialect),
             line);
}

void TestFilterText::orderText_data() {
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<bool>("descending");
    QTest::addColumn<QString>("text");
    QTest::newRow("ascending") << QStringList{"CODIGO", "NOME"} << false << "Order By CODIGO,NOME";
    QTest::newRow("descending") << QStringList{"CODIGO", "NOME"} << true << "Order By CODIGO,NOME Desc";
    QTest::newRow("one descending") << QStringList{"NOME"} << true << "Order By NOME Desc";
    QTest::newRow("blank in name") << QStringList{"CODIGO", "NOME COMPLETO"} << false
                                   << "Order By CODIGO,\"NOME COMPLETO\"";
    QTest::newRow("comma in name") << QStringList{"A,B"} << false << "Order By \"A,B\"";
    QTest::newRow("double quote") << QStringList{"A\"B"} << true << "Order By \"A\"\"B\" Desc";
    QTest::newRow("control character") << QStringList{"A\tB"} << false << "Order By \"A\tB\"";
    QTest::newRow("lower case") << QStringList{"Nome"} << false << "Order By \"Nome\"";
    QTest::newRow("none") << QStringList{} << true << "";
}

void TestFilterText::orderText() {
    QFETCH(QStringList, names);
    QFETCH(bool, descending);
    QFETCH(QString, text);
    QCOMPARE(orderByText(names, descending), text);
}

void TestFilterText::filterClause_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("clause");
    QTest::newRow("empty") << "" << "";
    QTest::newRow("one line") << "Where A  = 1" << "Where A  = 1\n";
    QTest::newRow("two lines") << "Where A  = 1\n And  B  = 2" << "Where A  = 1\n And  B  = 2\n";
    QTest::newRow("ends with break") << "Where A  = 1\n" << "Where A  = 1\n";
    QTest::newRow("blank line kept") << "Where A  = 1\n\n Or  B  = 2" << "Where A  = 1\n\n Or  B  = 2\n";
}

void TestFilterText::filterClause() {
    QFETCH(QString, text);
    QFETCH(QString, clause);
    QCOMPARE(filterClauseFromText(text), clause);
}

void TestFilterText::selectionAfterMove_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("remaining");
    QTest::addColumn<int>("selected");
    QTest::newRow("first") << 0 << 3 << 0;
    QTest::newRow("middle") << 1 << 3 << 1;
    QTest::newRow("last") << 3 << 3 << 2;
    QTest::newRow("only one") << 0 << 0 << -1;
}

void TestFilterText::selectionAfterMove() {
    QFETCH(int, index);
    QFETCH(int, remaining);
    QFETCH(int, selected);
    QCOMPARE(::selectionAfterMove(index, remaining), selected);
}

QTEST_GUILESS_MAIN(TestFilterText)
#include "test_filtertext.moc"
