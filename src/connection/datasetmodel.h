#pragma once
#include "connection/dataset.h"
#include <QAbstractTableModel>
#include <QPointer>
#include <vector>

// A dataset shown in a grid: one column per visible field (titled with the field name), one row
// per row read so far; more rows are read in batches as the view asks (canFetchMore/fetchMore).
// Cells are editable only when the dataset can write; an edit goes through the dataset's
// edit/field value (the row is posted when the dataset's current row moves, or by post()).
// DisplayRole is the field's text (an invalid QVariant for NULL, so NULL and empty text differ;
// blob cells show at most their first 1024 characters, and only those are read); EditRole is the
// full text as an editor shows it (times with their fraction of a second; a bool for BOOLEAN
// fields); text set through setData is read as Field::setAsString reads it.
class DataSetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int NullRole = Qt::UserRole + 1;    // bool: the cell holds NULL
    static constexpr int FieldIndexRole = Qt::UserRole + 2; // int: the field shown in the column
    static constexpr int BatchSize = 256;

    explicit DataSetModel(DataSet* dataSet, QObject* parent = nullptr);

    DataSet* dataSet() const { return m_dataSet; }
    int fieldIndex(int column) const; // -1 when out of range
    int columnOf(int fieldIndex) const; // -1 when the field is hidden
    // Rebuilds the columns from the fields' visible flags.
    void refreshColumns();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    // As setData, but a value the field does not take raises instead of being reported.
    void setCellValue(const QModelIndex& index, const QVariant& value);
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

signals:
    void stateChanged(DataSet::State state);
    // An error raised by the dataset while the view fetched rows or committed an edit (the toolkit
    // cannot carry exceptions). When nothing is connected, it goes to the general error report
    // once control is back in the event loop.
    void errorOccurred(const QString& message);

private:
    // Marks the announcement of a change (begin ... end signals), during which no rows are read.
    struct Busy {
        DataSetModel* m;
        explicit Busy(DataSetModel* m) : m(m) { ++m->m_busy; }
        ~Busy() { --m->m_busy; }
    };
    void rebuildColumns();
    int dataSetRow(int row) const; // the dataset's row shown at a view row, -1 for a removed one
    void report(const std::exception& e);

    QPointer<DataSet> m_dataSet;
    std::vector<int> m_columns; // field index per column
    int m_rows = 0;             // rows announced to views (the dataset's count, one signal behind)
    int m_busy = 0;
    int m_shiftAt = 0; // while a row insertion or removal is announced: where, and which way
    int m_shift = 0;
};
