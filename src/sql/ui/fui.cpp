#include "sql/ui/fui.h"
#include "platform/errorreport.h"
#include "platform/prompts.h"
#include "platform/ui/singleinstance.h"
#include "platform/ui/uifont.h"
#include "platform/ui/windowplace.h"
#include "platform/wincolor.h"
#include "sql/commandhistory.h"
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>

namespace {
constexpr int kColumnWidths[] = {190, 20, 271, 17};
const char* const kTitles[] = {"Campos", "=", "Valor", ","};
constexpr int kNameColumn = 0;
constexpr int kEqualsColumn = 1;
constexpr int kValueColumn = 2;
constexpr int kCommaColumn = 3;

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, Qt::GlobalColor colour, int top) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    // 12 pt. The instructions span nearly the whole window: Arial's metrics, the nearest to the
    // narrow MS Sans Serif, keep the longest one inside it.
    l->setFont(arialFont(16));
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, colour);
    l->setPalette(pal);
    l->move(8, top);
    l->adjustSize();
    return l;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text, const QRect& place) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setFont(sansFont(16));
    b->setGeometry(place);
    b->setAutoDefault(false); // Enter belongs to the grid's editing
    return b;
}
} // namespace

// How the grid draws its cells: data rows in alternating colours across all four columns, the
// title row in the fixed cells' colour; field names and values left-aligned 2 pixels in, the rest
// centred, all at the top edge. It also keeps the open editor, so that "OK" takes a value that is
// still being typed.
class ValuesGridCells : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const int row = index.row();
        const int column = index.column();
        const QColor background =
            row == 0 ? option.palette.color(QPalette::Button) : winColor(row % 2 == 1 ? 11263139 : 13615281);
        p->save();
        p->fillRect(option.rect, background);
        const bool left = row > 0 && (column == kNameColumn || column == kValueColumn);
        const QRect r = left ? option.rect.adjusted(2, 0, 0, 0) : option.rect;
        p->setFont(option.font);
        p->setPen(option.palette.color(QPalette::Text));
        p->drawText(r, (left ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignTop | Qt::TextSingleLine,
                    index.data(Qt::DisplayRole).toString());
        if (option.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(option);
            focus.rect = option.rect.adjusted(1, 1, -1, -1);
            focus.backgroundColor = background;
            if (const QWidget* w = option.widget)
                w->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, p, w);
        }
        p->restore();
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        m_editor = editor;
        return editor;
    }

    // Writes the text of an open editor into its cell and closes the editor.
    void finishEditing() {
        if (!m_editor) return;
        QWidget* editor = m_editor;
        m_editor = nullptr;
        emit commitData(editor);
        emit closeEditor(editor);
    }

private:
    mutable QPointer<QWidget> m_editor;
};

TFUI::TFUI(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FUI"));
    setWindowTitle(QStringLiteral("Campos para geração de UPDATE / INSERT"));
    // Tool-window border without title-bar buttons: only "OK" and "&Cancela" leave it.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(536, 399);
    setFont(sansFont(11)); // MS Sans Serif 8

    SG = new QTableWidget(2, 4, this);
    SG->setObjectName(QStringLiteral("SG"));
    SG->setFont(sansFont(13)); // 10 pt
    SG->horizontalHeader()->hide();
    SG->verticalHeader()->hide();
    SG->verticalHeader()->setMinimumSectionSize(1);
    SG->verticalHeader()->setDefaultSectionSize(20);
    SG->horizontalHeader()->setMinimumSectionSize(1);
    for (int c = 0; c < 4; ++c)
        SG->setColumnWidth(c, kColumnWidths[c]);
    SG->setShowGrid(true);
    SG->setWordWrap(false);
    SG->setSelectionMode(QAbstractItemView::SingleSelection);
    SG->setSelectionBehavior(QAbstractItemView::SelectItems);
    SG->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                        QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    SG->setGeometry(4, 4, 528, 236);
    m_cells = new ValuesGridCells(SG);
    SG->setItemDelegate(m_cells);

    Label1 =
        makeLabel(this, "Label1", QStringLiteral("Campos numérico devem ser digitados diretos nas celulas"),
                  Qt::black, 248);
    Label2 = makeLabel(this, "Label2",
                       QStringLiteral("Campos numérico com casas decimais devem ser separados por ponto"),
                       Qt::red, 270);
    Label4 = makeLabel(this, "Label4", QStringLiteral("Campos data na forma MM/DD/AAAA entre aspas"),
                       Qt::black, 292);
    Label3 = makeLabel(this, "Label3", QStringLiteral("Campos caracter entre aspas"), Qt::red, 314);

    BCan = makeButton(this, "BCan", QStringLiteral("&Cancela"), {150, 352, 110, 33});
    BOK = makeButton(this, "BOK", QStringLiteral("OK"), {276, 352, 110, 33});
    connect(BCan, &QPushButton::clicked, this, guarded([this] { BCanClick(); }));
    connect(BOK, &QPushButton::clicked, this, guarded([this] { BOKClick(); }));

    ResetValuesGrid();
    SingleInstance<TFUI>::enrol(this);
}

TFUI::~TFUI() {
    SingleInstance<TFUI>::leave(this);
}

TFUI* TFUI::instance() {
    return SingleInstance<TFUI>::get();
}

QString TFUI::cell(int row, int column) const {
    const QTableWidgetItem* item = SG->item(row, column);
    return item ? item->text() : QString();
}

void TFUI::setCell(int row, int column, const QString& text) {
    QTableWidgetItem* item = SG->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        // The title row and the name and "=" columns are fixed: only values (and the commas) are typed.
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (row > 0 && (column == kValueColumn || column == kCommaColumn)) flags |= Qt::ItemIsEditable;
        item->setFlags(flags);
        SG->setItem(row, column, item);
    }
    item->setText(text);
}

int TFUI::addRow() {
    const int row = SG->rowCount();
    SG->setRowCount(row + 1);
    for (int c = 0; c < SG->columnCount(); ++c)
        setCell(row, c, QString());
    return row;
}

void TFUI::ResetValuesGrid() {
    m_cells->finishEditing();
    for (int c = 0; c < SG->columnCount(); ++c)
        setCell(0, c, QString::fromLatin1(kTitles[c]));
    SG->setRowCount(1);
    addRow();
}

void TFUI::offerFields(const QStringList& names) {
    ResetValuesGrid();
    for (int i = 0; i < names.size(); ++i) {
        const int row = i == 0 ? 1 : addRow();
        setCell(row, kNameColumn, names.at(i));
        setCell(row, kEqualsColumn, QStringLiteral("="));
        setCell(row, kCommaColumn, QStringLiteral(","));
    }
    SG->setCurrentCell(1, kValueColumn);
}

QList<ValueRow> TFUI::valueRows() const {
    QList<ValueRow> rows;
    for (int r = 1; r < SG->rowCount(); ++r)
        rows.append({cell(r, kNameColumn), cell(r, kEqualsColumn), cell(r, kValueColumn)});
    return rows;
}

bool TFUI::HasBlankValue() const {
    for (int r = 1; r < SG->rowCount(); ++r)
        if (trimCommand(cell(r, kValueColumn)).isEmpty()) return true;
    return false;
}

void TFUI::BOKClick() {
    m_cells->finishEditing();
    if (HasBlankValue()) {
        showMessage(QStringLiteral("Ainda tem valores em branco ....."), QStringLiteral("Erro"),
                    MsgIcon::Error, MbOk);
        return;
    }
    ValuesConfirmed = true;
    QDialog::done(Accepted);
}

void TFUI::BCanClick() {
    m_cells->finishEditing();
    ValuesConfirmed = false;
    QDialog::done(Rejected);
}

void TFUI::reject() {}

void TFUI::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    centreOnScreen(this);
    SG->setFocus();
}
