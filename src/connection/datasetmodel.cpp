#include "connection/datasetmodel.h"
#include "connection/fieldkind.h"
#include "platform/errorreport.h"
#include <QMetaMethod>
#include <QTimer>

namespace {
constexpr int kBlobDisplayChars = 1024;
} // namespace

DataSetModel::DataSetModel(DataSet* dataSet, QObject* parent) : QAbstractTableModel(parent), m_dataSet(dataSet) {
    if (!dataSet) return;
    m_rows = dataSet->rowCount();
    rebuildColumns();
    connect(dataSet, &DataSet::dataReset, this, [this] {
        const Busy busy(this);
        beginResetModel();
        m_rows = m_dataSet ? m_dataSet->rowCount() : 0;
        rebuildColumns();
        endResetModel();
    });
    connect(dataSet, &DataSet::rowsFetched, this, [this](int first, int last) {
        const Busy busy(this);
        if (first != m_rows || last < first) {
            // Out of step (should not happen): start over rather than show wrong rows.
            beginResetModel();
            m_rows = m_dataSet ? m_dataSet->rowCount() : 0;
            endResetModel();
            return;
        }
        beginInsertRows({}, first, last);
        m_rows = last + 1;
        endInsertRows();
    });
    connect(dataSet, &DataSet::rowInserted, this, [this](int row) {
        const Busy busy(this);
        // The dataset holds the new row already; until the view is told, rows keep their old places.
        m_shiftAt = row;
        m_shift = 1;
        beginInsertRows({}, row, row);
        m_shift = 0;
        ++m_rows;
        endInsertRows();
    });
    connect(dataSet, &DataSet::rowRemoved, this, [this](int row) {
        const Busy busy(this);
        m_shiftAt = row;
        m_shift = -1;
        beginRemoveRows({}, row, row);
        m_shift = 0;
        --m_rows;
        endRemoveRows();
    });
    connect(dataSet, &DataSet::rowChanged, this, [this](int row) {
        if (row < 0 || row >= m_rows || m_columns.empty()) return;
        emit dataChanged(index(row, 0), index(row, static_cast<int>(m_columns.size()) - 1));
    });
    connect(dataSet, &DataSet::stateChanged, this, [this](DataSet::State s) {
        // Editable flags follow the state (the row being inserted); views ask for them again.
        const int row = m_dataSet ? m_dataSet->currentRow() : -1;
        if (row >= 0 && row < m_rows && !m_columns.empty())
            emit dataChanged(index(row, 0), index(row, static_cast<int>(m_columns.size()) - 1));
        emit stateChanged(s);
    });
    connect(dataSet, &QObject::destroyed, this, [this] {
        const Busy busy(this);
        beginResetModel();
        m_rows = 0;
        m_columns.clear();
        endResetModel();
    });
}

void DataSetModel::rebuildColumns() {
    m_columns.clear();
    if (!m_dataSet) return;
    for (int i = 0; i < m_dataSet->fieldCount(); ++i)
        if (m_dataSet->field(i)->visible()) m_columns.push_back(i);
}

void DataSetModel::refreshColumns() {
    const Busy busy(this);
    beginResetModel();
    rebuildColumns();
    endResetModel();
}

int DataSetModel::fieldIndex(int column) const {
    return column >= 0 && column < static_cast<int>(m_columns.size()) ? m_columns[column] : -1;
}

int DataSetModel::columnOf(int fieldIndex) const {
    for (size_t c = 0; c < m_columns.size(); ++c)
        if (m_columns[c] == fieldIndex) return static_cast<int>(c);
    return -1;
}

int DataSetModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_rows; }

int DataSetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

int DataSetModel::dataSetRow(int row) const {
    if (m_shift > 0 && row >= m_shiftAt) return row + 1;
    if (m_shift < 0 && row >= m_shiftAt) return row == m_shiftAt ? -1 : row - 1;
    return row;
}

QVariant DataSetModel::data(const QModelIndex& index, int role) const {
    if (!m_dataSet || !index.isValid() || index.row() >= m_rows) return {};
    const int f = fieldIndex(index.column());
    const int row = dataSetRow(index.row());
    if (f < 0 || row < 0 || row >= m_dataSet->rowCount()) return {};
    const Field* field = m_dataSet->field(f);
    if (!field) return {};
    try {
        switch (role) {
        case Qt::DisplayRole: {
            if (m_dataSet->isNull(row, f)) return {};
            return m_dataSet->displayText(row, f, kBlobDisplayChars);
        }
        case Qt::EditRole:
            if (field->kind() == FieldKind::Boolean) return m_dataSet->value(row, f);
            return m_dataSet->editText(row, f);
        case Qt::TextAlignmentRole:
            if (isNumberKind(field->kind()))
                return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
            return {};
        case NullRole:
            return m_dataSet->isNull(row, f);
        case FieldIndexRole:
            return f;
        default:
            return {};
        }
    } catch (const std::exception&) {
        return {}; // a blob that cannot be read shows nothing; reading it again reports the error
    }
}

bool DataSetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    // Not while rows come or go: a view's editor committed then would reach a row in mid-change.
    if (role != Qt::EditRole || m_busy || !(flags(index) & Qt::ItemIsEditable)) return false;
    try {
        setCellValue(index, value);
        return true;
    } catch (const std::exception& e) {
        report(e);
        return false;
    }
}

void DataSetModel::setCellValue(const QModelIndex& index, const QVariant& value) {
    if (!m_dataSet || !index.isValid()) return;
    Field* field = m_dataSet->field(fieldIndex(index.column()));
    if (!field) return;
    if (m_dataSet->currentRow() != index.row()) m_dataSet->setCurrentRow(index.row());
    if (value.typeId() == QMetaType::QString)
        field->setAsString(value.toString());
    else
        field->setValue(value);
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        const Field* field = m_dataSet ? m_dataSet->field(fieldIndex(section)) : nullptr;
        return field ? field->fieldName() : QVariant();
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags DataSetModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags fl = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    const int f = fieldIndex(index.column());
    if (!m_dataSet || f < 0 || !m_dataSet->active()) return fl;
    const Field* field = m_dataSet->field(f);
    if (!field || field->readOnly() || field->kind() == FieldKind::Blob) return fl;
    const bool insertedRow = m_dataSet->state() == DataSet::Insert && dataSetRow(index.row()) == m_dataSet->currentRow();
    if (insertedRow ? m_dataSet->canInsert() : m_dataSet->canModify()) fl |= Qt::ItemIsEditable;
    return fl;
}

bool DataSetModel::canFetchMore(const QModelIndex& parent) const {
    // Not while a change is being announced: rows read then would interleave with it. Not while
    // another thread's statement holds the connection either: the view asks again as it scrolls.
    // Not after a failed fetch: the view would ask on every change of its layout; the windows
    // tell the error again when the user goes to the end (FailedFetchWatch).
    if (m_busy || parent.isValid() || !m_dataSet || !m_dataSet->active() || m_dataSet->allFetched() ||
        m_dataSet->fetchFailed())
        return false;
    const Database* db = m_dataSet->database();
    return !db || db->usableHere();
}

void DataSetModel::fetchMore(const QModelIndex& parent) {
    if (!canFetchMore(parent)) return;
    try {
        m_dataSet->fetchMore(BatchSize);
    } catch (const std::exception& e) {
        report(e);
    }
}

void DataSetModel::report(const std::exception& e) {
    const QString message = errorMessage(e);
    if (isSignalConnected(QMetaMethod::fromSignal(&DataSetModel::errorOccurred))) {
        emit errorOccurred(message);
        return;
    }
    QTimer::singleShot(0, this, [message] { reportError(message); });
}
