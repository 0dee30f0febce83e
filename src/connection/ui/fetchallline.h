#pragma once
#include "connection/dataset.h"
#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

class QLabel;
class QTableView;
class QToolButton;

// The line shown while the rest of a grid's result is read in the background: the rows read so
// far and "Cancelar" (the rows read stay, the grid's cursor stays where it was). It gives the grid
// Ctrl+End to the last row of the whole result, not of the rows read so far, and lets a handler
// that needs every row wait for them.
class FetchAllLine : public QWidget {
    Q_OBJECT
public:
    FetchAllLine(QTableView* grid, DataSet* dataSet, QWidget* parent);

    // False when every row is read already (or a fetch failed: the caller's own read meets its
    // error), or the dataset is closed: the caller goes on now. Otherwise the rest is read in the
    // background and `then` runs once every row is read; when the read is cancelled, or the
    // result closed, `then` is dropped; when it fails, its error is reported and `then` dropped.
    // Raises the busy message when the connection is held by other work.
    bool deferUntilAllRead(std::function<void()> then);

    QLabel* lLidas;
    QToolButton* bCancelar;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showCount();
    void ended(DataSet::FetchEnd end);
    void goToLastRow();

    QPointer<QWidget> m_grid; // a QTableView; compared with objects being destroyed too
    QPointer<DataSet> m_dataSet;
    std::vector<std::function<void()>> m_waiting;
};
