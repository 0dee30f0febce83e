#include "sql/sqlscript.h"
#include <QtTest>

namespace {
using Statements = QList<ScriptStatement>;
ScriptStatement at(const QString& text, int offset, int line, int column) {
    return ScriptStatement{text, offset, line, column};
}
} // namespace

Q_DECLARE_METATYPE(ScriptStatement)

namespace QTest {
template <> char* toString(const ScriptStatement& s) {
    return qstrdup(
        QStringLiteral("{%1 @%2 %3:%4}").arg(s.text).arg(s.offset).arg(s.line).arg(s.column).toUtf8());
}
} // namespace QTest

// Splitting a script into statements, and the places of text and of the server's error positions.
class TestSqlScript : public QObject {
    Q_OBJECT
private slots:
    void split_data();
    void split();
    void leadingKeywords();
    void positions();
    void serverErrors_data();
    void serverErrors();
};

void TestSqlScript::split_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<Statements>("expected");

    QTest::newRow("two statements, blanks around, last without terminator")
        << QStringLiteral("  select 1 from A ;\n\n  delete from B\n")
        << Statements{at("select 1 from A", 2, 1, 3), at("delete from B", 23, 3, 3)};
    QTest::newRow("empty and blank statements left out")
        << QStringLiteral(";; \n ;select 1;  ") << Statements{at("select 1", 6, 2, 3)};
    QTest::newRow("terminator inside quoted texts")
        << QStringLiteral("insert into T values ('a;b', 'it''s; x');select \"c;d\" from T")
        << Statements{at("insert into T values ('a;b', 'it''s; x')", 0, 1, 1),
                      at("select \"c;d\" from T", 41, 1, 42)};
    QTest::newRow("terminator inside comments; leading comments skipped, inner ones kept")
        << QStringLiteral("-- first; comment\nselect 1 /* a; b */ from A; /* only; a comment */\n-- x;")
        << Statements{at("select 1 /* a; b */ from A", 18, 2, 1)};
    QTest::newRow("q-literal with its own delimiters")
        << QStringLiteral("select q'{a;'b}' from A; select q'!x;!' from B; select aq'x' from C")
        << Statements{at("select q'{a;'b}' from A", 0, 1, 1), at("select q'!x;!' from B", 25, 1, 26),
                      at("select aq'x' from C", 48, 1, 49)};
    QTest::newRow("SET TERM around a procedure body")
        << QStringLiteral("SET TERM ^ ;\ncreate procedure P as\nbegin\n  insert into T values (';');\nend^\n"
                          "set term ;^\nexecute procedure P;")
        << Statements{at("create procedure P as\nbegin\n  insert into T values (';');\nend", 13, 2, 1),
                      at("execute procedure P", 88, 7, 1)};
    QTest::newRow("a terminator of two characters")
        << QStringLiteral("set term !! ;\nselect 1 from A!! select 2 from B !!")
        << Statements{at("select 1 from A", 14, 2, 1), at("select 2 from B", 32, 2, 19)};
    // The terminator in force ends the SET TERM that changes it, whatever the new one's length.
    QTest::newRow("a two-character terminator put back to ;")
        << QStringLiteral("set term !! ;\nselect 1 from A!!\nset term ; !!\nselect 2 from B;")
        << Statements{at("select 1 from A", 14, 2, 1), at("select 2 from B", 46, 4, 1)};
    QTest::newRow("SET TERM to two characters with no blank after it")
        << QStringLiteral("SET TERM !! ;select 1 from A!!SET TERM ;!!select 2 from B")
        << Statements{at("select 1 from A", 13, 1, 14), at("select 2 from B", 42, 1, 43)};
    QTest::newRow("unclosed quote runs to the end")
        << QStringLiteral("select 1; select 'abc; from T")
        << Statements{at("select 1", 0, 1, 1), at("select 'abc; from T", 10, 1, 11)};
    QTest::newRow("unclosed comment runs to the end")
        << QStringLiteral("select 1 /* open; ") << Statements{at("select 1 /* open;", 0, 1, 1)};
    QTest::newRow("nothing but comments and blanks")
        << QStringLiteral(" -- a;\n/* b; */ \n ;") << Statements{};
    QTest::newRow("line comment at the very end")
        << QStringLiteral("select 1 --") << Statements{at("select 1 --", 0, 1, 1)};
}

void TestSqlScript::split() {
    QFETCH(QString, script);
    QFETCH(Statements, expected);
    QCOMPARE(splitScript(script), expected);
}

void TestSqlScript::leadingKeywords() {
    const QList<std::pair<QString, QString>> cases{
        {"  select 1", "SELECT"},  {"-- c\n/* d */ (With x as (select 1) select * from x)", "WITH"},
        {"Commit work", "COMMIT"}, {"select_1 from t", ""},
        {"'select'", ""},          {"", ""},
    };
    for (const auto& [text, word] : cases)
        QVERIFY2(leadingKeyword(text) == word, qPrintable(text));
}

void TestSqlScript::positions() {
    const QString text = QStringLiteral("ab\ncde\n\nf");
    const QList<std::pair<int, TextPosition>> cases{{0, {1, 1}}, {2, {1, 3}}, {3, {2, 1}}, {5, {2, 3}},
                                                    {7, {3, 1}}, {8, {4, 1}}, {9, {4, 2}}};
    for (const auto& [index, pos] : cases) {
        QCOMPARE(textPosition(text, index), pos);
        QCOMPARE(indexOfPosition(text, pos), index);
    }
    // Past the end of a line or of the text: the end.
    QCOMPARE(indexOfPosition(text, TextPosition{1, 40}), 2);
    QCOMPARE(indexOfPosition(text, TextPosition{9, 1}), text.size());
}

void TestSqlScript::serverErrors_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("statement");
    QTest::addColumn<int>("index");
    const QString unknown =
        QStringLiteral("Dynamic SQL Error\r\nSQL error code = -206\r\nColumn unknown\r\nX\r\n"
                       "At line %1, column %2");
    QTest::newRow("token on the first line")
        << QStringLiteral(
               "Dynamic SQL Error\r\nSQL error code = -104\r\nToken unknown - line 1, column 1\r\nselec")
        << QStringLiteral("selec 1") << 0;
    QTest::newRow("third line") << unknown.arg(3).arg(8) << QStringLiteral("select *\n  from T\n where X = 1")
                                << 25;
    // The server counts the column in bytes of UTF-8: "ação" takes six.
    QTest::newRow("accents before it")
        << unknown.arg(1).arg(18) << QStringLiteral("select 'ação', X from T") << 15;
    QTest::newRow("a character beyond the BMP")
        << unknown.arg(1).arg(16) << QStringLiteral("select '😀', X from T") << 13;
    QTest::newRow("no position") << QStringLiteral("violation of PRIMARY or UNIQUE KEY constraint")
                                 << QStringLiteral("insert into T values (1)") << -1;
    QTest::newRow("column past the line's end") << unknown.arg(1).arg(99) << QStringLiteral("ab\ncd") << 2;
    QTest::newRow("procedure positions are not the statement's")
        << QStringLiteral("At procedure 'P' line: 3, col: 5") << QStringLiteral("execute procedure P") << -1;
}

void TestSqlScript::serverErrors() {
    QFETCH(QString, message);
    QFETCH(QString, statement);
    QFETCH(int, index);
    QCOMPARE(serverErrorIndex(message, statement), qsizetype(index));
}

QTEST_GUILESS_MAIN(TestSqlScript)
#include "test_sqlscript.moc"
