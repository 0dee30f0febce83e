// The connection holder: connecting and disconnecting through Banco and Trans, and the table
// statements generated from the current table's columns and primary key.
#include "connection/database.h"
#include "connection/dm.h"
#include "connection/fberror.h"
#include "connection/statement.h"
#include "connection/tableobject.h"
#include "connection/transaction.h"
#include "support/fbfixture.h"
#include "support/namedparams.h"
#include "support/scriptedprompts.h"
#include <QtTest>
#include <memory>

class TestTableStatements : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void generated_data();
    void generated();
    void quotedNamesRunOnTheServer();
    void dialectOneNamesStayPlain();
    void blankCurrentTableChangesNothing();
    void failedGenerationEmptiesStatements();
    void generatorRestartsTransaction();
    void connectAndDisconnectCommits();
    void connectFailures();
    void databaseIsOpenFollowsCurrentDatabase_data();
    void databaseIsOpenFollowsCurrentDatabase();

private:
    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<TdM> m_dm;
};

namespace {
void resetState() {
    for (QString* v : {&CurrentDatabase, &CurrentTable, &BrowseSelect, &InsertStatement, &ModifyStatement,
                       &RefreshStatement, &DeleteStatement, &KeyWhereClause})
        v->clear();
}

// Runs a generated statement with values by parameter name.
qint64 run(TdM& dm, const QString& sql, const QHash<QString, QVariant>& values) {
    return runNamed(dm.Banco, dm.Trans, sql, values);
}
} // namespace

void TestTableStatements::initTestCase() {
    m_db = std::make_unique<TempDatabase>(QStringList{
        QStringLiteral("create table CLIENTES (CODIGO integer not null primary key, NOME varchar(40),"
                       " TOTAL computed by (CODIGO * 2))"),
        QStringLiteral("create table SEM_CHAVE (CODIGO integer not null, NOME varchar(40),"
                       " TOTAL computed by (CODIGO * 2))"),
        QStringLiteral("create unique index UQ_SEM_CHAVE on SEM_CHAVE (CODIGO)"),
        QStringLiteral("create table ITENS (A integer not null, B integer not null, C varchar(10),"
                       " primary key (B, A))"),
        QStringLiteral("create table NOMEADA (ID integer not null, V integer,"
                       " constraint PK_NOMEADA primary key (ID))"),
        QStringLiteral("create domain DOM_PADRAO integer default 1"),
        QStringLiteral(
            "create table MISTA (ID integer not null primary key, ARR integer[2],"
            " PADRAO varchar(5) default 'x' not null, DOMINIO DOM_PADRAO, DOBRO computed by (ID + ID))"),
        QStringLiteral("create table \"Clientes Especiais\" (\"Código\" integer not null primary key,"
                       " \"Nome Completo\" varchar(40), \"DATE\" date, NOME varchar(10), \"a\"\"b\" integer,"
                       " \"x;y\" integer)"),
    });
}

void TestTableStatements::init() {
    resetState();
    m_prompts = std::make_unique<ScriptedPrompts>();
    m_prompts->defaultLogin = ScriptedPrompts::Login{};
    m_dm = std::make_unique<TdM>();
}

void TestTableStatements::cleanup() {
    m_dm.reset();
    m_prompts.reset();
    resetState();
}

void TestTableStatements::cleanupTestCase() {
    m_db.reset();
}

void TestTableStatements::generated_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("keyWhere");
    QTest::addColumn<QString>("insert");
    QTest::addColumn<QString>("modify");
    QTest::addColumn<QString>("refresh");
    QTest::addColumn<QString>("remove");

    QTest::newRow("worked example")
        << "CLIENTES"
        << "Where CODIGO = :OLD_CODIGO"
        << "Insert into CLIENTES (CODIGO,NOME) Values (:CODIGO,:NOME)"
        << "Update CLIENTES Set CODIGO = :CODIGO,NOME = :NOME Where CODIGO = :OLD_CODIGO"
        << "Select * From CLIENTES Where CODIGO = :OLD_CODIGO"
        << "Delete From CLIENTES Where CODIGO = :OLD_CODIGO";
    QTest::newRow("no primary key, a unique index")
        << "SEM_CHAVE"
        << "Where CODIGO = :OLD_CODIGO And NOME = :OLD_NOME"
        << "Insert into SEM_CHAVE (CODIGO,NOME) Values (:CODIGO,:NOME)"
        << "Update SEM_CHAVE Set CODIGO = :CODIGO,NOME = :NOME Where CODIGO = :OLD_CODIGO And NOME = "
           ":OLD_NOME"
        << "Select * From SEM_CHAVE Where CODIGO = :OLD_CODIGO And NOME = :OLD_NOME"
        << "Delete From SEM_CHAVE Where CODIGO = :OLD_CODIGO And NOME = :OLD_NOME";
    QTest::newRow("two-column key in segment order")
        << "ITENS"
        << "Where B = :OLD_B And A = :OLD_A"
        << "Insert into ITENS (A,B,C) Values (:A,:B,:C)"
        << "Update ITENS Set A = :A,B = :B,C = :C Where B = :OLD_B And A = :OLD_A"
        << "Select * From ITENS Where B = :OLD_B And A = :OLD_A"
        << "Delete From ITENS Where B = :OLD_B And A = :OLD_A";
    QTest::newRow("key index under its own name") << "NOMEADA"
                                                  << "Where ID = :OLD_ID"
                                                  << "Insert into NOMEADA (ID,V) Values (:ID,:V)"
                                                  << "Update NOMEADA Set ID = :ID,V = :V Where ID = :OLD_ID"
                                                  << "Select * From NOMEADA Where ID = :OLD_ID"
                                                  << "Delete From NOMEADA Where ID = :OLD_ID";
    QTest::newRow("array and computed left out, defaulted kept")
        << "MISTA"
        << "Where ID = :OLD_ID"
        << "Insert into MISTA (ID,PADRAO,DOMINIO) Values (:ID,:PADRAO,:DOMINIO)"
        << "Update MISTA Set ID = :ID,PADRAO = :PADRAO,DOMINIO = :DOMINIO Where ID = :OLD_ID"
        << "Select * From MISTA Where ID = :OLD_ID"
        << "Delete From MISTA Where ID = :OLD_ID";
    QTest::newRow("names that need quotes")
        << "Clientes Especiais"
        << R"(Where "Código" = :"OLD_Código")"
        << R"(Insert into "Clientes Especiais" ("Código","Nome Completo","DATE",NOME,"a""b","x;y") Values )"
           R"((:"Código",:"Nome Completo",:"DATE",:NOME,:"a""b",:"x;y"))"
        << R"(Update "Clientes Especiais" Set "Código" = :"Código","Nome Completo" = :"Nome Completo",)"
           R"("DATE" = :"DATE",NOME = :NOME,"a""b" = :"a""b","x;y" = :"x;y" Where "Código" = :"OLD_Código")"
        << R"(Select * From "Clientes Especiais" Where "Código" = :"OLD_Código")"
        << R"(Delete From "Clientes Especiais" Where "Código" = :"OLD_Código")";
}

void TestTableStatements::generated() {
    QFETCH(QString, table);
    QFETCH(QString, keyWhere);
    QFETCH(QString, insert);
    QFETCH(QString, modify);
    QFETCH(QString, refresh);
    QFETCH(QString, remove);
    CurrentDatabase = m_db->path();
    m_dm->ConnectDatabase(m_db->path());
    CurrentTable = table;
    m_dm->TableStatementGenerator();
    QCOMPARE(KeyWhereClause, keyWhere);
    QCOMPARE(InsertStatement, insert);
    QCOMPARE(ModifyStatement, modify);
    QCOMPARE(RefreshStatement, refresh);
    QCOMPARE(DeleteStatement, remove);
    QVERIFY(!m_dm->Tabela->active());
}

void TestTableStatements::quotedNamesRunOnTheServer() {
    m_dm->ConnectDatabase(m_db->path());
    CurrentTable = QStringLiteral("Clientes Especiais");
    m_dm->TableStatementGenerator();
    QHash<QString, QVariant> v{{QStringLiteral("Código"), 1},
                               {QStringLiteral("Nome Completo"), QStringLiteral("Ação, coração, pão")},
                               {QStringLiteral("DATE"), QDate(2026, 1, 2)},
                               {QStringLiteral("NOME"), QStringLiteral("pão")},
                               {QStringLiteral("a\"b"), 5},
                               {QStringLiteral("x;y"), 6}};
    QCOMPARE(run(*m_dm, InsertStatement, v), 1);
    v.insert(QStringLiteral("OLD_Código"), 1);
    v.insert(QStringLiteral("Código"), 2);
    QCOMPARE(run(*m_dm, ModifyStatement, v), 1);
    v.insert(QStringLiteral("OLD_Código"), 2);
    QCOMPARE(run(*m_dm, RefreshStatement, v), 1);
    QCOMPARE(run(*m_dm, DeleteStatement, v), 1);
    QCOMPARE(run(*m_dm, RefreshStatement, v), 0);
    m_dm->Trans->rollback();
}

void TestTableStatements::dialectOneNamesStayPlain() {
    // Dialect 1 has no quoted names: names are written as stored, and the server ignores case.
    TempDatabase d1(
        {QStringLiteral("create table VALUE_TAB (CODIGO integer not null primary key, NOME varchar(10))")},
        QStringLiteral("UTF8"), QStringLiteral("d1.fdb"), 1);
    m_dm->ConnectDatabase(d1.path());
    CurrentTable = QStringLiteral("value_tab");
    m_dm->TableStatementGenerator();
    QCOMPARE(InsertStatement, QStringLiteral("Insert into value_tab (CODIGO,NOME) Values (:CODIGO,:NOME)"));
    QCOMPARE(run(*m_dm, InsertStatement,
                 {{QStringLiteral("CODIGO"), 1}, {QStringLiteral("NOME"), QStringLiteral("a")}}),
             1);
    m_dm->DisconnectDatabase();
}

void TestTableStatements::blankCurrentTableChangesNothing() {
    m_dm->ConnectDatabase(m_db->path());
    InsertStatement = QStringLiteral("i");
    ModifyStatement = QStringLiteral("m");
    RefreshStatement = QStringLiteral("r");
    DeleteStatement = QStringLiteral("d");
    KeyWhereClause = QStringLiteral("k");
    CurrentTable = QStringLiteral("   ");
    m_dm->TableStatementGenerator();
    QCOMPARE(InsertStatement + ModifyStatement + RefreshStatement + DeleteStatement + KeyWhereClause,
             QStringLiteral("imrdk"));
}

void TestTableStatements::failedGenerationEmptiesStatements() {
    m_dm->ConnectDatabase(m_db->path());
    CurrentTable = QStringLiteral("CLIENTES");
    m_dm->TableStatementGenerator();
    CurrentTable = QStringLiteral("NAO_EXISTE");
    try {
        m_dm->TableStatementGenerator();
        QFAIL("statements generated for a table that does not exist");
    } catch (const DbError& e) {
        QVERIFY2(e.message().contains(QStringLiteral("Table unknown")), qPrintable(e.message()));
    }
    QVERIFY(InsertStatement.isEmpty() && ModifyStatement.isEmpty() && RefreshStatement.isEmpty() &&
            DeleteStatement.isEmpty());
    QCOMPARE(KeyWhereClause, QStringLiteral("Where CODIGO = :OLD_CODIGO"));
    // The next run starts afresh.
    CurrentTable = QStringLiteral("ITENS");
    m_dm->TableStatementGenerator();
    QCOMPARE(KeyWhereClause, QStringLiteral("Where B = :OLD_B And A = :OLD_A"));
}

void TestTableStatements::generatorRestartsTransaction() {
    m_dm->ConnectDatabase(m_db->path());
    QVERIFY(m_dm->Trans->inTransaction());
    m_dm->Trans->commit();
    CurrentTable = QStringLiteral("CLIENTES");
    m_dm->TableStatementGenerator();
    QVERIFY(m_dm->Trans->inTransaction());
    QCOMPARE(RefreshStatement, QStringLiteral("Select * From CLIENTES Where CODIGO = :OLD_CODIGO"));
}

void TestTableStatements::connectAndDisconnectCommits() {
    TempDatabase tdb({QStringLiteral("create table T (ID integer)")});
    CurrentDatabase = tdb.path();
    m_dm->ConnectDatabase(tdb.path());
    QVERIFY(m_dm->Banco->connected());
    QCOMPARE(m_dm->Banco->databaseName(), tdb.path());
    QVERIFY(m_dm->Trans->inTransaction());
    QCOMPARE(m_prompts->logins.size(), 1);
    QCOMPARE(m_prompts->logins[0].databaseName, tdb.path());
    QCOMPARE(m_prompts->logins[0].userName, QStringLiteral("SYSDBA"));
    run(*m_dm, QStringLiteral("insert into T values (1)"), {});
    m_dm->DisconnectDatabase();
    QVERIFY(!m_dm->Banco->connected());
    QVERIFY(m_dm->Banco->databaseName().isEmpty());
    QVERIFY(CurrentDatabase.isEmpty());
    QVERIFY(!m_dm->Trans->inTransaction());
    QCOMPARE(tdb.scalar(QStringLiteral("select count(*) from T")), QStringLiteral("1"));
    // Disconnecting again does nothing.
    m_dm->DisconnectDatabase();
}

void TestTableStatements::connectFailures() {
    TempDatabase other;
    // Cancelled login: the caller's CurrentDatabase stays, the connection is down, the user name kept.
    CurrentDatabase = m_db->path();
    m_prompts->loginAnswers.append({false, QString(), QString()});
    try {
        m_dm->ConnectDatabase(m_db->path());
        QFAIL("connected without a login");
    } catch (const AppError& e) {
        QCOMPARE(e.message(), QStringLiteral("Operation cancelled at user's request"));
    }
    QVERIFY(!m_dm->Banco->connected());
    QVERIFY(!m_dm->Trans->inTransaction());
    QCOMPARE(m_dm->Banco->params(), QStringList{QStringLiteral("user_name=SYSDBA")});
    QVERIFY(databaseIsOpen());

    // Empty connection string.
    try {
        m_dm->ConnectDatabase(QString());
        QFAIL("connected without a database name");
    } catch (const AppError& e) {
        QCOMPARE(e.message(), QStringLiteral("Database name is missing"));
    }

    // Another database while connected: the old one stays.
    m_dm->ConnectDatabase(m_db->path());
    try {
        m_dm->ConnectDatabase(other.path());
        QFAIL("switched databases while connected");
    } catch (const AppError& e) {
        QCOMPARE(e.message(), QStringLiteral("Cannot perform operation -- DB is currently open"));
    }
    QVERIFY(m_dm->Banco->connected());
    QCOMPARE(m_dm->Banco->databaseName(), m_db->path());
    // The same one again is harmless.
    m_dm->ConnectDatabase(m_db->path());
    QVERIFY(m_dm->Trans->inTransaction());
}

void TestTableStatements::databaseIsOpenFollowsCurrentDatabase_data() {
    QTest::addColumn<QString>("current");
    QTest::addColumn<bool>("open");
    QTest::newRow("empty") << "" << false;
    QTest::newRow("blanks") << "   " << false;
    QTest::newRow("a path") << "localhost:/x.fdb" << true;
}

void TestTableStatements::databaseIsOpenFollowsCurrentDatabase() {
    QFETCH(QString, current);
    QFETCH(bool, open);
    CurrentDatabase = current;
    QCOMPARE(databaseIsOpen(), open);
    QVERIFY(!m_dm->Banco->connected()); // the connection itself does not decide
}

QTEST_GUILESS_MAIN(TestTableStatements)
#include "test_tablestatements.moc"
