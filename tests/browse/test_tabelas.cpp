// The table list on real databases: its sorted names, opening browse windows that it owns, the
// properties window, painting, and a listing that fails.
#include "browse/ui/fbrowse.h"
#include "browse/ui/propriedades.h"
#include "browse/ui/tabelas.h"
#include "connection/database.h"
#include "connection/datasetmodel.h"
#include "connection/transaction.h"
#include "platform/ui/mdihost.h"
#include "platform/wincolor.h"
#include "support/connectedholder.h"
#include "support/fbfixture.h"
#include "support/modal.h"
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>
#include <functional>
#include <memory>

class TestTabelas : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void fillsSortedNamesOnce();
    void looks();
    void noTables();
    void listingFails();
    void doubleClickOpensBrowseWindow_data();
    void doubleClickOpensBrowseWindow();
    void titleOrEmptyRowDoesNothing();
    void quotedNameOpens();
    void closingDestroysBrowseWindows();
    void closingInMainWindow();
    void properties();
    void painting();

private:
    TTabelas* showList();
    int rowOf(TTabelas* list, const QString& name) const;

    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<ConnectedHolder> m_holder;
    QPointer<TTabelas> m_list;
};

namespace {
QStringList gridNames(TTabelas* list) {
    QStringList names;
    for (int r = 0; r < list->SG->rowCount(); ++r)
        names.append(list->SG->item(r, 0)->text());
    return names;
}
} // namespace

void TestTabelas::initTestCase() {
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    m_db = std::make_unique<TempDatabase>(QStringList{
        QStringLiteral("create table GAMA (ID integer)"),
        QStringLiteral("create table \"beta\" (ID integer)"),
        QStringLiteral("create table \"Alfa\" (ID integer)"),
        QStringLiteral("create table \"alfa2\" (ID integer)"),
        QStringLiteral("create table \"Ábaco\" (ID integer)"),
        QStringLiteral("create view VISTA as select ID from GAMA"),
        QStringLiteral("create table CLIENTES (CODIGO integer not null primary key, NOME varchar(40))"),
        QStringLiteral("create table \"Clientes Especiais\" (\"Código\" integer not null primary key,"
                       " \"Nome Completo\" varchar(40))"),
        QStringLiteral("insert into CLIENTES values (1, 'Ana')"),
        QStringLiteral("insert into CLIENTES values (2, 'Bruno')"),
        QStringLiteral("insert into \"Clientes Especiais\" values (7, 'Maria')"),
    });
}

void TestTabelas::init() {
    m_holder = std::make_unique<ConnectedHolder>(m_db->path());
}

void TestTabelas::cleanup() {
    delete m_list.data();
    setMdiHost(nullptr);
    if (m_holder->dm.Trans->active()) m_holder->dm.Trans->rollback();
    m_holder.reset();
}

void TestTabelas::cleanupTestCase() {
    m_db.reset();
}

TTabelas* TestTabelas::showList() {
    m_list = new TTabelas;
    m_list->show();
    return m_list;
}

int TestTabelas::rowOf(TTabelas* list, const QString& name) const {
    return int(gridNames(list).indexOf(name));
}

void TestTabelas::fillsSortedNamesOnce() {
    TTabelas* list = showList();
    QCOMPARE(list->SG->horizontalHeaderItem(0)->text(), QStringLiteral("Nome das tabelas"));
    // Case-insensitive, in the locale's order; user tables only, no views.
    QCOMPARE(gridNames(list),
             (QStringList{"Ábaco", "Alfa", "alfa2", "beta", "CLIENTES", "Clientes Especiais", "GAMA"}));
    QCOMPARE(list->SG->currentRow(), 0);

    m_db->exec(QStringLiteral("create table NOVA (ID integer)"));
    list->hide();
    list->show();
    QCOMPARE(list->SG->rowCount(), 7); // filled once
    QVERIFY(m_holder->prompts.messages.isEmpty());
}

void TestTabelas::looks() {
    TTabelas* list = showList();
    QCOMPARE(list->objectName(), QStringLiteral("Tabelas"));
    QCOMPARE(list->windowTitle(), QStringLiteral("Tabelas"));
    QCOMPARE(list->size(), QSize(344, 402));
    QCOMPARE(list->palette().color(QPalette::Window), winColor(13678476));
    QCOMPARE(list->SG->geometry(), QRect(6, 6, 331, 340));
    QCOMPARE(list->SG->columnCount(), 1);
    QCOMPARE(list->SG->columnWidth(0), 309);
    QVERIFY(list->SG->editTriggers() == QAbstractItemView::NoEditTriggers);
    QCOMPARE(list->BitBtn1->text(), QStringLiteral("&Fecha"));
    QCOMPARE(list->BitBtn1->geometry(), QRect(245, 367, 94, 31));
    QCOMPARE(list->BitBtn1->cursor().shape(), Qt::PointingHandCursor);
    QVERIFY(!list->BitBtn1->icon().isNull());
    QCOMPARE(list->Propriedades1->text(), QStringLiteral("Propriedades"));
    QCOMPARE(list->SG->contextMenuPolicy(), Qt::CustomContextMenu);
}

void TestTabelas::noTables() {
    TempDatabase empty({}, QStringLiteral("UTF8"), QStringLiteral("empty.fdb"));
    m_holder.reset();
    m_holder = std::make_unique<ConnectedHolder>(empty.path());
    TTabelas* list = showList();
    QCOMPARE(list->SG->horizontalHeaderItem(0)->text(), QStringLiteral("Nome das tabelas"));
    QCOMPARE(list->SG->rowCount(), 0);
    list->SGDblClick();
    QTest::mouseDClick(list->SG->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    QVERIFY(list->browseWindows().isEmpty());
    QVERIFY(CurrentTable.isEmpty());
    delete m_list.data();
    m_holder.reset();
    m_holder = std::make_unique<ConnectedHolder>(m_db->path());
}

void TestTabelas::listingFails() {
    m_holder->dm.DisconnectDatabase();
    m_holder->dm.Banco->setDatabaseName(m_db->dir() + QStringLiteral("/nao_existe.fdb"));
    m_holder->prompts.clear();
    TTabelas* list = showList();
    QCOMPARE(m_holder->prompts.messages.size(), 1);
    QCOMPARE(m_holder->prompts.messages[0].icon, MsgIcon::Error);
    QVERIFY(list->isVisible());
    QCOMPARE(list->SG->rowCount(), 0);
    QCOMPARE(list->SG->horizontalHeaderItem(0)->text(), QString()); // no title either
}

void TestTabelas::doubleClickOpensBrowseWindow_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("select");
    QTest::addColumn<int>("rows");
    QTest::newRow("plain") << "CLIENTES"
                           << "Select * From CLIENTES" << 2;
    QTest::newRow("needs quotes") << "Clientes Especiais"
                                  << "Select * From \"Clientes Especiais\"" << 1;
    QTest::newRow("lower case") << "beta"
                                << "Select * From \"beta\"" << 0;
}

void TestTabelas::doubleClickOpensBrowseWindow() {
    QFETCH(QString, table);
    QFETCH(QString, select);
    QFETCH(int, rows);
    TTabelas* list = showList();
    const int row = rowOf(list, table);
    const QRect cell = list->SG->visualRect(list->SG->model()->index(row, 0));
    QTest::mouseClick(list->SG->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(list->SG->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(CurrentTable, table);
    QCOMPARE(BrowseSelect, select);
    QCOMPARE(list->browseWindows().size(), 1);
    TFBrowse* b = list->browseWindows().first();
    QCOMPARE(b->windowTitle(), table);
    QVERIFY(b->isVisible());
    QCOMPARE(b->IBDataSet1->state(), DataSet::Browse);
    QCOMPARE(b->DS->rowCount(), rows);
    QVERIFY(m_holder->prompts.messages.isEmpty());

    list->SGDblClick(); // the same table again: a second, independent window
    QCOMPARE(list->browseWindows().size(), 2);
    QVERIFY(list->browseWindows().at(1) != b);
    QVERIFY(list->updatesEnabled());
}

void TestTabelas::titleOrEmptyRowDoesNothing() {
    // A double-click on the title or below the last name acts on the current row.
    TTabelas* list = showList();
    list->SG->setCurrentCell(rowOf(list, QStringLiteral("CLIENTES")), 0);
    QTest::mouseDClick(list->SG->viewport(), Qt::LeftButton, {},
                       QPoint(20, list->SG->viewport()->height() - 5));
    QCOMPARE(list->browseWindows().size(), 1);
    QCOMPARE(CurrentTable, QStringLiteral("CLIENTES"));
    QHeaderView* title = list->SG->horizontalHeader();
    QTest::mouseDClick(title->viewport(), Qt::LeftButton, {}, QPoint(20, title->height() / 2));
    QCOMPARE(list->browseWindows().size(), 2);
    QCOMPARE(list->browseWindows().at(1)->windowTitle(), QStringLiteral("CLIENTES"));
}

void TestTabelas::quotedNameOpens() {
    TTabelas* list = showList();
    list->SG->setCurrentCell(rowOf(list, QStringLiteral("Clientes Especiais")), 0);
    list->SGDblClick();
    TFBrowse* b = list->browseWindows().value(0);
    QVERIFY(b);
    b->SEditaClick();
    b->IBDataSet1->fieldByName(QStringLiteral("Nome Completo"))->setValue(QStringLiteral("Maria Clara"));
    b->SGravaClick();
    b->SCommitClick();
    QCOMPARE(m_db->scalar(QStringLiteral("select \"Nome Completo\" from \"Clientes Especiais\"")),
             QStringLiteral("Maria Clara"));
    m_db->exec(QStringLiteral("update \"Clientes Especiais\" set \"Nome Completo\" = 'Maria'"));
}

void TestTabelas::closingDestroysBrowseWindows() {
    TTabelas* list = showList();
    list->SG->setCurrentCell(rowOf(list, QStringLiteral("CLIENTES")), 0);
    list->SGDblClick();
    list->SGDblClick();
    QPointer<TFBrowse> first = list->browseWindows().at(0);
    QPointer<TFBrowse> second = list->browseWindows().at(1);
    second->SEditaClick(); // an edit in progress is abandoned
    second->IBDataSet1->fieldByName(QStringLiteral("NOME"))->setValue(QStringLiteral("Abandonado"));

    list->BitBtn1->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!m_list);
    QVERIFY(!first);
    QVERIFY(!second);
    m_holder->dm.Trans->commit();
    QCOMPARE(m_db->scalar(QStringLiteral("select NOME from CLIENTES where CODIGO = 1")),
             QStringLiteral("Ana"));
}

void TestTabelas::closingInMainWindow() {
    QMdiArea area;
    area.resize(1100, 900);
    area.show();
    setMdiHost(&area);
    m_list = new TTabelas;
    QMdiSubWindow* frame = showChild(m_list);
    QVERIFY(frame);
    // Fixed size, no maximize button.
    QVERIFY(!(frame->windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(frame->minimumSize(), frame->maximumSize());
    m_list->SG->setCurrentCell(rowOf(m_list, QStringLiteral("CLIENTES")), 0);
    m_list->SGDblClick();
    m_list->SGDblClick();
    QCOMPARE(area.subWindowList().size(), 3);
    QCOMPARE(area.subWindowList().at(1)->windowTitle(), QStringLiteral("CLIENTES"));

    frame->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!m_list);
    QVERIFY(area.subWindowList().isEmpty());
    setMdiHost(nullptr);
}

void TestTabelas::properties() {
    TTabelas* list = showList();
    list->SG->setCurrentCell(rowOf(list, QStringLiteral("CLIENTES")), 0);
    bool shown = false;
    onNextModal(this, [&](QWidget* w) {
        auto* p = qobject_cast<TPropriedades*>(w);
        QVERIFY(p);
        shown = true;
        QCOMPARE(p->objectName(), QStringLiteral("Propriedades"));
        QCOMPARE(p->windowTitle(), QStringLiteral("Propriedades"));
        QCOMPARE(p->parent(), list);
        QCOMPARE(p->PageControl1->currentIndex(), 0);
        QCOMPARE(p->PageControl1->tabText(0), QStringLiteral("&Campos"));
        QCOMPARE(p->PageControl1->tabText(1), QStringLiteral("Scri&pt de Criação"));
        QVERIFY(p->Campos->isReadOnly());
        QVERIFY(p->Script->isReadOnly());
        const QStringList lines = p->Campos->toPlainText().split('\n');
        QVERIFY(lines.value(2).simplified().startsWith(QStringLiteral("CODIGO INTEGER 4 Sim")));
        QVERIFY(lines.value(3).simplified().startsWith(QStringLiteral("NOME VARCHAR(40) 40")));
        QCOMPARE(p->Script->toPlainText(),
                 QStringLiteral("CREATE TABLE CLIENTES (\n    CODIGO INTEGER NOT NULL,\n"
                                "    NOME VARCHAR(40),\n    PRIMARY KEY (CODIGO)\n);\n"));
        QCOMPARE(p->BitBtn1->text(), QStringLiteral("&Fecha"));
        // Only "&Fecha" closes it: neither Esc nor a close from the window manager.
        QTest::keyClick(p->Campos, Qt::Key_Escape);
        QVERIFY(p->isVisible());
        p->close();
        QVERIFY(p->isVisible());
        p->BitBtn1->click();
        QVERIFY(!p->isVisible());
    });
    list->Propriedades1->trigger();
    QVERIFY(shown);
    QVERIFY(list->findChildren<TPropriedades*>().isEmpty()); // released after use
    QVERIFY(m_holder->prompts.messages.isEmpty());
}

void TestTabelas::painting() {
    TTabelas* list = showList();
    list->SG->setCurrentCell(list->SG->rowCount() - 1, 0);
    const QImage image = list->SG->viewport()->grab().toImage();
    for (int row = 0; row < 4; ++row) {
        const QRect cell = list->SG->visualRect(list->SG->model()->index(row, 0));
        // Grid rows 1, 3 (the title is row 0) on 13678476, rows 2, 4 on 14799803.
        QCOMPARE(image.pixelColor(cell.right() - 3, cell.center().y()),
                 winColor(row % 2 == 0 ? 13678476 : 14799803));
    }
    const QImage header = list->SG->horizontalHeader()->grab().toImage();
    QCOMPARE(header.pixelColor(3, 3), winColor(12058551));
}

QTEST_MAIN(TestTabelas)
#include "test_tabelas.moc"
