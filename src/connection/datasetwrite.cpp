// The dataset's writing side: edit, insert and append (a new row's defaults), post with the
// refresh of computed and defaulted columns, cancel and delete, each UPDATE and DELETE held to one
// row by a savepoint.
#include "connection/columninfo.h"
#include "connection/datasetprivate.h"
#include "connection/fieldkind.h"
#include "connection/fieldvalue.h"
#include "connection/valuecodec.h"
#include <algorithm>

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
