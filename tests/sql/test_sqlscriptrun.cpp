#include "connection/datasetmodel.h"
#include "connection/dm.h"
#include "connection/transaction.h"
#include "platform/appdir.h"
#include "platform/errorreport.h"
#include "sql/commandhistory.h"
#include "sql/ui/fsql.h"
#include "sql/ui/sqleditor.h"
#include "sql/ui/sqlstatusline.h"
#include "support/connectedholder.h"
#include "support/fbfixture.h"
#include "support/isqltool.h"
#include "support/sqlwindows.h"
#include <QLabel>
#include <QToolButton>
#include <QtTest>
#include <memory>

namespace {
QStringList schema() {
    return {QStringLiteral("create table CLIENTE (ID integer not null primary key, NOME varchar(40))"),
            QStringLiteral("insert into CLIENTE values (1, 'João')")};
}

// A script in the manner of the engine's own sample scripts: domains, generators, tables with
// their keys, triggers and procedures between SET TERM !! ; and SET TERM ; !!, a few hundred rows,
// COMMITs between the sections and a procedure run that changes rows through a trigger.
QString sampleScript() {
    QString s;
    s += QStringLiteral(
        "/* Amostra: domínios, geradores, tabelas, gatilhos e procedimentos */\n"
        "SET ECHO ON;\n"
        "create domain EMPNO smallint;\n"
        "create domain FIRSTNAME varchar(15);\n"
        "create domain LASTNAME varchar(20);\n"
        "create domain COUNTRYNAME varchar(15);\n"
        "create domain DEPTNO char(3) check (VALUE = '000' or (VALUE > '0' and VALUE <= '999') or VALUE is null);\n"
        "create domain BUDGET decimal(12,2) default 50000 check (VALUE > 10000 and VALUE <= 2000000);\n"
        "create domain SALARY numeric(10,2) default 0 check (VALUE > 0);\n"
        "create domain PRODTYPE varchar(12) default 'software' not null\n"
        "    check (VALUE in ('software', 'hardware', 'other', 'N/A'));\n"
        "create domain ADDRESSLINE varchar(30);\n"
        "COMMIT;\n"
        "\n"
        "create generator EMP_NO_GEN;\n"
        "create generator CUST_NO_GEN;\n"
        "set generator CUST_NO_GEN to 1000;\n"
        "COMMIT;\n"
        "\n"
        "create exception CUSTOMER_CHECK 'Não se muda a situação de um pedido já enviado.';\n"
        "create exception UNKNOWN_EMP_ID 'Empregado ou projeto inválido.';\n"
        "\n"
        "create table COUNTRY (COUNTRY COUNTRYNAME not null primary key,\n"
        "                      CURRENCY varchar(10) not null);\n"
        "create table DEPARTMENT (DEPT_NO DEPTNO not null,\n"
        "                         DEPARTMENT varchar(25) not null unique,\n"
        "                         HEAD_DEPT DEPTNO,\n"
        "                         MNGR_NO EMPNO,\n"
        "                         BUDGET BUDGET,\n"
        "                         LOCATION varchar(15),\n"
        "                         primary key (DEPT_NO),\n"
        "                         foreign key (HEAD_DEPT) references DEPARTMENT (DEPT_NO));\n"
        "create descending index BUDGETX on DEPARTMENT (BUDGET);\n"
        "create table EMPLOYEE (EMP_NO EMPNO not null,\n"
        "                       FIRST_NAME FIRSTNAME not null,\n"
        "                       LAST_NAME LASTNAME not null,\n"
        "                       PHONE_EXT varchar(4),\n"
        "                       HIRE_DATE date not null,\n"
        "                       DEPT_NO DEPTNO not null,\n"
        "                       SALARY SALARY not null,\n"
        "                       FULL_NAME computed by (last_name || ', ' || first_name),\n"
        "                       primary key (EMP_NO),\n"
        "                       foreign key (DEPT_NO) references DEPARTMENT (DEPT_NO));\n"
        "create index NAMEX on EMPLOYEE (LAST_NAME, FIRST_NAME);\n"
        "alter table DEPARTMENT add foreign key (MNGR_NO) references EMPLOYEE (EMP_NO);\n"
        "create table SALARY_HISTORY (EMP_NO EMPNO not null,\n"
        "                             CHANGE_NO integer not null,\n"
        "                             OLD_SALARY SALARY not null,\n"
        "                             PERCENT_CHANGE double precision default 0 not null,\n"
        "                             NEW_SALARY computed by (old_salary + old_salary * percent_change / 100),\n"
        "                             primary key (EMP_NO, CHANGE_NO),\n"
        "                             foreign key (EMP_NO) references EMPLOYEE (EMP_NO));\n"
        "create table CUSTOMER (CUST_NO integer not null primary key,\n"
        "                       CUSTOMER varchar(25) not null,\n"
        "                       ADDRESS_LINE1 ADDRESSLINE,\n"
        "                       COUNTRY COUNTRYNAME references COUNTRY (COUNTRY),\n"
        "                       ON_HOLD char(1) default null check (on_hold is null or on_hold = '*'));\n"
        "create table SALES (PO_NUMBER char(8) not null primary key check (PO_NUMBER starting with 'V'),\n"
        "                    CUST_NO integer not null references CUSTOMER (CUST_NO),\n"
        "                    SALES_REP EMPNO references EMPLOYEE (EMP_NO),\n"
        "                    ORDER_STATUS varchar(7) default 'new' not null\n"
        "                        check (order_status in ('new', 'open', 'shipped', 'waiting')),\n"
        "                    QTY_ORDERED integer default 1 not null check (qty_ordered >= 1),\n"
        "                    TOTAL_VALUE decimal(9,2) not null check (total_value >= 0),\n"
        "                    PRODUCT PRODTYPE);\n"
        "create view PHONE_LIST (EMP_NO, FIRST_NAME, LAST_NAME, PHONE_EXT, LOCATION) as\n"
        "    select emp_no, first_name, last_name, phone_ext, location\n"
        "    from employee, department where employee.dept_no = department.dept_no;\n"
        "COMMIT;\n"
        "\n"
        "set term !! ;\n"
        "create trigger SET_EMP_NO for EMPLOYEE before insert as\n"
        "begin\n"
        "    if (new.emp_no is null) then new.emp_no = gen_id(emp_no_gen, 1);\n"
        "end !!\n"
        "create trigger SAVE_SALARY_CHANGE for EMPLOYEE after update as\n"
        "begin\n"
        "    if (old.salary <> new.salary) then\n"
        "        insert into salary_history (emp_no, change_no, old_salary, percent_change)\n"
        "        values (old.emp_no,\n"
        "                (select coalesce(max(change_no), 0) + 1 from salary_history where emp_no = old.emp_no),\n"
        "                old.salary, (new.salary - old.salary) * 100 / old.salary);\n"
        "end !!\n"
        "create trigger SET_CUST_NO for CUSTOMER before insert as\n"
        "begin\n"
        "    if (new.cust_no is null) then new.cust_no = gen_id(cust_no_gen, 1);\n"
        "end !!\n"
        "create trigger CHECK_STATUS for SALES before update as\n"
        "begin\n"
        "    if (old.order_status = 'shipped' and new.order_status <> 'shipped') then\n"
        "        exception customer_check;\n"
        "end !!\n"
        "create procedure DEPT_BUDGET (DNO char(3)) returns (TOT decimal(12,2)) as\n"
        "    declare variable sumb decimal(12,2);\n"
        "    declare variable rdno char(3);\n"
        "begin\n"
        "    tot = 0;\n"
        "    select budget from department where dept_no = :dno into :tot;\n"
        "    for select dept_no from department where head_dept = :dno into :rdno do\n"
        "    begin\n"
        "        execute procedure dept_budget :rdno returning_values :sumb;\n"
        "        tot = tot + coalesce(sumb, 0);\n"
        "    end\n"
        "    suspend;\n"
        "end !!\n"
        "create procedure RAISE_SALARIES (DNO char(3), PERCENT integer) as\n"
        "begin\n"
        "    update employee set salary = salary + salary * :percent / 100 where dept_no = :dno;\n"
        "    if (row_count = 0) then exception unknown_emp_id;\n"
        "end !!\n"
        "set term ; !!\n"
        "COMMIT;\n"
        "\n");
    const QStringList countries{"USA;Dollar",     "England;Pound",  "Canada;CdnDlr", "Switzerland;SFranc",
                                "Japan;Yen",      "Italy;Euro",     "France;Euro",   "Germany;Euro",
                                "Australia;ADollar", "Hong Kong;HKDollar", "Netherlands;Euro", "Belgium;Euro",
                                "Austria;Euro",   "Fiji;FDollar",   "Brasil;Real"};
    for (const QString& c : countries)
        s += QStringLiteral("insert into COUNTRY (COUNTRY, CURRENCY) values ('%1', '%2');\n")
                 .arg(c.section(';', 0, 0), c.section(';', 1, 1));
    s += QStringLiteral("insert into DEPARTMENT values ('000', 'Corporate Headquarters', null, null, 1000000, "
                        "'Monterey');\n");
    for (int d = 1; d <= 20; ++d)
        s += QStringLiteral("insert into DEPARTMENT values ('%1', 'Departamento %2', '%3', null, %4, 'Cidade %5');\n")
                 .arg(d * 10, 3, 10, QChar('0'))
                 .arg(d)
                 .arg(d <= 4 ? QStringLiteral("000") : QStringLiteral("%1").arg((d % 4 + 1) * 10, 3, 10, QChar('0')))
                 .arg(50000 + d * 12500)
                 .arg(QChar(0x41 + d % 26));
    s += QStringLiteral("COMMIT;\n");
    const QStringList first{"Robert", "Bruce", "Kim", "Leslie", "Phil", "K. J.", "Terri", "Stewart", "Katherine",
                            "Chris", "João", "Conceição"};
    const QStringList last{"Nelson", "Young", "Lambert", "Johnson", "Forest", "Weston", "Lee", "Hall", "Young",
                           "Papadopoulos", "Ramos", "D'Ávila"};
    for (int e = 0; e < 120; ++e)
        s += QStringLiteral("insert into EMPLOYEE (FIRST_NAME, LAST_NAME, PHONE_EXT, HIRE_DATE, DEPT_NO, SALARY) "
                            "values ('%1', '%2', '%3', '%4', '%5', %6);\n")
                 .arg(first[e % first.size()], QString(last[(e * 7) % last.size()]).replace('\'', "''"))
                 .arg(200 + e)
                 .arg(QDate(1988, 1, 1).addDays(e * 37).toString(Qt::ISODate))
                 .arg((e % 20 + 1) * 10, 3, 10, QChar('0'))
                 .arg(QStringLiteral("%1.%2").arg(30000 + e * 731).arg(e % 100, 2, 10, QChar('0')));
    s += QStringLiteral("update DEPARTMENT set MNGR_NO = (select min(EMP_NO) from EMPLOYEE e "
                        "where e.DEPT_NO = DEPARTMENT.DEPT_NO);\n"
                        "COMMIT;\n");
    for (int c = 0; c < 40; ++c)
        s += QStringLiteral("insert into CUSTOMER (CUSTOMER, ADDRESS_LINE1, COUNTRY, ON_HOLD) "
                            "values ('Cliente %1', 'Rua %2, %3', '%4', %5);\n")
                 .arg(c + 1)
                 .arg(QChar(0x41 + c % 26))
                 .arg(c * 13 + 1)
                 .arg(countries[c % countries.size()].section(';', 0, 0))
                 .arg(c % 9 == 0 ? QStringLiteral("'*'") : QStringLiteral("null"));
    const QStringList status{"new", "open", "shipped", "waiting"};
    const QStringList product{"software", "hardware", "other"};
    for (int o = 0; o < 90; ++o)
        s += QStringLiteral("insert into SALES (PO_NUMBER, CUST_NO, SALES_REP, ORDER_STATUS, QTY_ORDERED, "
                            "TOTAL_VALUE, PRODUCT) values ('V9%1', %2, %3, '%4', %5, %6, '%7');\n")
                 .arg(o, 6, 10, QChar('0'))
                 .arg(1001 + o % 40)
                 .arg(1 + (o * 11) % 120)
                 .arg(status[o % status.size()])
                 .arg(1 + o % 17)
                 .arg(QStringLiteral("%1.%2").arg(o * 97 + 5).arg((o * 7) % 100, 2, 10, QChar('0')))
                 .arg(product[o % product.size()]);
    s += QStringLiteral("COMMIT;\n"
                        "execute procedure RAISE_SALARIES '030', 10;\n"
                        "execute procedure RAISE_SALARIES '120', 5;\n"
                        "update SALES set ORDER_STATUS = 'shipped' where ORDER_STATUS = 'waiting' and QTY_ORDERED > 8;\n"
                        "delete from CUSTOMER where ON_HOLD = '*' and not exists "
                        "(select * from SALES where SALES.CUST_NO = CUSTOMER.CUST_NO);\n"
                        "COMMIT;\n"
                        "create role VENDAS;\n"
                        "grant select, update on SALES to VENDAS;\n"
                        "grant execute on procedure DEPT_BUDGET to VENDAS;\n"
                        "comment on table EMPLOYEE is 'Empregados, com o histórico de salários à parte';\n"
                        "select * from DEPT_BUDGET('000');\n");
    return s;
}

// Every row of the sample's tables, in key order, as isql prints them.
const QString kRowsScript = QStringLiteral(
    "set list on;\n"
    "select * from COUNTRY order by COUNTRY;\n"
    "select * from DEPARTMENT order by DEPT_NO;\n"
    "select * from EMPLOYEE order by EMP_NO;\n"
    "select * from SALARY_HISTORY order by EMP_NO, CHANGE_NO;\n"
    "select * from CUSTOMER order by CUST_NO;\n"
    "select * from SALES order by PO_NUMBER;\n"
    "select gen_id(EMP_NO_GEN, 0), gen_id(CUST_NO_GEN, 0) from RDB$DATABASE;\n");
} // namespace

// "Executar script" runs a script as isql runs an input file: each DDL statement commits by itself,
// the rows stay pending in the window's transaction, isql's own commands are honoured, passed over
// or refused.
class TestSqlScriptRun : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void createThenInsert_data();
    void createThenInsert();
    void autoDdlOffAndOn();
    void refusedCommands_data();
    void refusedCommands();
    void outputSettingsPassedOver();
    void sampleScriptAsIsqlRunsIt();

private:
    // Puts the script in the memo and runs it as a script; waits for the server's answer.
    void runScript(TFSql* w, const QString& script) {
        w->MemoSql->setPlainText(script);
        w->StatusSql->bscript->click();
        SqlWindows::waitForGrid(w);
    }
    QStringList reportedErrors() const { return m_holder->prompts.errorReports(); }
    QString status(TFSql* w) const { return w->StatusSql->lStatus->text(); }
    bool tableExists(const QString& name) {
        return m_db->scalar(QStringLiteral("select count(*) from RDB$RELATIONS where RDB$RELATION_NAME = '%1'")
                                .arg(name)) == QStringLiteral("1");
    }

    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<QTemporaryDir> m_appDir;
    std::unique_ptr<ConnectedHolder> m_holder;
    SqlWindows m_windows;
};

void TestSqlScriptRun::init() {
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    m_db = std::make_unique<TempDatabase>(schema());
    m_appDir = std::make_unique<QTemporaryDir>();
    setApplicationDirectory(m_appDir->path());
    m_holder = std::make_unique<ConnectedHolder>(m_db->path());
}

void TestSqlScriptRun::cleanup() {
    m_windows.closeAll();
    m_holder.reset();
    setApplicationDirectory(QString());
    m_appDir.reset();
    m_db.reset();
}

void TestSqlScriptRun::createThenInsert_data() {
    QTest::addColumn<bool>("keep"); // Grava, or Desfaz
    QTest::newRow("Grava") << true;
    QTest::newRow("Desfaz") << false;
}

void TestSqlScriptRun::createThenInsert() {
    QFETCH(bool, keep);
    TFSql* w = m_windows.open();
    // The user's own change, pending before the script.
    SqlWindows::run(w, QStringLiteral("update CLIENTE set NOME = 'Maria' where ID = 1"));
    runScript(w, QStringLiteral("create table NOVA (ID integer not null primary key, NOME varchar(20));\n"
                                "create index NOVA_NOME on NOVA (NOME);\n"
                                "insert into NOVA values (1, 'um');\n"
                                "insert into NOVA values (2, 'dois');\n"
                                "select count(*) from NOVA"));
    QCOMPARE(reportedErrors(), QStringList());
    QVERIFY2(status(w).startsWith(QStringLiteral("Script: 5 comando(s) em ")), qPrintable(status(w)));
    QCOMPARE(w->Ds->index(0, 0).data().toString(), QStringLiteral("2"));
    // The table and its index are there for everyone; the rows and the user's change are not yet.
    QVERIFY(tableExists(QStringLiteral("NOVA")));
    QCOMPARE(m_db->scalar(QStringLiteral("select count(*) from RDB$INDICES where RDB$INDEX_NAME = 'NOVA_NOME'")),
             QStringLiteral("1"));
    QCOMPARE(m_db->scalar(QStringLiteral("select count(*) from NOVA")), QStringLiteral("0"));
    QCOMPARE(m_db->scalar(QStringLiteral("select NOME from CLIENTE")), QStringLiteral("João"));
    QVERIFY(w->bgra->isEnabled() && w->bcan->isEnabled());

    (keep ? w->bgra : w->bcan)->click();
    QCOMPARE(reportedErrors(), QStringList());
    const QStringList kept = keep ? QStringList{QStringLiteral("um"), QStringLiteral("dois")} : QStringList();
    QCOMPARE(m_db->column(QStringLiteral("select NOME from NOVA order by ID")), kept);
    QCOMPARE(m_db->scalar(QStringLiteral("select NOME from CLIENTE")),
             keep ? QStringLiteral("Maria") : QStringLiteral("João"));
    QVERIFY(tableExists(QStringLiteral("NOVA")));
}

void TestSqlScriptRun::autoDdlOffAndOn() {
    TFSql* w = m_windows.open();
    // With AUTODDL off a table is created in the window's transaction, where the server does not
    // know it yet, as isql answers; a COMMIT in the script makes it known.
    runScript(w, QStringLiteral("SET AUTODDL OFF;\n"
                                "create table PRESA (A integer);\n"
                                "insert into PRESA values (1);"));
    QCOMPARE(reportedErrors().size(), 1);
    QVERIFY2(reportedErrors().first().contains(QStringLiteral("Table unknown")), qPrintable(reportedErrors().first()));
    QCOMPARE(status(w), QStringLiteral("Erro no comando 3 de 3, linha 3, coluna 13"));
    QVERIFY(!tableExists(QStringLiteral("PRESA")));
    w->bcan->click();
    QVERIFY(!tableExists(QStringLiteral("PRESA")));
    m_holder->prompts.clear();

    runScript(w, QStringLiteral("set autoddl off;\n"
                                "create table ESPERA (A integer);\n"
                                "set autoddl on;\n"
                                "create table JA (A integer);\n"
                                "set autoddl;\n" // turns it over, as in isql
                                "create table DEPOIS (A integer);"));
    QCOMPARE(reportedErrors(), QStringList());
    QVERIFY(tableExists(QStringLiteral("JA")));
    QVERIFY(!tableExists(QStringLiteral("ESPERA")));
    QVERIFY(!tableExists(QStringLiteral("DEPOIS")));
    w->bgra->click();
    QVERIFY(tableExists(QStringLiteral("ESPERA")));
    QVERIFY(tableExists(QStringLiteral("DEPOIS")));

    // Every script starts with AUTODDL on, as isql does.
    runScript(w, QStringLiteral("create table OUTRA (A integer);\ninsert into OUTRA values (7);"));
    QCOMPARE(reportedErrors(), QStringList());
    QVERIFY(tableExists(QStringLiteral("OUTRA")));
}

void TestSqlScriptRun::refusedCommands_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("named");
    QTest::addColumn<QString>("why");
    QTest::newRow("SET NAMES") << QStringLiteral("SET NAMES WIN1252") << QStringLiteral("SET NAMES")
                               << QStringLiteral("a janela trabalha no banco aberto, com o conjunto de "
                                                 "caracteres da sua conexão");
    QTest::newRow("SET SQL DIALECT") << QStringLiteral("set sql\n  dialect 1") << QStringLiteral("SET SQL DIALECT")
                                     << QStringLiteral("a janela trabalha no banco aberto, no dialeto da sua conexão");
    QTest::newRow("CREATE DATABASE")
        << QStringLiteral("create database '/tmp/outro.fdb' user 'SYSDBA' password 'x'")
        << QStringLiteral("CREATE DATABASE")
        << QStringLiteral("a janela trabalha no banco aberto e não cria outro");
    QTest::newRow("CONNECT") << QStringLiteral("connect '/tmp/outro.fdb'") << QStringLiteral("CONNECT")
                             << QStringLiteral("a janela trabalha no banco aberto e não se conecta a outro");
}

void TestSqlScriptRun::refusedCommands() {
    QFETCH(QString, command);
    QFETCH(QString, named);
    QFETCH(QString, why);
    TFSql* w = m_windows.open();
    const QString script = QStringLiteral("insert into CLIENTE values (2, 'Ana');\n"
                                          "create table ANTES (A integer);\n  ") +
                           command + QStringLiteral(";\ninsert into CLIENTE values (3, 'Rui');");
    runScript(w, script);
    const QString message =
        QStringLiteral("O script não foi executado: \"%1\" (linha 3) não é aceito aqui, pois %2.").arg(named, why);
    QCOMPARE(reportedErrors(), QStringList{errorBoxText(message)});
    QCOMPARE(status(w), QStringLiteral("Erro no comando 3 de 4, linha 3, coluna 3"));
    QCOMPARE(w->MemoSql->markedErrorLine(), 2);
    QCOMPARE(w->memoText(), script);
    // Nothing ran, not even what came before it.
    QVERIFY(!tableExists(QStringLiteral("ANTES")));
    QVERIFY(!w->bgra->isEnabled());
    SqlWindows::run(w, QStringLiteral("select count(*) from CLIENTE"));
    QCOMPARE(w->Ds->index(0, 0).data().toString(), QStringLiteral("1"));
}

void TestSqlScriptRun::outputSettingsPassedOver() {
    TFSql* w = m_windows.open();
    runScript(w, QStringLiteral("SET LIST ON;\nset echo on;\nSET STATS;\nset heading off;\nset bail on;\n"
                                "set count on;\nset plan on;\nset width NOME 10;\nset blob all;\n"
                                "set warnings off;\nset time on;\n"
                                "select NOME from CLIENTE;"));
    QCOMPARE(reportedErrors(), QStringList());
    QCOMPARE(w->Ds->index(0, 0).data().toString(), QStringLiteral("João"));
    // SET STATISTICS is the server's, and runs.
    runScript(w, QStringLiteral("set statistics index RDB$PRIMARY1;"));
    QCOMPARE(reportedErrors(), QStringList());
    runScript(w, QStringLiteral("set statistic index RDB$PRIMARY1;"));
    QCOMPARE(reportedErrors().size(), 1); // not isql's, not the server's: the server says so
}

void TestSqlScriptRun::sampleScriptAsIsqlRunsIt() {
    const QString script = sampleScript();
    QVERIFY(script.count(QChar(';')) > 300);

    // The same script, run by isql into an empty database of its own.
    TempDatabase reference({}, QStringLiteral("UTF8"), QStringLiteral("isql.fdb"));
    const QString isqlOutput = runIsqlScript(reference.path(), script);
    QVERIFY2(!isqlOutput.contains(QStringLiteral("Statement failed")), qPrintable(isqlOutput));

    // Through the window, into an empty database: pasted and run as a script, then kept.
    TempDatabase empty({}, QStringLiteral("UTF8"), QStringLiteral("window.fdb"));
    m_holder.reset();
    m_holder = std::make_unique<ConnectedHolder>(empty.path());
    TFSql* w = m_windows.open();
    runScript(w, script);
    QCOMPARE(reportedErrors(), QStringList());
    QVERIFY2(status(w).startsWith(QStringLiteral("Script: ")), qPrintable(status(w)));
    // The script's last SELECT, as isql printed it.
    QVERIFY2(isqlOutput.contains(w->Ds->index(0, 0).data().toString().replace(QChar(','), QChar('.'))),
             qPrintable(isqlOutput.right(200)));
    w->bgra->click();
    QCOMPARE(reportedErrors(), QStringList());
    m_windows.closeAll();
    m_holder.reset(); // the engine locks the file while it is open here

    QCOMPARE(withoutCreateDatabaseLine(isqlExtract(empty.path())).split('\n'),
             withoutCreateDatabaseLine(isqlExtract(reference.path())).split('\n'));
    const QString ours = runIsqlScript(empty.path(), kRowsScript);
    QCOMPARE(ours.split('\n'), runIsqlScript(reference.path(), kRowsScript).split('\n'));
    QVERIFY(ours.count(QStringLiteral("EMP_NO")) > 120);
}

QTEST_MAIN(TestSqlScriptRun)
#include "test_sqlscriptrun.moc"
