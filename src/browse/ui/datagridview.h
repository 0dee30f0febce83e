#pragma once
#include "connection/dataset.h"
#include <QPointer>
#include <QTableView>

class BrowseCellDelegate;
class DataSetModel;

// The grid of a browse window: a dataset shown through its model, edited in place. What the user
// types into an open cell editor belongs to the row: the dataset has it written into the field
// before the row is posted or left (whichever button or key does it, wherever the focus is), and
// dropped when the row is cancelled. A new row left unchanged is cancelled when the focus moves
// from the grid to another control of the main window (a dialog over it does not count).
class DataGridView : public QTableView, public EditLink {
    Q_OBJECT
public:
    explicit DataGridView(DataSetModel* model, QWidget* parent = nullptr);
    ~DataGridView() override;

    BrowseCellDelegate* cellDelegate() const { return m_delegate; }
    bool editorOpen() const; // a cell editor is open

    void writePendingEdit() override;
    void dropPendingEdit() override;

private:
    void focusMoved(QWidget* old, QWidget* now);

    QPointer<DataSet> m_dataSet;
    BrowseCellDelegate* m_delegate;
    bool m_focusInTransit = false; // the focus left the grid for no widget yet
};
