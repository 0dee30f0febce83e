#include "admin/objectbrowser.h"
#include "admin/ui/objetos.h"
#include "browse/ui/fbrowse.h"
#include "connection/dm.h"
#include "platform/appdir.h"
#include "shell/ui/principal.h"
#include "sql/ui/fsql.h"
#include "sql/ui/sqleditor.h"
#include "sql/ui/sqlstatusline.h"
#include "support/connectedholder.h"
#include "support/fbfixture.h"
#include "support/sqlwindows.h"
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

namespace {
QStringList schema() {
    return {
        QStringLiteral("create domain D_NOME varchar(40)"),
        QStringLiteral("create sequence G_PEDIDO"),
        QStringLiteral("create exception E_X 'Valor inválido'"),
        QStringLiteral("create table CLIENTE (ID integer not null primary key, NOME D_NOME, SALDO numeric(12,2), "
                       "DOBRO computed by (SALDO * 2))"),
        QStringLiteral("create table PEDIDO (ID integer not null primary key, CLIENTE integer, "
                       "constraint FK_PED_CLI foreign key (CLIENTE) references CLIENTE (ID) on delete cascade)"),
        QStringLiteral("create index IX_NOME on CLIENTE (NOME)"),
        QStringLiteral("create view V_CLI as select ID, NOME from CLIENTE"),
        QStringLiteral("create view V_SALDO as select ID, DOBRO from CLIENTE where SALDO > 0 with check option"),
        QStringLiteral("create procedure P_CONTA returns (N integer) as begin "
                       "select count(*) from V_CLI into :N; suspend; end"),
        QStringLiteral("create trigger T_PED for PEDIDO before insert as begin "
                       "new.ID = next value for G_PEDIDO; if (new.ID < 0) then exception E_X; end"),
        QStringLiteral("create table \"O'Brien\" (\"Coluna\" integer)"),
        QStringLiteral("create trigger T_DB on connect as begin end"),
        QStringLiteral("create trigger T_DDL after create table as begin end"),
        QStringLiteral("create function F_X (A integer) returns integer as begin return A; end"),
        QStringLiteral("create package PK as begin procedure P; end"),
        QStringLiteral("create role R_LEITOR"),
        QStringLiteral("create collation C_CI for UTF8 from UNICODE case insensitive"),
        QStringLiteral("comment on table CLIENTE is 'Clientes de ''sempre'''"),
        QStringLiteral("execute block as declare i integer = 1; begin while (i <= 10) do begin "
                       "insert into CLIENTE (ID, NOME, SALDO) values (:i, 'Nome ' || :i, :i); i = i + 1; end end"),
    };
}

using Lines = QList<QStringList>; // kind, name, columns

// One line per object, "kind | name | columns", so that a difference shows whole.
QStringList lines(const QTreeWidget* list) {
    QStringList out;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = list->topLevelItem(i);
        out << QStringList{item->text(0), item->text(1), item->text(2)}.join(QStringLiteral(" | "));
    }
    return out;
}

QStringList lines(const Lines& expected) {
    QStringList out;
    for (const QStringList& l : expected)
        out << l.join(QStringLiteral(" | "));
    return out;
}
} // namespace

// "Objetos do banco": the tree of every kind, an object's statements in the SQL editor, its
// dependencies both ways, and the actions, with the lists read by the server in the background.
class TestObjetos : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void treeAndDdl();
    void dependencies_data();
    void dependencies();
    void indexActions();
    void generatorValue_data();
    void generatorValue();
    void openTableAndEditDdl();
    void fromTheMenu();

private:
    TObjetos* openWindow() {
        auto* w = new TObjetos;
        m_windows.add(w);
        w->show();
        return w;
    }
    void waitLoaded(TObjetos* w) {
        QTRY_VERIFY_WITH_TIMEOUT(w->browser()->loaded() && !w->browser()->working(), 20000);
    }
    void waitIdle(TObjetos* w) { QTRY_VERIFY_WITH_TIMEOUT(!w->browser()->working(), 20000); }
    QStringList branchTitles(TObjetos* w) {
        QStringList out;
        for (int i = 0; i < w->Arvore->topLevelItemCount(); ++i)
            out << w->Arvore->topLevelItem(i)->text(0);
        return out;
    }
    ScriptedPrompts& prompts() { return m_holder->prompts; }

    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<QTemporaryDir> m_appDir;
    std::unique_ptr<ConnectedHolder> m_holder;
    SqlWindows m_windows;
};

void TestObjetos::init() {
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    m_db = std::make_unique<TempDatabase>(schema());
    m_appDir = std::make_unique<QTemporaryDir>();
    setApplicationDirectory(m_appDir->path());
    m_holder = std::make_unique<ConnectedHolder>(m_db->path());
}

void TestObjetos::cleanup() {
    m_windows.closeAll();
    m_holder.reset();
    setApplicationDirectory(QString());
    m_appDir.reset();
    m_db.reset();
}

void TestObjetos::treeAndDdl() {
    TObjetos* w = openWindow();
    // The catalogue is read in the background: the window is there at once, telling so.
    QCOMPARE(w->windowTitle(), QStringLiteral("Objetos do banco"));
    QCOMPARE(branchTitles(w), QStringList{QStringLiteral("Lendo os objetos do banco...")});
    QVERIFY(w->browser()->working());
    waitLoaded(w);
    QCOMPARE(branchTitles(w),
             (QStringList{"Tabelas (3)", "Visões (2)", "Procedimentos (1)", "Gatilhos de tabelas (1)",
                          "Gatilhos do banco (1)", "Gatilhos de DDL (1)", "Funções (1)", "Pacotes (1)",
                          "Geradores (1)", "Domínios (1)", "Exceções (1)", "Índices (4)", "Papéis (1)",
                          "Collations (1)", "Comentários (1)"}));
    QTreeWidgetItem* tables = w->Arvore->topLevelItem(0);
    QCOMPARE(tables->child(0)->text(0), QStringLiteral("CLIENTE"));
    QCOMPARE(tables->child(1)->text(0), QStringLiteral("O'Brien"));
    QTreeWidgetItem* triggers = w->Arvore->topLevelItem(3);
    QCOMPARE(triggers->child(0)->text(1), QStringLiteral("PEDIDO, BEFORE INSERT"));
    QCOMPARE(w->Arvore->topLevelItem(8)->child(0)->text(1), QStringLiteral("valor atual: 0"));
    QCOMPARE(w->Arvore->topLevelItem(11)->child(0)->text(0), QStringLiteral("IX_NOME"));
    QCOMPARE(w->Arvore->topLevelItem(11)->child(0)->text(1), QStringLiteral("CLIENTE, ativo, seletividade 0"));

    QVERIFY(w->select(DbObjectKind::Table, QStringLiteral("CLIENTE")));
    QCOMPARE(w->Ddl->toPlainText(),
             QStringLiteral("CREATE TABLE CLIENTE (ID INTEGER NOT NULL,\n"
                            "    NOME D_NOME,\n"
                            "    SALDO NUMERIC(12, 2),\n"
                            "    DOBRO NUMERIC(18, 2) COMPUTED BY (SALDO * 2),\n"
                            "    PRIMARY KEY (ID));\n"
                            "\n"
                            "CREATE INDEX IX_NOME ON CLIENTE (NOME);\n"));
    // The SQL window's editor, read-only: typing changes nothing.
    QVERIFY(w->Ddl->isReadOnly());
    const QString before = w->Ddl->toPlainText();
    w->Ddl->setFocus();
    QTest::keyClicks(w->Ddl, QStringLiteral("xyz"));
    QCOMPARE(w->Ddl->toPlainText(), before);

    QVERIFY(w->select(DbObjectKind::TableTrigger, QStringLiteral("T_PED")));
    QCOMPARE(w->Ddl->toPlainText(),
             QStringLiteral("SET TERM ^ ;\n\nCREATE TRIGGER T_PED FOR PEDIDO\nACTIVE BEFORE INSERT POSITION 0\n"
                            "as begin new.ID = next value for G_PEDIDO; if (new.ID < 0) then exception E_X; "
                            "end^\n\nSET TERM ; ^\n"));
    QVERIFY(w->select(DbObjectKind::Comment, QStringLiteral("TABLE CLIENTE")));
    QCOMPARE(w->Ddl->toPlainText(), QStringLiteral("COMMENT ON TABLE CLIENTE IS 'Clientes de ''sempre''';\n"));
    QCOMPARE(prompts().errorReports().join(QChar('\n')), QString());
}

void TestObjetos::dependencies_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<Lines>("uses");
    QTest::addColumn<Lines>("usedBy");
    QTest::newRow("table") << int(DbObjectKind::Table) << QStringLiteral("CLIENTE")
                           << Lines{{"Domínio", "D_NOME", "NOME"}}
                           << Lines{{"Visão", "V_CLI", "ID, NOME"},
                                    {"Visão", "V_SALDO", "DOBRO, ID, SALDO"},
                                    {"Visão (verificação)", "V_SALDO", "DOBRO, ID, SALDO"},
                                    {"Tabela (chave estrangeira)", "PEDIDO", "FK_PED_CLI"}};
    // Its own check option reads the table too; the triggers of foreign-key actions are not listed.
    QTest::newRow("view with check option") << int(DbObjectKind::View) << QStringLiteral("V_SALDO")
                                            << Lines{{"Tabela", "CLIENTE", "DOBRO, ID, SALDO"}} << Lines{};
    QTest::newRow("view") << int(DbObjectKind::View) << QStringLiteral("V_CLI")
                          << Lines{{"Tabela", "CLIENTE", "ID, NOME"}, {"Domínio", "D_NOME", "NOME"}}
                          << Lines{{"Procedimento", "P_CONTA", ""}};
    QTest::newRow("trigger") << int(DbObjectKind::TableTrigger) << QStringLiteral("T_PED")
                             << Lines{{"Tabela", "PEDIDO", "ID"}, {"Exceção", "E_X", ""}, {"Gerador", "G_PEDIDO", ""}}
                             << Lines{};
    QTest::newRow("sequence") << int(DbObjectKind::Generator) << QStringLiteral("G_PEDIDO") << Lines{}
                              << Lines{{"Gatilho", "T_PED", ""}};
    QTest::newRow("domain") << int(DbObjectKind::Domain) << QStringLiteral("D_NOME") << Lines{}
                            << Lines{{"Tabela", "CLIENTE", "NOME"}, {"Visão", "V_CLI", "NOME"}};
    QTest::newRow("a name with a quote") << int(DbObjectKind::Table) << QStringLiteral("O'Brien") << Lines{} << Lines{};
}

void TestObjetos::dependencies() {
    QFETCH(int, kind);
    QFETCH(QString, name);
    QFETCH(Lines, uses);
    QFETCH(Lines, usedBy);
    TObjetos* w = openWindow();
    waitLoaded(w);
    QVERIFY(w->select(static_cast<DbObjectKind>(kind), name));
    waitIdle(w);
    QCOMPARE(prompts().errorReports().join(QChar('\n')), QString());
    QCOMPARE(lines(w->Usa).join(QChar('\n')), lines(uses).join(QChar('\n')));
    QCOMPARE(lines(w->UsadoPor).join(QChar('\n')), lines(usedBy).join(QChar('\n')));
    QCOMPARE(w->LUsa->text(), QStringLiteral("&Usa:"));
    QCOMPARE(w->LUsadoPor->text(), QStringLiteral("Usado &por:"));
}

void TestObjetos::indexActions() {
    TObjetos* w = openWindow();
    waitLoaded(w);
    const QString state =
        QStringLiteral("select coalesce(RDB$INDEX_INACTIVE, 0) || ' ' || cast(RDB$STATISTICS as numeric(9,4)) from RDB$INDICES "
                       "where RDB$INDEX_NAME = 'IX_NOME'");
    QCOMPARE(m_db->scalar(state), QStringLiteral("0 0.0000")); // made before the rows
    // A key's index: its selectivity can be recomputed, its state is the key's.
    const QString primary = m_db->scalar(QStringLiteral(
        "select trim(RDB$INDEX_NAME) from RDB$RELATION_CONSTRAINTS where RDB$RELATION_NAME = 'CLIENTE' "
        "and RDB$CONSTRAINT_TYPE = 'PRIMARY KEY'"));
    QVERIFY(w->select(DbObjectKind::Index, primary));
    QVERIFY(w->BSeletividade->isEnabled());
    QVERIFY(!w->BAtiva->isEnabled());
    QVERIFY(w->select(DbObjectKind::Index, QStringLiteral("IX_NOME")));
    QVERIFY(w->BAtiva->isEnabled());
    QCOMPARE(w->BAtiva->text(), QStringLiteral("Desa&tiva índice"));

    w->BSeletividade->click();
    waitIdle(w);
    QCOMPARE(m_db->scalar(state), QStringLiteral("0 0.1000"));
    QCOMPARE(w->selected()->detail, QStringLiteral("CLIENTE, ativo, seletividade 0,1"));

    w->BAtiva->click();
    waitIdle(w);
    QCOMPARE(m_db->scalar(state).left(1), QStringLiteral("1"));
    QCOMPARE(w->selected()->name, QStringLiteral("IX_NOME")); // still selected after the reading
    QCOMPARE(w->BAtiva->text(), QStringLiteral("A&tiva índice"));
    QVERIFY(w->Ddl->toPlainText().endsWith(QStringLiteral("ALTER INDEX IX_NOME INACTIVE;\n")));
    w->BAtiva->click();
    waitIdle(w);
    QCOMPARE(m_db->scalar(state).left(1), QStringLiteral("0"));
    QCOMPARE(prompts().errorReports().join(QChar('\n')), QString());
}

void TestObjetos::generatorValue_data() {
    QTest::addColumn<QString>("typed"); // empty: the input box cancelled
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("error");
    QTest::newRow("confirmed") << QStringLiteral(" 100 ") << int(MbYes) << QStringLiteral("100") << QString();
    QTest::newRow("refused") << QStringLiteral("100") << int(MbNo) << QStringLiteral("0") << QString();
    QTest::newRow("input cancelled") << QString() << int(MbYes) << QStringLiteral("0") << QString();
    QTest::newRow("not a number") << QStringLiteral("1e3") << int(MbYes) << QStringLiteral("0")
                                  << QStringLiteral("\"1e3\" não é um valor inteiro para o gerador.");
}

void TestObjetos::generatorValue() {
    QFETCH(QString, typed);
    QFETCH(int, answer);
    QFETCH(QString, value);
    QFETCH(QString, error);
    TObjetos* w = openWindow();
    waitLoaded(w);
    QVERIFY(w->select(DbObjectKind::Generator, QStringLiteral("G_PEDIDO")));
    QVERIFY(w->BGerador->isEnabled());
    prompts().inputAnswers = {typed.isEmpty() ? std::nullopt : std::optional<QString>(typed)};
    prompts().messageAnswers = {static_cast<MsgButton>(answer)};
    w->BGerador->click();
    waitIdle(w);
    QCOMPARE(prompts().inputs.size(), 1);
    QCOMPARE(prompts().inputs.first().caption, QStringLiteral("Valor do gerador"));
    QCOMPARE(prompts().inputs.first().prompt, QStringLiteral("Novo valor de G_PEDIDO:"));
    QCOMPARE(prompts().inputs.first().value, QStringLiteral("0"));
    if (typed.isEmpty()) {
        QCOMPARE(prompts().messages.size(), 0);
    } else if (!error.isEmpty()) {
        QCOMPARE(prompts().messages.size(), 1);
        QCOMPARE(prompts().messages.first().text, error);
        QCOMPARE(prompts().messages.first().caption, QStringLiteral("Erro"));
    } else {
        QCOMPARE(prompts().errorReports().join(QChar('\n')), QString());
        QCOMPARE(prompts().messages.size(), 1);
        const MessageRequest& q = prompts().messages.first();
        QCOMPARE(q.text, QStringLiteral("Mudar o valor do gerador G_PEDIDO de 0 para 100?"));
        QCOMPARE(q.caption, QStringLiteral("Atenção"));
        QCOMPARE(q.buttons, int(MbYes | MbNo));
        QCOMPARE(q.defaultButton, MbNo);
    }
    QCOMPARE(m_db->scalar(QStringLiteral("select gen_id(G_PEDIDO, 0) from RDB$DATABASE")), value);
    QCOMPARE(w->selected()->detail, QStringLiteral("valor atual: ") + value);
}

void TestObjetos::openTableAndEditDdl() {
    TObjetos* w = openWindow();
    waitLoaded(w);
    QVERIFY(w->select(DbObjectKind::Table, QStringLiteral("O'Brien")));
    w->BAbre->click();
    QList<TFBrowse*> browsers;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* b = qobject_cast<TFBrowse*>(top)) browsers << b;
    QCOMPARE(browsers.size(), 1);
    QCOMPARE(browsers.first()->windowTitle(), QStringLiteral("O'Brien"));
    QCOMPARE(BrowseSelect, QStringLiteral("Select * From \"O'Brien\""));
    QCOMPARE(CurrentTable, QStringLiteral("O'Brien"));
    QCOMPARE(prompts().errorReports().join(QChar('\n')), QString());

    QVERIFY(w->select(DbObjectKind::Procedure, QStringLiteral("P_CONTA")));
    QVERIFY(!w->BAbre->isEnabled());
    const QString ddl = w->Ddl->toPlainText();
    QVERIFY(ddl.startsWith(QStringLiteral("SET TERM ^ ;\n\nCREATE OR ALTER PROCEDURE P_CONTA\nRETURNS (N INTEGER)\nAS\n")));
    w->BEdita->click();
    TFSql* sql = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* s = qobject_cast<TFSql*>(top)) sql = s;
    QVERIFY(sql);
    m_windows.add(sql);
    QCOMPARE(sql->memoText(), ddl);
    // Changed there and run as a script: the procedure is altered.
    sql->MemoSql->setPlainText(QString(ddl).replace(QStringLiteral("count(*)"), QStringLiteral("count(*) + 1")));
    sql->StatusSql->bscript->click();
    SqlWindows::waitForGrid(sql);
    QCOMPARE(prompts().errorReports().join(QChar('\n')), QString());
    QCOMPARE(m_db->scalar(QStringLiteral("select N from P_CONTA")), QStringLiteral("11"));

    // The browse windows it opened go with it.
    QPointer<TFBrowse> browse = browsers.first();
    delete w;
    QVERIFY(browse.isNull());
}

void TestObjetos::fromTheMenu() {
    TPrincipal win;
    win.show();
    emit win.Administracao1->aboutToShow();
    win.ObjetosdoBanco1->trigger();
    QWidget* first = win.objetosWindow();
    QVERIFY(first);
    QCOMPARE(first->objectName(), QStringLiteral("Objetos"));
    QCOMPARE(win.ClientArea->subWindowList().size(), 1);
    // One window: asked again, the same one comes forward.
    win.ObjetosdoBanco1->trigger();
    QCOMPARE(win.objetosWindow(), first);
    QCOMPARE(win.ClientArea->subWindowList().size(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(!static_cast<TObjetos*>(first)->browser()->working(), 20000);
}

QTEST_MAIN(TestObjetos)
#include "test_objetos.moc"
