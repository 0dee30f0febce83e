// The browse window on a real database: showing, row editing through the grid and the buttons,
// commit and rollback of the default transaction seen from a second attachment, search, the memo
// window, keys, button enabling, layout and painting.
#include "browse/browsestate.h"
#include "browse/ui/fbrowse.h"
#include "browse/ui/fmemo.h"
#include "connection/datasetmodel.h"
#include "connection/dm.h"
#include "connection/identifiers.h"
#include "connection/transaction.h"
#include "platform/ui/mdihost.h"
#include "platform/wincolor.h"
#include "support/browsewindows.h"
#include "support/connectedholder.h"
#include "support/fbfixture.h"
#include "support/modal.h"
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QtTest>
#include <functional>
#include <memory>

class TestFBrowse : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void showingOpensTheTable();
    void showingFailureLeavesEmptyWindow();
    void quotedTableNameOpens();
    void appendEditDeleteCommit();
    void deleteQuestion_data();
    void deleteQuestion();
    void deleteInEmptyTable();
    void rollbackUndoesAndReopens();
    void commitEmptiesEveryWindowOnlyThePressedReopens();
    void closedStateButtons();
    void buttonEnabling_data();
    void buttonEnabling();
    void search_data();
    void search();
    void searchBlankOrCancelledDoesNothing_data();
    void searchBlankOrCancelledDoesNothing();
    void searchRepeatedFindsSameRow();
    void enterOnTextBlobOpensMemoAndPosts();
    void memoChangeCancelledWithRow();
    void enterOnBinaryBlobShowsReadOnly();
    void enterOnOtherColumnOpensNothing();
    void deleteKey();
    void f2EditsAndOpensEditor();
    void windowKeysOnlyInBrowseState();
    void gridEditingAndRowMovePosts();
    void failedPostKeepsRowAndGridPlace();
    void closingAbandonsEdit();
    void layoutRule_data();
    void layoutRule();
    void layoutInMainWindow();
    void fixedBorderInMainWindow();
    void looks();
    void cellPainting();
    void memoKeepsCrLfLineBreaks();

private:
    TFBrowse* openBrowse(const QString& table, const QString& order = QStringLiteral(" Order By CODIGO"));
    int column(TFBrowse* b, const QString& field) const;
    void goTo(TFBrowse* b, int row, const QString& field);
    int currentCode(TFBrowse* b) const;
    QStringList names() { return m_db->column(QStringLiteral("select NOME from CLIENTES order by CODIGO")); }

    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<ConnectedHolder> m_holder;
    BrowseWindows m_browses;
};

namespace {
const QStringList kBrowseButtons{"SCampos", "SCommit",   "SEdita", "SExcel", "SExclui", "SFiltro",
                                 "SNovo",   "SRollback", "SSai",   "Sform",  "Sorder",  "SBusca"};

QStringList sorted(QStringList l) {
    l.sort();
    return l;
}

QStringList enabledButtons(TFBrowse* b) {
    QStringList names;
    for (QToolButton* t : b->Botoes->findChildren<QToolButton*>())
        if (t->isEnabled()) names.append(t->objectName());
    return sorted(names);
}

QStringList errorTexts(const ScriptedPrompts& p) {
    QStringList out;
    for (const MessageRequest& m : p.messages)
        if (m.icon == MsgIcon::Error) out.append(m.text);
    return out;
}
} // namespace

void TestFBrowse::initTestCase() {
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    m_db = std::make_unique<TempDatabase>(QStringList{
        QStringLiteral(
            "create table CLIENTES (CODIGO integer not null primary key check (CODIGO > 0),"
            " NOME varchar(40), NASC date, OBS blob sub_type text, FOTO blob sub_type binary, UF char(3))"),
        QStringLiteral("create table VAZIA (ID integer not null primary key, NOME varchar(10))"),
        QStringLiteral("create table \"Clientes Especiais\" (\"Código\" integer not null primary key,"
                       " \"Nome Completo\" varchar(40))"),
        QStringLiteral("insert into \"Clientes Especiais\" values (7, 'Maria')"),
    });
}

void TestFBrowse::init() {
    m_db->exec({QStringLiteral("delete from CLIENTES"), QStringLiteral("delete from VAZIA"),
                QStringLiteral(
                    "insert into CLIENTES values (1, 'Ana', '1990-03-15', 'obs de Ana', x'00FF10', 'SP')"),
                QStringLiteral("insert into CLIENTES values (2, 'bruno', null, null, null, 'S')"),
                QStringLiteral("insert into CLIENTES values (3, 'Abel', '1985-12-01', null, null, 'SC')"),
                QStringLiteral("insert into CLIENTES values (10, ' Zeca', '2000-01-31', null, null, null)"),
                QStringLiteral("insert into CLIENTES values (42, 'BRUNA', null, null, null, 'S')")});
    m_holder = std::make_unique<ConnectedHolder>(m_db->path());
}

void TestFBrowse::cleanup() {
    m_browses.closeAll();
    setMdiHost(nullptr);
    if (m_holder->dm.Trans->active()) m_holder->dm.Trans->rollback();
    m_holder.reset();
}

void TestFBrowse::cleanupTestCase() {
    m_db.reset();
}

TFBrowse* TestFBrowse::openBrowse(const QString& table, const QString& order) {
    return m_browses.open(table, order);
}

int TestFBrowse::column(TFBrowse* b, const QString& field) const {
    return b->DS->columnOf(b->IBDataSet1->fieldByName(field)->index());
}

void TestFBrowse::goTo(TFBrowse* b, int row, const QString& field) {
    b->Gs->setCurrentIndex(b->DS->index(row, column(b, field)));
}

int TestFBrowse::currentCode(TFBrowse* b) const {
    return b->IBDataSet1->fieldByName(QStringLiteral("CODIGO"))->value().toInt();
}

void TestFBrowse::showingOpensTheTable() {
    BaseSelect = QStringLiteral("old base");
    FilterClause = QStringLiteral("where X = 1\n");
    OrderClause = QStringLiteral("order by X");
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"), QString());
    QCOMPARE(b->objectName(), QStringLiteral("FBrowse"));
    QCOMPARE(b->IBDataSet1->state(), DataSet::Browse);
    QCOMPARE(b->IBDataSet1->selectSQL(), QStringList{QStringLiteral("Select * From CLIENTES")});
    QCOMPARE(b->IBDataSet1->modifySQL(), QStringList{ModifyStatement});
    QCOMPARE(b->IBDataSet1->insertSQL(), QStringList{InsertStatement});
    QCOMPARE(b->IBDataSet1->deleteSQL(), QStringList{DeleteStatement});
    QCOMPARE(b->IBDataSet1->refreshSQL(), QStringList{RefreshStatement});
    QCOMPARE(b->DS->rowCount(), 5);
    QCOMPARE(b->DS->headerData(0, Qt::Horizontal).toString(), QStringLiteral("CODIGO"));
    QVERIFY(!b->SAbre->isEnabled());
    QVERIFY(BaseSelect.isEmpty() && FilterClause.isEmpty() && OrderClause.isEmpty());
    QVERIFY(m_holder->prompts.messages.isEmpty());

    // The window keeps its copies: another table's statements leave it alone.
    const QStringList modify = b->IBDataSet1->modifySQL();
    openBrowse(QStringLiteral("VAZIA"));
    QCOMPARE(b->IBDataSet1->modifySQL(), modify);
    QVERIFY(modify.first().contains(QStringLiteral("CLIENTES")));
}

void TestFBrowse::showingFailureLeavesEmptyWindow() {
    BaseSelect = QStringLiteral("kept");
    TFBrowse* b = openBrowse(QStringLiteral("NAO_EXISTE"));
    QVERIFY(b->isVisible());
    QCOMPARE(b->windowTitle(), QStringLiteral("NAO_EXISTE"));
    QCOMPARE(b->IBDataSet1->state(), DataSet::Inactive);
    QCOMPARE(b->DS->rowCount(), 0);
    QCOMPARE(m_holder->prompts.messages.size(), 1);
    QCOMPARE(m_holder->prompts.messages[0].icon, MsgIcon::Error);
    QVERIFY(m_holder->prompts.messages[0].text.contains(QStringLiteral("NAO_EXISTE")));
    // The remaining steps were skipped: every button as designed, the shared texts untouched.
    QCOMPARE(enabledButtons(b).size(), 15);
    QCOMPARE(BaseSelect, QStringLiteral("kept"));
    // Nothing to search in: the search asks nothing.
    b->SBuscaClick();
    QVERIFY(m_holder->prompts.inputs.isEmpty());
}

void TestFBrowse::quotedTableNameOpens() {
    TFBrowse* b = openBrowse(QStringLiteral("Clientes Especiais"), QString());
    QCOMPARE(b->IBDataSet1->selectSQL(), QStringList{QStringLiteral("Select * From \"Clientes Especiais\"")});
    QCOMPARE(b->IBDataSet1->state(), DataSet::Browse);
    QCOMPARE(b->DS->rowCount(), 1);
    b->SEditaClick();
    b->IBDataSet1->fieldByName(QStringLiteral("Nome Completo"))->setValue(QStringLiteral("Maria José"));
    b->SGravaClick();
    b->SCommitClick();
    QCOMPARE(m_db->scalar(QStringLiteral("select \"Nome Completo\" from \"Clientes Especiais\"")),
             QStringLiteral("Maria José"));
    QVERIFY(m_holder->prompts.messages.isEmpty());
}

void TestFBrowse::appendEditDeleteCommit() {
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"));
    DataSet* ds = b->IBDataSet1;

    b->SNovo->click();
    QCOMPARE(ds->state(), DataSet::Insert);
    QCOMPARE(ds->currentRow(), 5);                       // after the last row
    QCOMPARE(b->Gs->currentIndex(), b->DS->index(5, 0)); // on its first column
    QVERIFY(b->DS->setData(b->DS->index(5, column(b, "CODIGO")), 30));
    QVERIFY(b->DS->setData(b->DS->index(5, column(b, "NOME")), QStringLiteral("Novo")));
    b->SGrava->click();
    QCOMPARE(ds->state(), DataSet::Browse);

    goTo(b, 1, QStringLiteral("NOME"));
    QCOMPARE(currentCode(b), 2);
    b->SEdita->click();
    QCOMPARE(ds->state(), DataSet::Edit);
    ds->fieldByName(QStringLiteral("NOME"))->setValue(QStringLiteral("Bruno Alves"));
    b->SGrava->click();
    QCOMPARE(ds->state(), DataSet::Browse);

    goTo(b, 2, QStringLiteral("NOME")); // Abel
    m_holder->prompts.messageAnswers = {MbYes};
    b->SExclui->click();
    QCOMPARE(ds->rowCount(), 5);
    QCOMPARE(currentCode(b), 10); // the next row

    // Nothing reaches another attachment before "Grava".
    QCOMPARE(names(), (QStringList{"Ana", "bruno", "Abel", " Zeca", "BRUNA"}));
    b->SCommit->click();
    QCOMPARE(names(), (QStringList{"Ana", "Bruno Alves", " Zeca", "Novo", "BRUNA"}));
    QCOMPARE(ds->state(), DataSet::Inactive);
    QCOMPARE(b->DS->rowCount(), 0);
    QVERIFY(errorTexts(m_holder->prompts).isEmpty());
}

void TestFBrowse::deleteQuestion_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("left");
    QTest::newRow("yes") << int(MbYes) << QStringList{"Ana", "Abel", " Zeca", "BRUNA"};
    QTest::newRow("no") << int(MbNo) << QStringList{"Ana", "bruno", "Abel", " Zeca", "BRUNA"};
}

void TestFBrowse::deleteQuestion() {
    QFETCH(int, answer);
    QFETCH(QStringList, left);
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"));
    goTo(b, 1, QStringLiteral("NOME"));
    m_holder->prompts.messageAnswers = {MsgButton(answer)};
    b->SExcluiClick();
    QCOMPARE(m_holder->prompts.messages.size(), 1);
    const MessageRequest& q = m_holder->prompts.messages[0];
    QCOMPARE(q.text, QStringLiteral("Deseja apagar este registro ????"));
    QCOMPARE(q.caption, QStringLiteral("Atenção"));
    QCOMPARE(q.icon, MsgIcon::Warning);
    QCOMPARE(q.buttons, MbYes | MbNo);
    QCOMPARE(q.defaultButton, MbNo);
    b->SCommitClick();
    QCOMPARE(names(), left);
}

void TestFBrowse::deleteInEmptyTable() {
    TFBrowse* b = openBrowse(QStringLiteral("VAZIA"), QString());
    QCOMPARE(b->DS->rowCount(), 0);
    QCOMPARE(b->DS->columnCount(), 2); // titles without rows
    m_holder->prompts.messageAnswers = {MbYes};
    b->SExclui->click();
    QCOMPARE(m_holder->prompts.messages.size(), 2);
    QCOMPARE(m_holder->prompts.messages[0].text, QStringLiteral("Deseja apagar este registro ????"));
    QCOMPARE(m_holder->prompts.messages[1].text,
             QStringLiteral("IBDataSet1: Cannot perform this operation on an empty dataset."));

    // "Novo" appends the first row.
    b->SNovoClick();
    b->IBDataSet1->fieldByName(QStringLiteral("ID"))->setValue(1);
    b->SGravaClick();
    b->SCommitClick();
    QCOMPARE(m_db->scalar(QStringLiteral("select count(*) from VAZIA")), QStringLiteral("1"));
}

void TestFBrowse::rollbackUndoesAndReopens() {
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"));
    goTo(b, 0, QStringLiteral("NOME"));
    b->SEditaClick();
    b->IBDataSet1->fieldByName(QStringLiteral("NOME"))->setValue(QStringLiteral("Mudado"));
    b->SGravaClick();
    b->SRollback->click();
    QCOMPARE(b->IBDataSet1->state(), DataSet::Inactive);
    QVERIFY(!m_holder->dm.Trans->active());
    QCOMPARE(enabledButtons(b), sorted({"SAbre", "SGrava", "SCancela"}));
    QCOMPARE(names().first(), QStringLiteral("Ana"));

    b->SAbre->click();
    QVERIFY(m_holder->dm.Trans->active());
    QCOMPARE(b->IBDataSet1->state(), DataSet::Browse);
    QCOMPARE(b->IBDataSet1->recNo(), 1); // on its first row
    QCOMPARE(b->IBDataSet1->fieldByName(QStringLiteral("NOME"))->asString(), QStringLiteral("Ana"));
    QCOMPARE(enabledButtons(b), sorted(kBrowseButtons));
    QVERIFY(errorTexts(m_holder->prompts).isEmpty());
}

void TestFBrowse::commitEmptiesEveryWindowOnlyThePressedReopens() {
    TFBrowse* first = openBrowse(QStringLiteral("CLIENTES"));
    TFBrowse* second = openBrowse(QStringLiteral("CLIENTES"));
    second->SEditaClick(); // an edit in progress elsewhere is lost
    second->IBDataSet1->fieldByName(QStringLiteral("NOME"))->setValue(QStringLiteral("Perdido"));

    first->SCommit->click();
    QCOMPARE(first->IBDataSet1->state(), DataSet::Inactive);
    QCOMPARE(second->IBDataSet1->state(), DataSet::Inactive);
    QCOMPARE(second->DS->rowCount(), 0);
    QCOMPARE(enabledButtons(first), sorted({"SAbre", "SGrava", "SCancela"}));
    QCOMPARE(enabledButtons(second), sorted({"SGrava", "SCancela"}));
    QCOMPARE(names().first(), QStringLiteral("Ana"));

    // F9 acts only in browse state: the other window cannot reopen.
    QTest::keyClick(second, Qt::Key_F9);
    QCOMPARE(second->IBDataSet1->state(), DataSet::Inactive);

    first->SAbre->click();
    QCOMPARE(first->IBDataSet1->state(), DataSet::Browse);
    QCOMPARE(second->IBDataSet1->state(), DataSet::Inactive);
    QCOMPARE(enabledButtons(second), sorted({"SGrava", "SCancela"}));
}

void TestFBrowse::closedStateButtons() {
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"));
    b->SCommitClick();
    m_holder->prompts.clear();
    b->SCancela->click(); // nothing to cancel
    QVERIFY(m_holder->prompts.messages.isEmpty());
    b->SGrava->click(); // the dataset refuses
    QCOMPARE(m_holder->prompts.messages.size(), 1);
    QCOMPARE(m_holder->prompts.messages[0].icon, MsgIcon::Error);
    QCOMPARE(b->IBDataSet1->state(), DataSet::Inactive);
}

void TestFBrowse::buttonEnabling_data() {
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QStringList>("enabled");
    QTest::newRow("browse after showing") << "browse" << kBrowseButtons;
    QTest::newRow("edit") << "edit" << QStringList{"SGrava", "SCancela"};
    QTest::newRow("insert") << "insert" << QStringList{"SGrava", "SCancela"};
    QTest::newRow("posted") << "posted" << kBrowseButtons;
    QTest::newRow("cancelled") << "cancelled" << kBrowseButtons;
    QTest::newRow("committed here") << "committed" << QStringList{"SAbre", "SGrava", "SCancela"};
    QTest::newRow("rolled back elsewhere") << "other" << QStringList{"SGrava", "SCancela"};
    QTest::newRow("reopened") << "reopened" << kBrowseButtons;
}

void TestFBrowse::buttonEnabling() {
    QFETCH(QString, situation);
    QFETCH(QStringList, enabled);
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"));
    Field* nome = b->IBDataSet1->fieldByName(QStringLiteral("NOME"));
    if (situation == "edit") {
        b->SEditaClick();
    } else if (situation == "insert") {
        b->SNovoClick();
    } else if (situation == "posted") {
        nome->setValue(QStringLiteral("x")); // automatic edit
        QCOMPARE(b->IBDataSet1->state(), DataSet::Edit);
        b->SGravaClick();
    } else if (situation == "cancelled") {
        b->SNovoClick();
        b->SCancelaClick();
    } else if (situation == "committed") {
        b->SCommitClick();
    } else if (situation == "other") {
        openBrowse(QStringLiteral("VAZIA"), QString())->SRollbackClick();
    } else if (situation == "reopened") {
        b->SRollbackClick();
        b->SAbreClick();
    }
    QCOMPARE(enabledButtons(b), sorted(enabled));
    QVERIFY2(errorTexts(m_holder->prompts).isEmpty(), qPrintable(errorTexts(m_holder->prompts).join('\n')));
}

void TestFBrowse::search_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("found"); // CODIGO of the row found; 0: not found

    // clang-format off
    QTest::newRow("varchar lower")        << "NOME"   << "br"         << 2;
    QTest::newRow("varchar upper")        << "NOME"   << "BR"         << 2;
    QTest::newRow("varchar mixed")        << "NOME"   << "aB"         << 3;
    QTest::newRow("varchar whole")        << "NOME"   << "bruna"      << 42;
    QTest::newRow("leading blanks kept")  << "NOME"   << " ze"        << 10;
    QTest::newRow("no leading blank")     << "NOME"   << "ze"         << 0;
    QTest::newRow("varchar missing")      << "NOME"   << "xyz"        << 0;
    QTest::newRow("integer")              << "CODIGO" << "2"          << 2;
    QTest::newRow("integer whole number") << "CODIGO" << "42"         << 42;
    QTest::newRow("integer not partial")  << "CODIGO" << "4"          << 0;
    QTest::newRow("integer as written")   << "CODIGO" << "02"         << 0;
    QTest::newRow("date")                 << "NASC"   << "01/12/1985" << 3;
    QTest::newRow("date missing")         << "NASC"   << "02/12/1985" << 0;
    QTest::newRow("not a date")           << "NASC"   << "abc"        << 0;
    // A CHAR value holds its padding, and the answer keeps its trailing blanks.
    QTest::newRow("char")                 << "UF"     << "s"          << 1;
    QTest::newRow("char, blank kept")     << "UF"     << "s "         << 2;
    QTest::newRow("char with padding")    << "UF"     << "sc "        << 3;
    QTest::newRow("char past its length") << "UF"     << "sc  "       << 0;
    // A text blob is no character field: its whole text, case and all.
    QTest::newRow("text blob")            << "OBS"    << "obs de Ana" << 1;
    QTest::newRow("text blob not partial") << "OBS"   << "obs"        << 0;
    QTest::newRow("text blob case kept")  << "OBS"    << "OBS DE ANA" << 0;
    // clang-format on
}

void TestFBrowse::search() {
    QFETCH(QString, field);
    QFETCH(QString, answer);
    QFETCH(int, found);
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"));
    goTo(b, 4, field); // start from the last row: the search begins at the first
    m_holder->prompts.inputAnswers = {answer};
    QTest::keyClick(b->Gs, Qt::Key_F12);

    QCOMPARE(m_holder->prompts.inputs.size(), 1);
    QCOMPARE(m_holder->prompts.inputs[0].caption, QStringLiteral("Digite Informação para"));
    QCOMPARE(m_holder->prompts.inputs[0].prompt, field);
    QCOMPARE(m_holder->prompts.inputs[0].value, QString());
    if (found) {
        QVERIFY(m_holder->prompts.messages.isEmpty());
        QCOMPARE(currentCode(b), found);
        QCOMPARE(b->Gs->currentIndex().row(), b->IBDataSet1->currentRow()); // the grid follows
    } else {
        QCOMPARE(m_holder->prompts.messages.size(), 1);
        const MessageRequest& m = m_holder->prompts.messages[0];
        QCOMPARE(m.text, QStringLiteral("Não Achei informações para esse dado, tente novamente..."));
        QCOMPARE(m.caption, QStringLiteral("Atenção"));
        QCOMPARE(m.icon, MsgIcon::Warning);
        QCOMPARE(m.buttons, int(MbOk));
        QCOMPARE(currentCode(b), 42); // unchanged
    }
}

void TestFBrowse::searchBlankOrCancelledDoesNothing_data() {
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QString>("answer");
    QTest::newRow("blanks") << false << "   ";
    QTest::newRow("empty") << false << "";
    QTest::newRow("cancel") << true << "";
}

void TestFBrowse::searchBlankOrCancelledDoesNothing() {
    QFETCH(bool, cancel);
    QFETCH(QString, answer);
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"));
    goTo(b, 3, QStringLiteral("NOME"));
    m_holder->prompts.inputAnswers = {cancel ? std::optional<QString>() : std::optional<QString>(answer)};
    b->SBusca->click();
    QCOMPARE(m_holder->prompts.inputs.size(), 1);
    QVERIFY(m_holder->prompts.messages.isEmpty());
    QCOMPARE(currentCode(b), 10);
}

void TestFBrowse::searchRepeatedFindsSameRow() {
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"));
    goTo(b, 0, QStringLiteral("NOME"));
    m_holder->prompts.inputAnswers = {QStringLiteral("b"), QStringLiteral("b")};
    b->SBuscaClick();
    QCOMPARE(currentCode(b), 2);
    b->SBuscaClick();
    QCOMPARE(currentCode(b), 2);
    QVERIFY(m_holder->prompts.messages.isEmpty());
}

void TestFBrowse::enterOnTextBlobOpensMemoAndPosts() {
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"));
    goTo(b, 0, QStringLiteral("OBS"));
    bool shown = false;
    onNextModal(this, [&](QWidget* w) {
        auto* memo = qobject_cast<TFmemo*>(w);
        if (!memo) return;
        shown = true;
        QCOMPARE(memo->objectName(), QStringLiteral("Fmemo"));
        QCOMPARE(memo->windowTitle(), QStringLiteral("Edita / Consulta campo Memo"));
        QCOMPARE(memo->frameGeometry().size(), QSize(544, 375)); // the outer size
        QCOMPARE(memo->Memo->toPlainText(), QStringLiteral("obs de Ana"));
        QVERIFY(!memo->Memo->isReadOnly());
        QCOMPARE(memo->Memo->textCursor().position(), 10); // caret after the last character
        QCOMPARE(b->IBDataSet1->state(), DataSet::Browse);
        QTest::keyClicks(memo->Memo, QStringLiteral(", revista"));
        QCOMPARE(b->IBDataSet1->state(), DataSet::Edit); // typing edits the row
        QCOMPARE(memo->Bret->text(), QStringLiteral("&Retorna"));
        memo->Bret->click();
    });
    QTest::keyClick(b->Gs, Qt::Key_Return);
    QVERIFY(shown);
    QCOMPARE(b->IBDataSet1->state(), DataSet::Edit);
    QCOMPARE(b->IBDataSet1->fieldByName(QStringLiteral("OBS"))->asString(),
             QStringLiteral("obs de Ana, revista"));
    b->SGravaClick();
    b->SCommitClick();
    QCOMPARE(m_db->scalar(QStringLiteral("select cast(OBS as varchar(100)) from CLIENTES where CODIGO = 1")),
             QStringLiteral("obs de Ana, revista"));
    QVERIFY(errorTexts(m_holder->prompts).isEmpty());
}

void TestFBrowse::memoChangeCancelledWithRow() {
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"));
    goTo(b, 1, QStringLiteral("OBS")); // a null text blob
    onNextModal(this, [&](QWidget* w) {
        auto* memo = qobject_cast<TFmemo*>(w);
        if (!memo) return;
        QCOMPARE(memo->Memo->toPlainText(), QString());
        QTest::keyClicks(memo->Memo, QStringLiteral("rascunho"));
        memo->close(); // the title bar
    });
    QTest::keyClick(b->Gs, Qt::Key_Enter);
    QCOMPARE(b->IBDataSet1->fieldByName(QStringLiteral("OBS"))->asString(), QStringLiteral("rascunho"));
    b->SCancelaClick();
    QVERIFY(b->IBDataSet1->fieldByName(QStringLiteral("OBS"))->isNull());
    b->SCommitClick();
    QCOMPARE(m_db->scalar(QStringLiteral("select cast(OBS as varchar(100)) from CLIENTES where CODIGO = 2")),
             QStringLiteral("<null>"));
}

void TestFBrowse::enterOnBinaryBlobShowsReadOnly() {
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"));
    goTo(b, 0, QStringLiteral("FOTO"));
    bool readOnly = false;
    onNextModal(this, [&](QWidget* w) {
        if (auto* memo = qobject_cast<TFmemo*>(w)) readOnly = memo->Memo->isReadOnly();
    });
    QTest::keyClick(b->Gs, Qt::Key_Return);
    QVERIFY(readOnly);
    QCOMPARE(b->IBDataSet1->state(), DataSet::Browse);
}

void TestFBrowse::enterOnOtherColumnOpensNothing() {
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"));
    goTo(b, 0, QStringLiteral("NOME"));
    QPointer<QWidget> modal;
    bool ran = false;
    onNextModal(this, [&](QWidget* w) {
        ran = true;
        modal = w;
    });
    QTest::keyClick(b->Gs, Qt::Key_Return);
    QTRY_VERIFY(ran);
    QVERIFY(!modal);
    QCOMPARE(b->IBDataSet1->state(), DataSet::Browse);
}

void TestFBrowse::deleteKey() {
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"));
    goTo(b, 0, QStringLiteral("NOME"));
    m_holder->prompts.messageAnswers = {MbNo};
    QTest::keyClick(b->Gs, Qt::Key_Delete);
    QCOMPARE(m_holder->prompts.messages.size(), 1);
    QCOMPARE(m_holder->prompts.messages[0].text, QStringLiteral("Deseja apagar este registro ????"));
    QCOMPARE(b->IBDataSet1->rowCount(), 5);

    // While editing SExclui is disabled and the key does nothing here.
    b->SEditaClick();
    QTest::keyClick(b->Gs, Qt::Key_Delete);
    QCOMPARE(m_holder->prompts.messages.size(), 1);
    QCOMPARE(b->IBDataSet1->state(), DataSet::Edit);
}

void TestFBrowse::f2EditsAndOpensEditor() {
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"));
    goTo(b, 1, QStringLiteral("NOME"));
    QTest::keyClick(b->Gs, Qt::Key_F2);
    QCOMPARE(b->IBDataSet1->state(), DataSet::Edit);
    auto* editor = b->Gs->viewport()->findChild<QLineEdit*>();
    QVERIFY(editor);
    QCOMPARE(editor->text(), QStringLiteral("bruno"));
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("Bruno"));
    QTest::keyClick(editor, Qt::Key_Return); // commits the editor into the row
    QTRY_COMPARE(b->IBDataSet1->fieldByName(QStringLiteral("NOME"))->asString(), QStringLiteral("Bruno"));
    b->SGravaClick();
    b->SCommitClick();
    QCOMPARE(names().at(1), QStringLiteral("Bruno"));
}

void TestFBrowse::windowKeysOnlyInBrowseState() {
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"));
    goTo(b, 0, QStringLiteral("NOME"));
    QTest::keyClick(b->Gs, Qt::Key_F12); // reaches the window through the grid
    QCOMPARE(m_holder->prompts.inputs.size(), 1);
    QTest::keyClick(b, Qt::Key_F12);
    QCOMPARE(m_holder->prompts.inputs.size(), 2);

    b->SEditaClick();
    QTest::keyClick(b->Gs, Qt::Key_F12);
    QTest::keyClick(b, Qt::Key_F12);
    QCOMPARE(m_holder->prompts.inputs.size(), 2);
    QVERIFY(!b->FormKeyDown(Qt::Key_F9));

    b->SCancelaClick();
    QVERIFY(b->FormKeyDown(Qt::Key_F9));
    QVERIFY(!b->FormKeyDown(Qt::Key_F5));
}

void TestFBrowse::gridEditingAndRowMovePosts() {
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"));
    goTo(b, 0, QStringLiteral("NOME"));
    // Typing in a cell puts the row into edit at the first change.
    QTest::keyClick(b->Gs, Qt::Key_X);
    auto* editor = b->Gs->viewport()->findChild<QLineEdit*>();
    QVERIFY(editor);
    QCOMPARE(b->IBDataSet1->state(), DataSet::Edit);
    QCOMPARE(enabledButtons(b), sorted({"SGrava", "SCancela"}));
    QTest::keyClicks(editor, QStringLiteral("ana"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(b->IBDataSet1->fieldByName(QStringLiteral("NOME"))->asString(), QStringLiteral("xana"));

    goTo(b, 2, QStringLiteral("NOME")); // leaving the row posts it
    QCOMPARE(b->IBDataSet1->state(), DataSet::Browse);
    QCOMPARE(b->IBDataSet1->currentRow(), 2);
    QCOMPARE(b->IBDataSet1->text(0, b->IBDataSet1->fieldByName(QStringLiteral("NOME"))->index()),
             QStringLiteral("xana"));
    b->SCommitClick();
    QCOMPARE(names().first(), QStringLiteral("xana"));
    QVERIFY(errorTexts(m_holder->prompts).isEmpty());
}

void TestFBrowse::failedPostKeepsRowAndGridPlace() {
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"));
    goTo(b, 0, QStringLiteral("CODIGO"));
    QVERIFY(b->DS->setData(b->DS->index(0, column(b, "CODIGO")), -5)); // breaks the check constraint
    QCOMPARE(b->IBDataSet1->state(), DataSet::Edit);
    goTo(b, 3, QStringLiteral("CODIGO"));
    QCOMPARE(errorTexts(m_holder->prompts).size(), 1);
    QCOMPARE(b->IBDataSet1->state(), DataSet::Edit);
    QCOMPARE(b->IBDataSet1->currentRow(), 0);
    QCOMPARE(b->Gs->currentIndex().row(), 0);
    QCOMPARE(currentCode(b), -5); // the typed value stays to be corrected
    b->SCancelaClick();
    QCOMPARE(currentCode(b), 1);
}

void TestFBrowse::closingAbandonsEdit() {
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"));
    QPointer<DataSet> ds = b->IBDataSet1;
    goTo(b, 1, QStringLiteral("NOME"));
    b->SEditaClick();
    ds->fieldByName(QStringLiteral("NOME"))->setValue(QStringLiteral("Abandonado"));
    QPointer<TFBrowse> alive = b;
    b->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!alive);
    QVERIFY(!ds);
    m_holder->dm.Trans->commit();
    QCOMPARE(names().at(1), QStringLiteral("bruno"));
}

void TestFBrowse::layoutRule_data() {
    QTest::addColumn<QSize>("size");
    QTest::newRow("designed") << QSize(634, 349);
    QTest::newRow("wider") << QSize(900, 600);
    QTest::newRow("odd width") << QSize(701, 420);
}

void TestFBrowse::layoutRule() {
    QFETCH(QSize, size);
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"));
    b->resize(size);
    QCoreApplication::processEvents();
    const QSize outer = b->frameGeometry().size();
    const int w = outer.width(), h = outer.height();
    QCOMPARE(b->Gs->pos(), QPoint(4, 2));
    QCOMPARE(b->Gs->size(), QSize(w - 17, h - 100));
    QCOMPARE(b->Botoes->geometry(), QRect((w - 586) / 2, h - 70, 586, 41));
    QCOMPARE(b->Comandos->pos(), QPoint((w - b->Comandos->width()) / 2, h - 90));
}

void TestFBrowse::layoutInMainWindow() {
    QMdiArea area;
    area.resize(1000, 800);
    area.show();
    setMdiHost(&area);
    CurrentTable = QStringLiteral("CLIENTES");
    BrowseSelect = QStringLiteral("Select * From CLIENTES");
    auto* b = new TFBrowse;
    m_browses.add(b);
    QMdiSubWindow* sub = showChild(b);
    QVERIFY(sub);
    QCOMPARE(b->size(), QSize(634, 349)); // the designed client area
    sub->resize(760, 520);
    QCoreApplication::processEvents();
    // The outer size is the sub-window's frame, not the window inside it.
    QCOMPARE(b->Gs->size(), QSize(760 - 17, 520 - 100));
    QCOMPARE(b->Botoes->pos(), QPoint((760 - 586) / 2, 520 - 70));
    delete sub;
    setMdiHost(nullptr);
}

void TestFBrowse::fixedBorderInMainWindow() {
    QMdiArea area;
    area.resize(1000, 800);
    area.show();
    setMdiHost(&area);
    CurrentTable = QStringLiteral("CLIENTES");
    BrowseSelect = QStringLiteral("Select * From CLIENTES");
    auto* b = new TFBrowse;
    m_browses.add(b);
    QMdiSubWindow* sub = showChild(b);
    QVERIFY(sub);
    const QSize designed = sub->size();
    // Dragging the lower right corner of the border resizes nothing.
    const QPoint corner(sub->width() - 2, sub->height() - 2);
    QTest::mouseMove(sub, corner);
    QTest::mousePress(sub, Qt::LeftButton, {}, corner);
    QTest::mouseMove(sub, corner + QPoint(80, 60));
    QTest::mouseRelease(sub, Qt::LeftButton, {}, corner + QPoint(80, 60));
    QCOMPARE(sub->size(), designed);
    // Maximizing still fills the area, and the layout follows.
    sub->showMaximized();
    QCoreApplication::processEvents();
    QCOMPARE(sub->size(), area.viewport()->size());
    QCOMPARE(b->Gs->size(), QSize(sub->width() - 17, sub->height() - 100));
    delete sub;
    setMdiHost(nullptr);
}

void TestFBrowse::looks() {
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"));
    QCOMPARE(b->Comandos->text(), QStringLiteral("F6-[Campos]   F7-[Excel]   F8-[Form]   F9-[Abre]   "
                                                 "F10-[Ordem]   F11-[Filtro]   F12-[Busca]"));
    QVERIFY(b->Comandos->font().bold());
    QCOMPARE(b->palette().color(QPalette::Window), winColor(12962988));
    QVERIFY(b->Gs->verticalHeader()->isVisible()); // the row indicator
    QCOMPARE(b->SCommit->text(), QStringLiteral("Grava"));
    QCOMPARE(b->SRollback->text(), QStringLiteral("Desfaz"));
    struct Expected {
        QToolButton* button;
        int left, width;
        const char* hint;
    };
    const Expected expected[] = {
        {b->SCommit, 3, 64, ""},
        {b->SRollback, 68, 64, ""},
        {b->SCampos, 137, 32, "Seleciona Campos"},
        {b->SExcel, 170, 32, "Exporta para o Excel"},
        {b->Sform, 203, 32, "Formulário"},
        {b->SAbre, 240, 32, "Abre a tabela"},
        {b->SNovo, 273, 32, "Novo"},
        {b->SGrava, 306, 32, "Grava"},
        {b->SCancela, 339, 32, "Cancela"},
        {b->SEdita, 372, 32, "Edita"},
        {b->SExclui, 405, 32, "Exclui"},
        {b->Sorder, 442, 32, "Ordem"},
        {b->SFiltro, 475, 32, "Filtro"},
        {b->SBusca, 508, 32, "Busca"},
        {b->SSai, 551, 32, ""},
    };
    for (const Expected& e : expected) {
        QCOMPARE(e.button->parentWidget(), b->Botoes);
        QCOMPARE(e.button->geometry(), QRect(e.left, 5, e.width, 31));
        QCOMPARE(e.button->toolTip(), QString::fromUtf8(e.hint));
        QCOMPARE(e.button->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY2(!e.button->icon().isNull(), qPrintable(e.button->objectName()));
    }
}

void TestFBrowse::cellPainting() {
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"));
    goTo(b, 4, QStringLiteral("CODIGO"));
    const QImage image = b->Gs->viewport()->grab().toImage();
    const int col = column(b, QStringLiteral("NOME"));
    for (int row = 0; row < 4; ++row) {
        const QRect cell = b->Gs->visualRect(b->DS->index(row, col));
        // Right part of the cell, clear of the short names.
        const QColor c = image.pixelColor(cell.right() - 3, cell.center().y());
        QCOMPARE(c, winColor(row % 2 == 0 ? 14799803 : 13678476)); // record numbers 1, 3 odd
    }
    const QImage header = b->Gs->horizontalHeader()->grab().toImage();
    QCOMPARE(header.pixelColor(b->Gs->columnViewportPosition(col) + b->Gs->columnWidth(col) - 4, 3),
             winColor(12058551));
}

void TestFBrowse::memoKeepsCrLfLineBreaks() {
    // A text written elsewhere with CR LF line breaks, edited on one line in the memo window.
    m_db->exec(QStringLiteral("insert into CLIENTES (CODIGO, NOME, OBS) values (90, 'Quebras',"
                              " 'linha 1' || ascii_char(13) || ascii_char(10) || 'linha 2')"));
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"));
    goTo(b, b->IBDataSet1->rowCount() - 1, QStringLiteral("OBS"));
    QCOMPARE(currentCode(b), 90);
    bool shown = false;
    onNextModal(this, [&](QWidget* w) {
        auto* memo = qobject_cast<TFmemo*>(w);
        if (!memo) return;
        shown = true;
        QCOMPARE(memo->Memo->toPlainText(), QStringLiteral("linha 1\nlinha 2"));
        QTest::keyClicks(memo->Memo, QStringLiteral(" fim"));
        memo->Bret->click();
    });
    QTest::keyClick(b->Gs, Qt::Key_Return);
    QVERIFY(shown);
    b->SGravaClick();
    b->SCommitClick();
    const QString stored = m_db->scalar(
        QStringLiteral("select replace(replace(cast(OBS as varchar(100)), ascii_char(13), '<CR>'),"
                       " ascii_char(10), '<LF>') from CLIENTES where CODIGO = 90"));
    m_db->exec(QStringLiteral("delete from CLIENTES where CODIGO = 90"));
    QCOMPARE(stored, QStringLiteral("linha 1<CR><LF>linha 2 fim"));
}

QTEST_MAIN(TestFBrowse)
#include "test_fbrowse.moc"
