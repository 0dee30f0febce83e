// The properties window's contents: a table's columns read from the catalogue and its CREATE TABLE
// script, checked by running the script on a second database and reading it back the same.
#include "browse/tablescript.h"
#include "connection/database.h"
#include "support/fbfixture.h"
#include "support/testconnection.h"
#include <QtTest>
#include <memory>

class TestTableScript : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();

    void columns_data();
    void columns();
    void columnListIsAligned();
    void primaryKey_data();
    void primaryKey();
    void scriptRecreatesTable_data();
    void scriptRecreatesTable();
    void quotedNames();
    void unknownTable();
    void dialectOne();

private:
    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<TestConnection> m_conn;
};

namespace {
const QStringList kDdl{
    QStringLiteral("create domain DOM_PADRAO integer default 1 not null"),
    QStringLiteral("create table TIPOS ("
                   " CODIGO integer not null primary key,"
                   " NOME varchar(40) default 'sem nome' not null,"
                   " CIDADE varchar(30) default 'São Paulo',"
                   " DOMINIO DOM_PADRAO,"
                   " DOBRO computed by (CODIGO * 2),"
                   " PEQUENO smallint, GRANDE bigint,"
                   " N152 numeric(15,2), D93 decimal(9,3), N42 numeric(4,2),"
                   " F float, DP double precision,"
                   " DT date default current_date, TM time, TS timestamp, BO boolean,"
                   " CH char(5) character set WIN1252, U8 varchar(3),"
                   " OBS blob sub_type text segment size 80, BIN blob sub_type binary,"
                   " ARR integer[1:3, 0:1])"),
    QStringLiteral("create table ITENS (A integer not null, B integer not null, C varchar(10),"
                   " primary key (B, A))"),
    QStringLiteral("create table NOMEADA (ID integer not null, V integer,"
                   " constraint PK_NOMEADA primary key (ID))"),
    QStringLiteral("create table SEM_CHAVE (X integer)"),
    QStringLiteral("create table \"Clientes Especiais\" (\"Código\" integer not null primary key,"
                   " \"Nome Completo\" varchar(40), \"DATE\" date)"),
};

const TableColumn* column(const TableDescription& t, const QString& name) {
    for (const TableColumn& c : t.columns)
        if (c.name == name) return &c;
    return nullptr;
}

// What a description says, column by column, compared after a round trip.
QStringList summary(const TableDescription& t) {
    QStringList out;
    for (const TableColumn& c : t.columns)
        out.append(QStringList{c.name, c.type, c.size, c.domain, c.charset, c.notNull ? "NN" : "",
                               c.defaultValue, c.computedBy}
                       .join('|'));
    out.append(QStringLiteral("PK ") + t.primaryKeyConstraint + ' ' + t.primaryKey.join(','));
    return out;
}
} // namespace

void TestTableScript::initTestCase() {
    m_db = std::make_unique<TempDatabase>(kDdl);
    m_conn = std::make_unique<TestConnection>(m_db->path());
    m_conn->open();
}

void TestTableScript::cleanupTestCase() {
    m_conn.reset();
    m_db.reset();
}

void TestTableScript::columns_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("size");
    QTest::addColumn<bool>("notNull");
    QTest::addColumn<QString>("defaultValue");
    QTest::addColumn<QString>("computedBy");
    QTest::addColumn<QString>("charset");

    // clang-format off
    QTest::newRow("key")               << "CODIGO"  << "INTEGER"          << "4"    << true  << ""            << ""             << "";
    QTest::newRow("text with default") << "NOME"    << "VARCHAR(40)"      << "40"   << true  << "'sem nome'"  << ""             << "";
    QTest::newRow("accented default")  << "CIDADE"  << "VARCHAR(30)"      << "30"   << false << "'São Paulo'" << ""             << "";
    QTest::newRow("domain")            << "DOMINIO" << "INTEGER"          << "4"    << true  << "1"           << ""             << "";
    QTest::newRow("computed")          << "DOBRO"   << "BIGINT"           << "8"    << false << ""            << "(CODIGO * 2)" << "";
    QTest::newRow("smallint")          << "PEQUENO" << "SMALLINT"         << "2"    << false << ""            << ""             << "";
    QTest::newRow("bigint")            << "GRANDE"  << "BIGINT"           << "8"    << false << ""            << ""             << "";
    QTest::newRow("numeric")           << "N152"    << "NUMERIC(15,2)"    << "15,2" << false << ""            << ""             << "";
    QTest::newRow("decimal")           << "D93"     << "DECIMAL(9,3)"     << "9,3"  << false << ""            << ""             << "";
    QTest::newRow("small numeric")     << "N42"     << "NUMERIC(4,2)"     << "4,2"  << false << ""            << ""             << "";
    QTest::newRow("float")             << "F"       << "FLOAT"            << "4"    << false << ""            << ""             << "";
    QTest::newRow("double")            << "DP"      << "DOUBLE PRECISION" << "8"    << false << ""            << ""             << "";
    QTest::newRow("date with default") << "DT"      << "DATE"             << "4"    << false << "current_date" << ""            << "";
    QTest::newRow("time")              << "TM"      << "TIME"             << "4"    << false << ""            << ""             << "";
    QTest::newRow("timestamp")         << "TS"      << "TIMESTAMP"        << "8"    << false << ""            << ""             << "";
    QTest::newRow("boolean")           << "BO"      << "BOOLEAN"          << "1"    << false << ""            << ""             << "";
    QTest::newRow("other charset")     << "CH"      << "CHAR(5)"          << "5"    << false << ""            << ""             << "WIN1252";
    QTest::newRow("database charset")  << "U8"      << "VARCHAR(3)"       << "3"    << false << ""            << ""             << "";
    QTest::newRow("text blob")   << "OBS" << "BLOB SUB_TYPE TEXT SEGMENT SIZE 80"   << "80" << false << "" << "" << "";
    QTest::newRow("binary blob") << "BIN" << "BLOB SUB_TYPE BINARY SEGMENT SIZE 80" << "80" << false << "" << "" << "";
    QTest::newRow("array")       << "ARR" << "INTEGER [1:3,0:1]"                    << "4"  << false << "" << "" << "";
    // clang-format on
}

void TestTableScript::columns() {
    QFETCH(QString, name);
    const TableDescription t = describeTable(&m_conn->db, QStringLiteral("TIPOS"));
    const TableColumn* c = column(t, name);
    QVERIFY2(c, qPrintable(name));
    QFETCH(QString, type);
    QFETCH(QString, size);
    QFETCH(bool, notNull);
    QFETCH(QString, defaultValue);
    QFETCH(QString, computedBy);
    QFETCH(QString, charset);
    QCOMPARE(c->type, type);
    QCOMPARE(c->size, size);
    QCOMPARE(c->notNull, notNull);
    QCOMPARE(c->defaultValue, defaultValue);
    QCOMPARE(c->computedBy, computedBy);
    QCOMPARE(c->charset, charset);
}

void TestTableScript::columnListIsAligned() {
    const TableDescription t = describeTable(&m_conn->db, QStringLiteral("TIPOS"));
    QCOMPARE(t.columns.size(), 21);
    QCOMPARE(t.columns.first().name, QStringLiteral("CODIGO")); // field position order
    QCOMPARE(t.columns.last().name, QStringLiteral("ARR"));
    const QStringList lines = columnListText(t).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2 + 21);
    QCOMPARE(lines[0].simplified(), QStringLiteral("Campo Tipo Tamanho Não Nulo Padrão Expressão Calculada"));
    // Every column of the table starts at the same place on every line.
    const int typeAt = lines[0].indexOf(QStringLiteral("Tipo"));
    const int notNullAt = lines[0].indexOf(QStringLiteral("Não Nulo"));
    for (int i = 2; i < lines.size(); ++i) {
        QVERIFY2(lines[i].at(typeAt - 1) == ' ' && lines[i].at(typeAt) != ' ', qPrintable(lines[i]));
    }
    const QString nome = lines[3]; // CODIGO first, then NOME
    QVERIFY(nome.startsWith(QStringLiteral("NOME ")));
    QCOMPARE(nome.mid(notNullAt, 3), QStringLiteral("Sim"));
    QVERIFY(nome.contains(QStringLiteral("'sem nome'")));
    const QString dobro = lines[6];
    QVERIFY(dobro.startsWith(QStringLiteral("DOBRO ")));
    QVERIFY(dobro.endsWith(QStringLiteral("(CODIGO * 2)")));
    // A blob's segment size shows as its size, not in its type.
    const QString obs = lines[2 + 18];
    QCOMPARE(obs.simplified(), QStringLiteral("OBS BLOB SUB_TYPE TEXT 80"));
}

void TestTableScript::primaryKey_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("constraint");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("scriptLine");
    QTest::newRow("unnamed") << "TIPOS"
                             << "" << QStringList{"CODIGO"} << "    PRIMARY KEY (CODIGO)";
    QTest::newRow("segment order") << "ITENS"
                                   << "" << QStringList{"B", "A"} << "    PRIMARY KEY (B, A)";
    QTest::newRow("named") << "NOMEADA"
                           << "PK_NOMEADA" << QStringList{"ID"}
                           << "    CONSTRAINT PK_NOMEADA PRIMARY KEY (ID)";
    QTest::newRow("none") << "SEM_CHAVE"
                          << "" << QStringList{} << "";
}

void TestTableScript::primaryKey() {
    QFETCH(QString, table);
    QFETCH(QString, constraint);
    QFETCH(QStringList, keys);
    QFETCH(QString, scriptLine);
    const TableDescription t = describeTable(&m_conn->db, table);
    QCOMPARE(t.primaryKeyConstraint, constraint);
    QCOMPARE(t.primaryKey, keys);
    const QString script = createTableScript(t);
    if (scriptLine.isEmpty())
        QVERIFY(!script.contains(QStringLiteral("PRIMARY KEY")));
    else
        QVERIFY2(script.split('\n').contains(scriptLine), qPrintable(script));
}

void TestTableScript::scriptRecreatesTable_data() {
    QTest::addColumn<QString>("table");
    for (const char* t : {"TIPOS", "ITENS", "NOMEADA", "SEM_CHAVE", "Clientes Especiais"})
        QTest::newRow(t) << QString::fromUtf8(t);
}

void TestTableScript::scriptRecreatesTable() {
    QFETCH(QString, table);
    const TableDescription original = describeTable(&m_conn->db, table);
    QString script = createTableScript(original);
    QVERIFY(script.endsWith(QStringLiteral(");\n")));
    script.chop(2); // the statement runner takes no terminator

    TempDatabase copy({QStringLiteral("create domain DOM_PADRAO integer default 1 not null")});
    copy.exec(script);
    TestConnection conn(copy.path());
    conn.open();
    QCOMPARE(summary(describeTable(&conn.db, table)), summary(original));
}

void TestTableScript::quotedNames() {
    const TableDescription t = describeTable(&m_conn->db, QStringLiteral("Clientes Especiais"));
    QCOMPARE(t.columns.size(), 3);
    const QString script = createTableScript(t);
    QVERIFY2(script.startsWith(QStringLiteral("CREATE TABLE \"Clientes Especiais\" (\n"
                                              "    \"Código\" INTEGER NOT NULL,\n"
                                              "    \"Nome Completo\" VARCHAR(40),\n"
                                              "    \"DATE\" DATE,\n"
                                              "    PRIMARY KEY (\"Código\")\n);")),
             qPrintable(script));
}

void TestTableScript::unknownTable() {
    // The name is bound: a quote in it neither breaks the query nor finds anything.
    for (const QString& name : {QStringLiteral("NAO_EXISTE"), QStringLiteral("X' or '1'='1")}) {
        const TableDescription t = describeTable(&m_conn->db, name);
        QVERIFY(t.columns.isEmpty());
        QVERIFY(t.primaryKey.isEmpty());
    }
}

void TestTableScript::dialectOne() {
    TempDatabase old(
        {QStringLiteral("create table VELHA (ID integer not null primary key, VALOR numeric(15,2))")},
        QStringLiteral("UTF8"), QStringLiteral("old.fdb"), 1);
    TestConnection conn(old.path());
    conn.open();
    QCOMPARE(conn.db.sqlDialect(), 1);
    const TableDescription t = describeTable(&conn.db, QStringLiteral("velha")); // names upper-cased
    QCOMPARE(t.columns.size(), 2);
    QCOMPARE(t.columns[1].type, QStringLiteral("NUMERIC(15,2)")); // kept as a double with a scale
    QCOMPARE(createTableScript(t, 1),
             QStringLiteral("CREATE TABLE VELHA (\n    ID INTEGER NOT NULL,\n    VALOR NUMERIC(15,2),\n"
                            "    PRIMARY KEY (ID)\n);\n"));
}

QTEST_GUILESS_MAIN(TestTableScript)
#include "test_tablescript.moc"
