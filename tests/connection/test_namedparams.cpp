// Named parameters turned positional: what counts as a parameter, what is left alone, and which
// result column each name binds to.
#include "connection/namedparams.h"
#include <QtTest>

class TestNamedParams : public QObject {
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void resolve_data();
    void resolve();
};

void TestNamedParams::parse_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QStringList>("names"); // a quoted name is written "q:" + name
    QTest::newRow("plain names") << "update T set A = :A, B = :NEW_B where K = :OLD_K"
                                 << "update T set A = ?, B = ? where K = ?" << QStringList{"A", "NEW_B", "OLD_K"};
    QTest::newRow("names with digits, _ and $") << "values (:A1, :_x, :B$2)" << "values (?, ?, ?)"
                                                << QStringList{"A1", "_x", "B$2"};
    QTest::newRow("no blank before the colon") << "where A=:A and B=:b" << "where A=? and B=?" << QStringList{"A", "b"};
    QTest::newRow("colon in a string literal") << "where T = '10:30' and N = :N" << "where T = '10:30' and N = ?"
                                               << QStringList{"N"};
    QTest::newRow("doubled quote inside a literal") << "where S = 'it''s :not' or S = :S"
                                                    << "where S = 'it''s :not' or S = ?" << QStringList{"S"};
    QTest::newRow("colon in a quoted identifier") << "select \"a:b\" from T where X = :X"
                                                  << "select \"a:b\" from T where X = ?" << QStringList{"X"};
    QTest::newRow("line comment") << "select 1 -- :NOT here\nfrom T where A = :A"
                                  << "select 1 -- :NOT here\nfrom T where A = ?" << QStringList{"A"};
    QTest::newRow("block comment") << "select /* :NOT\n :NEITHER */ 1 from T where A = :A"
                                   << "select /* :NOT\n :NEITHER */ 1 from T where A = ?" << QStringList{"A"};
    QTest::newRow("quoted parameter") << "update \"Clientes Especiais\" set \"Nome Completo\" = :\"Nome Completo\" "
                                         "where \"Código\" = :\"OLD_Código\""
                                      << "update \"Clientes Especiais\" set \"Nome Completo\" = ? where \"Código\" = ?"
                                      << QStringList{"q:Nome Completo", "q:OLD_Código"};
    QTest::newRow("doubled quote in a quoted parameter") << "values (:\"a\"\"b\")" << "values (?)" << QStringList{"q:a\"b"};
    QTest::newRow("colon then digit or blank is no parameter") << "select '1' || :1 || : x from T"
                                                               << "select '1' || :1 || : x from T" << QStringList{};
    QTest::newRow("empty quoted name is no parameter") << "values (:\"\")" << "values (:\"\")" << QStringList{};
    QTest::newRow("unterminated literal keeps the rest") << "where A = ':A" << "where A = ':A" << QStringList{};
    QTest::newRow("positional marker left alone") << "where A = ? and B = :B" << "where A = ? and B = ?"
                                                  << QStringList{"B"};
}

void TestNamedParams::parse() {
    QFETCH(QString, text);
    QFETCH(QString, sql);
    QFETCH(QStringList, names);
    const ParsedStatement p = parseNamedParameters(text);
    QCOMPARE(p.sql, sql);
    QStringList got;
    for (const NamedParameter& n : p.params)
        got.append(n.quoted ? QStringLiteral("q:") + n.name : n.name);
    QCOMPARE(got, names);
}

void TestNamedParams::resolve_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("quoted");
    QTest::addColumn<int>("field");
    QTest::addColumn<bool>("old");
    // Columns: 0 ID, 1 NOME, 2 "Nome Completo", 3 "OLD_X", 4 "nome" (a second, lower-case name)
    QTest::newRow("plain: current value") << "ID" << false << 0 << false;
    QTest::newRow("plain ignores case") << "id" << false << 0 << false;
    QTest::newRow("OLD_ prefix") << "OLD_ID" << false << 0 << true;
    QTest::newRow("old_ prefix in any case") << "old_id" << false << 0 << true;
    QTest::newRow("NEW_ prefix: current value") << "NEW_ID" << false << 0 << false;
    QTest::newRow("exact case preferred") << "nome" << false << 4 << false;
    QTest::newRow("unknown name: unbound") << "NADA" << false << -1 << false;
    QTest::newRow("OLD_ of an unknown column: the whole name") << "OLD_X" << false << 3 << false;
    QTest::newRow("quoted: exact") << "Nome Completo" << true << 2 << false;
    QTest::newRow("quoted OLD_") << "OLD_Nome Completo" << true << 2 << true;
    QTest::newRow("quoted NEW_") << "NEW_Nome Completo" << true << 2 << false;
    QTest::newRow("quoted does not ignore case") << "nome completo" << true << -1 << false;
    QTest::newRow("quoted upper case") << "NOME" << true << 1 << false;
}

void TestNamedParams::resolve() {
    QFETCH(QString, name);
    QFETCH(bool, quoted);
    QFETCH(int, field);
    QFETCH(bool, old);
    const QStringList fields{"ID", "NOME", "Nome Completo", "OLD_X", "nome"};
    const ParameterBinding b = resolveParameter(NamedParameter{name, quoted}, fields);
    QCOMPARE(b.field, field);
    if (field >= 0) QCOMPARE(b.oldValue, old);
}

QTEST_APPLESS_MAIN(TestNamedParams)
#include "test_namedparams.moc"
