// The dataset's writing side with the statements the connection holder generates: edit, insert,
// append, post, cancel and delete with their messages and states; binding by name (OLD_ the value
// as last read or posted); refresh of computed and defaulted columns; blobs; every field kind
// through a post; rejected posts and lock conflicts; the end of the transaction in mid-edit.
#include "connection/dataset.h"
#include "connection/dm.h"
#include "connection/fberror.h"
#include "connection/statement.h"
#include "connection/transaction.h"
#include "support/errortext.h"
#include "support/fbfixture.h"
#include "support/scriptedprompts.h"
#include "support/testconnection.h"
#include <QSignalSpy>
#include <QtTest>
#include <memory>

class TestDataSetWrite : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void keyColumnChangedThroughOldBinding();
    void decimalKeyBeyondADoubleFindsItsRow();
    void insertReadsBackComputedAndDefaulted();
    void commitInMidEditClosesAndLosesTheEdit();
    void requiredColumnNamed();
    void rejectedPostKeepsStateAndValues_data();
    void rejectedPostKeepsStateAndValues();
    void lockConflictFailsAtOnce();
    void blobsOver64KB();
    void everyKindThroughPost_data();
    void everyKindThroughPost();
    void insertAppendCancel();
    void movingAwayPostsOrCancels();
    void deleteRows();
    void misuseMessages();
    void parametersByName();
    void modifyOrDeleteMatchingNoRowIsRefused();
    void valuesTypedAsText_data();
    void valuesTypedAsText();
    void stateChangedOnEveryChange();
};

namespace {
const QString kClientes = QStringLiteral(
    "create table CLIENTES (CODIGO integer not null primary key, NOME varchar(40) not null, "
    "CIDADE varchar(30), TOTAL computed by (CODIGO * 2), PAIS varchar(10) default 'Brasil')");

// The program's own set-up: the connection holder with Banco and Trans, statements generated for
// the current table, and a browse window's dataset named as the browse window names it.
struct Fixture {
    TempDatabase tdb;
    ScriptedPrompts prompts;
    std::unique_ptr<TdM> dm;
    std::unique_ptr<DataSet> ds;
    explicit Fixture(const QStringList& ddl, const QString& table = QStringLiteral("CLIENTES")) : tdb(ddl) {
        prompts.defaultLogin = ScriptedPrompts::Login{};
        dm = std::make_unique<TdM>();
        dm->ConnectDatabase(tdb.path());
        ds = std::make_unique<DataSet>();
        ds->setObjectName(QStringLiteral("IBDataSet1"));
        ds->setDatabase(dm->Banco);
        ds->setTransaction(dm->Trans);
        useTable(table);
    }
    ~Fixture() {
        ds.reset();
        dm.reset();
        for (QString* v : {&CurrentDatabase, &CurrentTable, &BrowseSelect, &InsertStatement, &ModifyStatement,
                           &RefreshStatement, &DeleteStatement, &KeyWhereClause})
            v->clear();
    }
    void useTable(const QString& table, const QString& order = QString()) {
        CurrentTable = table;
        dm->TableStatementGenerator();
        ds->close();
        ds->setSelectSQL({QStringLiteral("Select * From ") + table + (order.isEmpty() ? QString() : ' ' + order)});
        ds->setInsertSQL({InsertStatement});
        ds->setModifySQL({ModifyStatement});
        ds->setDeleteSQL({DeleteStatement});
        ds->setRefreshSQL({RefreshStatement});
    }
    Field* f(const char* name) { return ds->fieldByName(QString::fromLatin1(name)); }
    void commit() { dm->Trans->commit(); }
};

} // namespace

void TestDataSetWrite::initTestCase() { QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil)); }

void TestDataSetWrite::keyColumnChangedThroughOldBinding() {
    Fixture fx({kClientes, QStringLiteral("insert into CLIENTES (CODIGO, NOME) values (1, 'Ana')"),
                QStringLiteral("insert into CLIENTES (CODIGO, NOME) values (2, 'Bia')")},
               QStringLiteral("CLIENTES"));
    fx.useTable(QStringLiteral("CLIENTES"), QStringLiteral("order by CODIGO"));
    QCOMPARE(ModifyStatement, QStringLiteral("Update CLIENTES Set CODIGO = :CODIGO,NOME = :NOME,CIDADE = :CIDADE,"
                                             "PAIS = :PAIS Where CODIGO = :OLD_CODIGO"));
    fx.ds->open();
    fx.ds->edit();
    fx.f("CODIGO")->setValue(10);
    fx.f("NOME")->setValue(QStringLiteral("Ana Maria"));
    fx.ds->post();
    QCOMPARE(fx.ds->state(), DataSet::Browse);
    QCOMPARE(fx.f("CODIGO")->value().toInt(), 10);
    QCOMPARE(fx.f("TOTAL")->value().toLongLong(), 20); // re-read: TOTAL is computed
    // The posted key is now the OLD_ value: a second change finds the row again.
    fx.f("CODIGO")->setValue(11); // automatic edit
    QCOMPARE(fx.ds->state(), DataSet::Edit);
    fx.ds->post();
    fx.commit();
    QCOMPARE(fx.tdb.column(QStringLiteral("select CODIGO || ':' || NOME from CLIENTES order by CODIGO")),
             (QStringList{"2:Bia", "11:Ana Maria"}));
}

void TestDataSetWrite::decimalKeyBeyondADoubleFindsItsRow() {
    // A key of 18 digits does not survive a trip through a double; bound as such, the update would
    // match no row and say nothing.
    Fixture fx({QStringLiteral("create table NK (K numeric(18,2) not null primary key, S varchar(10))"),
                QStringLiteral("insert into NK values (1234567890123456.78, 'antes')"),
                QStringLiteral("insert into NK values (1234567890123456.76, 'vizinho')")},
               QStringLiteral("NK"));
    fx.useTable(QStringLiteral("NK"), QStringLiteral("order by K desc"));
    fx.ds->open();
    QCOMPARE(fx.f("K")->asString(), QStringLiteral("1234567890123456,78"));
    fx.f("S")->setValue(QStringLiteral("depois"));
    fx.ds->post();
    fx.commit();
    QCOMPARE(fx.tdb.column(QStringLiteral("select S from NK order by K desc")), (QStringList{"depois", "vizinho"}));
}

void TestDataSetWrite::insertReadsBackComputedAndDefaulted() {
    // A column left out of the insert takes its default; a trigger changes another; the refresh
    // statement brings both into the row, with the computed column.
    Fixture fx({kClientes,
                QStringLiteral("create trigger CLIENTES_BI for CLIENTES before insert as begin "
                               "new.CIDADE = upper(new.CIDADE); end")});
    fx.ds->setInsertSQL({QStringLiteral("insert into CLIENTES (CODIGO, NOME, CIDADE) values (:CODIGO, :NOME, :CIDADE)")});
    fx.ds->open();
    QVERIFY(fx.ds->isEmpty());
    fx.ds->append();
    fx.f("CODIGO")->setValue(7);
    fx.f("NOME")->setValue(QStringLiteral("Caio"));
    fx.f("CIDADE")->setValue(QStringLiteral("Recife"));
    QCOMPARE(fx.f("PAIS")->asString(), QStringLiteral("Brasil")); // the new row shows its default
    fx.ds->post();
    QCOMPARE(fx.ds->rowCount(), 1);
    QCOMPARE(fx.ds->recNo(), 1);
    QCOMPARE(fx.f("PAIS")->asString(), QStringLiteral("Brasil"));
    QCOMPARE(fx.f("CIDADE")->asString(), QStringLiteral("RECIFE"));
    QCOMPARE(fx.f("TOTAL")->asString(), QStringLiteral("14"));
    // Without computed or defaulted columns nothing is re-read: the row shows what was posted.
    Fixture plain({QStringLiteral("create table P (ID integer not null primary key, S varchar(10))"),
                   QStringLiteral("create trigger P_BI for P before insert as begin new.S = upper(new.S); end")},
                  QStringLiteral("P"));
    plain.ds->open();
    plain.ds->append();
    plain.f("ID")->setValue(1);
    plain.f("S")->setValue(QStringLiteral("abc"));
    plain.ds->post();
    QCOMPARE(plain.f("S")->asString(), QStringLiteral("abc"));
}

void TestDataSetWrite::commitInMidEditClosesAndLosesTheEdit() {
    Fixture fx({kClientes, QStringLiteral("insert into CLIENTES (CODIGO, NOME) values (1, 'Ana')")});
    fx.ds->open();
    DataSet otherWindow;
    otherWindow.setDatabase(fx.dm->Banco);
    otherWindow.setSelectSQL({QStringLiteral("select * from CLIENTES")});
    otherWindow.open();
    fx.ds->edit();
    fx.f("NOME")->setValue(QStringLiteral("perdido"));
    QSignalSpy states(fx.ds.get(), &DataSet::stateChanged);
    fx.commit(); // "Grava" in another browse window
    QVERIFY(!fx.ds->active());
    QCOMPARE(fx.ds->state(), DataSet::Inactive);
    QCOMPARE(states.count(), 1);
    QVERIFY(!otherWindow.active());
    QCOMPARE(errorText([&] { fx.ds->post(); }), QStringLiteral("Dataset not in edit or insert mode"));
    fx.ds->open();
    QCOMPARE(fx.f("NOME")->asString(), QStringLiteral("Ana"));
    QCOMPARE(fx.tdb.scalar(QStringLiteral("select NOME from CLIENTES")), QStringLiteral("Ana"));
}

void TestDataSetWrite::requiredColumnNamed() {
    Fixture fx({kClientes});
    fx.ds->open();
    QSignalSpy focus(fx.ds.get(), &DataSet::focusField);
    fx.ds->append();
    fx.f("CODIGO")->setValue(1);
    // NOME is NOT NULL without a default; PAIS has a default and TOTAL is computed: neither required.
    QCOMPARE(errorText([&] { fx.ds->post(); }), QStringLiteral("Field 'NOME' must have a value"));
    QCOMPARE(fx.ds->state(), DataSet::Insert);
    QCOMPARE(focus.count(), 1);
    QCOMPARE(focus.at(0).at(0).toInt(), fx.f("NOME")->index());
    QCOMPARE(fx.f("CODIGO")->value().toInt(), 1);
    fx.f("NOME")->setValue(QStringLiteral("Ana"));
    fx.ds->post();
    QCOMPARE(fx.ds->state(), DataSet::Browse);
    // The first required field in field order is named.
    fx.ds->append();
    QCOMPARE(errorText([&] { fx.ds->post(); }), QStringLiteral("Field 'CODIGO' must have a value"));
}

void TestDataSetWrite::rejectedPostKeepsStateAndValues_data() {
    QTest::addColumn<bool>("inserting");
    QTest::newRow("edit") << false;
    QTest::newRow("insert") << true;
}

void TestDataSetWrite::rejectedPostKeepsStateAndValues() {
    QFETCH(bool, inserting);
    Fixture fx({kClientes, QStringLiteral("alter table CLIENTES add constraint CK_NOME check (NOME <> 'proibido')"),
                QStringLiteral("insert into CLIENTES (CODIGO, NOME) values (1, 'Ana')"),
                QStringLiteral("insert into CLIENTES (CODIGO, NOME) values (2, 'Bia')")});
    fx.useTable(QStringLiteral("CLIENTES"), QStringLiteral("order by CODIGO"));
    fx.ds->open();
    if (inserting) {
        fx.ds->append();
        fx.f("CODIGO")->setValue(2); // a key that exists
    } else {
        fx.ds->edit();
        fx.f("CODIGO")->setValue(3);
    }
    fx.f("NOME")->setValue(QStringLiteral("proibido"));
    fx.f("CIDADE")->setAsString(QStringLiteral("Natal"));
    try {
        fx.ds->post();
        QFAIL("posted");
    } catch (const DbError& e) {
        QVERIFY2(e.message().contains(QStringLiteral("CK_NOME")) || e.message().contains(QStringLiteral("PRIMARY")) ||
                     e.message().contains(QStringLiteral("violation")),
                 qPrintable(e.message()));
    }
    QCOMPARE(fx.ds->state(), inserting ? DataSet::Insert : DataSet::Edit);
    QVERIFY(fx.ds->modified());
    QCOMPARE(fx.f("NOME")->asString(), QStringLiteral("proibido"));
    QCOMPARE(fx.f("CIDADE")->asString(), QStringLiteral("Natal"));
    QCOMPARE(fx.f("CODIGO")->value().toInt(), inserting ? 2 : 3);
    // Corrected, the same post goes through.
    fx.f("NOME")->setValue(QStringLiteral("permitido"));
    fx.f("CODIGO")->setValue(5);
    fx.ds->post();
    QCOMPARE(fx.ds->state(), DataSet::Browse);
    fx.commit();
    QCOMPARE(fx.tdb.column(QStringLiteral("select CODIGO || NOME || coalesce(CIDADE, '') from CLIENTES order by CODIGO")),
             inserting ? (QStringList{"1Ana", "2Bia", "5permitidoNatal"}) : (QStringList{"2Bia", "5permitidoNatal"}));
}

void TestDataSetWrite::lockConflictFailsAtOnce() {
    Fixture fx({kClientes, QStringLiteral("insert into CLIENTES (CODIGO, NOME) values (1, 'Ana')")});
    fx.ds->open();
    // Another user changes the row and does not commit yet.
    TestConnection other(fx.tdb.path());
    other.open();
    {
        Statement st(&other.db, &other.tr);
        st.prepare(QStringLiteral("update CLIENTES set NOME = 'outro' where CODIGO = 1"));
        st.execute();
    }
    fx.ds->edit();
    fx.f("NOME")->setValue(QStringLiteral("meu"));
    // No wait: the conflict is told at once. (A waiting transaction would never answer here, since
    // the other one ends only below, on this same thread.)
    try {
        fx.ds->post();
        QFAIL("posted over a lock");
    } catch (const DbError& e) {
        QVERIFY2(e.message().contains(QStringLiteral("update conflicts with concurrent update")),
                 qPrintable(e.message()));
    }
    QCOMPARE(fx.ds->state(), DataSet::Edit);
    QCOMPARE(fx.f("NOME")->asString(), QStringLiteral("meu"));
    // Once the other user gives up, posting again succeeds.
    other.tr.rollback();
    fx.ds->post();
    fx.commit();
    QCOMPARE(fx.tdb.scalar(QStringLiteral("select NOME from CLIENTES")), QStringLiteral("meu"));
}

void TestDataSetWrite::blobsOver64KB() {
    Fixture fx({QStringLiteral("create table B (ID integer not null primary key, M blob sub_type text, "
                               "X blob sub_type binary)"),
                QStringLiteral("insert into B (ID) values (1)")},
               QStringLiteral("B"));
    QString text;
    while (text.size() < 100000)
        text += QStringLiteral("Ação, coração, pão %1\r\n").arg(text.size());
    QByteArray binary(200000, '\0');
    for (int i = 0; i < binary.size(); ++i)
        binary[i] = static_cast<char>((i * 31 + i / 512) & 0xff);
    fx.ds->open();
    fx.ds->edit();
    fx.f("M")->setValue(text);
    fx.f("X")->setBlobBytes(binary);
    QCOMPARE(fx.f("M")->value().toString(), text); // the edit shows the new content
    fx.ds->post();
    QCOMPARE(fx.f("X")->blobBytes(), binary);
    // A second row by insert.
    fx.ds->append();
    fx.f("ID")->setValue(2);
    fx.f("M")->setBlobBytes(text.toUtf8());
    fx.f("X")->setValue(binary.left(65536));
    fx.ds->post();
    fx.commit();
    QCOMPARE(fx.tdb.column(QStringLiteral("select octet_length(X) from B order by ID")),
             (QStringList{QString::number(binary.size()), QStringLiteral("65536")}));
    fx.ds->open();
    for (int id = 1; id <= 2; ++id) {
        QCOMPARE(fx.f("ID")->value().toInt(), id);
        QCOMPARE(fx.f("M")->value().toString(), text);
        QCOMPARE(fx.f("M")->asString(), text);
        QCOMPARE(fx.f("M")->blobBytes(), text.toUtf8());
        QCOMPARE(fx.f("X")->value().toByteArray(), id == 1 ? binary : binary.left(65536));
        fx.ds->next();
    }
    // Emptied and cleared: an empty blob is not NULL.
    fx.ds->first();
    fx.f("X")->setBlobBytes(QByteArray());
    fx.f("M")->clear();
    fx.ds->post();
    fx.commit();
    QCOMPARE(fx.tdb.scalar(QStringLiteral("select coalesce(octet_length(M), -1) || '/' || octet_length(X) from B where ID = 1")),
             QStringLiteral("-1/0"));
}

void TestDataSetWrite::everyKindThroughPost_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("varchar") << "varchar(30)" << QVariant(QStringLiteral("Ação, coração")) << "Ação, coração";
    QTest::newRow("char") << "char(6)" << QVariant(QStringLiteral("pão   ")) << "pão   ";
    QTest::newRow("char beyond the BMP") << "char(3)" << QVariant(QStringLiteral("a\U0001F600 ")) << "a\U0001F600 ";
    QTest::newRow("smallint") << "smallint" << QVariant(-32768) << "-32768";
    QTest::newRow("integer") << "integer" << QVariant(2147483647) << "2147483647";
    QTest::newRow("bigint") << "bigint" << QVariant(qlonglong(-9223372036854775807LL)) << "-9223372036854775807";
    QTest::newRow("numeric(4,2)") << "numeric(4,2)" << QVariant(-12.34) << "-12,34";
    QTest::newRow("numeric(9,4)") << "numeric(9,4)" << QVariant(12345.6789) << "12345,6789";
    QTest::newRow("numeric(18,2), beyond a double's digits")
        << "numeric(18,2)" << QVariant(QStringLiteral("1234567890123456,78")) << "1234567890123456,78";
    QTest::newRow("decimal(18,6)") << "decimal(18,6)" << QVariant(-3.141593) << "-3,141593";
    QTest::newRow("float") << "float" << QVariant(0.1) << "0,1";
    QTest::newRow("double precision") << "double precision" << QVariant(2.718281828459045) << "2,718281828459045";
    QTest::newRow("date") << "date" << QVariant(QDate(1858, 11, 16)) << "16/11/1858";
    QTest::newRow("time") << "time" << QVariant(QTime(23, 59, 58, 123)) << "23:59:58";
    QTest::newRow("timestamp") << "timestamp" << QVariant(QDateTime(QDate(2000, 2, 29), QTime(12, 0, 1, 5), Qt::UTC))
                               << "29/02/2000 12:00:01";
    QTest::newRow("boolean") << "boolean" << QVariant(false) << "False";
    QTest::newRow("text blob") << "blob sub_type text" << QVariant(QStringLiteral("memo\r\nAção")) << "memo\r\nAção";
    QTest::newRow("binary blob") << "blob sub_type binary" << QVariant(QByteArray("\x00\xff\x10", 3))
                                 << QString::fromLatin1("\x00\xff\x10", 3);
}

void TestDataSetWrite::everyKindThroughPost() {
    QFETCH(QString, type);
    QFETCH(QVariant, value);
    QFETCH(QString, text);
    Fixture fx({QStringLiteral("create table K (ID integer not null primary key, V %1, W %1)").arg(type)},
               QStringLiteral("K"));
    fx.ds->open();
    fx.ds->append(); // V by insert
    fx.f("ID")->setValue(1);
    fx.f("V")->setValue(value);
    fx.ds->post();
    fx.ds->edit(); // W by update
    fx.f("W")->setValue(value);
    fx.ds->post();
    fx.commit();
    fx.ds->open();
    for (const char* name : {"V", "W"}) {
        const QVariant got = fx.f(name)->value();
        if (value.typeId() == QMetaType::QString && got.typeId() == QMetaType::Double)
            QCOMPARE(fx.f(name)->asString(), text);
        else if (value.typeId() == QMetaType::Double)
            QCOMPARE(got.toDouble(), value.toDouble());
        else
            QCOMPARE(got, value);
        QCOMPARE(fx.f(name)->asString(), text);
    }
    // The text form reads back to the same value.
    fx.ds->edit();
    fx.f("W")->setAsString(fx.f("V")->asString());
    fx.ds->post();
    fx.commit();
    fx.ds->open();
    QCOMPARE(fx.f("W")->asString(), text);
}

void TestDataSetWrite::insertAppendCancel() {
    Fixture fx({kClientes, QStringLiteral("insert into CLIENTES (CODIGO, NOME) values (1, 'Ana')"),
                QStringLiteral("insert into CLIENTES (CODIGO, NOME) values (2, 'Bia')"),
                QStringLiteral("insert into CLIENTES (CODIGO, NOME) values (3, 'Caio')")});
    fx.useTable(QStringLiteral("CLIENTES"), QStringLiteral("order by CODIGO"));
    fx.ds->open();
    QSignalSpy inserted(fx.ds.get(), &DataSet::rowInserted);
    QSignalSpy removed(fx.ds.get(), &DataSet::rowRemoved);
    fx.ds->next(); // on Bia
    fx.ds->insert(); // a new empty row before Bia
    QCOMPARE(fx.ds->state(), DataSet::Insert);
    QCOMPARE(fx.ds->currentRow(), 1);
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.at(0).at(0).toInt(), 1);
    QVERIFY(fx.f("CODIGO")->isNull());
    QCOMPARE(fx.ds->text(2, 1), QStringLiteral("Bia"));
    fx.ds->cancel();
    QCOMPARE(removed.count(), 1);
    QCOMPARE(fx.ds->state(), DataSet::Browse);
    QCOMPARE(fx.f("NOME")->asString(), QStringLiteral("Bia")); // back where it was
    // Append reads every row first and adds after the last.
    fx.ds->close();
    fx.ds->open();
    QVERIFY(!fx.ds->allFetched());
    fx.ds->append();
    QVERIFY(fx.ds->allFetched());
    QCOMPARE(fx.ds->currentRow(), 3);
    QCOMPARE(fx.ds->rowCount(), 4);
    fx.f("CODIGO")->setValue(4);
    fx.f("NOME")->setValue(QStringLiteral("Davi"));
    fx.ds->post();
    QCOMPARE(fx.ds->rowCount(), 4);
    QCOMPARE(fx.ds->recNo(), 4); // stays the current row, after the rows read so far
    // Cancel in edit state restores the row; in browse state it does nothing.
    fx.ds->first();
    fx.f("NOME")->setValue(QStringLiteral("xx"));
    QVERIFY(fx.ds->modified());
    fx.ds->cancel();
    QCOMPARE(fx.f("NOME")->asString(), QStringLiteral("Ana"));
    fx.ds->cancel();
    QCOMPARE(fx.ds->state(), DataSet::Browse);
    // Delete in insert state cancels the new row.
    fx.ds->insert();
    fx.ds->remove();
    QCOMPARE(fx.ds->state(), DataSet::Browse);
    QCOMPARE(fx.ds->rowCount(), 4);
}

void TestDataSetWrite::movingAwayPostsOrCancels() {
    Fixture fx({kClientes, QStringLiteral("insert into CLIENTES (CODIGO, NOME) values (1, 'Ana')"),
                QStringLiteral("insert into CLIENTES (CODIGO, NOME) values (2, 'Bia')")});
    fx.useTable(QStringLiteral("CLIENTES"), QStringLiteral("order by CODIGO"));
    fx.ds->open();
    fx.f("NOME")->setValue(QStringLiteral("Ana Paula")); // automatic edit
    fx.ds->next(); // posts
    QCOMPARE(fx.ds->state(), DataSet::Browse);
    QCOMPARE(fx.ds->text(0, 1), QStringLiteral("Ana Paula"));
    fx.ds->edit(); // unchanged: moving cancels
    fx.ds->prior();
    QCOMPARE(fx.ds->state(), DataSet::Browse);
    QCOMPARE(fx.ds->currentRow(), 0);
    // An untouched new row goes away when the cursor moves; the target row is still reached.
    fx.ds->insert(); // at 0
    QCOMPARE(fx.ds->rowCount(), 3);
    fx.ds->setCurrentRow(2); // Bia, which is row 1 again once the new row is gone
    QCOMPARE(fx.ds->rowCount(), 2);
    QCOMPARE(fx.f("NOME")->asString(), QStringLiteral("Bia"));
    // A post that fails on the way stops the move.
    fx.ds->first();
    fx.f("NOME")->clear();
    QCOMPARE(errorText([&] { fx.ds->next(); }), QStringLiteral("Field 'NOME' must have a value"));
    QCOMPARE(fx.ds->currentRow(), 0);
    QCOMPARE(fx.ds->state(), DataSet::Edit);
    fx.ds->cancel();
    fx.commit();
    QCOMPARE(fx.tdb.column(QStringLiteral("select NOME from CLIENTES order by CODIGO")), (QStringList{"Ana Paula", "Bia"}));
}

void TestDataSetWrite::deleteRows() {
    Fixture fx({kClientes, QStringLiteral("create table PEDIDOS (ID integer, CLIENTE integer references CLIENTES)"),
                QStringLiteral("insert into CLIENTES (CODIGO, NOME) values (1, 'Ana')"),
                QStringLiteral("insert into CLIENTES (CODIGO, NOME) values (2, 'Bia')"),
                QStringLiteral("insert into CLIENTES (CODIGO, NOME) values (3, 'Caio')"),
                QStringLiteral("insert into PEDIDOS values (1, 3)")});
    fx.useTable(QStringLiteral("CLIENTES"), QStringLiteral("order by CODIGO"));
    fx.ds->open();
    // Edits in progress do not count: the row as read is deleted.
    fx.ds->edit();
    fx.f("CODIGO")->setValue(99);
    fx.ds->remove();
    QCOMPARE(fx.ds->state(), DataSet::Browse);
    QCOMPARE(fx.ds->rowCount(), 1); // only the first was read; the next is read for the cursor
    QCOMPARE(fx.f("NOME")->asString(), QStringLiteral("Bia"));
    fx.ds->next();
    // A refused delete keeps the row.
    const QString refused = errorText([&] { fx.ds->remove(); });
    QVERIFY2(refused.contains(QStringLiteral("violation of FOREIGN KEY constraint")), qPrintable(refused));
    QCOMPARE(fx.f("NOME")->asString(), QStringLiteral("Caio"));
    QCOMPARE(fx.ds->rowCount(), 2);
    // The last row deleted: the one before becomes current.
    fx.ds->prior();
    fx.ds->last();
    fx.ds->first();
    fx.ds->remove();
    QCOMPARE(fx.f("NOME")->asString(), QStringLiteral("Caio"));
    fx.commit();
    QCOMPARE(fx.tdb.column(QStringLiteral("select CODIGO from CLIENTES")), QStringList{"3"});
    // No rows.
    fx.ds->setSelectSQL({QStringLiteral("Select * From CLIENTES where CODIGO < 0")});
    fx.ds->open();
    QCOMPARE(errorText([&] { fx.ds->remove(); }),
             QStringLiteral("IBDataSet1: Cannot perform this operation on an empty dataset"));
    fx.ds->setObjectName(QString());
    QCOMPARE(errorText([&] { fx.ds->remove(); }), QStringLiteral("Cannot perform this operation on an empty dataset"));
}

void TestDataSetWrite::misuseMessages() {
    Fixture fx({kClientes, QStringLiteral("insert into CLIENTES (CODIGO, NOME) values (1, 'Ana')")});
    fx.ds->open();
    fx.ds->post(); // browse: nothing
    QCOMPARE(fx.ds->state(), DataSet::Browse);
    QCOMPARE(errorText([&] { fx.f("TOTAL")->setValue(3); }), QStringLiteral("Field 'TOTAL' cannot be modified"));
    fx.ds->cancel();
    // Without the statement of a kind, that kind of change is refused.
    fx.ds->setModifySQL({});
    fx.ds->open();
    QCOMPARE(errorText([&] { fx.ds->edit(); }), QStringLiteral("Cannot update. (No update query)"));
    fx.ds->setInsertSQL({QStringLiteral("  ")});
    fx.ds->open();
    QCOMPARE(errorText([&] { fx.ds->append(); }), QStringLiteral("Cannot insert into dataset. (No insert query)"));
    QVERIFY(fx.ds->canDelete());
    fx.ds->setDeleteSQL({});
    fx.ds->open();
    QCOMPARE(errorText([&] { fx.ds->edit(); }), QStringLiteral("IBDataSet1: Cannot modify a read-only dataset"));
    QCOMPARE(errorText([&] { fx.ds->remove(); }), QStringLiteral("IBDataSet1: Cannot modify a read-only dataset"));
    QCOMPARE(errorText([&] { fx.f("NOME")->setValue(QStringLiteral("x")); }),
             QStringLiteral("IBDataSet1: Cannot modify a read-only dataset"));
    QCOMPARE(fx.ds->state(), DataSet::Browse);
}

void TestDataSetWrite::parametersByName() {
    Fixture fx({QStringLiteral("create table T (ID integer not null primary key, A varchar(10), B varchar(10), "
                               "\"Nome Completo\" varchar(20))"),
                QStringLiteral("create table LOG (QUEM varchar(60))"),
                QStringLiteral("insert into T values (1, 'a', 'b', 'Ana')")},
               QStringLiteral("T"));
    // Every form of name in one statement: plain, NEW_, OLD_, quoted, unknown (NULL).
    fx.ds->setModifySQL({QStringLiteral("insert into LOG values (:A || '|' || :NEW_B || '|' || :OLD_A || '|' || "
                                        ":\"OLD_Nome Completo\" || '|' || :\"Nome Completo\" || '|' || "
                                        "coalesce(:NADA, 'null') || '|' || ':naoParam')")});
    fx.ds->open();
    fx.ds->edit();
    fx.f("A")->setValue(QStringLiteral("A2"));
    fx.f("B")->setValue(QStringLiteral("B2"));
    fx.f("Nome Completo")->setValue(QStringLiteral("Ana Lima"));
    fx.ds->post();
    fx.commit();
    QCOMPARE(fx.tdb.scalar(QStringLiteral("select QUEM from LOG")), QStringLiteral("A2|B2|a|Ana|Ana Lima|null|:naoParam"));
}

void TestDataSetWrite::modifyOrDeleteMatchingNoRowIsRefused() {
    Fixture fx({kClientes, QStringLiteral("insert into CLIENTES (CODIGO, NOME) values (1, 'Ana')"),
                QStringLiteral("insert into CLIENTES (CODIGO, NOME) values (2, 'Bia')")});
    fx.useTable(QStringLiteral("CLIENTES"), QStringLiteral("order by CODIGO"));
    fx.ds->open();
    fx.ds->next();
    fx.f("NOME")->setValue(QStringLiteral("Beatriz")); // posted before: undoing the refused one keeps it
    fx.ds->post();
    fx.ds->first();
    {
        // The row goes away behind the dataset's back (same transaction).
        Statement st(fx.dm->Banco, fx.dm->Trans);
        st.prepare(QStringLiteral("delete from CLIENTES where CODIGO = 1"));
        st.execute();
    }
    fx.f("NOME")->setValue(QStringLiteral("fantasma"));
    QCOMPARE(errorText([&] { fx.ds->post(); }),
             QStringLiteral(
                 "O registro não foi gravado: ele não foi encontrado na tabela (pode ter sido alterado ou "
                 "excluído por outro usuário)."));
    QCOMPARE(fx.ds->state(), DataSet::Edit);
    QCOMPARE(fx.f("NOME")->asString(), QStringLiteral("fantasma"));
    fx.ds->cancel();
    QCOMPARE(errorText([&] { fx.ds->remove(); }),
             QStringLiteral(
                 "O registro não foi excluído: ele não foi encontrado na tabela (pode ter sido alterado ou "
                 "excluído por outro usuário)."));
    QCOMPARE(fx.ds->rowCount(), 2);
    QCOMPARE(fx.ds->currentRow(), 0);
    // The transaction goes on.
    fx.ds->append();
    fx.f("CODIGO")->setValue(3);
    fx.f("NOME")->setValue(QStringLiteral("Caio"));
    fx.ds->post();
    fx.commit();
    QCOMPARE(fx.tdb.column(QStringLiteral("select NOME from CLIENTES order by CODIGO")),
             (QStringList{"Beatriz", "Caio"}));
}

void TestDataSetWrite::valuesTypedAsText_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");    // as shown afterwards, or the message
    QTest::newRow("decimal comma") << "VALOR" << "1234,5" << "1234,50";
    QTest::newRow("decimal point") << "VALOR" << "1234.5" << "1234,50";
    QTest::newRow("grouped") << "VALOR" << "1.234,56" << "1234,56";
    QTest::newRow("rounded half away from zero") << "VALOR" << "-0,125" << "-0,13";
    QTest::newRow("not a number") << "VALOR" << "12a" << "'12a' is not a valid floating point value";
    QTest::newRow("beyond the storage")
        << "PEQ" << "400" << "400 is not a valid value for field 'PEQ'. The allowed range is -327,68 to 327,67";
    QTest::newRow("integer") << "N" << " 42 " << "42";
    QTest::newRow("integer refuses a fraction") << "N" << "4,2" << "'4,2' is not a valid integer value";
    QTest::newRow("integer overflow")
        << "N" << "3000000000" << "3000000000 is not a valid value for field 'N'. The allowed range is -2147483648 to 2147483647";
    QTest::newRow("empty is NULL") << "N" << "" << "";
    QTest::newRow("short date") << "D" << "2/1/2026" << "02/01/2026";
    QTest::newRow("two-digit year") << "D" << "02/01/26" << "02/01/2026";
    QTest::newRow("bad date") << "D" << "31/02/2026" << "'31/02/2026' is not a valid date";
    QTest::newRow("timestamp") << "TS" << "02/01/2026 8:05" << "02/01/2026 08:05:00";
    QTest::newRow("timestamp midnight") << "TS" << "02/01/2026 00:00:00" << "02/01/2026";
    QTest::newRow("bad timestamp") << "TS" << "02/01/2026 25:00" << "'02/01/2026 25:00' is not a valid date and time";
    QTest::newRow("time") << "H" << "7:30" << "07:30:00";
    QTest::newRow("bad time") << "H" << "7h30" << "'7h30' is not a valid time";
    QTest::newRow("boolean") << "OK" << "true" << "True";
    QTest::newRow("boolean in Portuguese") << "OK" << "Não" << "False";
    QTest::newRow("bad boolean") << "OK" << "talvez" << "'talvez' is not a valid boolean value";
    QTest::newRow("empty text stays text") << "S" << "" << "";
}

void TestDataSetWrite::valuesTypedAsText() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, text);
    Fixture fx({QStringLiteral("create table V (ID integer not null primary key, VALOR numeric(15,2), "
                               "PEQ numeric(4,2), N integer, D date, TS timestamp, H time, OK boolean, S varchar(5))"),
                QStringLiteral("insert into V (ID, S) values (1, 'x')")},
               QStringLiteral("V"));
    fx.ds->open();
    const QString message = errorText([&] { fx.ds->fieldByName(field)->setAsString(typed); });
    if (message != QStringLiteral("<no error>")) {
        QCOMPARE(message, text);
        return;
    }
    fx.ds->post();
    QCOMPARE(fx.ds->fieldByName(field)->asString(), text);
    QCOMPARE(fx.ds->fieldByName(field)->isNull(), typed.isEmpty() && field != "S");
}

void TestDataSetWrite::stateChangedOnEveryChange() {
    Fixture fx({kClientes, QStringLiteral("insert into CLIENTES (CODIGO, NOME) values (1, 'Ana')")});
    QSignalSpy states(fx.ds.get(), &DataSet::stateChanged);
    fx.ds->open();
    fx.ds->edit();
    fx.ds->post();
    fx.ds->append();
    fx.ds->cancel();
    fx.f("NOME")->setValue(QStringLiteral("x"));
    fx.ds->cancel();
    fx.ds->close();
    QList<DataSet::State> seen;
    for (const auto& args : states)
        seen.append(args.at(0).value<DataSet::State>());
    QCOMPARE(seen, (QList<DataSet::State>{DataSet::Browse, DataSet::Edit, DataSet::Browse, DataSet::Insert,
                                          DataSet::Browse, DataSet::Edit, DataSet::Browse, DataSet::Inactive}));
}

QTEST_GUILESS_MAIN(TestDataSetWrite)
#include "test_datasetwrite.moc"
