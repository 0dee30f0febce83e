// The demo database that scripts/run creates beside the program opens through the connection
// holder, and every one of its tables gets statements the server accepts.
#include "connection/database.h"
#include "connection/dm.h"
#include "connection/statement.h"
#include "connection/transaction.h"
#include "support/namedparams.h"
#include "support/scriptedprompts.h"
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestDemoDatabase : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void tables();
    void statements_data();
    void statements();
    void accentedText();
    void cleanupTestCase();

private:
    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<TdM> m_dm;
};

void TestDemoDatabase::initTestCase() {
    const QString script = QFINDTESTDATA("../../scripts/demo-db");
    QVERIFY(!script.isEmpty());
    m_path = m_dir.filePath(QStringLiteral("demo.fdb"));
    QProcess p;
    p.start(QStringLiteral("bash"), {script, m_path});
    QVERIFY(p.waitForFinished(60000));
    QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
    QVERIFY(QFile::exists(m_path));
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral(".demo.fdb.partial"))));

    m_prompts = std::make_unique<ScriptedPrompts>();
    m_prompts->defaultLogin = ScriptedPrompts::Login{};
    m_dm = std::make_unique<TdM>();
    CurrentDatabase = m_path;
    m_dm->ConnectDatabase(m_path);
}

void TestDemoDatabase::tables() {
    QStringList names;
    m_dm->Banco->getTableNames(names);
    QCOMPARE(names, (QStringList{QStringLiteral("CLIENTES"), QStringLiteral("ITENS_PEDIDO"),
                                 QStringLiteral("PEDIDOS"), QStringLiteral("PRODUTOS")}));
}

void TestDemoDatabase::statements_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("modify");
    QTest::newRow("CLIENTES")
        << "CLIENTES"
        << "Update CLIENTES Set CODIGO = :CODIGO,NOME = :NOME,CIDADE = :CIDADE,"
           "NASCIMENTO = :NASCIMENTO,LIMITE = :LIMITE,OBSERVACOES = :OBSERVACOES,FOTO = :FOTO "
           "Where CODIGO = :OLD_CODIGO";
    QTest::newRow("PRODUTOS, computed column left out")
        << "PRODUTOS"
        << "Update PRODUTOS Set CODIGO = :CODIGO,DESCRICAO = :DESCRICAO,PRECO = :PRECO,ESTOQUE = :ESTOQUE,"
           "ATIVO = :ATIVO Where CODIGO = :OLD_CODIGO";
    QTest::newRow("PEDIDOS")
        << "PEDIDOS"
        << "Update PEDIDOS Set NUMERO = :NUMERO,CLIENTE = :CLIENTE,DATA_PEDIDO = :DATA_PEDIDO,"
           "TOTAL = :TOTAL,SITUACAO = :SITUACAO Where NUMERO = :OLD_NUMERO";
    QTest::newRow("ITENS_PEDIDO, two-column key")
        << "ITENS_PEDIDO"
        << "Update ITENS_PEDIDO Set PEDIDO = :PEDIDO,ITEM = :ITEM,PRODUTO = :PRODUTO,QUANTIDADE = "
           ":QUANTIDADE,"
           "PRECO = :PRECO Where PEDIDO = :OLD_PEDIDO And ITEM = :OLD_ITEM";
}

void TestDemoDatabase::statements() {
    QFETCH(QString, table);
    QFETCH(QString, modify);
    CurrentTable = table;
    m_dm->TableStatementGenerator();
    QCOMPARE(ModifyStatement, modify);
    // Every statement prepares on the server; the refresh of an absent row finds nothing.
    for (const QString& sql : {InsertStatement, ModifyStatement, RefreshStatement, DeleteStatement}) {
        QStringList names;
        Statement st(m_dm->Banco, m_dm->Trans);
        st.prepare(positionalParameters(sql, &names));
        QCOMPARE(st.in().count(), names.size());
    }
    QCOMPARE(runNamed(m_dm->Banco, m_dm->Trans, RefreshStatement, {}), 0);
}

void TestDemoDatabase::accentedText() {
    Statement st(m_dm->Banco, m_dm->Trans);
    st.prepare(QStringLiteral("select NOME, CIDADE from CLIENTES where CODIGO = 2"));
    st.execute();
    QVERIFY(st.fetch());
    QCOMPARE(st.out().text(0), QStringLiteral("Maria Conceição Araújo"));
    QCOMPARE(st.out().text(1), QStringLiteral("Belo Horizonte"));
}

void TestDemoDatabase::cleanupTestCase() {
    m_dm->DisconnectDatabase();
    m_dm.reset();
    m_prompts.reset();
    CurrentTable.clear();
}

QTEST_GUILESS_MAIN(TestDemoDatabase)
#include "test_demodatabase.moc"
