#include "connection/ui/failedfetchwatch.h"
#include "connection/dataset.h"
#include "platform/errorreport.h"
#include <QKeyEvent>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>

FailedFetchWatch::FailedFetchWatch(QTableView* grid, DataSet* dataSet)
    : QObject(grid), m_grid(grid), m_dataSet(dataSet) {
    grid->installEventFilter(this);
    QScrollBar* bar = grid->verticalScrollBar();
    connect(bar, &QAbstractSlider::actionTriggered, this, [this, bar](int) {
        // The new position is known, the value not yet moved: arriving at the bottom, not resting there.
        if (bar->sliderPosition() >= bar->maximum() && bar->value() < bar->maximum()) tell();
    });
}

bool FailedFetchWatch::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Down || key == Qt::Key_PageDown || key == Qt::Key_End) {
            // Looked at once the grid has moved its cursor.
            const int before = m_grid->currentIndex().row();
            QTimer::singleShot(0, this, [this, before] {
                const int row = m_grid->currentIndex().row();
                if (row != before && m_grid->model() && row == m_grid->model()->rowCount() - 1) tell();
            });
        }
    }
    return QObject::eventFilter(watched, event);
}

void FailedFetchWatch::tell() {
    DataSet* ds = m_dataSet;
    if (!ds || !ds->fetchFailed()) return;
    // Reading on raises the failed fetch's error again.
    QTimer::singleShot(0, this, [ds = m_dataSet] {
        if (ds && ds->fetchFailed()) runGuarded([&] { ds->fetchMore(1); });
    });
}
