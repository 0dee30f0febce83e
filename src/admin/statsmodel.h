#pragma once
#include "admin/dbstats.h"
#include <QAbstractTableModel>
#include <QColor>
#include <QList>
#include <QVariant>
#include <vector>

// One of the statistics' tables as the window shows it and as it is exported and printed: the
// columns (a title for the grid, a field name for the sheet and the report, and the kind of
// value) and the rows of values. Rows past a limit (transaction gaps) are marked as warnings.
class StatsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        QString title;     // grid header
        QString field;     // field name in exports (no blanks: the report leaves such names out)
        int decimals = -1; // -1 text, 0 integer, n digits after the point
    };

    explicit StatsModel(QObject* parent = nullptr);

    void reset(std::vector<Column> columns, QList<QVariantList> rows, QList<bool> warnings = {});
    const std::vector<Column>& columns() const { return m_columns; }
    QVariant value(int row, int column) const;
    bool warning(int row) const { return row < m_warnings.size() && m_warnings[row]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The warning colours of the grid (text and background, Windows colour values).
    static QColor warningText();
    static QColor warningBackground();

private:
    std::vector<Column> m_columns;
    QList<QVariantList> m_rows;
    QList<bool> m_warnings;
};

// The limit a transaction gap is held against: the sweep interval when there is one, else the
// engine's default interval.
qint64 defaultGapLimit(const HeaderPage& header);

// The three tables of the statistics window.
void fillHeaderModel(StatsModel& model, const HeaderPage& header, qint64 gapLimit);
void fillTablesModel(StatsModel& model, const DbStatistics& stats);
void fillIndexesModel(StatsModel& model, const DbStatistics& stats);
