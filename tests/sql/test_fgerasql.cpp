// The SQL generator and its values grid on a real database, driven as a user drives them: pick a
// table, tick fields, choose the command, type values into the grid, press the buttons; and from
// the SQL command window, whose memo takes the generated text and runs it.
#include "browse/ui/fwhere.h"
#include "connection/database.h"
#include "connection/dm.h"
#include "platform/errorreport.h"
#include "platform/wincolor.h"
#include "sql/ui/fgerasql.h"
#include "sql/ui/fsql.h"
#include "sql/ui/fui.h"
#include "support/connectedholder.h"
#include "support/fbfixture.h"
#include "support/modal.h"
#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>
#include <memory>
#include <optional>

namespace {
const QString kItens = QStringLiteral("Itens do pedido");

QStringList schema() {
    return {QStringLiteral("create table CLIENTES (ID integer not null primary key, NOME varchar(40), "
                           "IDADE integer, CIDADE varchar(40))"),
            QStringLiteral("insert into CLIENTES values (1, 'Bia', 20, 'Recife')"),
            QStringLiteral("create table \"Itens do pedido\" (\"Código\" integer not null primary key, "
                           "\"Descrição\" varchar(30), \"VALUE\" integer)"),
            QStringLiteral("insert into \"Itens do pedido\" values (1, 'Caderno', 3)"),
            QStringLiteral("insert into \"Itens do pedido\" values (2, 'Borracha', 4)"),
            QStringLiteral("create view V_CLIENTES as select ID, NOME from CLIENTES")};
}

const QStringList kClientesFields{"ID", "NOME", "IDADE", "CIDADE"};

// Values typed into the grid, then "OK"; nullopt: "&Cancela" without typing.
using Answer = std::optional<QStringList>;
} // namespace

class TestFGeraSql : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void generation_data();
    void generation();
    void generateWithoutTable();
    void valuesGridRefusesBlankValues();
    void wherePath_data();
    void wherePath();
    void whereWithoutFields();
    void reopeningFromSqlWindow();
    void takenIntoSqlWindowAndRun_data();
    void takenIntoSqlWindowAndRun();
    void listingsConnectFirstAndKeepListsOnFailure();
    void generatorLooks();
    void valuesGridLooks();
    void restoredAfterMinimiseKeepsTheWork();
    void clickOnTheChosenTableRefillsTheFields();

private:
    TFGeraSql* showGenerator() {
        TFGeraSql* g = TFGeraSql::instance();
        g->hide();
        g->show();
        return g;
    }
    static void chooseTable(TFGeraSql* g, const QString& table) {
        const QList<QListWidgetItem*> found = g->Tabelas->findItems(table, Qt::MatchExactly);
        QVERIFY2(found.size() == 1, qPrintable(table));
        QTest::mouseClick(g->Tabelas->viewport(), Qt::LeftButton, {},
                          g->Tabelas->visualItemRect(found.first()).center());
    }
    // Space on the current field toggles its box, as a user ticks with the keyboard.
    static void tick(TFGeraSql* g, const QStringList& fields) {
        for (const QString& f : fields) {
            const QList<QListWidgetItem*> found = g->Campos->findItems(f, Qt::MatchExactly);
            QVERIFY2(found.size() == 1, qPrintable(f));
            g->Campos->setCurrentItem(found.first());
            QTest::keyClick(g->Campos, Qt::Key_Space);
        }
    }
    static void chooseCommand(TFGeraSql* g, int index) {
        QAbstractButton* item = g->RgItems->button(index);
        QTest::mouseClick(item, Qt::LeftButton, {}, QPoint(8, item->height() / 2)); // on its circle
        QCOMPARE(g->rgIndex(), index);
    }
    static QStringList memoLines(TFGeraSql* g) {
        const QString text = g->sqlText();
        return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
    }
    // Types into the value cell of a data row: the first key opens the cell's editor, the rest go
    // to it. Enter closes the editor unless it is to stay open for the button that follows.
    static void typeText(QWidget* w, const QString& text) {
        for (QChar ch : text) {
            if (ch.unicode() < 128)
                QTest::keyClick(w, char(ch.unicode()));
            else
                QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        }
    }
    static void typeValue(TFUI* ui, int row, const QString& text, bool enter = true) {
        ui->SG->setCurrentCell(row, 2);
        typeText(ui->SG, text.left(1));
        QLineEdit* editor = nullptr;
        for (QLineEdit* e : ui->SG->findChildren<QLineEdit*>())
            if (e->isVisible()) editor = e;
        QVERIFY2(editor, "no cell editor open");
        typeText(editor, text.mid(1));
        if (enter) QTest::keyClick(editor, Qt::Key_Return);
    }
    // Runs `act` on the modal window that the next action opens. A window that a failed check left
    // open is left through its own way out (these windows ignore a plain close).
    void onModal(std::function<void(QWidget*)> act) {
        onNextModal(this, [act = std::move(act)](QWidget* w) {
            act(w);
            if (!w || !w->isVisible()) return;
            if (auto* ui = qobject_cast<TFUI*>(w)) ui->BCan->click();
            if (auto* where = qobject_cast<TFWhere*>(w)) where->Btn_sai->click();
            if (auto* g = qobject_cast<TFGeraSql*>(w)) g->Bret->click();
        });
    }
    // Answers the values grid that the next action opens.
    void answerValuesGrid(const Answer& answer) {
        onModal([this, answer](QWidget* w) {
            auto* ui = qobject_cast<TFUI*>(w);
            QVERIFY2(ui, "the values grid did not open");
            ++m_gridShown;
            if (!answer) {
                ui->BCan->click();
                return;
            }
            for (int i = 0; i < answer->size(); ++i)
                typeValue(ui, i + 1, answer->at(i), i + 1 < answer->size()); // the last one still open
            ui->BOK->click();
        });
    }
    QStringList reportedErrors() const { return prompts().errorReports(); }
    void verifyRefusal(const QString& text) {
        QCOMPARE(prompts().messages.size(), 1);
        const MessageRequest m = prompts().messages.first();
        QCOMPARE(m.text, text);
        QCOMPARE(m.caption, QStringLiteral("Erro"));
        QCOMPARE(m.icon, MsgIcon::Error);
        QCOMPARE(m.buttons, int(MbOk));
    }

    ScriptedPrompts& prompts() const { return m_holder->prompts; }

    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<TempDatabase> m_runDb;
    std::unique_ptr<ConnectedHolder> m_holder;
    int m_gridShown = 0;
};

void TestFGeraSql::initTestCase() {
    m_db = std::make_unique<TempDatabase>(schema());
    m_holder = std::make_unique<ConnectedHolder>(m_db->path());
}

void TestFGeraSql::cleanupTestCase() {
    TFGeraSql::instance()->hide();
    m_holder.reset();
    m_db.reset();
}

void TestFGeraSql::init() {
    prompts().clear();
    m_gridShown = 0;
    TFGeraSql::instance()->setRgIndex(TFGeraSql::Select);
    // The filter window as a browse window leaves it: no conditions, the first panel next.
    TFWhere::instance()->clearConditions();
    TFWhere::instance()->HasConditions = false;
}

void TestFGeraSql::cleanup() {
    TFGeraSql::instance()->hide();
    if (m_runDb) {
        m_holder.reset();
        m_runDb.reset();
        m_holder = std::make_unique<ConnectedHolder>(m_db->path());
    }
}

void TestFGeraSql::generation_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("command");
    QTest::addColumn<QStringList>("ticked");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QString>("memoBefore");
    QTest::addColumn<int>("times");
    QTest::addColumn<QStringList>("expected");

    const QString c = QStringLiteral("CLIENTES");
    const Answer anaAnd30 = QStringList{"'Ana'", "30"};
    const QStringList insertAna{"Insert Into CLIENTES", "(NOME, IDADE )", "Values", "('Ana', 30 )"};
    QTest::newRow("select, last field not ticked")
        << c << 0 << QStringList{"ID", "NOME"} << Answer() << QString() << 1
        << QStringList{"Select ID, NOME From CLIENTES"};
    QTest::newRow("select, last field ticked: two blanks before From")
        << c << 0 << QStringList{"ID", "CIDADE"} << Answer() << QString() << 1
        << QStringList{"Select ID, CIDADE  From CLIENTES"};
    QTest::newRow("select, nothing ticked, memo replaced")
        << c << 0 << QStringList() << Answer() << QStringLiteral("old") << 1
        << QStringList{"Select  From CLIENTES"};
    QTest::newRow("select, all ticked by F1") << c << 0 << QStringList{"<F1>"} << Answer() << QString() << 1
                                              << QStringList{"Select ID, NOME, IDADE, CIDADE  From CLIENTES"};
    QTest::newRow("update: one blank, then two at the end")
        << c << 1 << QStringList{"NOME", "IDADE"} << anaAnd30 << QStringLiteral("old") << 1
        << QStringList{"Update CLIENTES Set ", "NOME = 'Ana' , ", "IDADE = 30  "};
    QTest::newRow("update, values exactly as typed")
        << c << 1 << QStringList{"CIDADE"} << Answer(QStringList{"'a  b' "}) << QString() << 1
        << QStringList{"Update CLIENTES Set ", "CIDADE = 'a  b'   "};
    QTest::newRow("update, nothing ticked: a value without a name")
        << c << 1 << QStringList() << Answer(QStringList{"X"}) << QString() << 1
        << QStringList{"Update CLIENTES Set ", "  X  "};
    QTest::newRow("update cancelled leaves the memo empty")
        << c << 1 << QStringList{"NOME"} << Answer() << QStringLiteral("old") << 1 << QStringList();
    QTest::newRow("delete ignores the ticks")
        << c << 2 << QStringList{"NOME"} << Answer() << QStringLiteral("old") << 1
        << QStringList{"Delete From CLIENTES"};
    QTest::newRow("insert after what the memo holds")
        << c << 3 << QStringList{"NOME", "IDADE"} << anaAnd30 << QStringLiteral("old") << 1
        << QStringList{"old"} + insertAna;
    QTest::newRow("insert twice leaves both statements")
        << c << 3 << QStringList{"NOME", "IDADE"} << anaAnd30 << QString() << 2 << insertAna + insertAna;
    QTest::newRow("insert cancelled keeps the memo")
        << c << 3 << QStringList{"NOME"} << Answer() << QStringLiteral("old") << 1 << QStringList{"old"};
    QTest::newRow("select, names that need quotes")
        << kItens << 0 << QStringList{"Código", "VALUE"} << Answer() << QString() << 1
        << QStringList{"Select \"Código\", \"VALUE\"  From \"Itens do pedido\""};
    QTest::newRow("update, names that need quotes")
        << kItens << 1 << QStringList{"Descrição"} << Answer(QStringList{"'x'"}) << QString() << 1
        << QStringList{"Update \"Itens do pedido\" Set ", "\"Descrição\" = 'x'  "};
    QTest::newRow("insert, names that need quotes")
        << kItens << 3 << QStringList{"Código", "Descrição"} << Answer(QStringList{"9", "'y'"}) << QString()
        << 1
        << QStringList{"Insert Into \"Itens do pedido\"", "(\"Código\", \"Descrição\" )", "Values",
                       "(9, 'y' )"};
    QTest::newRow("delete, name that needs quotes") << kItens << 2 << QStringList() << Answer() << QString()
                                                    << 1 << QStringList{"Delete From \"Itens do pedido\""};
}

void TestFGeraSql::generation() {
    QFETCH(QString, table);
    QFETCH(int, command);
    QFETCH(QStringList, ticked);
    QFETCH(Answer, answer);
    QFETCH(QString, memoBefore);
    QFETCH(int, times);
    QFETCH(QStringList, expected);

    TFGeraSql* g = showGenerator();
    chooseTable(g, table);
    if (ticked == QStringList{"<F1>"})
        QTest::keyClick(g->Campos, Qt::Key_F1);
    else
        tick(g, ticked);
    chooseCommand(g, command);
    QTest::keyClicks(g->Sql, memoBefore);
    const bool withGrid = command == TFGeraSql::Update || command == TFGeraSql::Insert;
    for (int i = 0; i < times; ++i) {
        if (withGrid) answerValuesGrid(answer);
        QTest::mouseClick(g->BitBtn1, Qt::LeftButton);
    }
    QCOMPARE(m_gridShown, withGrid ? times : 0);
    QCOMPARE(prompts().messages.size(), 0);
    QCOMPARE(memoLines(g), expected);
    if (withGrid) QCOMPARE(TFUI::instance()->ValuesConfirmed, answer.has_value());
}

void TestFGeraSql::generateWithoutTable() {
    TFGeraSql* g = showGenerator();
    QTest::keyClicks(g->Sql, QStringLiteral("kept"));
    QTest::mouseClick(g->BitBtn1, Qt::LeftButton);
    verifyRefusal(QStringLiteral("Nenhum tabela selecionada..."));
    QCOMPARE(g->sqlText(), QStringLiteral("kept"));
}

void TestFGeraSql::valuesGridRefusesBlankValues() {
    TFGeraSql* g = showGenerator();
    chooseTable(g, QStringLiteral("CLIENTES"));
    tick(g, {"NOME", "IDADE"});
    chooseCommand(g, TFGeraSql::Update);
    bool checked = false;
    onModal([&](QWidget* w) {
        auto* ui = qobject_cast<TFUI*>(w);
        QVERIFY(ui);
        // One row per ticked field, nothing offered from an earlier use.
        QCOMPARE(ui->SG->rowCount(), 3);
        QCOMPARE(ui->valueRows().size(), 2);
        QCOMPARE(ui->cell(2, 0), QStringLiteral("IDADE"));
        QCOMPARE(ui->cell(2, 2), QString());
        typeValue(ui, 1, QStringLiteral("'Ana'"));
        // Blanks and tabs count as no value; the grid stays open with what was typed.
        const QStringList blanks{QString(), QStringLiteral(" \t ")};
        for (const QString& blank : blanks) {
            if (!blank.isEmpty()) typeValue(ui, 2, blank, false);
            prompts().clear();
            ui->BOK->click();
            verifyRefusal(QStringLiteral("Ainda tem valores em branco ....."));
            QVERIFY(ui->isVisible());
            QCOMPARE(ui->cell(1, 2), QStringLiteral("'Ana'"));
        }
        // The name and "=" cells cannot be typed into.
        ui->SG->setCurrentCell(2, 0);
        QTest::keyClicks(ui->SG, QStringLiteral("Z"));
        QCOMPARE(ui->cell(2, 0), QStringLiteral("IDADE"));
        typeValue(ui, 2, QStringLiteral("30"), false);
        prompts().clear();
        ui->BOK->click();
        QCOMPARE(prompts().messages.size(), 0);
        QVERIFY(!ui->isVisible());
        checked = true;
    });
    QTest::mouseClick(g->BitBtn1, Qt::LeftButton);
    QVERIFY(checked);
    QVERIFY(TFUI::instance()->ValuesConfirmed);
    QCOMPARE(memoLines(g), (QStringList{"Update CLIENTES Set ", "NOME = 'Ana' , ", "IDADE = 30  "}));

    // The next generation starts from an empty grid again.
    onModal([&](QWidget* w) {
        auto* ui = qobject_cast<TFUI*>(w);
        QVERIFY(ui);
        QCOMPARE(ui->cell(1, 2), QString());
        QCOMPARE(ui->cell(2, 2), QString());
        ui->BCan->click();
    });
    QTest::mouseClick(g->BitBtn1, Qt::LeftButton);
    QVERIFY(!TFUI::instance()->ValuesConfirmed);
}

void TestFGeraSql::wherePath_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<bool>("hasConditions");
    QTest::addColumn<QString>("conditionBefore");
    QTest::addColumn<bool>("confirmed");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QStringList>("expected");

    const QStringList built{"Where ID  = 1", " And  NOME  = 'Bia'"};
    QTest::newRow("select and a condition of two lines")
        << 0 << false << QString() << true << Answer() << QStringList{"Select NOME From CLIENTES"} + built;
    QTest::newRow("update, values grid cancelled: only the condition")
        << 1 << false << QString() << true << Answer() << built;
    QTest::newRow("update with values") << 1 << false << QString() << true << Answer(QStringList{"'Ana'"})
                                        << QStringList{"Update CLIENTES Set ", "NOME = 'Ana'  "} + built;
    QTest::newRow("insert, values grid cancelled: memo and the condition")
        << 3 << false << QString() << true << Answer() << QStringList{"old"} + built;
    QTest::newRow("filter window left with Saída: memo unchanged")
        << 1 << false << QString() << false << Answer() << QStringList{"old"};
    QTest::newRow("the condition text of the last use, second panel")
        << 2 << true << QStringLiteral("Where IDADE  > 18") << true << Answer()
        << QStringList{"Delete From CLIENTES", "Where IDADE  > 18", " And  NOME  = 'Bia'"};
}

void TestFGeraSql::wherePath() {
    QFETCH(int, command);
    QFETCH(bool, hasConditions);
    QFETCH(QString, conditionBefore);
    QFETCH(bool, confirmed);
    QFETCH(Answer, answer);
    QFETCH(QStringList, expected);

    TFWhere* where = TFWhere::instance();
    where->sql->setPlainText(conditionBefore);
    where->HasConditions = hasConditions;
    where->setFields({QStringLiteral("LEFT"), QStringLiteral("OVER")});

    TFGeraSql* g = showGenerator();
    chooseTable(g, QStringLiteral("CLIENTES"));
    tick(g, {"NOME"});
    chooseCommand(g, command);
    QTest::keyClicks(g->Sql, QStringLiteral("old"));
    bool shown = false;
    onModal([&](QWidget* w) {
        QCOMPARE(w, static_cast<QWidget*>(where));
        shown = true;
        // Both field lists hold every field, ticked or not; the text is as the last use left it.
        for (QComboBox* list : {where->cbo_cam1, where->cbo_cam2}) {
            QStringList items;
            for (int i = 0; i < list->count(); ++i)
                items << list->itemText(i);
            QCOMPARE(items, kClientesFields);
        }
        QCOMPARE(where->conditionText(), conditionBefore);
        QCOMPARE(where->p1->isVisible(), hasConditions);
        if (!hasConditions) {
            where->cbo_cam2->setCurrentIndex(0); // ID
            QTest::keyClicks(where->val2, QStringLiteral("1"));
            QTest::mouseClick(where->Btn_Ad, Qt::LeftButton);
        }
        where->cbo_cam1->setCurrentIndex(1); // NOME
        QTest::keyClicks(where->val1, QStringLiteral("'Bia'"));
        QTest::mouseClick(where->btn_ad1, Qt::LeftButton);
        if (confirmed && (command == TFGeraSql::Update || command == TFGeraSql::Insert))
            answerValuesGrid(answer);
        QTest::mouseClick(confirmed ? where->Btn_Exe : where->Btn_sai, Qt::LeftButton);
    });
    QTest::mouseClick(g->BitBtn2, Qt::LeftButton);
    QVERIFY(shown);
    QCOMPARE(prompts().messages.size(), 0);
    QCOMPARE(m_gridShown,
             confirmed && (command == TFGeraSql::Update || command == TFGeraSql::Insert) ? 1 : 0);
    QCOMPARE(memoLines(g), expected);
}

void TestFGeraSql::whereWithoutFields() {
    TFGeraSql* g = showGenerator();
    QTest::keyClicks(g->Sql, QStringLiteral("kept"));
    bool opened = false;
    onModal([&](QWidget* w) { opened = w != nullptr; });
    QTest::mouseClick(g->BitBtn2, Qt::LeftButton);
    QCoreApplication::processEvents();
    QVERIFY(!opened);
    verifyRefusal(QStringLiteral("Nenhum campo foi encontrado para a cláusula Where"));
    QCOMPARE(g->sqlText(), QStringLiteral("kept"));
}

void TestFGeraSql::reopeningFromSqlWindow() {
    auto window = std::make_unique<TFSql>();
    TFSql* w = window.get();
    w->show();
    QTest::keyClicks(w->MemoSql, QStringLiteral("typed before"));

    // First use: a Delete generated and taken into the SQL window.
    onModal([&](QWidget* m) {
        auto* g = qobject_cast<TFGeraSql*>(m);
        QVERIFY(g);
        chooseTable(g, QStringLiteral("CLIENTES"));
        tick(g, {"NOME"});
        chooseCommand(g, TFGeraSql::Delete);
        QTest::mouseClick(g->BitBtn1, Qt::LeftButton);
        QTest::mouseClick(g->Bret, Qt::LeftButton);
    });
    QTest::mouseClick(w->bger, Qt::LeftButton);
    QCOMPARE(w->memoText(), QStringLiteral("Delete From CLIENTES"));
    QCOMPARE(TFGeraSql::instance()->ReturnedTable, QStringLiteral("CLIENTES"));

    // Reopened: table, ticks and memo forgotten, the command kept; leaving with nothing
    // generated and no table leaves the SQL window's memo alone and the returned table empty.
    onModal([&](QWidget* m) {
        auto* g = qobject_cast<TFGeraSql*>(m);
        QVERIFY(g);
        QCOMPARE(g->Tabelas->count(), 2);
        QVERIFY(g->Tabelas->selectedItems().isEmpty());
        QCOMPARE(g->Campos->count(), 0);
        QCOMPARE(g->sqlText(), QString());
        QCOMPARE(g->rgIndex(), int(TFGeraSql::Delete));
        QTest::mouseClick(g->Bret, Qt::LeftButton);
    });
    QTest::mouseClick(w->bger, Qt::LeftButton);
    QCOMPARE(w->memoText(), QStringLiteral("Delete From CLIENTES"));
    QCOMPARE(TFGeraSql::instance()->ReturnedTable, QString());
    QVERIFY(!TFGeraSql::instance()->isVisible());
}

void TestFGeraSql::takenIntoSqlWindowAndRun_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("command");
    QTest::addColumn<QStringList>("ticked");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QString>("key"); // typed into the filter window for a Where on the first field
    QTest::addColumn<QString>("check");
    QTest::addColumn<QStringList>("rows");

    QTest::newRow("insert") << QStringLiteral("CLIENTES") << 3 << QStringList{"ID", "NOME", "IDADE"}
                            << QStringList{"10", "'Ana'", "30"} << QString()
                            << QStringLiteral("select ID || '/' || NOME || '/' || IDADE || '/' || "
                                              "coalesce(CIDADE, '-') from CLIENTES order by ID")
                            << QStringList{"1/Bia/20/Recife", "10/Ana/30/-"};
    QTest::newRow("update with a condition")
        << QStringLiteral("CLIENTES") << 1 << QStringList{"IDADE", "CIDADE"} << QStringList{"21", "'Olinda'"}
        << QStringLiteral("1")
        << QStringLiteral(
               "select ID || '/' || NOME || '/' || IDADE || '/' || CIDADE from CLIENTES order by ID")
        << QStringList{"1/Bia/21/Olinda"};
    QTest::newRow("insert into a table whose names need quotes")
        << kItens << 3 << QStringList{"Código", "Descrição", "VALUE"} << QStringList{"3", "'Lápis'", "5"}
        << QString()
        << QStringLiteral("select \"Código\" || '/' || \"Descrição\" || '/' || \"VALUE\" from \"Itens do "
                          "pedido\" order by 1")
        << QStringList{"1/Caderno/3", "2/Borracha/4", "3/Lápis/5"};
    QTest::newRow("update of a table whose names need quotes, with a condition")
        << kItens << 1 << QStringList{"Descrição"} << QStringList{"'Régua'"} << QStringLiteral("2")
        << QStringLiteral("select \"Código\" || '/' || \"Descrição\" || '/' || \"VALUE\" from \"Itens do "
                          "pedido\" order by 1")
        << QStringList{"1/Caderno/3", "2/Régua/4"};
}

void TestFGeraSql::takenIntoSqlWindowAndRun() {
    QFETCH(QString, table);
    QFETCH(int, command);
    QFETCH(QStringList, ticked);
    QFETCH(QStringList, values);
    QFETCH(QString, key);
    QFETCH(QString, check);
    QFETCH(QStringList, rows);

    // A fresh copy of the rows for each case (cleanup goes back to the shared one).
    m_runDb = std::make_unique<TempDatabase>(schema(), QStringLiteral("UTF8"), QStringLiteral("run.fdb"));
    TempDatabase& db = *m_runDb;
    m_holder.reset();
    m_holder = std::make_unique<ConnectedHolder>(db.path());

    auto window = std::make_unique<TFSql>();
    TFSql* w = window.get();
    w->show();
    onModal([&](QWidget* m) {
        auto* g = qobject_cast<TFGeraSql*>(m);
        QVERIFY(g);
        chooseTable(g, table);
        tick(g, ticked);
        chooseCommand(g, command);
        if (key.isEmpty()) {
            answerValuesGrid(values);
            QTest::mouseClick(g->BitBtn1, Qt::LeftButton);
        } else {
            onModal([&](QWidget* f) {
                auto* where = qobject_cast<TFWhere*>(f);
                QVERIFY(where);
                QTest::keyClicks(where->val2, key); // on the first field, with "="
                QTest::mouseClick(where->Btn_Ad, Qt::LeftButton);
                answerValuesGrid(values);
                QTest::mouseClick(where->Btn_Exe, Qt::LeftButton);
            });
            QTest::mouseClick(g->BitBtn2, Qt::LeftButton);
        }
        QTest::mouseClick(g->Bret, Qt::LeftButton);
    });
    QTest::mouseClick(w->bger, Qt::LeftButton);
    QCOMPARE(w->memoText(), TFGeraSql::instance()->sqlText());
    QVERIFY(!w->memoText().isEmpty());

    QTest::mouseClick(w->bexe, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!w->running(), 20000); // the server answers in the background
    QCOMPARE(reportedErrors(), QStringList());
    QCOMPARE(w->memoText(), QString()); // run
    QTest::mouseClick(w->bgra, Qt::LeftButton);
    QCOMPARE(reportedErrors(), QStringList());
    QCOMPARE(db.column(check), rows);
}

void TestFGeraSql::listingsConnectFirstAndKeepListsOnFailure() {
    Database* banco = m_holder->dm.Banco;
    banco->close();
    prompts().clear();

    // Closed connection: the listing connects first (with its login), views and system tables
    // are left out, fields come in their order.
    TFGeraSql* g = showGenerator();
    QCOMPARE(prompts().logins.size(), 1);
    QVERIFY(banco->connected());
    QStringList tables;
    for (int i = 0; i < g->Tabelas->count(); ++i)
        tables << g->Tabelas->item(i)->text();
    QCOMPARE(tables, (QStringList{"CLIENTES", kItens}));
    chooseTable(g, QStringLiteral("CLIENTES"));
    QCOMPARE(g->fieldNames(), kClientesFields);
    QCOMPARE(g->ticks(), QList<bool>(4, false));
    tick(g, {"NOME"});
    QTest::keyClicks(g->Sql, QStringLiteral("kept"));

    // A listing that fails (the database cannot be reached): the error is reported, the lists
    // keep what they held.
    banco->close();
    banco->setDatabaseName(m_db->dir() + QStringLiteral("/nao_existe.fdb"));
    const auto restore = qScopeGuard([&] {
        banco->setDatabaseName(m_db->path());
        banco->open();
    });
    prompts().clear();
    chooseTable(g, kItens);
    QCOMPARE(reportedErrors().size(), 1);
    QCOMPARE(g->fieldNames(), kClientesFields);
    QCOMPARE(g->ticks(), (QList<bool>{false, true, false, false}));

    prompts().clear();
    g->hide();
    g->show();
    QCOMPARE(reportedErrors().size(), 1);
    QVERIFY(g->isVisible());
    QCOMPARE(g->Tabelas->count(), 2);
}

void TestFGeraSql::generatorLooks() {
    TFGeraSql* g = showGenerator();
    QVERIFY(QTest::qWaitForWindowActive(g));
    QCOMPARE(g->objectName(), QStringLiteral("FGeraSql"));
    QCOMPARE(g->windowTitle(), QStringLiteral("Geração de SQL"));
    QCOMPARE(g->size(), QSize(632, 453));
    QVERIFY(g->windowFlags() & Qt::Tool);
    QVERIFY(!(g->windowFlags() &
              (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint)));
    QCOMPARE(g->palette().color(QPalette::Window), winColor(12962988));
    QCOMPARE(g->font().pixelSize(), 16);
    QCOMPARE(g->Sql->font().pixelSize(), 13);
    QCOMPARE(g->msg->font().pixelSize(), 11);
    QCOMPARE(g->Label1->text(), QStringLiteral("Tabelas"));
    QCOMPARE(g->Label2->text(), QStringLiteral("Campos"));
    QCOMPARE(g->Label3->text(), QStringLiteral("Sql Gerado"));
    QCOMPARE(g->Rg->title(), QStringLiteral("  Comandos  "));
    QStringList commands;
    for (int i = 0; i < 4; ++i)
        commands << g->RgItems->button(i)->text();
    QCOMPARE(commands, (QStringList{"Select", "Update", "Delete", "Insert"}));
    QCOMPARE(g->BitBtn1->text(), QStringLiteral("&Gera Sql"));
    QCOMPARE(g->BitBtn2->text(), QStringLiteral("&Where"));
    QCOMPARE(g->Bret->text(), QStringLiteral("&Retorna"));
    for (QToolButton* b : {g->BitBtn1, g->BitBtn2}) {
        QCOMPARE(b->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        QVERIFY(!b->icon().isNull());
    }
    QCOMPARE(g->Sql->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    chooseTable(g, QStringLiteral("CLIENTES"));
    QCOMPARE(g->Tabelas->visualItemRect(g->Tabelas->item(0)).height(), 20);
    QCOMPARE(g->Campos->visualItemRect(g->Campos->item(0)).height(), 20);

    // Tab order from "&Retorna"; the hint shows exactly while the field list has the focus.
    g->Bret->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(g->Bret));
    QVERIFY(!g->msg->isVisible());
    const QList<QWidget*> order{g->Tabelas, g->Campos, g->RgItems->checkedButton(), g->Sql, g->BitBtn1,
                                g->BitBtn2, g->Bret};
    for (QWidget* next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
        QCOMPARE(g->msg->isVisible(), next == g->Campos);
    }

    // F1 ticks every field, F2 clears every field, in the field list.
    g->Campos->setFocus();
    QTest::keyClick(g->Campos, Qt::Key_F1);
    QCOMPARE(g->ticks(), QList<bool>(4, true));
    QTest::keyClick(g->Campos, Qt::Key_F2);
    QCOMPARE(g->ticks(), QList<bool>(4, false));

    // Esc does not leave: "&Retorna" does.
    QTest::keyClick(g, Qt::Key_Escape);
    QVERIFY(g->isVisible());
    g->close();
    QVERIFY(g->isVisible());
    QTest::mouseClick(g->Bret, Qt::LeftButton);
    QVERIFY(!g->isVisible());
}

void TestFGeraSql::valuesGridLooks() {
    TFGeraSql* g = showGenerator();
    chooseTable(g, QStringLiteral("CLIENTES"));
    tick(g, {"NOME", "IDADE"});
    chooseCommand(g, TFGeraSql::Insert);
    bool checked = false;
    onModal([&](QWidget* w) {
        auto* ui = qobject_cast<TFUI*>(w);
        QVERIFY(ui);
        QCOMPARE(ui->objectName(), QStringLiteral("FUI"));
        QCOMPARE(ui->windowTitle(), QStringLiteral("Campos para geração de UPDATE / INSERT"));
        QCOMPARE(ui->size(), QSize(536, 399));
        QVERIFY(!(ui->windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint)));
        QCOMPARE(ui->font().pixelSize(), 11);
        QCOMPARE(ui->SG->font().pixelSize(), 13);
        struct L {
            QLabel* label;
            QString text;
            QColor colour;
        };
        for (const L& l :
             {L{ui->Label1, "Campos numérico devem ser digitados diretos nas celulas", Qt::black},
              L{ui->Label2, "Campos numérico com casas decimais devem ser separados por ponto", Qt::red},
              L{ui->Label4, "Campos data na forma MM/DD/AAAA entre aspas", Qt::black},
              L{ui->Label3, "Campos caracter entre aspas", Qt::red}}) {
            QCOMPARE(l.label->text(), l.text);
            QCOMPARE(l.label->palette().color(QPalette::WindowText), l.colour);
            QCOMPARE(l.label->font().pixelSize(), 16);
            QVERIFY2(l.label->x() + l.label->fontMetrics().horizontalAdvance(l.text) <= ui->width(),
                     qPrintable(l.text)); // the whole line shows
        }
        QCOMPARE(ui->BCan->text(), QStringLiteral("&Cancela"));
        QCOMPARE(ui->BOK->text(), QStringLiteral("OK"));
        QCOMPARE(ui->SG->columnCount(), 4);
        QCOMPARE(ui->SG->rowCount(), 3);
        const QList<int> widths{190, 20, 271, 17};
        const QStringList titles{"Campos", "=", "Valor", ","};
        const QStringList second{"IDADE", "=", "", ","};
        for (int c = 0; c < 4; ++c) {
            QCOMPARE(ui->SG->columnWidth(c), widths[c]);
            QCOMPARE(ui->cell(0, c), titles[c]);
            QCOMPARE(ui->cell(2, c), second[c]);
        }
        QCOMPARE(ui->SG->rowHeight(1), 20);

        // Drawing: data rows in alternating colours across all columns, the title row in the
        // fixed cells' colour; names and values at the left, the rest centred.
        typeValue(ui, 1, QStringLiteral("'Ana'"));
        ui->SG->setCurrentCell(2, 3); // the focus frame away from the cells looked at
        const QImage image = ui->SG->viewport()->grab().toImage();
        const qreal scale = image.devicePixelRatio();
        auto cellRect = [&](int r, int c) { return ui->SG->visualRect(ui->SG->model()->index(r, c)); };
        auto background = [&](int r, int c) {
            const QPoint p = cellRect(r, c).bottomRight() - QPoint(2, 2);
            return image.pixelColor(p * scale);
        };
        for (int c = 0; c < 4; ++c) {
            QCOMPARE(background(1, c), winColor(11263139));
            QCOMPARE(background(2, c), winColor(13615281));
            QCOMPARE(background(0, c), ui->SG->palette().color(QPalette::Button));
        }
        // Left edge of the ink in a cell, from the cell's left edge.
        auto inkFromLeft = [&](int r, int c) {
            const QRect rect = cellRect(r, c);
            const QColor bg = background(r, c);
            for (int x = rect.left(); x < rect.right(); ++x)
                for (int y = rect.top(); y < rect.bottom() - 2; ++y)
                    if (image.pixelColor(QPoint(x, y) * scale) != bg) return x - rect.left();
            return -1;
        };
        QVERIFY(inkFromLeft(1, 0) >= 0 && inkFromLeft(1, 0) <= 5); // NOME
        QVERIFY(inkFromLeft(1, 2) >= 0 && inkFromLeft(1, 2) <= 5); // 'Ana'
        QVERIFY(inkFromLeft(0, 0) > 40);                           // "Campos", centred
        QVERIFY(inkFromLeft(0, 2) > 60);                           // "Valor", centred

        // Esc does not leave: only the two buttons do.
        QTest::keyClick(ui, Qt::Key_Escape);
        QVERIFY(ui->isVisible());
        ui->BCan->click();
        QVERIFY(!ui->isVisible());
        checked = true;
    });
    QTest::mouseClick(g->BitBtn1, Qt::LeftButton);
    QVERIFY(checked);
}

void TestFGeraSql::restoredAfterMinimiseKeepsTheWork() {
    TFGeraSql* g = showGenerator();
    chooseTable(g, QStringLiteral("CLIENTES"));
    tick(g, {"NOME", "IDADE"});
    QTest::mouseClick(g->BitBtn1, Qt::LeftButton);
    QCOMPARE(g->sqlText(), QStringLiteral("Select NOME, IDADE From CLIENTES"));
    // The window system hides and shows it again: not a new use.
    g->showMinimized();
    g->showNormal();
    QVERIFY(g->isVisible());
    QCOMPARE(g->Tabelas->count(), 2);
    QCOMPARE(g->selectedTable(), QStringLiteral("CLIENTES"));
    QCOMPARE(g->ticks(), (QList<bool>{false, true, true, false}));
    QCOMPARE(g->sqlText(), QStringLiteral("Select NOME, IDADE From CLIENTES"));
    // A new use starts afresh.
    g->hide();
    g->show();
    QVERIFY(g->selectedTable().isEmpty());
    QCOMPARE(g->Campos->count(), 0);
    QCOMPARE(g->sqlText(), QString());
    QVERIFY(reportedErrors().isEmpty());
}

void TestFGeraSql::clickOnTheChosenTableRefillsTheFields() {
    TFGeraSql* g = showGenerator();
    chooseTable(g, QStringLiteral("CLIENTES"));
    tick(g, {"ID", "CIDADE"});
    QCOMPARE(g->ticks(), (QList<bool>{true, false, false, true}));
    chooseTable(g, QStringLiteral("CLIENTES"));
    QCOMPARE(g->selectedTable(), QStringLiteral("CLIENTES"));
    QCOMPARE(g->fieldNames(), kClientesFields);
    QCOMPARE(g->ticks(), (QList<bool>{false, false, false, false}));
    // Choosing another table by a click fills its fields once.
    tick(g, {"NOME"});
    chooseTable(g, kItens);
    QCOMPARE(g->fieldNames(), (QStringList{"Código", "Descrição", "VALUE"}));
    QCOMPARE(g->ticks(), (QList<bool>{false, false, false}));
    QVERIFY(reportedErrors().isEmpty());
}

QTEST_MAIN(TestFGeraSql)
#include "test_fgerasql.moc"
