// Reading the rest of a result on the connection's job thread, in batches that join the rows on
// the dataset's own thread as they come.
#include "connection/connectionjob.h"
#include "connection/datasetprivate.h"
#include <QElapsedTimer>
#include <QMetaObject>

namespace {
// A batch ends at this many rows or after this long, whichever comes first: the rows show up
// while they are read, and joining one batch never holds the windows long.
constexpr int kBatchRows = 16384;
constexpr qint64 kBatchMs = 50;
constexpr int kCheckEvery = 256; // rows between looks at the clock and at a stop asked for
} // namespace

bool DataSetPrivate::reading() const {
    return reader && reader->running();
}

void DataSetPrivate::stopReading() {
    if (!reading()) return;
    readStop = true;
    ++readGeneration; // batches still on their way belong to a result that is gone
    reader->finishNow();
}

void DataSetPrivate::takeBatch(RowStore& batch, quint64 generation) {
    if (generation != readGeneration || !active || batch.count() == 0) return;
    const int first = store.count();
    store.appendRows(batch);
    emit q->rowsFetched(first, store.count() - 1);
}

void DataSetPrivate::readEnded(std::exception_ptr error, quint64 generation) {
    DataSet::FetchEnd end = DataSet::FetchCancelled;
    if (generation == readGeneration && active) {
        if (error) {
            // As any failed fetch: the rows read stay, and the error stays with the result.
            allFetched = true;
            fetchError = error;
            if (select) select->closeCursor();
            end = DataSet::FetchFailed;
        } else if (readReachedEnd) {
            allFetched = true;
            end = DataSet::FetchCompleted;
        }
    }
    readStop = false;
    readReachedEnd = false;
    if (!destroying) emit q->backgroundFetchEnded(end);
}

void DataSet::fetchAllInBackground() {
    d->checkActive();
    if (d->reading() || d->allFetched || d->fetchError || !d->select) return;
    Database* db = d->db;
    if (!d->reader || d->reader->database() != db) {
        delete d->reader;
        d->reader = new ConnectionJob(db, this);
    }
    d->readStop = false;
    d->readReachedEnd = false;
    Statement* st = d->select.get();
    const std::vector<ColumnLayout> layouts = d->store.layouts();
    const std::vector<int> vars = d->store.varIndex();
    const quint64 generation = d->readGeneration;
    DataSetPrivate* p = d.get();
    d->reader->start(
        [this, p, st, layouts, vars, generation] {
            while (!p->readStop) {
                auto batch = std::make_shared<RowStore>();
                batch->setLayout(layouts, vars);
                const auto hand = [this, p, batch, generation] {
                    if (batch->count() == 0) return;
                    QMetaObject::invokeMethod(
                        this, [p, batch, generation] { p->takeBatch(*batch, generation); }, Qt::QueuedConnection);
                };
                QElapsedTimer clock;
                clock.start();
                try {
                    while (batch->count() < kBatchRows) {
                        if (!st->fetch()) {
                            st->closeCursor();
                            p->readReachedEnd = true;
                            break;
                        }
                        batch->appendFetched(st->out());
                        if (batch->count() % kCheckEvery == 0 && (p->readStop || clock.elapsed() >= kBatchMs)) break;
                    }
                } catch (...) {
                    hand(); // the rows read before the failure stay
                    throw;
                }
                hand();
                if (p->readReachedEnd) return;
            }
        },
        [p, generation](std::exception_ptr error) { p->readEnded(error, generation); });
}

bool DataSet::fetchingInBackground() const {
    return d->reading();
}

void DataSet::cancelBackgroundFetch() {
    if (d->reading()) d->readStop = true;
}
