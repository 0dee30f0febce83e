#include "connection/datasource.h"
#include <algorithm>

DataSource::DataSource(QObject* parent) : QObject(parent) {}

DataSource::~DataSource() = default;

void DataSource::setDataSet(DataSet* dataSet) {
    if (m_dataSet == dataSet) return;
    if (m_dataSet) m_dataSet->disconnect(this);
    m_dataSet = dataSet;
    if (dataSet) {
        connect(dataSet, &DataSet::stateChanged, this, [this](DataSet::State s) {
            emit stateChanged(s);
            // Posted, cancelled or closed: the row's stored values are what the controls show.
            if (s == DataSet::Browse || s == DataSet::Inactive) emit recordChanged();
        });
        connect(dataSet, &DataSet::currentRowChanged, this, [this] { emit recordChanged(); });
        connect(dataSet, &DataSet::dataReset, this, [this] { emit recordChanged(); });
        connect(dataSet, &DataSet::rowChanged, this, &DataSource::rowChanged);
        connect(dataSet, &DataSet::focusField, this, &DataSource::focusField);
        connect(dataSet, &QObject::destroyed, this, [this] {
            emit stateChanged(DataSet::Inactive);
            emit recordChanged();
        });
    }
    emit stateChanged(state());
    emit recordChanged();
}

DataSet::State DataSource::state() const {
    return m_dataSet ? m_dataSet->state() : DataSet::Inactive;
}

bool DataSource::editing() const {
    const DataSet::State s = state();
    return s == DataSet::Edit || s == DataSet::Insert;
}

Field* DataSource::field(int index) const {
    return m_dataSet ? m_dataSet->field(index) : nullptr;
}

Field* DataSource::field(const QString& name) const {
    return m_dataSet ? m_dataSet->findField(name) : nullptr;
}

bool DataSource::canModify(const Field* field) const {
    return field && editing() && !field->readOnly();
}

void DataSource::attach(BoundControl* control) {
    if (std::find(m_controls.begin(), m_controls.end(), control) == m_controls.end())
        m_controls.push_back(control);
}

void DataSource::detach(BoundControl* control) {
    std::erase(m_controls, control);
}

void DataSource::updateRecord() {
    // A copy: a control's write may make another one show its field anew, never come or go.
    const std::vector<BoundControl*> controls = m_controls;
    for (BoundControl* c : controls)
        c->updateData();
}

void DataSource::rowChanged(int row) {
    if (!m_dataSet || row != m_dataSet->currentRow()) return;
    if (editing())
        emit fieldsChanged();
    else
        emit recordChanged(); // re-read after a post
}

bool fieldAcceptsChar(FieldKind kind, QChar c, QChar decimalPoint) {
    const bool sign = c == QLatin1Char('+') || c == QLatin1Char('-');
    const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
    switch (kind) {
    case FieldKind::SmallInt:
    case FieldKind::Integer:
    case FieldKind::LargeInt:
        return digit || sign;
    case FieldKind::BCD:
    case FieldKind::FmtBCD:
        return digit || sign || c == decimalPoint;
    case FieldKind::Float:
        return digit || sign || c == decimalPoint || c == QLatin1Char('E') || c == QLatin1Char('e');
    default:
        return true;
    }
}
