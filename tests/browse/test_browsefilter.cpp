// A browse window's filter, sort order and column choice on a real database: the select statement
// rebuilt from the shared texts, a rejected filter, columns coming back, and the shared tools
// belonging to the browse window shown last.
#include "browse/browsestate.h"
#include "browse/ui/fbrowse.h"
#include "browse/ui/fcampos.h"
#include "browse/ui/fordem.h"
#include "browse/ui/fwhere.h"
#include "connection/datasetmodel.h"
#include "connection/dm.h"
#include "connection/identifiers.h"
#include "connection/transaction.h"
#include "support/browsewindows.h"
#include "support/connectedholder.h"
#include "support/fbfixture.h"
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>
#include <functional>
#include <memory>

class TestBrowseFilter : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void filterThenOrderKeepsBoth();
    void orderThenFilterKeepsBoth();
    void clearedFilterKeepsOrder();
    void rejectedFilter_data();
    void rejectedFilter();
    void cancelledToolsChangeNothing();
    void filterListsAndPanelFromTheWindow();
    void hiddenColumnsComeBack();
    void chooser_data();
    void chooser();
    void twoWindowsShareTheTools();
    void quotedNames();

private:
    TFBrowse* openBrowse(const QString& table);
    // Runs `act` on the modal window that the next call opens; the window is closed afterwards
    // whatever the checks said, so no test waits on it.
    void onModal(std::function<void(QDialog*)> act);
    // The filter window driven as a user would: the text typed into the memo, then "&Executa".
    void filter(TFBrowse* b, const QString& typed);
    // The order window: the names moved to the chosen list (after those already there), then
    // the direction and "&Executa".
    void order(TFBrowse* b, const QStringList& names, bool descending);
    QList<int> codes(TFBrowse* b, const QString& field = QStringLiteral("CODIGO"));
    QStringList headers(TFBrowse* b);

    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<ConnectedHolder> m_holder;
    BrowseWindows m_browses;
};

void TestBrowseFilter::initTestCase() {
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    m_db = std::make_unique<TempDatabase>(QStringList{
        QStringLiteral("create table CLIENTES (CODIGO integer not null primary key, NOME varchar(40),"
                       " CIDADE varchar(20))"),
        QStringLiteral("insert into CLIENTES values (1, 'Ana', 'Rio')"),
        QStringLiteral("insert into CLIENTES values (2, 'Bruno', 'Recife')"),
        QStringLiteral("insert into CLIENTES values (3, 'Abel', 'Rio')"),
        QStringLiteral("insert into CLIENTES values (4, 'Carla', 'Natal')"),
        QStringLiteral("insert into CLIENTES values (5, 'Davi', 'Rio')"),
        QStringLiteral("create table PRODUTOS (ID integer not null primary key, NOME varchar(20),"
                       " PRECO numeric(9,2))"),
        QStringLiteral("create table \"Clientes Especiais\" (\"Código\" integer not null primary key,"
                       " \"Nome Completo\" varchar(40))"),
        QStringLiteral("insert into \"Clientes Especiais\" values (7, 'Maria')"),
        QStringLiteral("insert into \"Clientes Especiais\" values (8, 'José')"),
        QStringLiteral("insert into \"Clientes Especiais\" values (9, 'Mário')"),
    });
}

void TestBrowseFilter::init() {
    m_holder = std::make_unique<ConnectedHolder>(m_db->path());
}

void TestBrowseFilter::cleanup() {
    m_browses.closeAll();
    if (m_holder->dm.Trans->active()) m_holder->dm.Trans->rollback();
    m_holder.reset();
    TFWhere::instance()->clearConditions();
}

void TestBrowseFilter::cleanupTestCase() {
    m_db.reset();
}

TFBrowse* TestBrowseFilter::openBrowse(const QString& table) {
    return m_browses.open(table);
}

void TestBrowseFilter::onModal(std::function<void(QDialog*)> act) {
    QTimer::singleShot(0, this, [act] {
        auto* d = qobject_cast<QDialog*>(qApp->activeModalWidget());
        QVERIFY(d);
        act(d);
        if (d->isVisible()) d->QDialog::done(QDialog::Rejected);
    });
}

void TestBrowseFilter::filter(TFBrowse* b, const QString& typed) {
    onModal([typed](QDialog* d) {
        auto* w = qobject_cast<TFWhere*>(d);
        QVERIFY(w);
        w->sql->setPlainText(typed);
        QTest::mouseClick(w->Btn_Exe, Qt::LeftButton);
    });
    b->SFiltro->click();
}

void TestBrowseFilter::order(TFBrowse* b, const QStringList& names, bool descending) {
    onModal([names, descending](QDialog* d) {
        auto* o = qobject_cast<TFOrdem*>(d);
        QVERIFY(o);
        for (const QString& name : names) {
            const QList<QListWidgetItem*> found = o->OSCampo->findItems(name, Qt::MatchExactly);
            QCOMPARE(found.size(), 1);
            o->OSCampo->setCurrentItem(found.first());
            QTest::mouseClick(o->SpeedButton1, Qt::LeftButton);
        }
        (descending ? o->Decrescente : o->Crescente)->setChecked(true);
        QTest::mouseClick(o->Btn_Exe, Qt::LeftButton);
    });
    b->Sorder->click();
}

QList<int> TestBrowseFilter::codes(TFBrowse* b, const QString& field) {
    DataSet* ds = b->IBDataSet1;
    QList<int> out;
    if (!ds->active()) return out;
    ds->fetchAll();
    const int f = ds->fieldByName(field)->index();
    for (int r = 0; r < ds->rowCount(); ++r) out << ds->value(r, f).toInt();
    return out;
}

QStringList TestBrowseFilter::headers(TFBrowse* b) {
    QStringList out;
    for (int c = 0; c < b->DS->columnCount(); ++c) out << b->DS->headerData(c, Qt::Horizontal).toString();
    return out;
}

void TestBrowseFilter::filterThenOrderKeepsBoth() {
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"));
    onModal([](QDialog* d) {
        auto* w = static_cast<TFWhere*>(d);
        QVERIFY(w->p0->isVisible());
        w->cbo_cam2->setCurrentText(QStringLiteral("CIDADE"));
        w->val2->setText(QStringLiteral("'Rio'"));
        QTest::mouseClick(w->Btn_Ad, Qt::LeftButton);
        QTest::mouseClick(w->Btn_Exe, Qt::LeftButton);
    });
    b->SFiltro->click();
    const QString base = QStringLiteral("Select * From CLIENTES");
    QCOMPARE(b->IBDataSet1->selectSQL(), (QStringList{base, "Where CIDADE  = 'Rio'\n", ""}));
    QCOMPARE(BaseSelect, base);
    QCOMPARE(FilterClause, QStringLiteral("Where CIDADE  = 'Rio'\n"));
    QCOMPARE(codes(b), (QList<int>{1, 3, 5}));

    order(b, {"NOME"}, true);
    QCOMPARE(OrderClause, QStringLiteral("Order By NOME Desc"));
    QCOMPARE(b->IBDataSet1->selectSQL(),
             (QStringList{base, "Where CIDADE  = 'Rio'\n", "Order By NOME Desc"}));
    QCOMPARE(codes(b), (QList<int>{5, 1, 3})); // Davi, Ana, Abel
    QCOMPARE(b->IBDataSet1->state(), DataSet::Browse);
    QVERIFY(m_holder->prompts.messages.isEmpty());
}

void TestBrowseFilter::orderThenFilterKeepsBoth() {
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"));
    order(b, {"NOME"}, false);
    QCOMPARE(codes(b), (QList<int>{3, 1, 2, 4, 5}));
    // Two conditions through the panels.
    onModal([](QDialog* d) {
        auto* w = static_cast<TFWhere*>(d);
        w->cbo_cam2->setCurrentText(QStringLiteral("CODIGO"));
        w->cbo_ope2->setCurrentText(QStringLiteral(">"));
        w->val2->setText(QStringLiteral("2"));
        w->Btn_AdClick();
        w->cbo_cam1->setCurrentText(QStringLiteral("CIDADE"));
        w->val1->setText(QStringLiteral("'Rio'"));
        w->btn_ad1Click();
        w->Btn_ExeClick();
    });
    b->SFiltro->click();
    QCOMPARE(b->IBDataSet1->selectSQL(), (QStringList{"Select * From CLIENTES",
                                                      "Where CODIGO  > 2\n And  CIDADE  = 'Rio'\n",
                                                      "Order By NOME"}));
    QCOMPARE(codes(b), (QList<int>{3, 5})); // Abel, Davi
    QVERIFY(m_holder->prompts.messages.isEmpty());
}

void TestBrowseFilter::clearedFilterKeepsOrder() {
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"));
    filter(b, QStringLiteral("Where CODIGO  <> 2"));
    order(b, {"CIDADE", "CODIGO"}, true);
    // " Desc" follows the last name only: CIDADE ascending, CODIGO descending within a city.
    QCOMPARE(codes(b), (QList<int>{4, 5, 3, 1}));
    onModal([](QDialog* d) {
        auto* w = static_cast<TFWhere*>(d);
        // The text holds conditions: the second panel shows, the lines still there.
        QVERIFY(w->p1->isVisible());
        QCOMPARE(w->conditionText(), QStringLiteral("Where CODIGO  <> 2"));
        QTest::mouseClick(w->BitBtn1, Qt::LeftButton);
        QTest::mouseClick(w->Btn_Exe, Qt::LeftButton);
    });
    b->SFiltro->click();
    QCOMPARE(b->IBDataSet1->selectSQL(), (QStringList{"Select * From CLIENTES", "", "Order By CIDADE,CODIGO Desc"}));
    QVERIFY(FilterClause.isEmpty());
    QCOMPARE(codes(b), (QList<int>{4, 2, 5, 3, 1}));
}

void TestBrowseFilter::rejectedFilter_data() {
    QTest::addColumn<QString>("typed");
    QTest::newRow("unknown column") << "Where NAO_EXISTE  = 1";
    QTest::newRow("without Where") << " And  CODIGO  = 1";
    QTest::newRow("unbalanced quote") << "Where NOME  = 'Ana";
    QTest::newRow("text for a number") << "Where CODIGO  = 'abc'";
}

void TestBrowseFilter::rejectedFilter() {
    QFETCH(QString, typed);
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"));
    order(b, {"NOME"}, false);
    filter(b, typed);
    QCOMPARE(m_holder->prompts.messages.size(), 1);
    const MessageRequest m = m_holder->prompts.messages.first();
    QCOMPARE(m.text, QStringLiteral("Filtro inválido"));
    QCOMPARE(m.caption, QStringLiteral("Erro"));
    QCOMPARE(m.icon, MsgIcon::Error);
    QCOMPARE(m.buttons, int(MbOk));
    // Unfiltered, in the last order.
    QCOMPARE(b->IBDataSet1->selectSQL(), (QStringList{"Select * From CLIENTES", "Order By NOME"}));
    QVERIFY(FilterClause.isEmpty());
    QCOMPARE(b->IBDataSet1->state(), DataSet::Browse);
    QCOMPARE(codes(b), (QList<int>{3, 1, 2, 4, 5}));
    // A later order does not bring the rejected filter back; the filter window keeps the text, the
    // order window its chosen list.
    order(b, {"CODIGO"}, true);
    QCOMPARE(b->IBDataSet1->selectSQL(),
             (QStringList{"Select * From CLIENTES", "", "Order By NOME,CODIGO Desc"}));
    QCOMPARE(codes(b), (QList<int>{3, 1, 2, 4, 5}));
    QCOMPARE(TFWhere::instance()->conditionText(), typed);
    QCOMPARE(m_holder->prompts.messages.size(), 1);
}

void TestBrowseFilter::cancelledToolsChangeNothing() {
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"));
    const QStringList select = b->IBDataSet1->selectSQL();
    onModal([](QDialog* d) {
        auto* w = qobject_cast<TFWhere*>(d);
        QVERIFY(w);
        w->val2->setText(QStringLiteral("1"));
        w->Btn_AdClick();
        QTest::mouseClick(w->Btn_sai, Qt::LeftButton);
    });
    QVERIFY(b->FormKeyDown(Qt::Key_F11)); // F11 is the filter
    QCOMPARE(b->IBDataSet1->selectSQL(), select);
    QVERIFY(BaseSelect.isEmpty() && FilterClause.isEmpty());
    QCOMPARE(TFWhere::instance()->conditionText(), QStringLiteral("Where CODIGO  = 1")); // kept for next time

    onModal([](QDialog* d) {
        auto* o = qobject_cast<TFOrdem*>(d);
        QVERIFY(o);
        o->OSCampo->setCurrentRow(1);
        o->SpeedButton1Click();
        QTest::mouseClick(o->Btn_sai, Qt::LeftButton);
    });
    QVERIFY(b->FormKeyDown(Qt::Key_F10)); // F10 is the order
    QCOMPARE(b->IBDataSet1->selectSQL(), select);
    QVERIFY(OrderClause.isEmpty());
    QCOMPARE(TFOrdem::instance()->chosenNames(), QStringList{"NOME"}); // the next use starts there
    QCOMPARE(codes(b), (QList<int>{1, 2, 3, 4, 5}));
    QVERIFY(m_holder->prompts.messages.isEmpty());
}

void TestBrowseFilter::filterListsAndPanelFromTheWindow() {
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"));
    TFWhere* w = TFWhere::instance();
    // Lists left from another caller are replaced by this window's fields.
    w->setFields({"X", "Y"});
    w->sql->setPlainText(QStringLiteral("   "));
    QStringList seen;
    bool firstPanel = false;
    onModal([&](QDialog*) {
        for (int i = 0; i < w->cbo_cam1->count(); ++i) seen << w->cbo_cam1->itemText(i);
        QCOMPARE(w->cbo_cam2->count(), w->cbo_cam1->count());
        firstPanel = w->p0->isVisible(); // blanks only: no conditions
        w->Btn_saiClick();
    });
    b->SFiltroClick();
    QCOMPARE(seen, (QStringList{"CODIGO", "NOME", "CIDADE"}));
    QVERIFY(firstPanel);
    QVERIFY(!w->HasConditions);
}

void TestBrowseFilter::hiddenColumnsComeBack() {
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"));
    const auto hideNome = [](QDialog* d) {
        auto* c = qobject_cast<TFCampos*>(d);
        QVERIFY(c);
        QCOMPARE(c->ticks(), (QList<bool>{true, true, true}));
        c->Campos->item(1)->setCheckState(Qt::Unchecked);
        QTest::mouseClick(c->BitBtn2, Qt::LeftButton);
    };
    onModal(hideNome);
    b->SCampos->click();
    QCOMPARE(headers(b), (QStringList{"CODIGO", "CIDADE"}));
    QVERIFY(!b->IBDataSet1->fieldByName(QStringLiteral("NOME"))->visible());
    QVERIFY(!b->findChild<TFCampos*>()); // released after its use

    filter(b, QStringLiteral("Where CODIGO  < 3"));
    QCOMPARE(headers(b), (QStringList{"CODIGO", "NOME", "CIDADE"}));
    QCOMPARE(codes(b), (QList<int>{1, 2}));

    onModal(hideNome);
    b->SCampos->click();
    QCOMPARE(headers(b), (QStringList{"CODIGO", "CIDADE"}));
    order(b, {"NOME"}, false);
    QCOMPARE(headers(b), (QStringList{"CODIGO", "NOME", "CIDADE"}));
    QCOMPARE(codes(b), (QList<int>{1, 2})); // Ana, Bruno, still filtered
}

void TestBrowseFilter::chooser_data() {
    QTest::addColumn<int>("key");   // pressed in the list before closing, 0 for none
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("F1 then OK shows every column") << int(Qt::Key_F1) << true
                                                   << QStringList{"CODIGO", "NOME", "CIDADE"};
    QTest::newRow("F2 then OK changes nothing") << int(Qt::Key_F2) << true << QStringList{"CODIGO", "CIDADE"};
    QTest::newRow("F1 then Cancela changes nothing") << int(Qt::Key_F1) << false << QStringList{"CODIGO", "CIDADE"};
}

void TestBrowseFilter::chooser() {
    QFETCH(int, key);
    QFETCH(bool, ok);
    QFETCH(QStringList, shown);
    TFBrowse* b = openBrowse(QStringLiteral("CLIENTES"));
    b->IBDataSet1->fieldByName(QStringLiteral("NOME"))->setVisible(false);
    b->DS->refreshColumns();
    onModal([&](QDialog* d) {
        auto* c = qobject_cast<TFCampos*>(d);
        QVERIFY(c);
        QCOMPARE(c->ticks(), (QList<bool>{true, false, true}));
        QTest::keyClick(c->Campos, Qt::Key(key));
        QTest::keyClick(c->Campos, ok ? Qt::Key_Return : Qt::Key_Escape);
    });
    QVERIFY(b->FormKeyDown(Qt::Key_F6)); // F6 is the chooser
    QCOMPARE(headers(b), shown);
    QCOMPARE(b->DS->rowCount(), 5);
}

void TestBrowseFilter::twoWindowsShareTheTools() {
    TFBrowse* a = openBrowse(QStringLiteral("CLIENTES"));
    filter(a, QStringLiteral("Where CIDADE  = 'Rio'"));
    QCOMPARE(codes(a), (QList<int>{1, 3, 5}));

    TFBrowse* b = openBrowse(QStringLiteral("PRODUTOS"));
    // Showing the second window handed it the shared tools and emptied the shared texts.
    QVERIFY(TFWhere::instance()->conditionText().isEmpty());
    QCOMPARE(TFOrdem::instance()->availableNames(), (QStringList{"ID", "NOME", "PRECO"}));
    QVERIFY(TFOrdem::instance()->chosenNames().isEmpty());
    QVERIFY(BaseSelect.isEmpty() && FilterClause.isEmpty() && OrderClause.isEmpty());
    QCOMPARE(a->IBDataSet1->selectSQL(), (QStringList{"Select * From CLIENTES", "Where CIDADE  = 'Rio'\n", ""}));

    // "Ordem" in the first window offers the second window's fields; the order applied there drops
    // the first window's filter, since the shared filter text is now empty.
    QStringList offered;
    onModal([&](QDialog* d) {
        auto* o = static_cast<TFOrdem*>(d);
        offered = o->availableNames();
        o->OSCampo->setCurrentRow(1); // NOME, which both tables have
        o->SpeedButton1Click();
        o->Btn_ExeClick();
    });
    a->Sorder->click();
    QCOMPARE(offered, (QStringList{"ID", "NOME", "PRECO"}));
    QCOMPARE(a->IBDataSet1->selectSQL(), (QStringList{"Select * From CLIENTES", "", "Order By NOME"}));
    QCOMPARE(codes(a), (QList<int>{3, 1, 2, 4, 5}));
    QCOMPARE(b->IBDataSet1->selectSQL(), QStringList{"Select * From PRODUTOS"});

    // A field the first window's table lacks: the error is shown and its dataset stays closed.
    onModal([](QDialog* d) {
        auto* o = static_cast<TFOrdem*>(d);
        o->OsOrdem->setCurrentRow(0);
        o->SpeedButton2Click();
        o->OSCampo->setCurrentRow(o->availableNames().indexOf(QStringLiteral("PRECO")));
        o->SpeedButton1Click();
        o->Btn_ExeClick();
    });
    a->Sorder->click();
    QCOMPARE(m_holder->prompts.messages.size(), 1);
    QCOMPARE(m_holder->prompts.messages.first().icon, MsgIcon::Error);
    QVERIFY(m_holder->prompts.messages.first().text.contains(QStringLiteral("PRECO")));
    QCOMPARE(a->IBDataSet1->state(), DataSet::Inactive);
    QCOMPARE(b->IBDataSet1->state(), DataSet::Browse);
}

void TestBrowseFilter::quotedNames() {
    TFBrowse* b = openBrowse(QStringLiteral("Clientes Especiais"));
    onModal([](QDialog* d) {
        auto* w = static_cast<TFWhere*>(d);
        w->cbo_cam2->setCurrentText(QStringLiteral("Nome Completo"));
        w->cbo_ope2->setCurrentText(QStringLiteral("Like"));
        w->val2->setText(QStringLiteral("'M%'"));
        w->Btn_AdClick();
        w->Btn_ExeClick();
    });
    b->SFiltro->click();
    QCOMPARE(FilterClause, QStringLiteral("Where \"Nome Completo\"  Like 'M%'\n"));
    order(b, {"Nome Completo"}, true);
    QCOMPARE(OrderClause, QStringLiteral("Order By \"Nome Completo\" Desc"));
    QCOMPARE(codes(b, QStringLiteral("Código")), (QList<int>{9, 7})); // Mário, Maria
    QVERIFY(m_holder->prompts.messages.isEmpty());
}

QTEST_MAIN(TestBrowseFilter)
#include "test_browsefilter.moc"
