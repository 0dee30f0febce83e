// The fields of an open dataset: what each column is, and the current row's value in it.
#include "connection/columninfo.h"
#include "connection/datasetprivate.h"
#include "connection/fieldkind.h"
#include "connection/fieldvalue.h"
#include "connection/valuecodec.h"
#include <functional>

// ---------------------------------------------------------------------------------------------
// Field

namespace {
const ColumnMeta* metaOf(const DataSetPrivate* d, int index) {
    return index < static_cast<int>(d->cols.size()) ? &d->cols[index] : nullptr;
}
} // namespace

QString Field::fieldName() const {
    const ColumnMeta* m = metaOf(m_dataSet->d.get(), m_index);
    return m ? m->name : QString();
}
QString Field::displayName() const { return fieldName(); }
int Field::index() const { return m_index; }
FieldKind Field::kind() const {
    const ColumnMeta* m = metaOf(m_dataSet->d.get(), m_index);
    return m ? m->layout.kind : FieldKind::Unknown;
}
bool Field::isBlob() const { return isBlobKind(kind()); }
bool Field::isMemo() const { return kind() == FieldKind::Memo; }
bool Field::required() const {
    const ColumnMeta* m = metaOf(m_dataSet->d.get(), m_index);
    return m && m->required;
}
bool Field::readOnly() const {
    const ColumnMeta* m = metaOf(m_dataSet->d.get(), m_index);
    return m && m->readOnly;
}
bool Field::visible() const {
    const ColumnMeta* m = metaOf(m_dataSet->d.get(), m_index);
    return m && m->visible;
}
void Field::setVisible(bool on) {
    if (m_index < static_cast<int>(m_dataSet->d->cols.size())) m_dataSet->d->cols[m_index].visible = on;
}
int Field::size() const {
    const ColumnMeta* m = metaOf(m_dataSet->d.get(), m_index);
    return m ? m->size : 0;
}
int Field::precision() const {
    const ColumnMeta* m = metaOf(m_dataSet->d.get(), m_index);
    return m ? m->precision : 0;
}
bool Field::computed() const {
    const ColumnMeta* m = metaOf(m_dataSet->d.get(), m_index);
    return m && m->computed;
}
bool Field::hasDefault() const {
    const ColumnMeta* m = metaOf(m_dataSet->d.get(), m_index);
    return m && m->hasDefault;
}

bool Field::isNull() const {
    const int row = m_dataSet->currentRow();
    return row < 0 || m_dataSet->isNull(row, m_index);
}
QVariant Field::value() const {
    const int row = m_dataSet->currentRow();
    return row < 0 ? QVariant() : m_dataSet->value(row, m_index);
}
QString Field::asString() const {
    const int row = m_dataSet->currentRow();
    return row < 0 ? QString() : m_dataSet->text(row, m_index);
}
QString Field::editText() const {
    const int row = m_dataSet->currentRow();
    return row < 0 ? QString() : m_dataSet->editText(row, m_index);
}
qint64 Field::storedInteger() const {
    const int row = m_dataSet->currentRow();
    return row < 0 || isNull() ? 0 : m_dataSet->d->currentCell(row, m_index).i;
}
QByteArray Field::blobBytes() const {
    DataSetPrivate* d = m_dataSet->d.get();
    const int row = m_dataSet->currentRow();
    const ColumnMeta* m = metaOf(d, m_index);
    if (row < 0 || !m) return {};
    if (m->layout.kind == FieldKind::Blob) return d->blobOf(d->currentCell(row, m_index));
    return asString().toUtf8();
}

namespace {
// Puts a new value into the row being edited (an automatic edit first in browse state).
void storeValue(DataSet* ds, DataSetPrivate* d, int index, const std::function<Cell(const ColumnMeta&)>& make) {
    const ColumnMeta* m = metaOf(d, index);
    if (!m) d->checkActive();
    if (!d->editing()) ds->edit();
    m = metaOf(d, index);
    if (!m) return;
    if (m->readOnly) throw AppError(QStringLiteral("Field '%1' cannot be modified").arg(m->name));
    d->edit[index] = make(*m);
    d->modified = true;
    emit ds->rowChanged(d->editRow);
}
} // namespace

void Field::setValue(const QVariant& v) {
    storeValue(m_dataSet, m_dataSet->d.get(), m_index,
               [&](const ColumnMeta& m) { return cellFromVariant(m.layout, v, m.name); });
}
void Field::setAsString(const QString& text) {
    storeValue(m_dataSet, m_dataSet->d.get(), m_index,
               [&](const ColumnMeta& m) { return cellFromText(m.layout, text, m.name); });
}
void Field::setBlobBytes(const QByteArray& bytes) {
    storeValue(m_dataSet, m_dataSet->d.get(), m_index, [&](const ColumnMeta& m) {
        if (m.layout.kind == FieldKind::Blob) {
            Cell c;
            c.null = false;
            c.blobChanged = true;
            c.bytes = bytes;
            return c;
        }
        return cellFromText(m.layout, QString::fromUtf8(bytes), m.name);
    });
}
void Field::clear() { setValue(QVariant()); }
