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
