// The record form on a real database, opened on a browse window's dataset: its lines, buttons
// and keys, typing into its controls and posting, refused values, the delete question, and the
// pictures of binary blob fields (shown per row, loaded, pasted, cut, saved), read back through
// a second attachment after the browse window's commit.
#include "browse/ui/editortable.h"
#include "browse/ui/fbrowse.h"
#include "browse/ui/picturecontrol.h"
#include "connection/datasource.h"
#include "connection/dm.h"
#include "connection/transaction.h"
#include "connection/ui/dbcontrols.h"
#include "platform/picturefile.h"
#include "platform/ui/mdihost.h"
#include "platform/wincolor.h"
#include "support/browsewindows.h"
#include "support/connectedholder.h"
#include "support/fbfixture.h"
#include "support/files.h"
#include "support/modal.h"
#include "support/testconnection.h"
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableView>
#include <QToolButton>
#include <QtTest>
#include <memory>

class TestEditorTable : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void opensFromBrowseWindowAndClosingKeepsTheEdit();
    void looks();
    void shortFieldLines();
    void blobLinesAndWidening();
    void keysByState_data();
    void keysByState();
    void enterMovesToTheNextControlAndReachesTheOld();
    void stepsStopAtFirstAndLastRow();
    void deleteQuestion_data();
    void deleteQuestion();
    void controlsReadOnlyUnlessEditing();
    void typedValuesArePosted();
    void insertedRowAndRequiredField();
    void longTextLoadsInPartsAndPostsWhole();
    void escapeAndCancelDropTyping();
    void refusedValueKeepsTheFocus();
    void refusedCharacterBeeps();
    void picturesFollowTheRow();
    void loadedPictureKeepsTheFileBytes_data();
    void loadedPictureKeepsTheFileBytes();
    void loadRefused_data();
    void loadRefused();
    void cutInBrowseStateEmptiesTheField();
    void cutWhileEditingKeepsTheField();
    void emptyPictureMenuDoesNothing();
    void pasteAndCancel();
    void saveToFile_data();
    void saveToFile();
    void focusedEditShowsEveryDigit_data();
    void focusedEditShowsEveryDigit();
    void loadIntoEmptyTableStoresTheFile();
    void pagingKeepsTheScrollPosition();

private:
    TFBrowse* openBrowse(const QString& table, const QString& order) { return m_browses.open(table, order); }
    TEditorTable* openForm(TFBrowse* b, int row = 0);
    void popup(TEditorTable* form, int fieldIndex);
    QString scalar(const QString& sql) { return m_db->scalar(sql); }
    QStringList errors() const;

    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<ConnectedHolder> m_holder;
    std::unique_ptr<QTemporaryDir> m_files;
    BrowseWindows m_browses;
    QByteArray m_png; // the picture stored in row 1
};

namespace {
// Field indexes of PESSOAS.
enum { ID, NOME, SALARIO, NASC, OBS, FOTO, DOBRO };

const QString kCaption = QStringLiteral(
    "Formulário de Edição [F1 - Novo  F2 - Edita  F3 - Exclui  F4 - Grava  F5 - Cancela  PgUp  PgDn]");

QStringList enabledButtons(QWidget* w) {
    QStringList names;
    for (QToolButton* t : w->findChildren<QToolButton*>(QString(), Qt::FindDirectChildrenOnly))
        if (t->isEnabled()) names.append(t->objectName());
    names.sort();
    return names;
}

const QStringList kBrowseButtons{"SDown", "SEdita", "SExclui", "SNovo", "Sup"};
const QStringList kEditButtons{"SCancela", "SGrava"};

// A key as the user presses it: to the focused control, or to the window when none has the focus.
void press(QWidget* window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* to = window->focusWidget() ? window->focusWidget() : window;
    QTest::keyClick(to, Qt::Key(key), modifiers);
}

// Replaces the text of a field's control with typed text.
void typeInto(TEditorTable* form, int field, const QString& text) {
    QWidget* c = form->fieldControl(field);
    c->setFocus();
    QTest::keyClick(c, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(c, text);
}

QString textOf(TEditorTable* form, int field) {
    QWidget* c = form->fieldControl(field);
    if (auto* e = qobject_cast<QLineEdit*>(c)) return e->text();
    if (auto* m = qobject_cast<QPlainTextEdit*>(c)) return m->toPlainText();
    return QStringLiteral("<no text control>");
}

PictureControl* pictureOf(TEditorTable* form) {
    return qobject_cast<PictureControl*>(form->fieldControl(FOTO));
}

QImage testPicture(int w, int h, QColor c) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(c);
    for (int x = 0; x < w; ++x)
        image.setPixelColor(x, x * h / w, Qt::black);
    return image;
}

QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// A 2 x 1 GIF (no GIF encoder here).
const QByteArray kGif =
    QByteArray::fromHex("47494638396102000100800000ff000000ff0021f90400000000002c000000000200"
                        "0100000202440a003b");
} // namespace

void TestEditorTable::initTestCase() {
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    m_png = pngBytes(testPicture(40, 30, Qt::yellow));
    m_db = std::make_unique<TempDatabase>(QStringList{
        QStringLiteral("create table PESSOAS (ID integer not null primary key, NOME varchar(10), SALARIO "
                       "numeric(9,2), NASC date, OBS blob sub_type text, FOTO blob sub_type binary, "
                       "DOBRO computed by (ID * 2))"),
        QStringLiteral("create table CURTA (A integer not null primary key, B varchar(5), C date)"),
        QStringLiteral("create table MOMENTOS (ID integer not null primary key, TS timestamp, HORA time)"),
        QStringLiteral("create table MUDANCAS (COLUNA varchar(10))"),
        // Every value that an UPDATE really changes leaves its column's name behind.
        QStringLiteral("create trigger MOMENTOS_MUDA for MOMENTOS before update as begin "
                       "if (new.TS is distinct from old.TS) then insert into MUDANCAS values ('TS'); "
                       "if (new.HORA is distinct from old.HORA) then insert into MUDANCAS values ('HORA'); "
                       "end"),
        QStringLiteral("create table FOTOS (ID integer not null primary key, FOTO blob sub_type binary)"),
        QStringLiteral(
            "create table LARGA (C0 integer not null primary key, C1 integer, C2 integer, C3 integer, "
            "C4 integer, C5 integer, C6 integer, C7 integer, C8 integer, C9 integer, C10 integer, "
            "C11 integer, C12 integer, C13 integer, C14 integer, C15 integer, C16 integer, "
            "C17 integer, C18 integer, C19 integer, C20 integer, C21 integer, C22 integer, "
            "C23 integer, C24 integer, C25 integer, C26 integer, C27 integer, C28 integer, "
            "C29 integer)"),
    });
}

void TestEditorTable::init() {
    m_db->exec(
        {QStringLiteral("delete from PESSOAS"),
         QStringLiteral("insert into PESSOAS values (1, 'Ana', 1500.50, '1990-01-02', "
                        "'obs de Ana' || ascii_char(13) || ascii_char(10) || 'linha 2', x'%1')")
             .arg(QString::fromLatin1(m_png.toHex())),
         QStringLiteral("insert into PESSOAS (ID, NOME) values (2, 'Bruno')"),
         QStringLiteral("insert into PESSOAS (ID, NOME, SALARIO, FOTO) values (3, 'Carla', 10, x'00FF10')")});
    m_holder = std::make_unique<ConnectedHolder>(m_db->path());
    m_files = std::make_unique<QTemporaryDir>();
    QApplication::clipboard()->setText(QStringLiteral("marca"));
}

void TestEditorTable::cleanup() {
    m_browses.closeAll();
    setMdiHost(nullptr);
    if (m_holder->dm.Trans->active()) m_holder->dm.Trans->rollback();
    m_holder.reset();
}

void TestEditorTable::cleanupTestCase() {
    m_db.reset();
}

// The form as the browse window opens it, but not modal, on the given row.
TEditorTable* TestEditorTable::openForm(TFBrowse* b, int row) {
    b->IBDataSet1->setCurrentRow(row);
    auto* form = new TEditorTable(b);
    form->Ds->setDataSet(b->IBDataSet1);
    form->show();
    if (!QTest::qWaitForWindowActive(form)) qWarning("form not active");
    return form;
}

// Right-click on a field's picture: the menu's items then act on it.
void TestEditorTable::popup(TEditorTable* form, int fieldIndex) {
    QWidget* c = form->fieldControl(fieldIndex);
    QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(5, 5), c->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(c, &e);
    QVERIFY(form->pmImages->isVisible());
    form->pmImages->hide();
    QCOMPARE(form->PopupPicture(), c);
}

QStringList TestEditorTable::errors() const {
    QStringList out;
    for (const MessageRequest& m : m_holder->prompts.messages)
        if (m.icon == MsgIcon::Error) out.append(m.text);
    return out;
}

void TestEditorTable::opensFromBrowseWindowAndClosingKeepsTheEdit() {
    TFBrowse* b = openBrowse(QStringLiteral("PESSOAS"), QStringLiteral(" order by ID"));
    bool opened = false;
    onNextModal(this, [&](QWidget* w) {
        auto* form = qobject_cast<TEditorTable*>(w);
        QVERIFY(form);
        opened = true;
        QCOMPARE(form->windowTitle(), kCaption);
        QCOMPARE(form->frameGeometry(), QRect(72, 61, 640, 480));
        QCOMPARE(form->Ds->dataSet(), b->IBDataSet1);
        QCOMPARE(enabledButtons(form), kBrowseButtons);
        QCOMPARE(textOf(form, NOME), QStringLiteral("Ana"));
        // Editing, and closed before posting.
        form->fieldControl(NOME)->setFocus();
        press(form, Qt::Key_F2);
        QCOMPARE(enabledButtons(form), kEditButtons);
        typeInto(form, NOME, QStringLiteral("Zeca"));
        form->close();
    });
    QTest::keyClick(b->Gs, Qt::Key_F8);
    QVERIFY(opened);
    QVERIFY(b->findChildren<TEditorTable*>().isEmpty()); // released
    QCOMPARE(b->IBDataSet1->state(), DataSet::Edit);
    QCOMPARE(b->IBDataSet1->field(NOME)->asString(), QStringLiteral("Zeca"));
    QCOMPARE(enabledButtons(b->Botoes), (QStringList{"SCancela", "SGrava"}));

    // F8 opens nothing while the row is being edited; the browse window posts it.
    onNextModal(this, [&](QWidget* w) { QVERIFY(!w); });
    QTest::keyClick(b->Gs, Qt::Key_F8);
    b->SGrava->click();
    b->SCommit->click();
    QCOMPARE(scalar(QStringLiteral("select NOME from PESSOAS where ID = 1")), QStringLiteral("Zeca"));
    QVERIFY(errors().isEmpty());
}

void TestEditorTable::looks() {
    TEditorTable* form = openForm(openBrowse(QStringLiteral("PESSOAS"), QStringLiteral(" order by ID")));
    QCOMPARE(form->objectName(), QStringLiteral("EditorTable"));
    QCOMPARE(form->palette().color(QPalette::Window), winColor(11450265));
    QCOMPARE(form->font().pixelSize(), 11);
    QCOMPARE(form->ScrollBoxData->geometry(), QRect(0, 0, form->width(), 400));

    const struct {
        QToolButton* button;
        int left;
        int pictureSize;
        const char* hint;
    } buttons[] = {{form->SNovo, 3, 20, "Novo"},
                   {form->SGrava, 36, 20, "Grava"},
                   {form->SCancela, 69, 20, "Cancela"},
                   {form->SEdita, 102, 20, "Edita"},
                   {form->SExclui, 135, 20, "Exclui"},
                   {form->Sup, 176, 13, "Registro Anterior"},
                   {form->SDown, 209, 13, "Próximo Registro"}};
    for (const auto& b : buttons) {
        QCOMPARE(b.button->geometry(), QRect(b.left, 410, 32, 31));
        QCOMPARE(b.button->toolTip(), QString::fromUtf8(b.hint));
        QCOMPARE(b.button->iconSize(), QSize(b.pictureSize, b.pictureSize));
        QVERIFY(!b.button->icon().isNull());
        QCOMPARE(b.button->cursor().shape(), Qt::PointingHandCursor);
    }
    QStringList items;
    for (QAction* a : form->pmImages->actions())
        items << a->objectName() + '=' + a->text();
    QCOMPARE(items, (QStringList{"Savetofile1=Save to file...", "Loadfromfile1=Load from file...",
                                 "Copy2=Copy", "Paste2=Paste", "Cut2=Cut"}));

    // The field area and the buttons follow the outer height.
    form->resize(700, 600);
    const int outer = form->frameGeometry().height();
    QCOMPARE(form->ScrollBoxData->geometry(), QRect(0, 0, 700, outer - 80));
    QCOMPARE(form->SDown->geometry(), QRect(209, outer - 70, 32, 31));
}

void TestEditorTable::shortFieldLines() {
    m_db->exec(QStringLiteral("insert into CURTA values (1, 'x', null)"));
    TEditorTable* form = openForm(openBrowse(QStringLiteral("CURTA"), QString()));
    for (int i = 0; i < 3; ++i) {
        const int top = 4 + 25 * i;
        QCOMPARE(form->fieldLabel(i)->geometry(), QRect(4, top, 150, 21));
        QCOMPARE(form->fieldLabel(i)->text(), QString(QChar('A' + i)));
        QCOMPARE(form->fieldControl(i)->geometry(), QRect(158, top, 225, 21));
        QCOMPARE(form->fieldControl(i)->property("tag").toInt(), i);
        QVERIFY(form->fieldControl(i)->parentWidget() == form->ScrollBoxData->widget());
    }
    QVERIFY(!form->fieldControl(3));
    QVERIFY(form->PictureList.empty());
}

void TestEditorTable::blobLinesAndWidening() {
    TFBrowse* b = openBrowse(QStringLiteral("PESSOAS"), QStringLiteral(" order by ID"));
    b->IBDataSet1->field(NASC)->setVisible(false); // hidden in the grid
    TEditorTable* form = openForm(b);
    QCOMPARE(form->fieldLabel(NASC)->text(), QStringLiteral("NASC"));
    QCOMPARE(form->fieldControl(NASC)->y(), 79);
    QCOMPARE(form->fieldControl(OBS)->y(), 104);
    QVERIFY(qobject_cast<QPlainTextEdit*>(form->fieldControl(OBS)));
    QCOMPARE(form->fieldControl(FOTO)->y(), 104 + 244);
    QCOMPARE(form->fieldControl(DOBRO)->y(), 104 + 244 + 244);
    QCOMPARE(form->fieldLabel(DOBRO)->y(), 104 + 244 + 244);
    QCOMPARE(form->PictureList.size(), size_t(1));
    QCOMPARE(form->PictureList[0].control, pictureOf(form));
    QVERIFY(!form->PictureList[0].changed);

    // The lines reach below the field area: its client width leaves room for the scroll bar.
    const int client = form->ScrollBoxData->viewport()->width();
    QTRY_VERIFY(form->ScrollBoxData->verticalScrollBar()->isVisible());
    for (int field : {OBS, FOTO})
        QCOMPARE(form->fieldControl(field)->geometry(),
                 QRect(158, form->fieldControl(field)->y(), client - 162, 240));

    form->resize(form->width() + 100, form->height());
    for (int field : {OBS, FOTO})
        QCOMPARE(form->fieldControl(field)->width(), client + 100 - 162);
    for (int field : {ID, NOME, DOBRO})
        QCOMPARE(form->fieldControl(field)->width(), 225);
}

void TestEditorTable::keysByState_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("asked");

    const int browse = DataSet::Browse, edit = DataSet::Edit, insert = DataSet::Insert;
    // clang-format off
    QTest::newRow("browse F1 inserts")       << "browse" << int(Qt::Key_F1)       << insert << 1 << false;
    QTest::newRow("browse F2 edits")         << "browse" << int(Qt::Key_F2)       << edit   << 1 << false;
    QTest::newRow("browse F3 asks")          << "browse" << int(Qt::Key_F3)       << browse << 1 << true;
    QTest::newRow("browse F4 nothing")       << "browse" << int(Qt::Key_F4)       << browse << 1 << false;
    QTest::newRow("browse F5 nothing")       << "browse" << int(Qt::Key_F5)       << browse << 1 << false;
    QTest::newRow("browse PgUp")             << "browse" << int(Qt::Key_PageUp)   << browse << 0 << false;
    QTest::newRow("browse PgDn")             << "browse" << int(Qt::Key_PageDown) << browse << 2 << false;
    QTest::newRow("edit F1 nothing")         << "edit"   << int(Qt::Key_F1)       << edit   << 1 << false;
    QTest::newRow("edit F2 nothing")         << "edit"   << int(Qt::Key_F2)       << edit   << 1 << false;
    QTest::newRow("edit F3 nothing")         << "edit"   << int(Qt::Key_F3)       << edit   << 1 << false;
    QTest::newRow("edit PgUp nothing")       << "edit"   << int(Qt::Key_PageUp)   << edit   << 1 << false;
    QTest::newRow("edit PgDn nothing")       << "edit"   << int(Qt::Key_PageDown) << edit   << 1 << false;
    QTest::newRow("edit F4 posts")           << "edit"   << int(Qt::Key_F4)       << browse << 1 << false;
    QTest::newRow("edit F5 cancels")         << "edit"   << int(Qt::Key_F5)       << browse << 1 << false;
    QTest::newRow("insert PgDn nothing")     << "insert" << int(Qt::Key_PageDown) << insert << 1 << false;
    QTest::newRow("insert F5 drops the row") << "insert" << int(Qt::Key_F5)       << browse << 1 << false;
    // clang-format on
}

void TestEditorTable::keysByState() {
    QFETCH(QString, start);
    QFETCH(int, key);
    QFETCH(int, state);
    QFETCH(int, row);
    QFETCH(bool, asked);
    TFBrowse* b = openBrowse(QStringLiteral("PESSOAS"), QStringLiteral(" order by ID"));
    TEditorTable* form = openForm(b, 1);
    form->fieldControl(NOME)->setFocus();
    if (start == "edit") form->SEdita->click();
    if (start == "insert") form->SNovo->click();
    m_holder->prompts.messageAnswers = {MbNo};

    press(form, key);
    QCOMPARE(int(b->IBDataSet1->state()), state);
    QCOMPARE(b->IBDataSet1->currentRow(), row);
    QCOMPARE(m_holder->prompts.messages.size(), asked ? 1 : 0);
    QCOMPARE(enabledButtons(form), state == DataSet::Browse ? kBrowseButtons : kEditButtons);
    QCOMPARE(b->IBDataSet1->rowCount(), 3 + (state == DataSet::Insert ? 1 : 0));
    QCOMPARE(textOf(form, NOME),
             state == DataSet::Insert ? QString() : b->IBDataSet1->field(NOME)->asString());
}

void TestEditorTable::enterMovesToTheNextControlAndReachesTheOld() {
    TEditorTable* form = openForm(openBrowse(QStringLiteral("PESSOAS"), QStringLiteral(" order by ID")));
    form->fieldControl(ID)->setFocus();
    press(form, Qt::Key_Return);
    QCOMPARE(form->focusWidget(), form->fieldControl(NOME));

    // The memo, being edited, still takes the line break; the picture is no stop.
    form->SEdita->click();
    auto* memo = qobject_cast<QPlainTextEdit*>(form->fieldControl(OBS));
    memo->setFocus();
    memo->moveCursor(QTextCursor::End);
    press(form, Qt::Key_Return);
    QCOMPARE(form->focusWidget(), form->fieldControl(DOBRO));
    QCOMPARE(memo->toPlainText(), QStringLiteral("obs de Ana\nlinha 2\n"));
    // The line scrolled into sight.
    const QRect shown(QPoint(0, 0), form->ScrollBoxData->viewport()->size());
    QVERIFY(shown.contains(
        form->fieldControl(DOBRO)->geometry().translated(form->ScrollBoxData->widget()->pos())));
    press(form, Qt::Key_Enter);
    QCOMPARE(form->focusWidget(), form->fieldControl(ID));
}

void TestEditorTable::stepsStopAtFirstAndLastRow() {
    TFBrowse* b = openBrowse(QStringLiteral("PESSOAS"), QStringLiteral(" order by ID"));
    TEditorTable* form = openForm(b, 0);
    form->Sup->click();
    QCOMPARE(b->IBDataSet1->currentRow(), 0);
    QCOMPARE(textOf(form, NOME), QStringLiteral("Ana"));
    form->SDown->click();
    form->SDown->click();
    QCOMPARE(textOf(form, NOME), QStringLiteral("Carla"));
    form->fieldControl(NOME)->setFocus();
    press(form, Qt::Key_PageDown);
    QCOMPARE(b->IBDataSet1->currentRow(), 2);
    QCOMPARE(textOf(form, NOME), QStringLiteral("Carla"));
    QCOMPARE(b->Gs->currentIndex().row(), 2); // the browse grid follows the form
    QVERIFY(errors().isEmpty());
}

void TestEditorTable::deleteQuestion_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("left");
    QTest::newRow("yes") << int(MbYes) << QStringList{"Ana", "Carla"};
    QTest::newRow("no") << int(MbNo) << QStringList{"Ana", "Bruno", "Carla"};
}

void TestEditorTable::deleteQuestion() {
    QFETCH(int, answer);
    QFETCH(QStringList, left);
    TFBrowse* b = openBrowse(QStringLiteral("PESSOAS"), QStringLiteral(" order by ID"));
    TEditorTable* form = openForm(b, 1);
    m_holder->prompts.messageAnswers = {MsgButton(answer)};
    form->SExclui->click();
    QCOMPARE(m_holder->prompts.messages.size(), 1);
    const MessageRequest& q = m_holder->prompts.messages[0];
    QCOMPARE(q.text, QStringLiteral("Apaga este registro ????"));
    QCOMPARE(q.caption, QStringLiteral("Atenção"));
    QCOMPARE(q.icon, MsgIcon::Warning);
    QCOMPARE(q.buttons, MbYes | MbNo);
    QCOMPARE(q.defaultButton, MbYes);
    QCOMPARE(textOf(form, NOME), answer == MbYes ? QStringLiteral("Carla") : QStringLiteral("Bruno"));
    b->SCommitClick();
    QCOMPARE(m_db->column(QStringLiteral("select NOME from PESSOAS order by ID")), left);
}

void TestEditorTable::controlsReadOnlyUnlessEditing() {
    TFBrowse* b = openBrowse(QStringLiteral("PESSOAS"), QStringLiteral(" order by ID"));
    TEditorTable* form = openForm(b);
    auto* nome = qobject_cast<QLineEdit*>(form->fieldControl(NOME));
    auto* memo = qobject_cast<QPlainTextEdit*>(form->fieldControl(OBS));
    QCOMPARE(nome->maxLength(), 10);
    QVERIFY(qobject_cast<QLineEdit*>(form->fieldControl(SALARIO))->alignment() & Qt::AlignRight);
    QVERIFY(!(nome->alignment() & Qt::AlignRight));

    // Typing does not start an edit.
    nome->setFocus();
    QTest::keyClicks(nome, QStringLiteral("xyz"));
    QTest::keyClicks(memo, QStringLiteral("xyz"));
    QCOMPARE(b->IBDataSet1->state(), DataSet::Browse);
    QCOMPARE(nome->text(), QStringLiteral("Ana"));
    QCOMPARE(memo->toPlainText(), QStringLiteral("obs de Ana\nlinha 2"));

    const auto readOnly = [form] {
        QList<bool> flags;
        for (int f : {ID, NOME, SALARIO, NASC, DOBRO})
            flags << qobject_cast<QLineEdit*>(form->fieldControl(f))->isReadOnly();
        flags << qobject_cast<QPlainTextEdit*>(form->fieldControl(OBS))->isReadOnly();
        return flags;
    };
    QCOMPARE(readOnly(), QList<bool>({true, true, true, true, true, true}));
    form->SEdita->click();
    QCOMPARE(readOnly(), QList<bool>({false, false, false, false, true, false})); // DOBRO is computed
    form->SCancela->click();
    QCOMPARE(readOnly(), QList<bool>({true, true, true, true, true, true}));
    form->SNovo->click();
    QCOMPARE(readOnly(), QList<bool>({false, false, false, false, true, false}));
}

void TestEditorTable::typedValuesArePosted() {
    TFBrowse* b = openBrowse(QStringLiteral("PESSOAS"), QStringLiteral(" order by ID"));
    TEditorTable* form = openForm(b);
    form->fieldControl(NOME)->setFocus();
    press(form, Qt::Key_F2);
    typeInto(form, NOME, QStringLiteral("Zeca"));
    typeInto(form, SALARIO, QStringLiteral("2500,75"));
    auto* memo = qobject_cast<QPlainTextEdit*>(form->fieldControl(OBS));
    memo->setFocus();
    memo->moveCursor(QTextCursor::End);
    QTest::keyClicks(memo, QStringLiteral(" fim"));
    // Posted with the focus still in the memo: its text goes in too.
    press(form, Qt::Key_F4);
    QCOMPARE(errors(), QStringList());
    QCOMPARE(b->IBDataSet1->state(), DataSet::Browse);
    QCOMPARE(textOf(form, SALARIO), QStringLiteral("2500,75"));
    b->SCommitClick();
    QCOMPARE(scalar(QStringLiteral("select NOME || '|' || SALARIO || '|' || NASC || '|' || "
                                   "cast(OBS as varchar(100)) from PESSOAS where ID = 1")),
             QStringLiteral("Zeca|2500.75|1990-01-02|obs de Ana\r\nlinha 2 fim"));
    QCOMPARE(scalar(QStringLiteral("select count(*) from PESSOAS where ID = 1 and FOTO = x'%1'")
                        .arg(QString::fromLatin1(m_png.toHex()))),
             QStringLiteral("1"));
    QVERIFY(errors().isEmpty());
}

void TestEditorTable::insertedRowAndRequiredField() {
    TFBrowse* b = openBrowse(QStringLiteral("PESSOAS"), QStringLiteral(" order by ID"));
    TEditorTable* form = openForm(b, 2);
    form->fieldControl(NOME)->setFocus();
    press(form, Qt::Key_F1);
    QCOMPARE(textOf(form, NOME), QString());
    typeInto(form, NOME, QStringLiteral("Nova"));
    press(form, Qt::Key_F4);
    QCOMPARE(errors(), QStringList{QStringLiteral("Field 'ID' must have a value.")});
    QCOMPARE(form->focusWidget(), form->fieldControl(ID));
    QCOMPARE(b->IBDataSet1->state(), DataSet::Insert);
    QCOMPARE(textOf(form, NOME), QStringLiteral("Nova"));

    QTest::keyClicks(form->fieldControl(ID), QStringLiteral("7"));
    press(form, Qt::Key_F4);
    QCOMPARE(b->IBDataSet1->state(), DataSet::Browse);
    QCOMPARE(textOf(form, DOBRO), QStringLiteral("14")); // re-read after the post
    b->SCommitClick();
    QCOMPARE(scalar(QStringLiteral("select NOME from PESSOAS where ID = 7")), QStringLiteral("Nova"));
}

void TestEditorTable::longTextLoadsInPartsAndPostsWhole() {
    // Over two parts, with a character of two UTF-16 units across the first boundary and line
    // breaks as CR LF.
    QString text = QString(DBMemo::LoadingPart - 1, QLatin1Char('x')) + QStringLiteral("\U0001F600");
    for (int i = 0; i < 9000; ++i)
        text += QStringLiteral("linha %1 ação \U0001F600\r\n").arg(i);
    TFBrowse* b = openBrowse(QStringLiteral("PESSOAS"), QStringLiteral(" order by ID"));
    b->IBDataSet1->setCurrentRow(1);
    b->IBDataSet1->field(OBS)->setValue(text);
    b->IBDataSet1->post();
    b->SCommitClick();
    b->SAbreClick();

    TEditorTable* form = openForm(b, 0);
    auto* memo = qobject_cast<DBMemo*>(form->fieldControl(OBS));
    form->SDown->click();
    form->SEdita->click();
    QVERIFY(!memo->fullyLoaded());
    QVERIFY(memo->isReadOnly()); // until it is all there
    QTRY_VERIFY(memo->fullyLoaded());
    QVERIFY(!memo->isReadOnly());
    QCOMPARE(memo->toPlainText().size(), text.size() - 9000);

    memo->setFocus();
    memo->moveCursor(QTextCursor::End);
    QTest::keyClicks(memo, QStringLiteral("fim"));
    form->SGrava->click();
    b->SCommitClick();

    TestConnection other(m_db->path());
    other.open();
    DataSet stored;
    stored.setDatabase(&other.db);
    stored.setTransaction(&other.tr);
    stored.setSelectSQL({QStringLiteral("select OBS from PESSOAS where ID = 2")});
    stored.open();
    QCOMPARE(stored.field(0)->asString(), text + QStringLiteral("fim"));
}

void TestEditorTable::escapeAndCancelDropTyping() {
    TFBrowse* b = openBrowse(QStringLiteral("PESSOAS"), QStringLiteral(" order by ID"));
    TEditorTable* form = openForm(b);
    form->fieldControl(NOME)->setFocus();
    press(form, Qt::Key_F2);
    typeInto(form, NOME, QStringLiteral("Outro"));
    press(form, Qt::Key_Escape);
    QCOMPARE(textOf(form, NOME), QStringLiteral("Ana"));
    QVERIFY(form->isVisible());
    QCOMPARE(b->IBDataSet1->state(), DataSet::Edit);

    typeInto(form, NOME, QStringLiteral("Outro"));
    typeInto(form, SALARIO, QStringLiteral("1"));
    press(form, Qt::Key_F5);
    QCOMPARE(b->IBDataSet1->state(), DataSet::Browse);
    QCOMPARE(textOf(form, NOME), QStringLiteral("Ana"));
    QCOMPARE(textOf(form, SALARIO), QStringLiteral("1500,50"));
    // Nothing typed before the cancel comes back at the next post.
    form->SEdita->click();
    form->SGrava->click();
    b->SCommitClick();
    QCOMPARE(scalar(QStringLiteral("select NOME || '|' || SALARIO from PESSOAS where ID = 1")),
             QStringLiteral("Ana|1500.50"));
}

void TestEditorTable::refusedValueKeepsTheFocus() {
    TFBrowse* b = openBrowse(QStringLiteral("PESSOAS"), QStringLiteral(" order by ID"));
    TEditorTable* form = openForm(b);
    auto* nasc = qobject_cast<QLineEdit*>(form->fieldControl(NASC));
    nasc->setFocus();
    press(form, Qt::Key_F2);
    typeInto(form, NASC, QStringLiteral("31/02/2020"));
    press(form, Qt::Key_Tab);
    QTRY_COMPARE(errors(), QStringList{QStringLiteral("'31/02/2020' is not a valid date.")});
    QTRY_COMPARE(form->focusWidget(), nasc);
    QCOMPARE(nasc->selectedText(), QStringLiteral("31/02/2020"));

    // Posting tries it again and stays in edit.
    press(form, Qt::Key_F4);
    QCOMPARE(errors().size(), 2);
    QCOMPARE(b->IBDataSet1->state(), DataSet::Edit);

    typeInto(form, NASC, QStringLiteral("28/02/2020"));
    press(form, Qt::Key_Return); // leaving it writes it
    QTRY_COMPARE(b->IBDataSet1->field(NASC)->asString(), QStringLiteral("28/02/2020"));
    QCOMPARE(errors().size(), 2);
}

void TestEditorTable::refusedCharacterBeeps() {
    TFBrowse* b = openBrowse(QStringLiteral("PESSOAS"), QStringLiteral(" order by ID"));
    TEditorTable* form = openForm(b);
    const struct {
        int field;
        const char* typed;
        const char* kept;
        int beeps;
    } cases[] = {{SALARIO, "-12,5x", "-12,5", 1},
                 {SALARIO, "1e3", "13", 1},
                 {ID, "4,2", "42", 1},
                 {NOME, "a1,x", "a1,x", 0},
                 {NASC, "1/2/2003", "1/2/2003", 0}};
    form->SEdita->click();
    for (const auto& c : cases) {
        m_holder->prompts.beeps = 0;
        typeInto(form, c.field, QString::fromLatin1(c.typed));
        QCOMPARE(textOf(form, c.field), QString::fromLatin1(c.kept));
        QCOMPARE(m_holder->prompts.beeps, c.beeps);
    }
}

void TestEditorTable::picturesFollowTheRow() {
    TFBrowse* b = openBrowse(QStringLiteral("PESSOAS"), QStringLiteral(" order by ID"));
    TEditorTable* form = openForm(b);
    PictureControl* picture = pictureOf(form);
    QVERIFY(picture->hasPicture());
    QCOMPARE(picture->bytes(), m_png);
    QCOMPARE(picture->picture().size(), QSize(40, 30));
    form->SDown->click(); // no picture
    QVERIFY(!picture->hasPicture());
    form->SDown->click(); // bytes that are no picture
    QVERIFY(!picture->hasPicture());
    form->Sup->click();
    form->Sup->click();
    QVERIFY(picture->hasPicture());
    QVERIFY(m_holder->prompts.messages.isEmpty());
}

void TestEditorTable::loadedPictureKeepsTheFileBytes_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    const QImage image = testPicture(12, 9, Qt::green);
    QTest::newRow("png") << "foto.png" << encoded(image, "PNG");
    QTest::newRow("jpg") << "foto.JPG" << encoded(image, "JPEG");
    QTest::newRow("jpeg") << "foto.jpeg" << encoded(image, "JPEG");
    QTest::newRow("bmp") << "foto.bmp" << encoded(image, "BMP");
    QTest::newRow("ico") << "foto.ico" << encoded(image, "ICO");
    QTest::newRow("gif") << "foto.gif" << kGif;
}

void TestEditorTable::loadedPictureKeepsTheFileBytes() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    const QString path = m_files->filePath(name);
    writeBytes(path, bytes);
    TFBrowse* b = openBrowse(QStringLiteral("PESSOAS"), QStringLiteral(" order by ID"));
    TEditorTable* form = openForm(b, 1); // a row without a picture
    popup(form, FOTO);
    m_holder->prompts.fileAnswers = {path};
    form->Loadfromfile1->trigger();
    QCOMPARE(m_holder->prompts.fileDialogs.size(), 1);
    QVERIFY(m_holder->prompts.fileDialogs[0].picturePreview);
    QVERIFY(pictureOf(form)->hasPicture());
    QVERIFY(form->PictureList[0].changed);
    QCOMPARE(b->IBDataSet1->state(), DataSet::Edit);

    press(form, Qt::Key_F4);
    QCOMPARE(b->IBDataSet1->state(), DataSet::Browse);
    QCOMPARE(pictureOf(form)->bytes(), bytes);
    b->SCommitClick();
    QCOMPARE(scalar(QStringLiteral("select count(*) from PESSOAS where ID = 2 and FOTO = x'%1'")
                        .arg(QString::fromLatin1(bytes.toHex()))),
             QStringLiteral("1"));
    QVERIFY(m_holder->prompts.messages.isEmpty());
}

void TestEditorTable::loadRefused_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    const QByteArray png = pngBytes(testPicture(4, 4, Qt::red));
    QTest::newRow("unknown extension") << "foto.txt" << png << "Unknown picture file extension (.txt)";
    QTest::newRow("no extension") << "foto" << png << "Unknown picture file extension (.)";
    QTest::newRow("metafile") << "foto.wmf" << png << "Unsupported image format.";
    QTest::newRow("enhanced metafile") << "foto.emf" << png << "Unsupported image format.";
    QTest::newRow("not decodable") << "foto.jpg" << QByteArray("not a picture")
                                   << "Unable to read image data.";
}

void TestEditorTable::loadRefused() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    const QString path = m_files->filePath(name);
    writeBytes(path, bytes);
    TFBrowse* b = openBrowse(QStringLiteral("PESSOAS"), QStringLiteral(" order by ID"));
    TEditorTable* form = openForm(b);
    popup(form, FOTO);
    m_holder->prompts.fileAnswers = {path};
    form->Loadfromfile1->trigger();
    QCOMPARE(errors(), QStringList{message});
    QCOMPARE(pictureOf(form)->bytes(), m_png);
    QVERIFY(!form->PictureList[0].changed);
    QCOMPARE(b->IBDataSet1->state(), DataSet::Browse);
}

void TestEditorTable::cutInBrowseStateEmptiesTheField() {
    TFBrowse* b = openBrowse(QStringLiteral("PESSOAS"), QStringLiteral(" order by ID"));
    TEditorTable* form = openForm(b);
    popup(form, FOTO);
    form->Cut2->trigger();
    QCOMPARE(QApplication::clipboard()->image().size(), QSize(40, 30));
    QVERIFY(!pictureOf(form)->hasPicture());
    QCOMPARE(b->IBDataSet1->state(), DataSet::Edit);
    QVERIFY(b->IBDataSet1->field(FOTO)->isNull());
    form->SGrava->click();
    b->SCommitClick();
    QCOMPARE(scalar(QStringLiteral("select FOTO from PESSOAS where ID = 1")), QStringLiteral("<null>"));
}

void TestEditorTable::cutWhileEditingKeepsTheField() {
    TFBrowse* b = openBrowse(QStringLiteral("PESSOAS"), QStringLiteral(" order by ID"));
    TEditorTable* form = openForm(b);
    form->SEdita->click();
    popup(form, FOTO);
    form->Cut2->trigger();
    QVERIFY(!pictureOf(form)->hasPicture());
    QCOMPARE(b->IBDataSet1->field(FOTO)->blobBytes(), m_png);
    form->SGrava->click();
    QVERIFY(pictureOf(form)->hasPicture()); // the stored picture again
    b->SCommitClick();
    QCOMPARE(scalar(QStringLiteral("select count(*) from PESSOAS where ID = 1 and FOTO = x'%1'")
                        .arg(QString::fromLatin1(m_png.toHex()))),
             QStringLiteral("1"));
}

void TestEditorTable::emptyPictureMenuDoesNothing() {
    TFBrowse* b = openBrowse(QStringLiteral("PESSOAS"), QStringLiteral(" order by ID"));
    TEditorTable* form = openForm(b, 1);
    QApplication::clipboard()->setImage(testPicture(3, 3, Qt::blue));
    popup(form, FOTO);
    for (QAction* a : {form->Savetofile1, form->Copy2, form->Paste2, form->Cut2})
        a->trigger();
    QVERIFY(m_holder->prompts.fileDialogs.isEmpty());
    QVERIFY(m_holder->prompts.messages.isEmpty());
    QVERIFY(!pictureOf(form)->hasPicture());
    QCOMPARE(b->IBDataSet1->state(), DataSet::Browse);
    QCOMPARE(QApplication::clipboard()->image().size(), QSize(3, 3));
    QVERIFY(!form->PictureList[0].changed);
}

void TestEditorTable::pasteAndCancel() {
    TFBrowse* b = openBrowse(QStringLiteral("PESSOAS"), QStringLiteral(" order by ID"));
    TEditorTable* form = openForm(b);
    PictureControl* picture = pictureOf(form);
    // Text on the clipboard is no picture.
    popup(form, FOTO);
    form->Paste2->trigger();
    QCOMPARE(picture->bytes(), m_png);
    QCOMPARE(b->IBDataSet1->state(), DataSet::Browse);

    // Copy puts the picture there; another one pasted goes into the field as PNG.
    form->Copy2->trigger();
    QCOMPARE(QApplication::clipboard()->image(), decodePicture(m_png).convertToFormat(QImage::Format_RGB32));
    const QImage pasted = testPicture(7, 5, Qt::cyan);
    QApplication::clipboard()->setImage(pasted);
    form->Paste2->trigger();
    QCOMPARE(b->IBDataSet1->state(), DataSet::Edit);
    QVERIFY(form->PictureList[0].changed);
    QCOMPARE(pictureFormat(b->IBDataSet1->field(FOTO)->blobBytes()), QByteArray("png"));
    QCOMPARE(decodePicture(b->IBDataSet1->field(FOTO)->blobBytes()).convertToFormat(QImage::Format_RGB32),
             pasted);

    form->SCancela->click();
    QCOMPARE(picture->bytes(), m_png);
    QVERIFY(m_holder->prompts.messages.isEmpty());
}

void TestEditorTable::saveToFile_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("format"); // of the file written; empty: refused
    QTest::addColumn<QString>("message");
    QTest::newRow("own format: the bytes") << "copia.png" << QByteArray("png") << QString();
    QTest::newRow("converted") << "copia.bmp" << QByteArray("bmp") << QString();
    QTest::newRow("no encoder") << "copia.wmf" << QByteArray() << "Unsupported image format.";
    QTest::newRow("unknown") << "copia.xyz" << QByteArray() << "Unknown picture file extension (.xyz)";
}

void TestEditorTable::saveToFile() {
    QFETCH(QString, name);
    QFETCH(QByteArray, format);
    QFETCH(QString, message);
    TEditorTable* form = openForm(openBrowse(QStringLiteral("PESSOAS"), QStringLiteral(" order by ID")));
    const QString path = m_files->filePath(name);
    popup(form, FOTO);
    m_holder->prompts.fileAnswers = {path};
    form->Savetofile1->trigger();
    QCOMPARE(m_holder->prompts.fileDialogs.size(), 1);
    QCOMPARE(m_holder->prompts.fileDialogs[0].defaultSuffix, QStringLiteral("png"));
    if (format.isEmpty()) {
        QCOMPARE(errors(), QStringList{message});
        QVERIFY(!QFile::exists(path));
        return;
    }
    QVERIFY(errors().isEmpty());
    const QByteArray written = fileBytes(path);
    QCOMPARE(pictureFormat(written), format);
    if (format == "png") QCOMPARE(written, m_png);
    QCOMPARE(decodePicture(written).convertToFormat(QImage::Format_RGB32),
             decodePicture(m_png).convertToFormat(QImage::Format_RGB32));
}

void TestEditorTable::focusedEditShowsEveryDigit_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("shown");   // the display text, while another control has the focus
    QTest::addColumn<QString>("editing"); // the edit text, while it has the focus
    QTest::addColumn<QString>("stored");  // as the server writes it
    QTest::newRow("timestamp") << 1 << "02/01/2026 08:05:09"
                               << "02/01/2026 08:05:09,1234"
                               << "2026-01-02 08:05:09.1234";
    QTest::newRow("time") << 2 << "10:11:12"
                          << "10:11:12,5678"
                          << "10:11:12.5678";
}

void TestEditorTable::focusedEditShowsEveryDigit() {
    QFETCH(int, field);
    QFETCH(QString, shown);
    QFETCH(QString, editing);
    QFETCH(QString, stored);
    m_db->exec(
        {QStringLiteral("delete from MUDANCAS"), QStringLiteral("delete from MOMENTOS"),
         QStringLiteral("insert into MOMENTOS values (1, '2026-01-02 08:05:09.1234', '10:11:12.5678')")});
    const QString column = field == 1 ? QStringLiteral("TS") : QStringLiteral("HORA");
    TFBrowse* b = openBrowse(QStringLiteral("MOMENTOS"), QStringLiteral(" order by ID"));
    TEditorTable* form = openForm(b);
    auto* edit = qobject_cast<QLineEdit*>(form->fieldControl(field));
    form->fieldControl(0)->setFocus();
    QCOMPARE(edit->text(), shown);
    edit->setFocus();
    QCOMPARE(edit->text(), editing);

    // The last digit deleted and typed again: the same value.
    press(form, Qt::Key_F2);
    QCOMPARE(b->IBDataSet1->state(), DataSet::Edit);
    QCOMPARE(edit->text(), editing);
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, editing.right(1));
    QCOMPARE(edit->text(), editing);
    press(form, Qt::Key_F4);
    QCOMPARE(errors(), QStringList());
    QCOMPARE(b->IBDataSet1->state(), DataSet::Browse);
    QCOMPARE(edit->text(), editing); // still focused

    // Left, it shows the display text again.
    form->fieldControl(0)->setFocus();
    QCOMPARE(edit->text(), shown);
    form->close();
    b->SCommitClick();
    QCOMPARE(scalar(QStringLiteral("select cast(%1 as varchar(30)) from MOMENTOS").arg(column)), stored);
    QCOMPARE(m_db->column(QStringLiteral("select COLUNA from MUDANCAS")), QStringList());
}

void TestEditorTable::loadIntoEmptyTableStoresTheFile() {
    const QByteArray bytes = encoded(testPicture(12, 9, Qt::magenta), "PNG");
    const QString path = m_files->filePath(QStringLiteral("nova.png"));
    writeBytes(path, bytes);
    TFBrowse* b = openBrowse(QStringLiteral("FOTOS"), QStringLiteral(" order by ID"));
    QVERIFY(b->IBDataSet1->isEmpty());
    TEditorTable* form = openForm(b);
    popup(form, 1);
    m_holder->prompts.fileAnswers = {path};
    form->Loadfromfile1->trigger();
    QCOMPARE(errors(), QStringList());
    QCOMPARE(b->IBDataSet1->state(), DataSet::Insert); // editing an empty table inserts
    QCOMPARE(qobject_cast<PictureControl*>(form->fieldControl(1))->bytes(), bytes);
    QVERIFY(form->PictureList[0].changed);
    typeInto(form, 0, QStringLiteral("5"));
    press(form, Qt::Key_F4);
    QCOMPARE(errors(), QStringList());
    QCOMPARE(b->IBDataSet1->state(), DataSet::Browse);
    form->close();
    b->SCommitClick();
    QCOMPARE(m_db->column(QStringLiteral("select ID || ':' || octet_length(FOTO) from FOTOS")),
             QStringList{QStringLiteral("5:%1").arg(bytes.size())});
    QCOMPARE(scalar(QStringLiteral("select count(*) from FOTOS where FOTO = x'%1'")
                        .arg(QString::fromLatin1(bytes.toHex()))),
             QStringLiteral("1"));
}

void TestEditorTable::pagingKeepsTheScrollPosition() {
    m_db->exec({QStringLiteral("delete from LARGA"),
                QStringLiteral("insert into LARGA (C0, C1, C29) values (1, 10, 290)"),
                QStringLiteral("insert into LARGA (C0, C1, C29) values (2, 20, 291)"),
                QStringLiteral("insert into LARGA (C0, C1, C29) values (3, 30, 292)")});
    TFBrowse* b = openBrowse(QStringLiteral("LARGA"), QStringLiteral(" order by C0"));
    TEditorTable* form = openForm(b);
    QScrollBar* bar = form->ScrollBoxData->verticalScrollBar();
    QTRY_VERIFY(bar->maximum() > 0);

    // At the top, on the first field: the next row shows its first fields.
    form->fieldControl(1)->setFocus();
    QCOMPARE(bar->value(), 0);
    press(form, Qt::Key_PageDown);
    QCOMPARE(b->IBDataSet1->currentRow(), 1);
    QCOMPARE(textOf(form, 1), QStringLiteral("20"));
    QCOMPARE(bar->value(), 0);
    QCOMPARE(form->focusWidget(), form->fieldControl(1));

    // At the bottom, on the last field: the same place in the row before.
    form->fieldControl(29)->setFocus();
    const int bottom = bar->value();
    QVERIFY(bottom > 0);
    press(form, Qt::Key_PageUp);
    QCOMPARE(b->IBDataSet1->currentRow(), 0);
    QCOMPARE(textOf(form, 29), QStringLiteral("290"));
    QCOMPARE(bar->value(), bottom);
    // Also where there is no row to move to.
    press(form, Qt::Key_PageUp);
    QCOMPARE(b->IBDataSet1->currentRow(), 0);
    QCOMPARE(bar->value(), bottom);
    QVERIFY(errors().isEmpty());
}

QTEST_MAIN(TestEditorTable)
#include "test_editortable.moc"
