#include "connection/ui/fetchallline.h"
#include "platform/errorreport.h"
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QTableView>
#include <QToolButton>

FetchAllLine::FetchAllLine(QTableView* grid, DataSet* dataSet, QWidget* parent)
    : QWidget(parent), m_grid(grid), m_dataSet(dataSet) {
    setObjectName(QStringLiteral("Leitura"));
    setAutoFillBackground(true);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 0, 0, 0);
    layout->setSpacing(8);
    lLidas = new QLabel(this);
    lLidas->setObjectName(QStringLiteral("lLidas"));
    layout->addWidget(lLidas, 1);
    bCancelar = new QToolButton(this);
    bCancelar->setObjectName(QStringLiteral("bCancelar"));
    bCancelar->setText(QStringLiteral("Cancelar"));
    bCancelar->setCursor(Qt::PointingHandCursor);
    bCancelar->setFocusPolicy(Qt::NoFocus); // the grid keeps the focus
    layout->addWidget(bCancelar);
    hide();

    connect(bCancelar, &QToolButton::clicked, this, [this] {
        if (m_dataSet) m_dataSet->cancelBackgroundFetch();
    });
    connect(dataSet, &DataSet::rowsFetched, this, [this] {
        if (isVisible()) showCount();
    });
    connect(dataSet, &DataSet::backgroundFetchEnded, this, [this](DataSet::FetchEnd end) { ended(end); });
    grid->installEventFilter(this);
}

void FetchAllLine::showCount() {
    const int rows = m_dataSet ? m_dataSet->rowCount() : 0;
    lLidas->setText(QStringLiteral("Lendo as linhas do resultado: %1 lidas até agora").arg(QLocale().toString(rows)));
}

bool FetchAllLine::deferUntilAllRead(std::function<void()> then) {
    DataSet* ds = m_dataSet;
    if (!ds || !ds->active() || ds->allFetched() || ds->fetchFailed()) return false;
    ds->fetchAllInBackground(); // nothing when already reading
    m_waiting.push_back(std::move(then));
    showCount();
    show();
    raise();
    return true;
}

void FetchAllLine::ended(DataSet::FetchEnd end) {
    hide();
    std::vector<std::function<void()>> waiting;
    waiting.swap(m_waiting);
    if (end == DataSet::FetchFailed) {
        // Reading on raises the failed fetch's error again.
        if (DataSet* ds = m_dataSet) runGuarded([ds] { ds->fetchMore(1); });
        return;
    }
    if (end != DataSet::FetchCompleted) return;
    for (const std::function<void()>& then : waiting)
        runGuarded(then);
}

bool FetchAllLine::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_End && (key->modifiers() & Qt::ControlModifier)) {
            // To the last row of the result: what is not read yet is read first.
            bool deferred = false;
            const bool ok = runGuarded([&] { deferred = deferUntilAllRead([this] { goToLastRow(); }); });
            if (deferred || !ok) return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FetchAllLine::goToLastRow() {
    auto* grid = qobject_cast<QTableView*>(m_grid.data());
    QAbstractItemModel* model = grid ? grid->model() : nullptr;
    if (!model || model->rowCount() == 0 || model->columnCount() == 0) return;
    const QModelIndex current = grid->currentIndex();
    const QModelIndex last = model->index(model->rowCount() - 1, current.isValid() ? current.column() : 0);
    grid->setCurrentIndex(last);
    grid->scrollTo(last);
}
