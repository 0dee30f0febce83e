#include "browse/ui/tabelas.h"
#include "browse/ui/fbrowse.h"
#include "browse/ui/propriedades.h"
#include "connection/database.h"
#include "connection/dm.h"
#include "connection/identifiers.h"
#include "platform/apperror.h"
#include "platform/errorreport.h"
#include "platform/ui/icons.h"
#include "platform/ui/mdihost.h"
#include "platform/ui/uifont.h"
#include "platform/wincolor.h"
#include <QCloseEvent>
#include <QCollator>
#include <QHeaderView>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <algorithm>

namespace {
// SGDrawCell: table names left-aligned on alternating colours (odd rows 13678476, even 14799803,
// counting the title as row 0); the text colour stays the grid's choice, normal or selected.
class TableNameDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        const int gridRow = index.row() + 1;
        painter->save();
        painter->fillRect(option.rect, winColor(gridRow % 2 == 1 ? 13678476 : 14799803));
        const bool selected = option.state & QStyle::State_Selected;
        painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter->setFont(option.font);
        painter->setClipRect(option.rect);
        const QFontMetrics fm(option.font);
        painter->drawText(QPoint(option.rect.left(), option.rect.top() + 2 + fm.ascent()),
                          index.data().toString());
        painter->restore();
    }
};
} // namespace

TTabelas::TTabelas(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Tabelas"));
    setWindowTitle(QStringLiteral("Tabelas"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(sansFont(11));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, winColor(13678476));
    setPalette(pal);
    setFixedSize(344, 402);

    SG = new QTableWidget(0, 1, this);
    SG->setObjectName(QStringLiteral("SG"));
    SG->setGeometry(6, 6, 331, 340);
    SG->setFont(sansFont(16));
    SG->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SG->setSelectionMode(QAbstractItemView::SingleSelection);
    SG->verticalHeader()->hide();
    SG->setColumnWidth(0, 309);
    SG->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    SG->horizontalHeader()->setHighlightSections(false);
    SG->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    SG->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: %1; border: 0px; border-bottom: 1px solid "
                       "gray; border-right: 1px solid gray; }")
            .arg(winColor(12058551).name()));
    // Until the listing succeeds the grid has no title.
    SG->setHorizontalHeaderItem(0, new QTableWidgetItem(QString()));
    QPalette gridPal = SG->palette();
    gridPal.setColor(QPalette::Base, winColor(15658734));
    SG->setPalette(gridPal);
    SG->setItemDelegate(new TableNameDelegate(SG));
    SG->viewport()->installEventFilter(this);
    connect(SG->horizontalHeader(), &QHeaderView::sectionDoubleClicked, this,
            guarded([this] { SGDblClick(); }));

    Pm = new QMenu(this);
    Pm->setObjectName(QStringLiteral("Pm"));
    Propriedades1 = Pm->addAction(QStringLiteral("Propriedades"));
    Propriedades1->setObjectName(QStringLiteral("Propriedades1"));
    connect(Propriedades1, &QAction::triggered, this, guarded([this] { Propriedades1Click(); }));
    SG->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(SG, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { Pm->popup(SG->viewport()->mapToGlobal(pos)); });

    BitBtn1 = new QPushButton(QStringLiteral("&Fecha"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(245, 367, 94, 31);
    BitBtn1->setCursor(Qt::PointingHandCursor);
    BitBtn1->setIcon(subjectIcon(QStringLiteral("door-arrow")));
    connect(BitBtn1, &QPushButton::clicked, this, guarded([this] { BitBtn1Click(); }));
}

TTabelas::~TTabelas() {
    // The browse windows opened here belong to this list: they go with it, edits and all.
    for (const QPointer<TFBrowse>& b : std::as_const(m_browsers))
        if (b) delete childFrame(b);
}

void TTabelas::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (m_filled) return;
    m_filled = true;
    // Inside the main window: fixed size, system menu and minimize button only.
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        sub->setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                            Qt::WindowMinimizeButtonHint);
        sub->adjustSize();
        sub->setFixedSize(sub->size());
        sub->show();
    }
    runGuarded([this] { FormShow(); });
}

void TTabelas::FormShow() {
    TdM* dm = TdM::instance();
    if (!dm) throw AppError(QStringLiteral("Cannot perform operation -- DB is not open"));
    QStringList names;
    dm->Banco->getTableNames(names);
    SG->setRowCount(int(names.size()));
    SG->horizontalHeaderItem(0)->setText(QStringLiteral("Nome das tabelas"));
    QCollator collator; // the locale's order, letter case ignored
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(names.begin(), names.end(),
                     [&collator](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    for (int i = 0; i < names.size(); ++i) {
        auto* item = new QTableWidgetItem(names[i]);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        SG->setItem(i, 0, item);
    }
    if (!names.isEmpty()) SG->setCurrentCell(0, 0);
}

QString TTabelas::currentTableName() const {
    const int row = SG->currentRow();
    const QTableWidgetItem* item = row >= 0 ? SG->item(row, 0) : nullptr;
    return item ? item->text() : QString();
}

QList<TFBrowse*> TTabelas::browseWindows() const {
    QList<TFBrowse*> result;
    for (const QPointer<TFBrowse>& b : m_browsers)
        if (b) result.append(b);
    return result;
}

void TTabelas::SGDblClick() {
    const QString name = currentTableName();
    if (name.trimmed().isEmpty()) return;
    TdM* dm = TdM::instance();
    BrowseSelect = QStringLiteral("Select * From ") + quoteIdentifier(name, dm ? dm->Banco->sqlDialect() : 3);
    CurrentTable = name;

    setUpdatesEnabled(false);
    struct ResumeUpdates {
        QWidget* w;
        ~ResumeUpdates() { w->setUpdatesEnabled(true); }
    } resume{this};
    m_browsers.removeAll(nullptr);
    auto* browse = new TFBrowse();
    m_browsers.append(browse);
    showChild(browse); // shows itself: its showing steps report their own errors
    browse->setWindowTitle(CurrentTable);
}

void TTabelas::BitBtn1Click() {
    childFrame(this)->close();
}

void TTabelas::Propriedades1Click() {
    TPropriedades properties(this);
    properties.setAttribute(Qt::WA_DeleteOnClose, false);
    const QString table = currentTableName();
    if (!table.trimmed().isEmpty()) runGuarded([&] { properties.showTable(table); });
    properties.exec();
}

void TTabelas::closeEvent(QCloseEvent* e) {
    e->accept(); // FormClose: the window is freed (WA_DeleteOnClose)
}

bool TTabelas::eventFilter(QObject* watched, QEvent* e) {
    // A double-click anywhere on the grid acts on the current row, also below the last name.
    if (watched == SG->viewport() && e->type() == QEvent::MouseButtonDblClick)
        runGuarded([this] { SGDblClick(); });
    return QWidget::eventFilter(watched, e);
}
