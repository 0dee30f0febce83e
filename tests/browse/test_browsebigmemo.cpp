// A text blob of megabytes in the browse window: the grid shows only its first characters, while
// every path that works with the value gets all of it: the memo window, the cell editor, the
// search and the spreadsheet export. What is saved is read back, byte for byte, through another
// attachment.
#include "browse/ui/browsegrid.h"
#include "browse/ui/fbrowse.h"
#include "browse/ui/fmemo.h"
#include "connection/datasetmodel.h"
#include "connection/dm.h"
#include "connection/statement.h"
#include "connection/transaction.h"
#include "platform/automation.h"
#include "support/browsewindows.h"
#include "support/connectedholder.h"
#include "support/fbfixture.h"
#include "support/modal.h"
#include "support/testconnection.h"
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QtTest>
#include <memory>

namespace {
// About 3 MB of UTF-8: accented letters (2 bytes), a sign of 3 bytes and one outside the BMP
// (4 bytes, two UTF-16 units), so that a cut by bytes would fall inside characters.
QString bigText(const QString& tag) {
    QString text;
    for (int line = 0; text.size() < 2600000; ++line)
        text += QStringLiteral("%1 %2: ação, pão € café \U0001F600 açúcar\n").arg(tag).arg(line);
    return text;
}

// The spreadsheet as the export sees it: every call answered with the same object; the cells
// written are kept.
class SheetRecorder : public Dispatch, public std::enable_shared_from_this<SheetRecorder> {
public:
    QMap<QPair<int, int>, QVariant> cells;
    QString typeName() const override { return QStringLiteral("Recorder"); }
    int memberId(QStringView name) const override {
        return name.compare(u"Cells", Qt::CaseInsensitive) == 0 ? 1 : 0;
    }
    QVariant invoke(int member, CallKind kind, std::span<const QVariant> args) override {
        if (member == 1 && kind == CallKind::PropertyPut && args.size() == 3)
            cells.insert({args[0].toInt(), args[1].toInt()}, args[2]);
        return QVariant::fromValue<DispatchRef>(shared_from_this());
    }
};
} // namespace

class TestBrowseBigMemo : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void memoWindowEditOfMegabytesIsSavedWhole();
    void gridShowsTheFirstCharacters_data();
    void gridShowsTheFirstCharacters();
    void memoWindowShowsTheWholeText();
    void cellEditorKeepsTheWholeText();
    void searchComparesTheWholeText();
    void exportHandsOverTheWholeText();

private:
    TFBrowse* openNotas();
    QModelIndex obs(TFBrowse* b, int row) const;
    // The text blob of row ID, read through an attachment of its own.
    QString stored(int id);
    QLineEdit* openEditor(TFBrowse* b);

    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<ConnectedHolder> m_holder;
    BrowseWindows m_browses;
    QString m_big;
};

void TestBrowseBigMemo::initTestCase() {
    m_big = bigText(QStringLiteral("linha"));
    m_db = std::make_unique<TempDatabase>(QStringList{
        QStringLiteral(
            "create table NOTAS (ID integer not null primary key, TITULO varchar(20), OBS blob sub_type text,"
            " BIN blob sub_type binary, CRU blob sub_type text character set NONE)"),
    });
}

void TestBrowseBigMemo::init() {
    m_db->exec({QStringLiteral("delete from NOTAS"),
                QStringLiteral("insert into NOTAS (ID, TITULO, OBS) values (1, 'curta', 'pequena')"),
                QStringLiteral("insert into NOTAS (ID, TITULO) values (2, 'grande')")});
    if (QByteArray(QTest::currentTestFunction()) != "memoWindowEditOfMegabytesIsSavedWhole") {
        // The large values already in the database: the text, every byte value, and bytes of
        // Windows-1252 text stored without a character set.
        QByteArray bytes, latin;
        for (int i = 0; i < 5000; ++i) {
            bytes += static_cast<char>(i % 256);
            latin += static_cast<char>(0xe0 + i % 32);
        }
        TestConnection c(m_db->path());
        c.open();
        {
            Statement st(&c.db, &c.tr);
            st.prepare(QStringLiteral("update NOTAS set OBS = ?, BIN = ?, CRU = ? where ID = 2"));
            int i = 0;
            for (const QByteArray& value : {m_big.toUtf8(), bytes, latin})
                st.in().setValue(i++, QVariant::fromValue<qulonglong>(blobIdToInt(st.writeBlob(value))));
            st.execute();
        }
        c.tr.commit();
    }
    m_holder = std::make_unique<ConnectedHolder>(m_db->path());
}

void TestBrowseBigMemo::cleanup() {
    m_browses.closeAll();
    if (m_holder->dm.Trans->active()) m_holder->dm.Trans->rollback();
    m_holder.reset();
}

TFBrowse* TestBrowseBigMemo::openNotas() {
    return m_browses.open(QStringLiteral("NOTAS"), QStringLiteral(" Order By ID"));
}

QModelIndex TestBrowseBigMemo::obs(TFBrowse* b, int row) const {
    return b->DS->index(row, b->DS->columnOf(b->IBDataSet1->fieldByName(QStringLiteral("OBS"))->index()));
}

QString TestBrowseBigMemo::stored(int id) {
    TestConnection c(m_db->path());
    c.open();
    DataSet ds;
    ds.setDatabase(&c.db);
    ds.setSelectSQL({QStringLiteral("select OBS from NOTAS where ID = %1").arg(id)});
    ds.open();
    const QString text = ds.field(0)->asString();
    ds.close();
    c.tr.commit();
    return text;
}

QLineEdit* TestBrowseBigMemo::openEditor(TFBrowse* b) {
    for (QLineEdit* editor : b->Gs->viewport()->findChildren<QLineEdit*>())
        if (editor->isVisible()) return editor;
    return nullptr;
}

void TestBrowseBigMemo::memoWindowEditOfMegabytesIsSavedWhole() {
    TFBrowse* b = openNotas();
    b->Gs->setCurrentIndex(obs(b, 1));
    bool shown = false;
    onNextModal(this, [&](QWidget* w) {
        auto* memo = qobject_cast<TFmemo*>(w);
        if (!memo) return;
        shown = true;
        memo->Memo->insertPlainText(m_big); // pasted
        memo->Bret->click();
    });
    QTest::keyClick(b->Gs, Qt::Key_Return);
    QVERIFY(shown);
    QCOMPARE(b->IBDataSet1->state(), DataSet::Edit);
    QCOMPARE(obs(b, 1).data().toString(), m_big.left(1024));
    QTest::mouseClick(b->SGrava, Qt::LeftButton);
    QCOMPARE(b->IBDataSet1->state(), DataSet::Browse);
    QCOMPARE(obs(b, 1).data().toString(), m_big.left(1024));
    QTest::mouseClick(b->SCommit, Qt::LeftButton);
    QCOMPARE(m_holder->prompts.errorReports(), QStringList());

    QCOMPARE(m_db->scalar(QStringLiteral("select octet_length(OBS) from NOTAS where ID = 2")),
             QString::number(m_big.toUtf8().size()));
    QVERIFY(stored(2) == m_big); // not QCOMPARE: a failure would print megabytes
    QCOMPARE(stored(1), QStringLiteral("pequena"));
}

void TestBrowseBigMemo::gridShowsTheFirstCharacters_data() {
    QTest::addColumn<QString>("field");
    QTest::newRow("text blob") << "OBS";
    QTest::newRow("binary blob") << "BIN";
    QTest::newRow("text blob without character set") << "CRU";
}

void TestBrowseBigMemo::gridShowsTheFirstCharacters() {
    QFETCH(QString, field);
    TFBrowse* b = openNotas();
    const int f = b->IBDataSet1->fieldByName(field)->index();
    const QModelIndex cell = b->DS->index(1, b->DS->columnOf(f));
    const QString whole = b->IBDataSet1->text(1, f);
    QVERIFY(whole.size() > 4096);
    QCOMPARE(cell.data().toString(), whole.left(1024));
    // The text painted: its first characters on one line.
    QString painted = whole.left(512);
    for (QChar& c : painted)
        if (c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() < 0xa0)) c = ' ';
    QCOMPARE(BrowseCellDelegate::cellText(b->DS, cell), painted);
    QVERIFY(!b->Gs->viewport()->grab().isNull());
    QCOMPARE(obs(b, 0).data().toString(), QStringLiteral("pequena"));
    QCOMPARE(m_holder->prompts.errorReports(), QStringList());
}

void TestBrowseBigMemo::memoWindowShowsTheWholeText() {
    TFBrowse* b = openNotas();
    b->Gs->setCurrentIndex(obs(b, 1));
    bool whole = false;
    onNextModal(this, [&](QWidget* w) {
        if (auto* memo = qobject_cast<TFmemo*>(w)) whole = memo->Memo->toPlainText() == m_big;
    });
    QTest::keyClick(b->Gs, Qt::Key_Return);
    QVERIFY(whole);
    QCOMPARE(b->IBDataSet1->state(), DataSet::Browse);
}

void TestBrowseBigMemo::cellEditorKeepsTheWholeText() {
    TFBrowse* b = openNotas();
    b->Gs->setCurrentIndex(obs(b, 1));
    QTest::keyClick(b->Gs, Qt::Key_F2);
    QLineEdit* editor = openEditor(b);
    QVERIFY(editor);
    QVERIFY(editor->text() == m_big);
    QTest::keyClick(editor, Qt::Key_End);
    QTest::keyClick(editor, '!');
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::mouseClick(b->SGrava, Qt::LeftButton);
    QTest::mouseClick(b->SCommit, Qt::LeftButton);
    QCOMPARE(m_holder->prompts.errorReports(), QStringList());
    QVERIFY(stored(2) == m_big + QLatin1Char('!'));
}

void TestBrowseBigMemo::searchComparesTheWholeText() {
    TFBrowse* b = openNotas();
    b->Gs->setCurrentIndex(obs(b, 0));
    // The characters the grid shows are not the value.
    m_holder->prompts.inputAnswers = {m_big.left(1024), m_big};
    QTest::mouseClick(b->SBusca, Qt::LeftButton);
    QCOMPARE(m_holder->prompts.messages.size(), 1);
    QCOMPARE(m_holder->prompts.messages[0].text,
             QStringLiteral("Não Achei informações para esse dado, tente novamente..."));
    QCOMPARE(b->IBDataSet1->recNo(), 1);
    QTest::mouseClick(b->SBusca, Qt::LeftButton);
    QCOMPARE(m_holder->prompts.messages.size(), 1);
    QCOMPARE(b->IBDataSet1->recNo(), 2);
}

void TestBrowseBigMemo::exportHandsOverTheWholeText() {
    auto sheet = std::make_shared<SheetRecorder>();
    ClassRegistration r;
    r.clsid = QUuid::createUuid();
    r.create = [sheet] { return sheet; };
    registerClass(QStringLiteral("Excel.Application"), std::move(r));
    TFBrowse* b = openNotas();
    QTest::mouseClick(b->SExcel, Qt::LeftButton);
    unregisterClass(QStringLiteral("Excel.Application"));
    QCOMPARE(m_holder->prompts.errorReports(), QStringList());
    QCOMPARE(sheet->cells.value({1, 3}).toString(), QStringLiteral("OBS"));
    QCOMPARE(sheet->cells.value({2, 3}).toString(), QStringLiteral("pequena"));
    QVERIFY(sheet->cells.value({3, 3}).toString() == m_big);
}

QTEST_MAIN(TestBrowseBigMemo)
#include "test_browsebigmemo.moc"
