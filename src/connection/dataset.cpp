#include "connection/dataset.h"
#include "connection/datasetprivate.h"
#include "connection/columninfo.h"
#include "connection/fieldkind.h"
#include "connection/fieldvalue.h"
#include "connection/namedparams.h"
#include "connection/rowdefaults.h"
#include "connection/rowstore.h"
#include "connection/statement.h"
#include "connection/transaction.h"
#include "connection/valuecodec.h"
#include "platform/apperror.h"
#include <QHash>
#include <QSet>
#include <algorithm>
#include <exception>
#include <functional>
#include <limits>
#include <optional>

namespace {
QString trimRight(QString s) {
    while (s.endsWith(' '))
        s.chop(1);
    return s;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Preparing and registering.

void DataSetPrivate::prepare(Database* database, Transaction* transaction) {
    if (select) return;
    try {
        auto st = std::make_unique<Statement>(database, transaction);
        st->prepare(sql[SelectSql].join('\n'));
        select = std::move(st);
        for (int k : {DeleteSql, InsertSql, ModifySql, RefreshSql}) {
            const QString text = sql[k].join('\n');
            if (text.trimmed().isEmpty()) continue;
            ParsedStatement parsed = parseNamedParameters(text);
            auto w = std::make_unique<Statement>(database, transaction);
            w->prepare(parsed.sql);
            writers[k].st = std::move(w);
            writers[k].params = parsed.params;
        }
        buildColumns(database);
    } catch (...) {
        unprepare();
        throw;
    }
}

void DataSetPrivate::buildColumns(Database* database) {
    cols.clear();
    names.clear();
    defaultColumns.clear();
    refreshAfterPost = false;
    hasCursor = select->statementType() == isc_info_sql_stmt_select;
    if (!hasCursor) return; // executed once: no fields
    SqlDa& out = select->out();
    std::vector<ColumnLayout> layouts;
    std::vector<int> vars;
    QHash<QString, QHash<QString, ColumnInfo>> infoByTable;
    for (int i = 0; i < out.count(); ++i) {
        const XSQLVAR& v = out.var(i);
        const FieldKind kind = fieldKindOf(v.sqltype, v.sqlscale, v.sqlsubtype, database->sqlDialect());
        if (kind == FieldKind::Unknown) continue; // arrays have no field
        ColumnMeta m;
        m.var = i;
        m.name = out.name(i);
        ColumnLayout& s = m.layout;
        s.kind = kind;
        s.sqlType = v.sqltype & ~1;
        s.scale = v.sqlscale;
        s.sqlLen = v.sqllen;
        if (kind == FieldKind::String) {
            s.charset = v.sqlsubtype & 0xff;
            s.fixedChar = s.sqlType == SQL_TEXT;
            s.chars = v.sqllen / bytesPerChar(s.charset);
            m.size = s.chars;
        } else if (kind == FieldKind::BCD || kind == FieldKind::FmtBCD) {
            m.size = -v.sqlscale;
            m.precision = decimalPrecision(s.sqlType);
        } else if (isBlobKind(kind)) {
            // Text blobs arrive in the connection's character set, except untranslated ones.
            const int cs = v.sqlscale & 0xff;
            s.blobCharset = isSingleByteCharset(cs) ? cs : 4;
        }
        const QString relation = trimRight(out.relation(i));
        ColumnInfo info;
        if (!relation.isEmpty()) {
            auto it = infoByTable.find(relation);
            if (it == infoByTable.end()) it = infoByTable.insert(relation, computedOrDefaultColumns(database, relation));
            info = it->value(trimRight(out.fieldName(i)));
        }
        m.computed = info.computed;
        m.readOnly = info.computed;
        m.hasDefault = info.hasDefault;
        if (info.hasDefault && !info.computed)
            defaultColumns.push_back(
                {static_cast<int>(cols.size()), relation, trimRight(out.fieldName(i)), m.name, s});
        m.required = !(v.sqltype & 1) && !relation.isEmpty() && !info.hasDefault;
        if (info.computed || info.hasDefault) refreshAfterPost = true;
        layouts.push_back(s);
        vars.push_back(i);
        names.append(m.name);
        cols.push_back(std::move(m));
    }
    store.setLayout(std::move(layouts), std::move(vars));
    while (fieldPool.size() < cols.size()) {
        auto f = std::make_unique<Field>();
        f->m_dataSet = q;
        f->m_index = static_cast<int>(fieldPool.size());
        fieldPool.push_back(std::move(f));
    }
    for (int k = InsertSql; k < SqlCount; ++k) {
        WriteStatement& w = writers[k];
        if (!w.prepared()) continue;
        w.bindings.clear();
        for (const NamedParameter& p : w.params)
            w.bindings.push_back(resolveParameter(p, names));
        w.outField.clear();
        if (k == RefreshSql)
            for (int j = 0; j < w.st->out().count(); ++j)
                w.outField.push_back(static_cast<int>(names.indexOf(w.st->out().name(j))));
    }
    refreshAfterPost = refreshAfterPost && writers[RefreshSql].prepared();
}

void DataSetPrivate::unprepare() {
    select.reset();
    for (WriteStatement& w : writers)
        w = WriteStatement{};
    cols.clear();
    names.clear();
    defaultColumns.clear();
    defaults.reset();
    refreshAfterPost = false;
    unregister();
}

void DataSetPrivate::registerWith(Database* database, Transaction* transaction) {
    if (regDb != database) {
        if (regDb) regDb->detach(q);
        regDb = database;
        database->attach(q);
    }
    if (regTr != transaction) {
        if (regTr) regTr->detach(q);
        regTr = transaction;
        transaction->attach(q);
    }
}

void DataSetPrivate::unregister() {
    if (regDb) regDb->detach(q);
    if (regTr) regTr->detach(q);
    regDb = nullptr;
    regTr = nullptr;
}

void DataSetPrivate::closeRows() {
    stopReading();
    if (select) select->closeCursor();
    for (WriteStatement& w : writers)
        if (w.st) w.st->closeCursor();
    store.clear();
    edit.clear();
    editRow = -1;
    modified = false;
    allFetched = true;
    fetchError = nullptr;
    current = -1;
    bof = eof = true;
    blobCache.clear();
    blobCacheBytes = 0;
    blobHeads.clear();
    blobHeadBytes = 0;
    rowsAffected = 0;
}

// ---------------------------------------------------------------------------------------------
// Reading.

int DataSetPrivate::fetch(int count, bool notify) {
    if (!active) return 0;
    // The cursor belongs to the read in the background until it ends.
    if (reading() && count > 0 && !allFetched) throw AppError(connectionBusyMessage());
    return fetchRows(count, notify);
}

int DataSetPrivate::fetchRows(int count, bool notify) {
    if (fetchError && count > 0) std::rethrow_exception(fetchError);
    if (allFetched || count <= 0) return 0;
    const int first = store.count();
    int added = 0;
    try {
        while (added < count) {
            if (!select->fetch()) {
                allFetched = true;
                select->closeCursor();
                break;
            }
            store.appendFetched(select->out());
            ++added;
        }
    } catch (...) {
        // A cursor that failed once is not read again: the rows so far stay, the rest is given up
        // and the error stays with the result.
        allFetched = true;
        fetchError = std::current_exception();
        select->closeCursor();
        if (added > 0 && notify) emit q->rowsFetched(first, first + added - 1);
        throw;
    }
    if (added > 0 && notify) emit q->rowsFetched(first, first + added - 1);
    return added;
}

Cell DataSetPrivate::currentCell(int row, int field) const {
    if (editing() && row == editRow) return edit[field];
    return store.cell(row, field);
}

QByteArray DataSetPrivate::blobContent(quint64 id) {
    auto it = blobCache.constFind(id);
    if (it != blobCache.constEnd()) return *it;
    Transaction* t = transaction();
    if (!db || !t) fail(QStringLiteral("Cannot perform this operation on a closed dataset"));
    const QByteArray data = readBlob(db, t, blobIdFromInt(id));
    if (blobCacheBytes + data.size() > kBlobCacheLimit) {
        blobCache.clear();
        blobCacheBytes = 0;
    }
    blobCache.insert(id, data);
    blobCacheBytes += data.size();
    return data;
}

QByteArray DataSetPrivate::blobOf(const Cell& c) {
    if (c.null) return {};
    return c.blobChanged ? c.bytes : blobContent(static_cast<quint64>(c.i));
}

QByteArray DataSetPrivate::blobHead(const Cell& c, qsizetype bytes) {
    if (c.null) return {};
    if (c.blobChanged) return c.bytes.left(bytes);
    const auto id = static_cast<quint64>(c.i);
    if (auto it = blobCache.constFind(id); it != blobCache.constEnd()) return it->left(bytes);
    if (auto it = blobHeads.constFind(id);
        it != blobHeads.constEnd() && (it->whole || it->bytes.size() >= bytes))
        return it->bytes.left(bytes);
    Transaction* t = transaction();
    if (!db || !t) fail(QStringLiteral("Cannot perform this operation on a closed dataset"));
    BlobHead head;
    head.bytes = readBlob(db, t, blobIdFromInt(id), bytes + 1); // one more tells whether it ends
    head.whole = head.bytes.size() <= bytes;
    if (blobHeadBytes + head.bytes.size() > kBlobHeadCacheLimit) {
        blobHeads.clear();
        blobHeadBytes = 0;
    }
    blobHeadBytes += head.bytes.size();
    return blobHeads.insert(id, head)->bytes.left(bytes);
}

// Leaves edit or insert state before the current row moves: posts a changed row, drops another.
void DataSetPrivate::checkBrowseMode() {
    if (!editing()) return;
    q->updateRecord();
    if (!editing()) return;
    if (modified)
        q->post();
    else
        q->cancel();
}

// ---------------------------------------------------------------------------------------------
// Writing.

void DataSetPrivate::bind(WriteStatement& w, int row, const std::vector<Cell>* currentValues, bool oldIsNull) {
    SqlDa& in = w.st->in();
    for (int i = 0; i < in.count(); ++i) {
        const ParameterBinding b = i < static_cast<int>(w.bindings.size()) ? w.bindings[i] : ParameterBinding{};
        if (b.field < 0) {
            in.setValue(i, QVariant());
            continue;
        }
        const ColumnLayout& layout = cols[b.field].layout;
        Cell c;
        if (b.oldValue)
            c = oldIsNull ? Cell{} : store.cell(row, b.field);
        else
            c = currentValues ? (*currentValues)[b.field] : store.cell(row, b.field);
        in.setValue(i, bindValueOf(layout, c));
    }
}

// An UPDATE or DELETE written for one row must change that row alone. One that finds no row (the
// row was changed or deleted meanwhile, or a value no longer compares equal) or several (twins in
// a table without a key) is undone and refused: the user is told, and the row in memory stays.
void DataSetPrivate::executeOnOneRow(WriteStatement& w, bool deleting) {
    const int type = w.st->statementType();
    if (type != isc_info_sql_stmt_update && type != isc_info_sql_stmt_delete) {
        w.st->execute();
        return;
    }
    Transaction* t = transaction();
    const auto run = [&](const char* sql) { executeImmediate(db, t, QString::fromLatin1(sql)); };
    run("SAVEPOINT FBADMIN_ONE_ROW");
    qint64 rows = 0;
    try {
        w.st->execute();
        const Statement::RecordCounts n = w.st->recordCounts();
        rows = type == isc_info_sql_stmt_delete ? n.deleted : n.updated;
        if (rows != 1) run("ROLLBACK TO SAVEPOINT FBADMIN_ONE_ROW");
        run("RELEASE SAVEPOINT FBADMIN_ONE_ROW");
    } catch (...) {
        try {
            run("RELEASE SAVEPOINT FBADMIN_ONE_ROW"); // the failed statement undid itself
        } catch (...) {
        }
        throw;
    }
    if (rows == 0)
        throw AppError(
            deleting ? QStringLiteral("O registro não foi excluído: ele não foi encontrado na tabela (pode "
                                      "ter sido alterado ou excluído por outro usuário).")
                     : QStringLiteral("O registro não foi gravado: ele não foi encontrado na tabela (pode "
                                      "ter sido alterado ou excluído por outro usuário)."));
    if (rows > 1)
        throw AppError(
            (deleting ? QStringLiteral("O registro não foi excluído: %1 registros da tabela são iguais a ele "
                                       "e seriam todos excluídos.")
                      : QStringLiteral("O registro não foi gravado: %1 registros da tabela são iguais a ele "
                                       "e seriam todos alterados."))
                .arg(rows));
}

void DataSetPrivate::refreshRow(int row) {
    WriteStatement& w = writers[RefreshSql];
    bind(w, row, nullptr, false);
    w.st->execute();
    std::vector<Cell> cells = store.cells(row);
    bool found = false;
    try {
        found = w.st->returnsRows() ? w.st->fetch() : true;
        if (found) {
            SqlDa& out = w.st->out();
            for (int j = 0; j < out.count() && j < static_cast<int>(w.outField.size()); ++j) {
                const int f = w.outField[j];
                if (f < 0) continue;
                const ColumnLayout& layout = cols[f].layout;
                const XSQLVAR& v = out.var(j);
                const bool sameKind = (v.sqltype & ~1) == layout.sqlType && v.sqlscale == layout.scale &&
                                      (layout.kind != FieldKind::String || (v.sqlsubtype & 0xff) == layout.charset);
                cells[f] = sameKind ? RowStore::cellFromVar(layout, v)
                                    : cellFromVariant(layout, out.value(j), cols[f].name);
            }
        }
    } catch (...) {
        w.st->closeCursor();
        throw;
    }
    w.st->closeCursor();
    if (found) store.setRow(row, cells);
}

// A new empty row before the current one, or after the last (every row read first).
void DataSetPrivate::startInsert(bool atEnd) {
    checkActive();
    checkBrowseMode();
    if (!hasWriters()) fail(QStringLiteral("Cannot modify a read-only dataset"));
    if (!writers[InsertSql].prepared()) throw AppError(QStringLiteral("Cannot insert into dataset. (No insert query)"));
    if (atEnd) q->fetchAll();
    // The new row shows the defaults the server would give it; they do not count as changes.
    std::vector<Cell> cells(cols.size());
    defaults.apply(db, transaction(), defaultColumns, cells);
    const int at = atEnd ? store.count() : std::max(current, 0);
    // The row to go back to on cancel: for an insert, the old current row, back at `at` then.
    rowBeforeInsert = atEnd || current < 0 ? current : at;
    store.insertEmpty(at);
    edit = std::move(cells);
    editRow = at;
    modified = false;
    current = at;
    bof = eof = false;
    emit q->rowInserted(at);
    setState(DataSet::Insert);
    emit q->currentRowChanged(at);
}

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

// ---------------------------------------------------------------------------------------------
// DataSet

DataSet::DataSet(QObject* parent) : QObject(parent), d(std::make_unique<DataSetPrivate>(this)) {}

DataSet::~DataSet() {
    d->destroying = true;
    d->active = false;
    d->closeRows();
    d->unprepare();
}

Database* DataSet::database() const { return d->db; }
void DataSet::setDatabase(Database* db) {
    if (d->db == db) return;
    close();
    d->unprepare();
    d->db = db;
}
Transaction* DataSet::transaction() const { return d->transaction(); }
void DataSet::setTransaction(Transaction* tr) {
    if (d->tr == tr) return;
    close();
    d->unprepare();
    d->tr = tr;
}

namespace {
void setSql(DataSet* ds, DataSetPrivate* d, int which, const QStringList& lines) {
    if (d->sql[which] == lines) return;
    ds->close();
    d->unprepare();
    d->sql[which] = lines;
}
} // namespace

QStringList DataSet::selectSQL() const { return d->sql[SelectSql]; }
void DataSet::setSelectSQL(const QStringList& lines) { setSql(this, d.get(), SelectSql, lines); }
QStringList DataSet::insertSQL() const { return d->sql[InsertSql]; }
void DataSet::setInsertSQL(const QStringList& lines) { setSql(this, d.get(), InsertSql, lines); }
QStringList DataSet::modifySQL() const { return d->sql[ModifySql]; }
void DataSet::setModifySQL(const QStringList& lines) { setSql(this, d.get(), ModifySql, lines); }
QStringList DataSet::deleteSQL() const { return d->sql[DeleteSql]; }
void DataSet::setDeleteSQL(const QStringList& lines) { setSql(this, d.get(), DeleteSql, lines); }
QStringList DataSet::refreshSQL() const { return d->sql[RefreshSql]; }
void DataSet::setRefreshSQL(const QStringList& lines) { setSql(this, d.get(), RefreshSql, lines); }

void DataSet::open() {
    if (d->active) return;
    beginOpen();
    try {
        serverOpen(1); // positioned on the first row; views learn of it by the reset
    } catch (...) {
        abandonOpen();
        throw;
    }
    endOpen();
}

void DataSet::beginOpen() {
    if (d->active) return;
    Database* db = d->db;
    if (!db) throw AppError(QStringLiteral("Database not assigned"));
    Transaction* tr = d->transaction();
    if (!tr) throw AppError(QStringLiteral("Transaction not assigned"));
    if (!db->connected()) db->setConnected(true);
    tr->ensureActive();
    const QString text = d->sql[SelectSql].join('\n');
    if (text.isEmpty()) throw AppError(QStringLiteral("Empty query"));
    if (text.trimmed().isEmpty()) throw AppError(QStringLiteral("Empty SQL Statement"));
    // Statements prepared for another connection or transaction (one since replaced or gone) are
    // prepared again.
    if (d->select && (d->regDb != db || d->regTr != tr)) d->unprepare();
    d->pendingDb = db;
    d->pendingTr = tr;
}

void DataSet::serverOpen(int rows) {
    if (d->active || !d->pendingDb || !d->pendingTr)
        throw AppError(QStringLiteral("Dataset not being opened"));
    d->prepare(d->pendingDb, d->pendingTr);
    d->select->execute();
    if (d->hasCursor) {
        d->allFetched = false;
        d->fetchRows(rows, false);
    } else {
        // Executed once; an open cursor (SELECT ... FOR UPDATE) is not read.
        d->select->closeCursor();
        d->rowsAffected = d->select->rowsAffected();
        d->allFetched = true;
    }
}

void DataSet::endOpen() {
    if (d->active || !d->select) return;
    d->registerWith(d->pendingDb, d->pendingTr);
    d->pendingDb = nullptr;
    d->pendingTr = nullptr;
    d->active = true;
    d->current = d->store.count() > 0 ? 0 : -1;
    d->bof = true;
    d->eof = d->store.count() == 0;
    for (ColumnMeta& m : d->cols)
        m.visible = true;
    emit dataReset();
    d->setState(Browse);
    emit currentRowChanged(d->current);
}

void DataSet::abandonOpen() {
    if (d->active) return;
    d->closeRows();
    // Statements prepared on the way are not known to their transaction yet: they go too.
    if (d->select && (d->regDb != d->pendingDb || d->regTr != d->pendingTr || !d->regDb)) d->unprepare();
    d->pendingDb = nullptr;
    d->pendingTr = nullptr;
}

QString DataSet::plan() const {
    return d->select ? d->select->plan() : QString();
}

void DataSet::close() {
    if (!d->active) return;
    d->active = false;
    d->closeRows();
    emit dataReset();
    d->setState(Inactive);
    emit currentRowChanged(-1);
}

bool DataSet::active() const { return d->active; }
void DataSet::setActive(bool on) { on ? open() : close(); }
DataSet::State DataSet::state() const { return d->state; }
bool DataSet::modified() const { return d->editing() && d->modified; }
bool DataSet::hasCursor() const { return d->active && d->hasCursor; }
qint64 DataSet::rowsAffected() const { return d->rowsAffected; }

void DataSet::closeAttached() {
    try {
        close();
    } catch (...) {
        // A view's handler failed while reacting to the close; the dataset is closed regardless.
    }
    d->closeRows();
    d->unprepare();
}

int DataSet::rowCount() const { return d->rowCount(); }
bool DataSet::allFetched() const { return !d->active || (d->allFetched && !d->fetchError); }
bool DataSet::fetchFailed() const { return d->active && d->fetchError; }
int DataSet::fetchMore(int count) { return d->fetch(count); }
void DataSet::fetchAll() { d->fetch(std::numeric_limits<int>::max()); }
qint64 DataSet::memoryUsed() const { return static_cast<qint64>(d->store.memoryUsed()); }

int DataSet::currentRow() const { return d->active ? d->current : -1; }

void DataSet::setCurrentRow(int row) {
    d->checkActive();
    if (row < 0) return;
    if (row >= d->store.count()) d->fetch(row - d->store.count() + 1);
    row = std::min(row, d->store.count() - 1);
    if (row < 0 || row == d->current) return;
    if (d->state == Insert && !d->modified && row > d->editRow) --row; // the new row goes away
    d->checkBrowseMode();
    d->bof = d->eof = false;
    d->setCurrent(std::min(row, d->store.count() - 1));
}

int DataSet::recNo() const { return currentRow() + 1; }

void DataSet::first() {
    d->checkActive();
    d->checkBrowseMode();
    d->setCurrent(d->store.count() > 0 ? 0 : -1);
    d->bof = true;
    d->eof = d->store.count() == 0;
}

void DataSet::next() {
    d->checkActive();
    d->checkBrowseMode();
    if (d->current + 1 >= d->store.count()) d->fetch(kNextBatch);
    if (d->current + 1 < d->store.count()) {
        d->setCurrent(d->current + 1);
        d->bof = d->eof = false;
    } else {
        d->eof = true;
    }
}

void DataSet::prior() {
    d->checkActive();
    d->checkBrowseMode();
    if (d->current > 0) {
        d->setCurrent(d->current - 1);
        d->bof = d->eof = false;
    } else {
        d->bof = true;
    }
}

void DataSet::last() {
    d->checkActive();
    d->checkBrowseMode();
    fetchAll();
    d->setCurrent(d->store.count() - 1);
    d->eof = true;
    d->bof = d->store.count() == 0;
}

bool DataSet::eof() const { return !d->active || d->eof; }
bool DataSet::bof() const { return !d->active || d->bof; }
bool DataSet::isEmpty() const { return d->rowCount() == 0; }

int DataSet::fieldCount() const { return d->active ? static_cast<int>(d->cols.size()) : 0; }
Field* DataSet::field(int index) const {
    if (index < 0 || index >= fieldCount()) return nullptr;
    return d->fieldPool[index].get();
}
Field* DataSet::findField(const QString& name) const {
    if (!d->active) return nullptr;
    int i = static_cast<int>(d->names.indexOf(name));
    if (i < 0)
        for (int k = 0; k < d->names.size() && i < 0; ++k)
            if (d->names[k].compare(name, Qt::CaseInsensitive) == 0) i = k;
    return i < 0 ? nullptr : d->fieldPool[i].get();
}
Field* DataSet::fieldByName(const QString& name) const {
    Field* f = findField(name);
    if (!f) throw AppError(QStringLiteral("Field '%1' not found").arg(name));
    return f;
}
QStringList DataSet::fieldDefNames() const { return d->names; }

bool DataSet::isNull(int row, int field) const {
    if (!d->active || row < 0 || row >= d->store.count() || field < 0 || field >= fieldCount()) return true;
    if (d->editing() && row == d->editRow) return d->edit[field].null;
    return d->store.isNull(row, field);
}

QVariant DataSet::value(int row, int field) const {
    if (isNull(row, field)) return {};
    const ColumnLayout& layout = d->cols[field].layout;
    const Cell c = d->currentCell(row, field);
    switch (layout.kind) {
    case FieldKind::Memo: {
        const QByteArray content = d->blobOf(c);
        return decodeText(content.constData(), static_cast<int>(content.size()), layout.blobCharset);
    }
    case FieldKind::Blob:
        return d->blobOf(c);
    default:
        return variantOf(layout, c);
    }
}

QString DataSet::text(int row, int field) const {
    if (isNull(row, field)) return {};
    const ColumnLayout& layout = d->cols[field].layout;
    if (layout.kind == FieldKind::String && !(d->editing() && row == d->editRow))
        return textOfBytes(layout, d->store.textBytes(row, field));
    switch (layout.kind) {
    case FieldKind::Memo:
        return value(row, field).toString();
    case FieldKind::Blob:
        return QString::fromLatin1(d->blobOf(d->currentCell(row, field)));
    default:
        return textOf(layout, d->currentCell(row, field));
    }
}

QString DataSet::displayText(int row, int field, int maxChars) const {
    if (isNull(row, field)) return {};
    const ColumnLayout& layout = d->cols[field].layout;
    if (!isBlobKind(layout.kind)) return text(row, field);
    // A character takes at most 4 bytes of UTF-8: that many bytes hold maxChars whole ones.
    const bool memo = layout.kind == FieldKind::Memo;
    const qsizetype bytes =
        memo && !isSingleByteCharset(layout.blobCharset) ? qsizetype(maxChars) * 4 : maxChars;
    const QByteArray head = d->blobHead(d->currentCell(row, field), bytes);
    QString t = memo ? decodeText(head.constData(), static_cast<int>(head.size()), layout.blobCharset)
                     : QString::fromLatin1(head);
    t.truncate(maxChars);
    return t;
}

QString DataSet::editText(int row, int field) const {
    if (isNull(row, field)) return {};
    const ColumnLayout& layout = d->cols[field].layout;
    if (layout.kind != FieldKind::Time && layout.kind != FieldKind::DateTime) return text(row, field);
    return editTextOf(layout, d->currentCell(row, field));
}

bool DataSet::canInsert() const { return d->active && d->writers[InsertSql].prepared(); }
bool DataSet::canModify() const { return d->active && d->writers[ModifySql].prepared(); }
bool DataSet::canDelete() const { return d->active && d->writers[DeleteSql].prepared(); }

void DataSet::edit() {
    d->checkActive();
    if (d->editing()) return;
    if (d->store.count() == 0) {
        insert();
        return;
    }
    if (!d->hasWriters()) d->fail(QStringLiteral("Cannot modify a read-only dataset"));
    if (!canModify()) throw AppError(QStringLiteral("Cannot update. (No update query)"));
    d->edit = d->store.cells(d->current);
    d->editRow = d->current;
    d->modified = false;
    d->setState(Edit);
}

void DataSet::insert() {
    d->startInsert(false);
}

void DataSet::append() {
    d->startInsert(true);
}

void DataSet::addEditLink(EditLink* link) {
    if (std::find(d->links.begin(), d->links.end(), link) == d->links.end()) d->links.push_back(link);
}

void DataSet::removeEditLink(EditLink* link) {
    d->links.erase(std::remove(d->links.begin(), d->links.end(), link), d->links.end());
}

void DataSet::updateRecord() {
    if (!d->active || !d->editing() || d->updatingRecord) return;
    d->updatingRecord = true;
    try {
        for (EditLink* link : std::vector<EditLink*>(d->links))
            link->writePendingEdit();
    } catch (...) {
        d->updatingRecord = false;
        throw;
    }
    d->updatingRecord = false;
}

void DataSet::post() {
    if (!d->active || !d->editing()) {
        if (d->active && d->state == Browse) return;
        throw AppError(QStringLiteral("Dataset not in edit or insert mode"));
    }
    // 0. What the views hold for the row goes into its fields first.
    updateRecord();
    if (!d->editing()) return;
    // 1. Required fields, in field order.
    for (int i = 0; i < static_cast<int>(d->cols.size()); ++i) {
        const ColumnMeta& m = d->cols[i];
        if (m.required && !m.readOnly && d->edit[i].null) {
            emit focusField(i);
            throw AppError(QStringLiteral("Field '%1' must have a value").arg(m.name));
        }
    }
    const bool inserting = d->state == Insert;
    WriteStatement& w = d->writers[inserting ? InsertSql : ModifySql];
    if (!w.prepared())
        throw AppError(inserting ? QStringLiteral("Cannot insert into dataset. (No insert query)")
                                 : QStringLiteral("Cannot update. (No update query)"));
    const int row = d->editRow;
    // 2. Changed blobs become new blobs; the values bound are their identifiers. The edit itself
    //    keeps the content until the post succeeds, so a rejected post can be corrected and repeated.
    std::vector<Cell> values = d->edit;
    for (size_t i = 0; i < values.size(); ++i) {
        Cell& c = values[i];
        if (!isBlobKind(d->cols[i].layout.kind) || !c.blobChanged || c.null) continue;
        c.i = static_cast<qint64>(blobIdToInt(writeBlob(d->db, d->transaction(), c.bytes)));
    }
    // 3. Bind by name and execute once.
    d->bind(w, row, &values, inserting);
    d->executeOnOneRow(w, false);
    // 4. The posted values become the row's values as last read.
    for (size_t i = 0; i < values.size(); ++i) {
        Cell& c = values[i];
        if (!c.blobChanged) continue;
        if (!c.null) {
            d->blobCache.insert(static_cast<quint64>(c.i), c.bytes);
            d->blobCacheBytes += c.bytes.size();
        }
        c.blobChanged = false;
        c.bytes.clear();
    }
    d->store.setRow(row, values);
    d->edit.clear();
    d->editRow = -1;
    d->modified = false;
    d->setState(Browse);
    emit rowChanged(row);
    // 5. Computed and defaulted columns are read back.
    if (d->refreshAfterPost) {
        d->refreshRow(row);
        emit rowChanged(row);
    }
}

void DataSet::cancel() {
    if (!d->active || !d->editing()) return;
    d->dropPendingEdits(); // what the views hold for the row goes with it
    const int row = d->editRow;
    if (d->state == Edit) {
        d->edit.clear();
        d->editRow = -1;
        d->modified = false;
        d->setState(Browse);
        emit rowChanged(row);
        return;
    }
    d->store.remove(row);
    d->edit.clear();
    d->editRow = -1;
    d->modified = false;
    d->current = -1;
    emit rowRemoved(row);
    d->setState(Browse);
    const int back = std::min(d->rowBeforeInsert, d->store.count() - 1);
    d->current = back;
    emit currentRowChanged(back);
}

void DataSet::remove() {
    d->checkActive();
    if (d->state == Insert) {
        cancel();
        return;
    }
    if (d->store.count() == 0 || d->current < 0)
        d->fail(QStringLiteral("Cannot perform this operation on an empty dataset"));
    if (!d->hasWriters()) d->fail(QStringLiteral("Cannot modify a read-only dataset"));
    if (!canDelete()) throw AppError(QStringLiteral("Cannot delete from dataset. (No delete query)"));
    if (d->editing()) d->dropPendingEdits();
    const int row = d->current;
    WriteStatement& w = d->writers[DeleteSql];
    d->bind(w, row, nullptr, false); // the row as read: edits in progress do not count
    d->executeOnOneRow(w, true);
    d->edit.clear();
    d->editRow = -1;
    d->modified = false;
    d->store.remove(row);
    d->current = -1;
    emit rowRemoved(row);
    d->setState(Browse);
    if (row >= d->store.count() && !d->fetchError) d->fetch(1); // a failed result is told by its readers
    const int next = std::min(row, d->store.count() - 1);
    d->current = next;
    d->bof = d->eof = d->store.count() == 0;
    emit currentRowChanged(next);
}

// ---------------------------------------------------------------------------------------------
// Locate

namespace {
bool isAsciiUpperPrefix(QByteArrayView value, const QByteArray& needleUpper, bool partial, bool* decided) {
    // Compares ASCII bytes directly; anything else is left to the decoding comparison.
    if (!partial && value.size() != needleUpper.size()) {
        // Lengths of ASCII texts must agree; a non-ASCII value may still match after case mapping.
        for (char ch : value)
            if (static_cast<unsigned char>(ch) >= 0x80) {
                *decided = false;
                return false;
            }
        *decided = true;
        return false;
    }
    if (value.size() < needleUpper.size()) {
        for (char ch : value)
            if (static_cast<unsigned char>(ch) >= 0x80) {
                *decided = false;
                return false;
            }
        *decided = true;
        return false;
    }
    for (qsizetype i = 0; i < needleUpper.size(); ++i) {
        const auto b = static_cast<unsigned char>(value[i]);
        if (b >= 0x80) {
            *decided = false;
            return false;
        }
        const char up = (b >= 'a' && b <= 'z') ? static_cast<char>(b - 32) : static_cast<char>(b);
        if (up != needleUpper[i]) {
            *decided = true;
            return false;
        }
    }
    *decided = true;
    return true;
}
} // namespace

// The test that locate() puts to one row, built once; empty when no row can match.
std::function<bool(int)> DataSetPrivate::rowTest(int fi, const QVariant& value, int options) {
    const ColumnLayout layout = cols[fi].layout;
    const bool ci = options & DataSet::CaseInsensitive;
    const bool partial = options & DataSet::PartialKey;
    const bool searchNull = !value.isValid() || value.isNull();

    std::function<bool(int)> test;
    if (searchNull) {
        test = [this, fi](int r) { return q->isNull(r, fi); };
    } else if (layout.kind == FieldKind::String) {
        // A CHAR value is its text padded to the column's length, and the searched text keeps its
        // blanks: only a prefix without trailing blanks can be compared on the stored bytes.
        QString needle = value.toString();
        if (ci) needle = needle.toUpper();
        bool asciiNeedle = ci && !(layout.fixedChar && (!partial || needle.endsWith(' ')));
        for (QChar ch : needle)
            if (ch.unicode() >= 0x80) asciiNeedle = false;
        const QByteArray needleBytes = needle.toLatin1();
        test = [=, this](int r) {
            if (q->isNull(r, fi)) return false;
            if (asciiNeedle && !(editing() && r == editRow)) {
                bool decided = false;
                const bool hit = isAsciiUpperPrefix(store.textBytes(r, fi), needleBytes, partial, &decided);
                if (decided) return hit;
            }
            QString v = q->text(r, fi);
            if (ci) v = v.toUpper();
            return partial ? v.startsWith(needle) : v == needle;
        };
    } else if (layout.kind == FieldKind::Date || layout.kind == FieldKind::Time ||
               layout.kind == FieldKind::DateTime) {
        // The searched text is read as a date or time; when it does not read, nothing matches.
        qint64 target = 0;
        qint64 unit = 10; // compare at the precision the searched value gives (a QTime: milliseconds)
        const int type = value.typeId();
        QDate date;
        QTime time(0, 0);
        bool hasTime = false;
        bool ok = true;
        if (type == QMetaType::QDate) {
            date = value.toDate();
        } else if (type == QMetaType::QTime) {
            time = value.toTime();
            hasTime = true;
        } else if (type == QMetaType::QDateTime) {
            date = value.toDateTime().date();
            time = value.toDateTime().time();
            hasTime = true;
        } else if (layout.kind == FieldKind::Time) {
            ok = parseTime(value.toString(), &time);
            hasTime = true;
            if (ok) unit = time.msec() == 0 ? 10000 : 10;
        } else {
            ok = parseDateTime(value.toString(), &date, &time, &hasTime);
            if (ok) unit = time.msec() == 0 ? 10000 : 10;
        }
        if (layout.kind == FieldKind::Date) ok = ok && date.isValid() && (!hasTime || time == QTime(0, 0));
        else if (layout.kind == FieldKind::Time) ok = ok && time.isValid();
        else ok = ok && date.isValid() && time.isValid();
        if (!ok) return {}; // no row matches
        const qint64 ticks = static_cast<qint64>(time.msecsSinceStartOfDay()) * 10;
        if (layout.kind == FieldKind::Date) target = qDateToIscDate(date);
        else if (layout.kind == FieldKind::Time) target = ticks;
        else target = static_cast<qint64>(qDateToIscDate(date)) * kTicksPerDay + ticks;
        if (layout.kind == FieldKind::Date) unit = 1;
        test = [=, this](int r) {
            if (q->isNull(r, fi)) return false;
            const qint64 v = currentCell(r, fi).i;
            const auto floorDiv = [](qint64 a, qint64 b) { return a / b - ((a % b) < 0 ? 1 : 0); };
            return floorDiv(v, unit) == floorDiv(target, unit);
        };
    } else if (layout.kind == FieldKind::Memo) {
        // A text blob is no character field: its whole text equals the searched one, case and all.
        const QString wanted = value.toString();
        test = [=, this](int r) { return !q->isNull(r, fi) && q->value(r, fi).toString() == wanted; };
    } else if (layout.kind == FieldKind::Blob) {
        const QByteArray wanted = value.typeId() == QMetaType::QByteArray ? value.toByteArray()
                                                                          : value.toString().toLatin1();
        test = [=, this](int r) { return !q->isNull(r, fi) && blobOf(currentCell(r, fi)) == wanted; };
    } else if (value.typeId() == QMetaType::QString) {
        // Numbers and booleans searched with a text: the value written as text equals it exactly
        // ("01" does not find 1, "12,5" not 12,50).
        const QString wanted = value.toString();
        test = [=, this](int r) { return !q->isNull(r, fi) && q->text(r, fi) == wanted; };
    } else {
        // Numbers and booleans searched with a number: the searched value converted to the field's
        // type, compared exactly; a value that does not convert is compared with the field's text.
        std::optional<Cell> target;
        try {
            target = cellFromVariant(layout, value, cols[fi].name);
        } catch (const AppError&) {
        }
        const QString wantedText = value.toString();
        const bool isFloat = layout.sqlType == SQL_FLOAT || layout.sqlType == SQL_DOUBLE || layout.sqlType == SQL_D_FLOAT;
        test = [=, this](int r) {
            if (q->isNull(r, fi)) return false;
            if (target && !target->null) {
                const Cell c = currentCell(r, fi);
                if (isFloat) return c.f == target->f || (layout.sqlType == SQL_FLOAT && float(c.f) == float(target->f));
                return c.i == target->i;
            }
            return q->text(r, fi) == wantedText;
        };
    }

    return test;
}

bool DataSet::locate(const QString& fieldName, const QVariant& value, int options) {
    d->checkActive();
    Field* f = fieldByName(fieldName);
    const int fi = f->index();
    d->checkBrowseMode();
    const std::function<bool(int)> test = d->rowTest(fi, value, options);
    if (!test) return false;
    for (int r = 0;; ++r) {
        if (r >= d->store.count()) {
            if (allFetched() || d->fetch(kLocateBatch) == 0) break;
        }
        if (test(r)) {
            if (r != d->current) {
                d->bof = d->eof = false;
                d->setCurrent(r);
            }
            return true;
        }
    }
    return false;
}

int DataSet::findRow(const QString& fieldName, const QVariant& value, int options, int from) const {
    d->checkActive();
    const int fi = fieldByName(fieldName)->index();
    const std::function<bool(int)> test = d->rowTest(fi, value, options);
    if (!test) return -1;
    for (int r = std::max(from, 0); r < d->store.count(); ++r)
        if (test(r)) return r;
    return -1;
}
