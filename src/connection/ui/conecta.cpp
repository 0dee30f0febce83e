#include "connection/ui/conecta.h"
#include "connection/conexoes.h"
#include "platform/errorreport.h"
#include "platform/ui/icons.h"
#include "platform/ui/uifont.h"
#include "platform/wincolor.h"
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>

int TableWidgetGrid::columnCount() const {
    return m_table->columnCount();
}

int TableWidgetGrid::rowCount() const {
    return m_titled ? m_table->rowCount() + 1 : 0;
}

void TableWidgetGrid::setRowCount(int rows) {
    m_titled = rows > 0;
    if (rows <= 0)
        for (int c = 0; c < m_table->columnCount(); ++c)
            setCell(c, 0, QString());
    m_table->setRowCount(std::max(rows - 1, 0));
}

QString TableWidgetGrid::cell(int column, int row) const {
    if (column < 0 || column >= m_table->columnCount() || row < 0) return {};
    const QTableWidgetItem* item =
        row == 0 ? m_table->horizontalHeaderItem(column) : m_table->item(row - 1, column);
    return item ? item->text() : QString();
}

void TableWidgetGrid::setCell(int column, int row, const QString& text) {
    if (column < 0 || column >= m_table->columnCount() || row < 0 || row > m_table->rowCount()) return;
    if (row == 0) {
        m_table->setHorizontalHeaderItem(column, new QTableWidgetItem(text));
        return;
    }
    if (QTableWidgetItem* item = m_table->item(row - 1, column))
        item->setText(text);
    else
        m_table->setItem(row - 1, column, new QTableWidgetItem(text));
}

TFConecta::TFConecta(QWidget* parent) : QDialog(parent), m_grid(nullptr) {
    setObjectName(QStringLiteral("FConecta"));
    setWindowTitle(QStringLiteral("Conexões Anteriores"));
    // Small tool-window title bar without buttons: "&Retorna" closes it.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFont(sansFont(13)); // 10 point
    setFixedSize(632, 348);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, winColor(12058551));
    setPalette(pal);

    sg = new QTableWidget(this);
    sg->setObjectName(QStringLiteral("sg"));
    sg->setGeometry(0, 0, 632, 305);
    sg->setFont(sansFont(11)); // 8 point
    sg->setColumnCount(4);
    sg->verticalHeader()->hide(); // no title column
    sg->verticalHeader()->setMinimumSectionSize(1);
    sg->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    sg->verticalHeader()->setDefaultSectionSize(20);
    QHeaderView* titles = sg->horizontalHeader();
    titles->setMinimumSectionSize(1);
    titles->setSectionResizeMode(QHeaderView::Fixed);
    titles->setFixedHeight(20);
    titles->setHighlightSections(false);
    titles->setSectionsClickable(false);
    titles->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    const int widths[] = {88, 20, 500, 239};
    for (int c = 0; c < 4; ++c)
        sg->setColumnWidth(c, widths[c]);
    sg->setShowGrid(true);
    sg->setWordWrap(false);
    sg->setSelectionBehavior(QAbstractItemView::SelectRows);
    sg->setSelectionMode(QAbstractItemView::SingleSelection);
    sg->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sg->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sg->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QPalette gp = sg->palette();
    gp.setColor(QPalette::Base, winColor(14799803));
    sg->setPalette(gp);
    sg->installEventFilter(this);
    m_grid = TableWidgetGrid(sg);
    ClearGrid(m_grid, 1);

    msg = new QLabel(QStringLiteral("DELETE - Apaga linha"), this);
    msg->setObjectName(QStringLiteral("msg"));
    msg->setFont(sansFont(13, true));
    msg->setGeometry(8, 318, 200, 20);
    msg->hide();

    BitBtn2 = new QPushButton(subjectIcon(QStringLiteral("disk-check")), QStringLiteral("&Grava"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(416, 312, 100, 30);
    BitBtn1 = new QPushButton(subjectIcon(QStringLiteral("arrow-left")), QStringLiteral("&Retorna"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(524, 312, 100, 30);
    for (QPushButton* b : {BitBtn2, BitBtn1}) {
        b->setCursor(Qt::PointingHandCursor);
        b->setAutoDefault(false); // Enter moves the focus instead of pressing the focused button
    }
    connect(BitBtn2, &QPushButton::clicked, this, guarded([this] { BitBtn2Click(); }));
    connect(BitBtn1, &QPushButton::clicked, this, guarded([this] { BitBtn1Click(); }));
    setTabOrder(sg, BitBtn2);
    setTabOrder(BitBtn2, BitBtn1);
}

int TFConecta::currentRow() const {
    const int row = sg->currentRow();
    return row >= 0 && row < sg->rowCount() ? row + 1 : -1;
}

void TFConecta::FormShow() {
    fillConnectionGrid(m_grid, readConnections());
    if (sg->rowCount() > 0) sg->setCurrentCell(0, 0);
    sg->setFocus(); // msg appears with the focus
}

void TFConecta::sgEnter() {
    msg->show();
}

void TFConecta::sgExit() {
    msg->hide();
}

void TFConecta::sgKeyDown(int key) {
    if (key != Qt::Key_Delete) return;
    const int row = currentRow(); // -1 without data rows: DeleteRow only beeps
    if (!DeleteRow(m_grid, row)) return;
    // The same position stays current, or the new last row when the last one went.
    if (sg->rowCount() > 0) sg->setCurrentCell(std::min(row - 1, sg->rowCount() - 1), 0);
}

void TFConecta::BitBtn2Click() {
    writeConnections(connectionGridLines(m_grid));
}

void TFConecta::BitBtn1Click() {
    accept();
}

void TFConecta::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (e->spontaneous()) return;
    if (QScreen* s = screen())
        move(s->availableGeometry().center() -
             QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
    runGuarded([this] { FormShow(); });
}

void TFConecta::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        focusNextChild();
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

bool TFConecta::eventFilter(QObject* watched, QEvent* e) {
    if (watched == sg) {
        switch (e->type()) {
        case QEvent::FocusIn:
            sgEnter();
            break;
        case QEvent::FocusOut:
            // Leaving the window is not leaving the grid.
            if (static_cast<QFocusEvent*>(e)->reason() != Qt::ActiveWindowFocusReason &&
                static_cast<QFocusEvent*>(e)->reason() != Qt::PopupFocusReason)
                sgExit();
            break;
        case QEvent::KeyPress: {
            auto* k = static_cast<QKeyEvent*>(e);
            if (k->key() == Qt::Key_Delete && k->modifiers() == Qt::NoModifier) {
                runGuarded([this] { sgKeyDown(Qt::Key_Delete); });
                return true;
            }
            break;
        }
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, e);
}
