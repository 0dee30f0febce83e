#pragma once
#include <QObject>
#include <QPointer>

class DataSet;
class QTableView;

// After a fetch of a grid's rows failed, the grid shows the rows read before it and reads no
// further by itself. When the user then goes to its end (the scroll bar dragged, paged or wheeled
// to the bottom, the cursor moved to the last row by Down, Page Down or End), the fetch's error is
// told again through the general error report: the rows shown are not the whole result.
class FailedFetchWatch : public QObject {
public:
    FailedFetchWatch(QTableView* grid, DataSet* dataSet);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void tell();

    QTableView* m_grid;
    QPointer<DataSet> m_dataSet;
};
