#include "sql/ui/fgerasql.h"
#include "browse/ui/fwhere.h"
#include "connection/database.h"
#include "connection/dm.h"
#include "platform/errorreport.h"
#include "platform/prompts.h"
#include "platform/ui/checklist.h"
#include "platform/ui/icons.h"
#include "platform/ui/singleinstance.h"
#include "platform/ui/uifont.h"
#include "platform/ui/windowplace.h"
#include "platform/wincolor.h"
#include "sql/sqlgenerator.h"
#include "sql/ui/fui.h"
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QTextBlock>
#include <QTextCursor>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
// List rows 20 pixels high.
class TwentyPixelRows : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), 20};
    }
};

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, int left, int top) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->move(left, top);
    l->adjustSize();
    return l;
}

// Single choice, rows 20 pixels high.
void setRows(QListWidget* l, const QRect& place) {
    l->setSelectionMode(QAbstractItemView::SingleSelection);
    l->setItemDelegate(new TwentyPixelRows(l));
    l->setGeometry(place);
}

QToolButton* makePictureButton(QWidget* parent, const char* name, const QString& text, const QString& subject,
                               const QRect& place) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(text);
    b->setIcon(subjectIcon(subject));
    b->setIconSize(QSize(32, 32));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setFocusPolicy(Qt::StrongFocus);
    b->setCursor(Qt::PointingHandCursor);
    b->setGeometry(place);
    return b;
}

Database* banco() {
    return TdM::instance()->Banco;
}

void refuse(const QString& text) {
    showMessage(text, QStringLiteral("Erro"), MsgIcon::Error, MbOk);
}
} // namespace

TFGeraSql::TFGeraSql(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FGeraSql"));
    setWindowTitle(QStringLiteral("Geração de SQL"));
    // Tool-window border without title-bar buttons: "&Retorna" is the way out.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(632, 453);
    setFont(sansFont(16)); // MS Sans Serif 12
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, winColor(12962988));
    setPalette(pal);

    Label1 = makeLabel(this, "Label1", QStringLiteral("Tabelas"), 8, 6);
    Tabelas = new QListWidget(this);
    Tabelas->setObjectName(QStringLiteral("Tabelas"));
    setRows(Tabelas, {8, 28, 200, 262});
    Label2 = makeLabel(this, "Label2", QStringLiteral("Campos"), 216, 6);
    Campos = new TickList(this);
    Campos->setObjectName(QStringLiteral("Campos"));
    setRows(Campos, {216, 28, 200, 262});
    msg = new QLabel(QStringLiteral("F1 - Marca Todos  F2 - Desmarca todos"), this);
    msg->setObjectName(QStringLiteral("msg"));
    msg->setFont(sansFont(11)); // 8 pt
    msg->move(216, 292);
    msg->adjustSize();
    msg->hide();
    Campos->onEnter = [this] { CamposEnter(); };
    Campos->onExit = [this] { CamposExit(); };
    Campos->onKeyDown = [this](int key) { return CamposKeyDown(key); };

    Rg = new QGroupBox(QStringLiteral("  Comandos  "), this);
    Rg->setObjectName(QStringLiteral("Rg"));
    Rg->setGeometry(424, 20, 200, 150);
    RgItems = new QButtonGroup(Rg);
    auto* rgLayout = new QVBoxLayout(Rg);
    const QStringList commands{QStringLiteral("Select"), QStringLiteral("Update"), QStringLiteral("Delete"),
                               QStringLiteral("Insert")};
    for (int i = 0; i < commands.size(); ++i) {
        auto* item = new QRadioButton(commands.at(i), Rg);
        RgItems->addButton(item, i);
        rgLayout->addWidget(item);
    }
    setRgIndex(Select);

    BitBtn1 = makePictureButton(this, "BitBtn1", QStringLiteral("&Gera Sql"), QStringLiteral("sheet-pencil"),
                                {424, 180, 96, 64});
    BitBtn2 = makePictureButton(this, "BitBtn2", QStringLiteral("&Where"), QStringLiteral("funnel"),
                                {528, 180, 96, 64});

    Bret = new QPushButton(QStringLiteral("&Retorna"), this);
    Bret->setObjectName(QStringLiteral("Bret"));
    Bret->setGeometry(424, 256, 200, 34);
    Bret->setAutoDefault(false);

    Label3 = makeLabel(this, "Label3", QStringLiteral("Sql Gerado"), 8, 306);
    Sql = new QPlainTextEdit(this);
    Sql->setObjectName(QStringLiteral("Sql"));
    Sql->setFont(sansFont(13)); // 10 pt
    Sql->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Sql->setTabChangesFocus(true); // Tab moves on to the buttons, as everywhere in this window
    Sql->setGeometry(8, 328, 616, 117);

    QWidget* order[] = {Bret, Tabelas, Campos};
    setTabOrder(order[0], order[1]);
    setTabOrder(order[1], order[2]);
    QWidget* previous = Campos;
    for (QAbstractButton* item : RgItems->buttons()) {
        setTabOrder(previous, item);
        previous = item;
    }
    setTabOrder(previous, Sql);
    setTabOrder(Sql, BitBtn1);
    setTabOrder(BitBtn1, BitBtn2);

    connect(Tabelas, &QListWidget::itemSelectionChanged, this, guarded([this] { TabelasClick(); }));
    // A click on the table already chosen changes no selection, yet it is a click on a table.
    Tabelas->viewport()->installEventFilter(this);
    connect(Tabelas, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (item && item->isSelected() && item->text() == m_selectedAtPress)
            runGuarded([this] { TabelasClick(); });
    });
    connect(BitBtn1, &QToolButton::clicked, this, guarded([this] { BitBtn1Click(); }));
    connect(BitBtn2, &QToolButton::clicked, this, guarded([this] { BitBtn2Click(); }));
    connect(Bret, &QPushButton::clicked, this, guarded([this] { BretClick(); }));

    SingleInstance<TFGeraSql>::enrol(this);
}

TFGeraSql::~TFGeraSql() {
    Campos->dropHandlers();
    SingleInstance<TFGeraSql>::leave(this);
}

TFGeraSql* TFGeraSql::instance() {
    return SingleInstance<TFGeraSql>::get();
}

int TFGeraSql::rgIndex() const {
    return RgItems->checkedId();
}

void TFGeraSql::setRgIndex(int index) {
    QAbstractButton* chosen = RgItems->button(index);
    if (!chosen) return;
    chosen->setChecked(true);
    // Tab enters the group at the chosen command, as it does after a click on it.
    for (QAbstractButton* item : RgItems->buttons())
        item->setFocusPolicy(item == chosen ? Qt::StrongFocus : Qt::ClickFocus);
}

QString TFGeraSql::sqlText() const {
    // toPlainText() would turn no-break spaces into blanks; typed values keep them.
    QString text = Sql->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

QString TFGeraSql::selectedTable() const {
    const QList<QListWidgetItem*> selected = Tabelas->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

QStringList TFGeraSql::fieldNames() const {
    return Campos->names();
}

QList<bool> TFGeraSql::ticks() const {
    return Campos->ticks();
}

void TFGeraSql::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    // Shown again by the window system after a minimise: the same use goes on.
    if (m_inUse) return;
    m_inUse = true;
    centreOnScreen(this);
    runGuarded([this] { FormShow(); });
}

void TFGeraSql::hideEvent(QHideEvent* e) {
    QDialog::hideEvent(e);
    if (!e->spontaneous()) m_inUse = false; // left: the next showing is a new use
}

bool TFGeraSql::eventFilter(QObject* watched, QEvent* e) {
    if (watched == Tabelas->viewport() && e->type() == QEvent::MouseButtonPress)
        m_selectedAtPress = selectedTable();
    return QDialog::eventFilter(watched, e);
}

void TFGeraSql::FormShow() {
    QStringList tables;
    banco()->getTableNames(tables); // a failure leaves the list as it was
    {
        const QSignalBlocker quiet(Tabelas); // refilling is no choice of a table
        Tabelas->clear();
        Tabelas->addItems(tables);
    }
    Campos->clear();
    Sql->clear();
}

void TFGeraSql::CamposEnter() {
    msg->show();
}

void TFGeraSql::CamposExit() {
    msg->hide();
}

bool TFGeraSql::CamposKeyDown(int key) {
    return Campos->tickAllByKey(key);
}

void TFGeraSql::TabelasClick() {
    const QString table = selectedTable();
    if (table.isEmpty()) {
        // No table chosen, no fields: "&Where" then has nothing to offer, as after opening.
        Campos->clear();
        return;
    }
    QStringList fields;
    banco()->getFieldNames(table, fields); // a failure leaves the list as it was
    Campos->setItems(fields);              // every box cleared
}

void TFGeraSql::addLines(const QStringList& lines) {
    // As a memo adds lines: each on a line of its own after what the memo holds.
    QTextDocument* doc = Sql->document();
    QTextCursor cursor(doc);
    cursor.movePosition(QTextCursor::End);
    const bool breakFirst = !doc->lastBlock().text().isEmpty();
    cursor.insertText((breakFirst ? QStringLiteral("\n") : QString()) + lines.join(QLatin1Char('\n')));
}

void TFGeraSql::BitBtn1Click() {
    const QString table = selectedTable();
    if (table.isEmpty()) {
        refuse(QStringLiteral("Nenhum tabela selecionada..."));
        return;
    }
    const int dialect = banco()->sqlDialect();
    const int command = rgIndex();
    if (command == Select || command == Delete) {
        Sql->clear();
        addLines({command == Select ? selectStatement(fieldNames(), ticks(), table, dialect)
                                    : deleteStatement(table, dialect)});
        return;
    }
    QStringList ticked;
    const QStringList names = fieldNames();
    const QList<bool> on = ticks();
    for (int i = 0; i < names.size(); ++i)
        if (on.at(i)) ticked << names.at(i);
    TFUI* values = TFUI::instance();
    values->offerFields(ticked);
    if (command == Update) Sql->clear(); // an Insert goes after what the memo holds
    values->exec();
    if (!values->ValuesConfirmed) return;
    addLines(command == Update ? updateStatement(table, values->valueRows(), dialect)
                               : insertStatement(table, values->valueRows(), dialect));
}

void TFGeraSql::BitBtn2Click() {
    if (Campos->count() == 0) {
        refuse(QStringLiteral("Nenhum campo foi encontrado para a cláusula Where"));
        return;
    }
    // The condition text and the panel are as the filter window's last use left them.
    TFWhere* where = TFWhere::instance();
    where->setFields(fieldNames(), banco()->sqlDialect());
    where->exec();
    if (!where->FilterConfirmed) return;
    BitBtn1Click();
    addLines({where->conditionText()});
}

void TFGeraSql::BretClick() {
    ReturnedTable = selectedTable();
    QDialog::done(Accepted);
}

void TFGeraSql::reject() {}
