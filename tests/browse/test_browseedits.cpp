// What the user types in a browse window reaches the database exactly, or is refused with a
// message: values typed into the open cell editor and saved with the row buttons, times with all
// their digits, rows that the generated statements no longer find (or find more than once), keys
// declared under their own constraint name, and the defaults of a new row. Every case acts as the
// user does (cell editor, buttons) and reads the database after the commit, through another
// attachment.
#include "browse/ui/fbrowse.h"
#include "connection/datasetmodel.h"
#include "connection/dm.h"
#include "connection/identifiers.h"
#include "connection/transaction.h"
#include "platform/ui/mdihost.h"
#include "support/connectedholder.h"
#include "support/fbfixture.h"
#include "support/modal.h"
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTableView>
#include <QToolButton>
#include <QtTest>
#include <memory>

class TestBrowseEdits : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void timesKeepEveryDigit_data();
    void timesKeepEveryDigit();
    void typedTimesKeepFourDigits_data();
    void typedTimesKeepFourDigits();
    void rowNotFoundOrNotAloneIsRefused_data();
    void rowNotFoundOrNotAloneIsRefused();
    void keyUnderItsOwnConstraintName();
    void newRowTakesTheDefaults();
    void defaultClearedOnPurposeStaysNull();
    void rowButtonTakesTheOpenEditor_data();
    void rowButtonTakesTheOpenEditor();
    void valueTheFieldRefusesKeepsTheEditor();
    void cancelDropsTheOpenEditor_data();
    void cancelDropsTheOpenEditor();
    void untouchedEditorChangesNothing_data();
    void untouchedEditorChangesNothing();
    void enterInTextBlobEditorStaysThere();
    void timestampEditorShowsEveryDigit();
    void unchangedNewRowGoesWhenFocusLeaves();

private:
    TFBrowse* openBrowse(const QString& table, const QString& order);
    QModelIndex cell(TFBrowse* b, int row, const QString& field) const;
    // Types over the cell as the user does: the first key opens the cell editor, which stays open.
    QLineEdit* typeInCell(TFBrowse* b, int row, const QString& field, const QString& text);
    QLineEdit* openEditor(TFBrowse* b);
    // Types into the cell and presses Enter, which closes the editor; false when none opened.
    bool typeAndEnter(TFBrowse* b, int row, const QString& field, const QString& text);
    QStringList errors() const;
    QString nome(int codigo) {
        return m_db->scalar(
            QStringLiteral("select coalesce(NOME, '<null>') from CLIENTES where CODIGO = %1").arg(codigo));
    }
    QString updates() { return m_db->scalar(QStringLiteral("select count(*) from ATUALIZACOES")); }

    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<ConnectedHolder> m_holder;
    QList<QPointer<QWidget>> m_windows;
};

void TestBrowseEdits::initTestCase() {
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    m_db = std::make_unique<TempDatabase>(QStringList{
        QStringLiteral("create table CLIENTES (CODIGO integer not null primary key, NOME varchar(40),"
                       " HORA time, MOMENTO timestamp, PAIS varchar(10) default 'Brasil' not null,"
                       " QTD integer default 1, DESDE date default '2001-02-03', OBS blob sub_type text)"),
        // Every UPDATE that reaches a client row leaves a trace.
        QStringLiteral("create table ATUALIZACOES (CODIGO integer)"),
        QStringLiteral("create trigger CLIENTES_AU for CLIENTES after update as begin"
                       " insert into ATUALIZACOES values (old.CODIGO); end"),
        QStringLiteral("create table AGENDA (MOMENTO timestamp not null primary key, NOTA varchar(20))"),
        QStringLiteral("create table HORARIOS (HORA time, NOTA varchar(20))"),
        QStringLiteral("create table REPETIDOS (NOME varchar(10), N integer)"),
        QStringLiteral("create table NOMEADA (ID integer not null, NOME varchar(20), OBS varchar(20),"
                       " constraint PK_NOMEADA primary key (ID))"),
    });
}

void TestBrowseEdits::init() {
    m_db->exec({
        QStringLiteral("delete from CLIENTES"),
        QStringLiteral("delete from ATUALIZACOES"),
        QStringLiteral("delete from AGENDA"),
        QStringLiteral("delete from HORARIOS"),
        QStringLiteral("delete from REPETIDOS"),
        QStringLiteral("delete from NOMEADA"),
        QStringLiteral("insert into CLIENTES values (1, 'Ana', '12:30:09.1234', '2020-03-15 12:30:09.1234',"
                       " 'Chile', 5, null, 'obs de Ana')"),
        QStringLiteral("insert into CLIENTES values (2, 'Bia', null, null, 'Peru', null, null, null)"),
        QStringLiteral("insert into AGENDA values ('2020-03-15 12:30:09.1234', 'consulta')"),
        QStringLiteral("insert into HORARIOS values ('07:00:00.0001', 'cedo')"),
        QStringLiteral("insert into REPETIDOS values ('Ana', 1)"),
        QStringLiteral("insert into REPETIDOS values ('Ana', 1)"),
        QStringLiteral("insert into REPETIDOS values ('Bia', 2)"),
        QStringLiteral("insert into NOMEADA values (1, 'Ana', null)"),
    });
    m_holder = std::make_unique<ConnectedHolder>(m_db->path());
}

void TestBrowseEdits::cleanup() {
    for (const QPointer<QWidget>& w : std::as_const(m_windows))
        delete w.data();
    m_windows.clear();
    if (m_holder->dm.Trans->active()) m_holder->dm.Trans->rollback();
    m_holder.reset();
}

TFBrowse* TestBrowseEdits::openBrowse(const QString& table, const QString& order) {
    CurrentTable = table;
    BrowseSelect = QStringLiteral("Select * From ") + table + order;
    auto* b = new TFBrowse;
    m_windows.append(b);
    b->show();
    b->setWindowTitle(CurrentTable);
    return b;
}

QModelIndex TestBrowseEdits::cell(TFBrowse* b, int row, const QString& field) const {
    return b->DS->index(row, b->DS->columnOf(b->IBDataSet1->fieldByName(field)->index()));
}

QLineEdit* TestBrowseEdits::openEditor(TFBrowse* b) {
    // A closed editor is hidden at once and deleted later.
    for (QLineEdit* editor : b->Gs->viewport()->findChildren<QLineEdit*>())
        if (editor->isVisible()) return editor;
    return nullptr;
}

QLineEdit* TestBrowseEdits::typeInCell(TFBrowse* b, int row, const QString& field, const QString& text) {
    b->Gs->setCurrentIndex(cell(b, row, field));
    if (text.isEmpty()) {
        // Clearing: the editor opened on the cell, its text erased.
        QTest::keyClick(b->Gs, Qt::Key_F2);
        QLineEdit* editor = openEditor(b);
        if (editor) {
            editor->selectAll();
            QTest::keyClick(editor, Qt::Key_Delete);
        }
        return editor;
    }
    QTest::keyClick(b->Gs, text.at(0).toLatin1());
    QLineEdit* editor = openEditor(b);
    if (editor) QTest::keyClicks(editor, text.mid(1));
    return editor;
}

bool TestBrowseEdits::typeAndEnter(TFBrowse* b, int row, const QString& field, const QString& text) {
    QLineEdit* editor = typeInCell(b, row, field, text);
    if (!editor) return false;
    QTest::keyClick(editor, Qt::Key_Return);
    return QTest::qWaitFor([&] { return !openEditor(b); });
}

QStringList TestBrowseEdits::errors() const {
    QStringList out;
    for (const MessageRequest& m : m_holder->prompts.messages)
        if (m.icon == MsgIcon::Error) out.append(m.text);
    return out;
}

void TestBrowseEdits::timesKeepEveryDigit_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("check"); // after the commit
    QTest::addColumn<QStringList>("expected");
    // A value read goes back as read: editing another column keeps the fourth decimal digit of the
    // time, and a WHERE that holds such a value (a timestamp key, a table without a key) finds it.
    QTest::newRow("times of a row with a key")
        << "CLIENTES"
        << "NOME"
        << "select NOME || ' ' || HORA || ' ' || MOMENTO from CLIENTES where CODIGO = 1"
        << QStringList{"xyz 12:30:09.1234 2020-03-15 12:30:09.1234"};
    QTest::newRow("timestamp key") << "AGENDA"
                                   << "NOTA"
                                   << "select MOMENTO || ' ' || NOTA from AGENDA"
                                   << QStringList{"2020-03-15 12:30:09.1234 xyz"};
    QTest::newRow("time in a table without a key")
        << "HORARIOS"
        << "NOTA"
        << "select HORA || ' ' || NOTA from HORARIOS" << QStringList{"07:00:00.0001 xyz"};
}

void TestBrowseEdits::timesKeepEveryDigit() {
    QFETCH(QString, table);
    QFETCH(QString, field);
    QFETCH(QString, check);
    QFETCH(QStringList, expected);
    TFBrowse* b = openBrowse(table, QString());
    QVERIFY(typeAndEnter(b, 0, field, QStringLiteral("xyz")));
    QTest::mouseClick(b->SGrava, Qt::LeftButton);
    QCOMPARE(b->IBDataSet1->state(), DataSet::Browse);
    QTest::mouseClick(b->SCommit, Qt::LeftButton);
    QCOMPARE(errors(), QStringList());
    QCOMPARE(m_db->column(check), expected);

    // Deleting finds the row by the same values.
    QTest::mouseClick(b->SAbre, Qt::LeftButton);
    m_holder->prompts.messageAnswers = {MbYes};
    QTest::mouseClick(b->SExclui, Qt::LeftButton);
    QTest::mouseClick(b->SCommit, Qt::LeftButton);
    QCOMPARE(errors(), QStringList());
    QCOMPARE(m_db->column(check), QStringList());
}

void TestBrowseEdits::typedTimesKeepFourDigits_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("time") << "HORA"
                          << "08:15:00,0001"
                          << "08:15:00.0001";
    QTest::newRow("time with a point") << "HORA"
                                       << "23:59:59.9999"
                                       << "23:59:59.9999";
    QTest::newRow("timestamp") << "MOMENTO"
                               << "01/02/2021 10:11:12,5678"
                               << "2021-02-01 10:11:12.5678";
}

void TestBrowseEdits::typedTimesKeepFourDigits() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"), QStringLiteral(" Order By CODIGO"));
    QVERIFY(typeAndEnter(b, 1, field, typed));
    QTest::mouseClick(b->SGrava, Qt::LeftButton);
    QTest::mouseClick(b->SCommit, Qt::LeftButton);
    QCOMPARE(errors(), QStringList());
    QCOMPARE(m_db->scalar(
                 QStringLiteral("select cast(%1 as varchar(30)) from CLIENTES where CODIGO = 2").arg(field)),
             stored);
}

void TestBrowseEdits::rowNotFoundOrNotAloneIsRefused_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("behind"); // run by another user before the action; empty: nothing
    QTest::addColumn<bool>("deleting");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("left"); // the table after the commit
    const QString gone = QStringLiteral("delete from CLIENTES where CODIGO = 1");
    const QString changed = QStringLiteral("update HORARIOS set NOTA = 'outra'");
    const QStringList clientes{"2 Bia"};
    // clang-format off
    QTest::newRow("edited row deleted by another user")
        << "CLIENTES" << "NOME" << gone << false
        << "O registro não foi gravado: ele não foi encontrado na tabela (pode ter sido alterado ou excluído por outro usuário)."
        << clientes;
    QTest::newRow("deleted row deleted by another user")
        << "CLIENTES" << "NOME" << gone << true
        << "O registro não foi excluído: ele não foi encontrado na tabela (pode ter sido alterado ou excluído por outro usuário)."
        << clientes;
    QTest::newRow("row of a table without a key changed by another user")
        << "HORARIOS" << "NOTA" << changed << false
        << "O registro não foi gravado: ele não foi encontrado na tabela (pode ter sido alterado ou excluído por outro usuário)."
        << QStringList{"07:00:00.0001 outra"};
    QTest::newRow("edited row with a twin")
        << "REPETIDOS" << "NOME" << QString() << false
        << "O registro não foi gravado: 2 registros da tabela são iguais a ele e seriam todos alterados."
        << QStringList{"Ana 1", "Ana 1", "Bia 2"};
    QTest::newRow("deleted row with a twin")
        << "REPETIDOS" << "NOME" << QString() << true
        << "O registro não foi excluído: 2 registros da tabela são iguais a ele e seriam todos excluídos."
        << QStringList{"Ana 1", "Ana 1", "Bia 2"};
    // clang-format on
}

void TestBrowseEdits::rowNotFoundOrNotAloneIsRefused() {
    QFETCH(QString, table);
    QFETCH(QString, field);
    QFETCH(QString, behind);
    QFETCH(bool, deleting);
    QFETCH(QString, message);
    QFETCH(QStringList, left);
    const QString order =
        table == QLatin1String("REPETIDOS") ? QStringLiteral(" Order By NOME, N") : QString();
    TFBrowse* b =
        openBrowse(table, table == QLatin1String("CLIENTES") ? QStringLiteral(" Order By CODIGO") : order);
    const QString key = table == QLatin1String("CLIENTES")   ? QStringLiteral("CODIGO || ' ' || NOME")
                        : table == QLatin1String("HORARIOS") ? QStringLiteral("HORA || ' ' || NOTA")
                                                             : QStringLiteral("NOME || ' ' || N");
    const QString check = QStringLiteral("select %1 from %2 order by 1").arg(key, table);
    if (!behind.isEmpty()) m_db->exec(behind);
    const int rows = b->IBDataSet1->rowCount();

    if (deleting) {
        b->Gs->setCurrentIndex(cell(b, 0, field));
        m_holder->prompts.messageAnswers = {MbYes};
        QTest::mouseClick(b->SExclui, Qt::LeftButton);
        QCOMPARE(errors(), QStringList{message});
        QCOMPARE(b->IBDataSet1->state(), DataSet::Browse);
        QCOMPARE(b->IBDataSet1->rowCount(), rows); // the row stays
        QCOMPARE(b->IBDataSet1->currentRow(), 0);
    } else {
        QVERIFY(typeAndEnter(b, 0, field, QStringLiteral("Novo")));
        QTest::mouseClick(b->SGrava, Qt::LeftButton);
        QCOMPARE(errors(), QStringList{message});
        // The row keeps its state and what was typed, to be corrected or cancelled.
        QCOMPARE(b->IBDataSet1->state(), DataSet::Edit);
        QCOMPARE(b->IBDataSet1->fieldByName(field)->asString(), QStringLiteral("Novo"));
        QTest::mouseClick(b->SCancela, Qt::LeftButton);
    }
    QTest::mouseClick(b->SCommit, Qt::LeftButton);
    QCOMPARE(m_db->column(check), left);
}

void TestBrowseEdits::keyUnderItsOwnConstraintName() {
    // The key is the table's PRIMARY KEY constraint, whatever its index is called: the row with a
    // NULL column is still found by its key.
    TFBrowse* b = openBrowse(QStringLiteral("NOMEADA"), QString());
    QVERIFY(typeAndEnter(b, 0, QStringLiteral("NOME"), QStringLiteral("Ana Maria")));
    QTest::mouseClick(b->SGrava, Qt::LeftButton);
    QTest::mouseClick(b->SCommit, Qt::LeftButton);
    QCOMPARE(errors(), QStringList());
    QCOMPARE(m_db->scalar(QStringLiteral("select NOME from NOMEADA where ID = 1")),
             QStringLiteral("Ana Maria"));
}

void TestBrowseEdits::newRowTakesTheDefaults() {
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"), QStringLiteral(" Order By CODIGO"));
    QTest::mouseClick(b->SNovo, Qt::LeftButton);
    const int row = b->IBDataSet1->currentRow();
    // The new row shows what the server would put there.
    QCOMPARE(b->DS->data(cell(b, row, QStringLiteral("PAIS"))).toString(), QStringLiteral("Brasil"));
    QCOMPARE(b->DS->data(cell(b, row, QStringLiteral("QTD"))).toString(), QStringLiteral("1"));
    QCOMPARE(b->DS->data(cell(b, row, QStringLiteral("DESDE"))).toString(), QStringLiteral("03/02/2001"));
    QVERIFY(!b->IBDataSet1->modified());
    QVERIFY(typeAndEnter(b, row, QStringLiteral("CODIGO"), QStringLiteral("9")));
    QTest::mouseClick(b->SGrava, Qt::LeftButton);
    QCOMPARE(errors(), QStringList());
    QTest::mouseClick(b->SCommit, Qt::LeftButton);
    QCOMPARE(
        m_db->scalar(QStringLiteral("select PAIS || ' ' || QTD || ' ' || DESDE || ' ' || coalesce(NOME, '-')"
                                    " from CLIENTES where CODIGO = 9")),
        QStringLiteral("Brasil 1 2001-02-03 -"));
}

void TestBrowseEdits::defaultClearedOnPurposeStaysNull() {
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"), QStringLiteral(" Order By CODIGO"));
    QTest::mouseClick(b->SNovo, Qt::LeftButton);
    const int row = b->IBDataSet1->currentRow();
    QVERIFY(typeAndEnter(b, row, QStringLiteral("CODIGO"), QStringLiteral("8")));
    QVERIFY(typeAndEnter(b, row, QStringLiteral("QTD"), QString()));
    QTest::mouseClick(b->SGrava, Qt::LeftButton);
    QCOMPARE(errors(), QStringList());
    QTest::mouseClick(b->SCommit, Qt::LeftButton);
    QCOMPARE(m_db->scalar(
                 QStringLiteral("select PAIS || ' ' || coalesce(QTD, -1) from CLIENTES where CODIGO = 8")),
             QStringLiteral("Brasil -1"));
}

void TestBrowseEdits::rowButtonTakesTheOpenEditor_data() {
    QTest::addColumn<bool>("newRow");
    QTest::newRow("row being edited") << false;
    QTest::newRow("new row") << true;
}

void TestBrowseEdits::rowButtonTakesTheOpenEditor() {
    // The row buttons take no focus: the cell editor is still open when "Grava" is clicked, and
    // what it holds is saved with the row.
    QFETCH(bool, newRow);
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"), QStringLiteral(" Order By CODIGO"));
    int row = 0;
    if (newRow) {
        QTest::mouseClick(b->SNovo, Qt::LeftButton);
        row = b->IBDataSet1->currentRow();
        QLineEdit* code = typeInCell(b, row, QStringLiteral("CODIGO"), QStringLiteral("9"));
        QVERIFY(code);
        QTest::keyClick(code, Qt::Key_Tab); // on to NOME, whose editor opens
        QTRY_COMPARE(b->Gs->currentIndex(), cell(b, row, QStringLiteral("NOME")));
        QLineEdit* editor = nullptr;
        QTRY_VERIFY((editor = openEditor(b)) && editor != code);
        QTest::keyClicks(editor, QStringLiteral("Novo"));
    } else {
        QVERIFY(typeInCell(b, row, QStringLiteral("NOME"), QStringLiteral("xyz")));
    }
    QVERIFY(openEditor(b));
    QTest::mouseClick(b->SGrava, Qt::LeftButton);
    const bool editorLeft = openEditor(b);
    QCOMPARE(errors(), QStringList());
    QCOMPARE(b->IBDataSet1->state(), DataSet::Browse);
    QTest::mouseClick(b->SCommit, Qt::LeftButton);
    QCOMPARE(newRow ? nome(9) : nome(1), newRow ? QStringLiteral("Novo") : QStringLiteral("xyz"));
    QVERIFY(!editorLeft);
}

void TestBrowseEdits::valueTheFieldRefusesKeepsTheEditor() {
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"), QStringLiteral(" Order By CODIGO"));
    QVERIFY(typeInCell(b, 0, QStringLiteral("NOME"), QStringLiteral("Ana Paula")));
    QTest::keyClick(openEditor(b), Qt::Key_Tab);
    QTRY_VERIFY(openEditor(b));
    b->Gs->setCurrentIndex(cell(b, 0, QStringLiteral("QTD")));
    QLineEdit* editor = typeInCell(b, 0, QStringLiteral("QTD"), QStringLiteral("abc"));
    QVERIFY(editor);
    QTest::mouseClick(b->SGrava, Qt::LeftButton);
    QCOMPARE(errors(), QStringList{QStringLiteral("'abc' is not a valid integer value.")});
    // Nothing was posted: the row and the editor wait for a correction.
    QCOMPARE(b->IBDataSet1->state(), DataSet::Edit);
    QCOMPARE(openEditor(b), editor);
    QCOMPARE(editor->text(), QStringLiteral("abc"));
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("7"));
    QTest::mouseClick(b->SGrava, Qt::LeftButton);
    QTest::mouseClick(b->SCommit, Qt::LeftButton);
    QCOMPARE(m_db->scalar(QStringLiteral("select NOME || ' ' || QTD from CLIENTES where CODIGO = 1")),
             QStringLiteral("Ana Paula 7"));
}

void TestBrowseEdits::cancelDropsTheOpenEditor_data() {
    QTest::addColumn<bool>("newRow");
    QTest::newRow("row being edited") << false;
    QTest::newRow("new row") << true;
}

void TestBrowseEdits::cancelDropsTheOpenEditor() {
    QFETCH(bool, newRow);
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"), QStringLiteral(" Order By CODIGO"));
    if (newRow) {
        QTest::mouseClick(b->SNovo, Qt::LeftButton);
        QVERIFY(typeInCell(b, 2, QStringLiteral("CODIGO"), QStringLiteral("7")));
    } else {
        QVERIFY(typeInCell(b, 0, QStringLiteral("NOME"), QStringLiteral("q")));
    }
    QTest::mouseClick(b->SCancela, Qt::LeftButton);
    const bool editorLeft = openEditor(b);
    QCOMPARE(b->IBDataSet1->state(), DataSet::Browse);
    QCOMPARE(b->IBDataSet1->rowCount(), 2);
    // Moving on and saving brings nothing of what was typed back.
    b->Gs->setCurrentIndex(cell(b, 1, QStringLiteral("NOME")));
    QCoreApplication::processEvents();
    QCOMPARE(b->IBDataSet1->state(), DataSet::Browse);
    QTest::mouseClick(b->SCommit, Qt::LeftButton);
    QCOMPARE(errors(), QStringList());
    QCOMPARE(m_db->column(QStringLiteral("select CODIGO || ' ' || NOME from CLIENTES order by CODIGO")),
             (QStringList{"1 Ana", "2 Bia"}));
    QCOMPARE(updates(), QStringLiteral("0"));
    QVERIFY(!editorLeft);
}

void TestBrowseEdits::untouchedEditorChangesNothing_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed"); // empty: nothing typed
    QTest::addColumn<QString>("leave"); // "enter", "tab" or "row"
    // clang-format off
    QTest::newRow("text, Enter")                  << 0 << "NOME"    << "" << "enter";
    QTest::newRow("text, moving to another row")  << 0 << "NOME"    << "" << "row";
    QTest::newRow("null time, Tab")               << 1 << "HORA"    << "" << "tab";
    QTest::newRow("null text, Enter")             << 1 << "NOME"    << "" << "enter";
    QTest::newRow("timestamp, Enter")             << 0 << "MOMENTO" << "" << "enter";
    QTest::newRow("text typed back as it was")    << 0 << "NOME"    << "Ana" << "row";
    // clang-format on
}

void TestBrowseEdits::untouchedEditorChangesNothing() {
    QFETCH(int, row);
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, leave);
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"), QStringLiteral(" Order By CODIGO"));
    const QModelIndex at = cell(b, row, field);
    QLineEdit* editor = nullptr;
    if (typed.isEmpty()) {
        b->Gs->setCurrentIndex(at);
        const QPoint centre = b->Gs->visualRect(at).center();
        QTest::mouseClick(b->Gs->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(b->Gs->viewport(), Qt::LeftButton, {}, centre);
        editor = openEditor(b);
    } else {
        editor = typeInCell(b, row, field, typed);
    }
    QVERIFY(editor);
    if (leave == QLatin1String("enter"))
        QTest::keyClick(editor, Qt::Key_Return);
    else if (leave == QLatin1String("tab"))
        QTest::keyClick(editor, Qt::Key_Tab);
    else
        b->Gs->setCurrentIndex(cell(b, 1 - row, field));
    QCoreApplication::processEvents();
    b->Gs->setCurrentIndex(cell(b, 1 - row, QStringLiteral("CODIGO"))); // leaving the row
    QCoreApplication::processEvents();
    QCOMPARE(errors(), QStringList());
    QCOMPARE(b->IBDataSet1->state(), DataSet::Browse);
    QTest::mouseClick(b->SCommit, Qt::LeftButton);
    QCOMPARE(updates(), QStringLiteral("0"));
    QCOMPARE(m_db->column(
                 QStringLiteral("select coalesce(NOME, '<null>') || ' ' || coalesce(HORA, '<null>') || ' '"
                                " || coalesce(MOMENTO, '<null>') from CLIENTES order by CODIGO")),
             (QStringList{"Ana 12:30:09.1234 2020-03-15 12:30:09.1234", "Bia <null> <null>"}));
}

void TestBrowseEdits::enterInTextBlobEditorStaysThere() {
    // Enter closes the cell editor of a text blob; the memo window does not open over it.
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"), QStringLiteral(" Order By CODIGO"));
    QLineEdit* editor = typeInCell(b, 0, QStringLiteral("OBS"), QStringLiteral("nova obs"));
    QVERIFY(editor);
    bool ran = false;
    QPointer<QWidget> modal;
    onNextModal(this, [&](QWidget* w) {
        ran = true;
        modal = w;
    });
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(ran);
    QVERIFY(!modal);
    QTRY_VERIFY(!openEditor(b));
    QTest::mouseClick(b->SGrava, Qt::LeftButton);
    QTest::mouseClick(b->SCommit, Qt::LeftButton);
    QCOMPARE(errors(), QStringList());
    QCOMPARE(m_db->scalar(QStringLiteral("select cast(OBS as varchar(40)) from CLIENTES where CODIGO = 1")),
             QStringLiteral("nova obs"));
}

void TestBrowseEdits::timestampEditorShowsEveryDigit() {
    // The editor shows the fraction of a second, so changing the day keeps the time as it was.
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"), QStringLiteral(" Order By CODIGO"));
    b->Gs->setCurrentIndex(cell(b, 0, QStringLiteral("MOMENTO")));
    QTest::keyClick(b->Gs, Qt::Key_F2);
    QLineEdit* editor = openEditor(b);
    QVERIFY(editor);
    QCOMPARE(editor->text(), QStringLiteral("15/03/2020 12:30:09,1234"));
    editor->setSelection(0, 2);
    QTest::keyClicks(editor, QStringLiteral("16"));
    QTest::mouseClick(b->SGrava, Qt::LeftButton);
    QTest::mouseClick(b->SCommit, Qt::LeftButton);
    QCOMPARE(errors(), QStringList());
    QCOMPARE(
        m_db->scalar(QStringLiteral("select cast(MOMENTO as varchar(30)) from CLIENTES where CODIGO = 1")),
        QStringLiteral("2020-03-16 12:30:09.1234"));
}

void TestBrowseEdits::unchangedNewRowGoesWhenFocusLeaves() {
    QMdiArea area;
    area.resize(1000, 700);
    setMdiHost(&area);
    area.show();
    QVERIFY(QTest::qWaitForWindowActive(&area));
    const auto showBrowse = [&] {
        CurrentTable = QStringLiteral("CLIENTES");
        BrowseSelect = QStringLiteral("Select * From CLIENTES Order By CODIGO");
        auto* b = new TFBrowse;
        m_windows.append(b);
        showChild(b);
        return b;
    };
    TFBrowse* first = showBrowse();
    TFBrowse* second = showBrowse();
    area.setActiveSubWindow(qobject_cast<QMdiSubWindow*>(first->parentWidget()));
    first->Gs->setFocus(Qt::MouseFocusReason);
    QTRY_VERIFY(first->Gs->hasFocus());

    // A dialog over the window leaves the new row alone.
    QTest::mouseClick(first->SNovo, Qt::LeftButton);
    first->Gs->setCurrentIndex(cell(first, 2, QStringLiteral("OBS")));
    bool memoShown = false;
    onNextModal(this, [&](QWidget* w) { memoShown = w != nullptr; });
    QTest::keyClick(first->Gs, Qt::Key_Return);
    QVERIFY(memoShown);
    QCOMPARE(first->IBDataSet1->state(), DataSet::Insert);
    area.activateWindow(); // back from the dialog
    QVERIFY(QTest::qWaitForWindowActive(&area));

    // Another control of the main window takes the focus: the unchanged new row goes.
    first->Gs->setFocus(Qt::MouseFocusReason);
    QTRY_VERIFY(first->Gs->hasFocus());
    area.setActiveSubWindow(qobject_cast<QMdiSubWindow*>(second->parentWidget()));
    second->Gs->setFocus(Qt::MouseFocusReason);
    QTRY_VERIFY(second->Gs->hasFocus());
    QCOMPARE(first->IBDataSet1->state(), DataSet::Browse);
    QCOMPARE(first->IBDataSet1->rowCount(), 2);

    // A changed one stays.
    area.setActiveSubWindow(qobject_cast<QMdiSubWindow*>(first->parentWidget()));
    first->Gs->setFocus(Qt::MouseFocusReason);
    QTRY_VERIFY(first->Gs->hasFocus());
    QTest::mouseClick(first->SNovo, Qt::LeftButton);
    QVERIFY(typeAndEnter(first, 2, QStringLiteral("CODIGO"), QStringLiteral("5")));
    area.setActiveSubWindow(qobject_cast<QMdiSubWindow*>(second->parentWidget()));
    second->Gs->setFocus(Qt::MouseFocusReason);
    QTRY_VERIFY(second->Gs->hasFocus());
    QCOMPARE(first->IBDataSet1->state(), DataSet::Insert);
    QCOMPARE(errors(), QStringList());
    for (QWidget* w : {static_cast<QWidget*>(first), static_cast<QWidget*>(second)})
        delete childFrame(w);
    setMdiHost(nullptr);
}

QTEST_MAIN(TestBrowseEdits)
#include "test_browseedits.moc"
