#include "admin/ui/adminlook.h"
#include "platform/ui/icons.h"
#include "platform/ui/uifont.h"
#include "platform/wincolor.h"
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>

namespace {
constexpr quint32 kWindowColour = 13678476;
constexpr quint32 kGridColour = 15658734;
constexpr quint32 kTitleColour = 12058551;
} // namespace

void paintAdminWindow(QWidget* w) {
    w->setFont(sansFont(11));
    w->setAutoFillBackground(true);
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, winColor(kWindowColour));
    w->setPalette(pal);
}

void styleAdminGrid(QTableView* grid) {
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setAlternatingRowColors(false);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: %1; border: 0px; border-bottom: 1px solid "
                       "gray; border-right: 1px solid gray; padding: 2px; }")
            .arg(winColor(kTitleColour).name()));
    QPalette pal = grid->palette();
    pal.setColor(QPalette::Base, winColor(kGridColour));
    grid->setPalette(pal);
}

QToolButton* addAdminToolButton(QToolBar* bar, const char* name, const QString& subject, const QString& hint) {
    auto* b = new QToolButton(bar);
    b->setObjectName(QString::fromLatin1(name));
    b->setIcon(subjectIcon(subject));
    b->setIconSize(QSize(32, 32));
    b->setFixedSize(39, 38);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setToolTip(hint);
    b->setCursor(Qt::PointingHandCursor);
    bar->addWidget(b);
    return b;
}

QPushButton* adminButton(QWidget* parent, const char* name, const QString& caption, const QString& subject) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setCursor(Qt::PointingHandCursor);
    if (!subject.isEmpty()) b->setIcon(subjectIcon(subject));
    return b;
}

void reselectRow(QTableView* grid, int row) {
    if (row < 0) {
        grid->clearSelection();
        grid->setCurrentIndex(QModelIndex());
        return;
    }
    grid->setCurrentIndex(grid->model()->index(row, 0));
    grid->selectRow(row);
}
