#pragma once
// The dataset's inside, shared by the files that hold its parts: the cursor and its rows
// (dataset.cpp), the fields (datasetfield.cpp), finding rows (datasetlocate.cpp), reading the rest
// in the background (datasetbackground.cpp) and the writing side (datasetwrite.cpp).
#include "connection/dataset.h"
#include "connection/namedparams.h"
#include "connection/rowdefaults.h"
#include "connection/rowstore.h"
#include "connection/statement.h"
#include "connection/transaction.h"
#include "platform/apperror.h"
#include <QHash>
#include <QPointer>
#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

class ConnectionJob;

enum SqlIndex { SelectSql, InsertSql, ModifySql, DeleteSql, RefreshSql, SqlCount };

constexpr qsizetype kBlobCacheLimit = 64 * 1024 * 1024;
constexpr qsizetype kBlobHeadCacheLimit = 4 * 1024 * 1024;
constexpr int kLocateBatch = 4096;
constexpr int kNextBatch = 256;

struct ColumnMeta {
    ColumnLayout layout;
    int var = 0; // index in the select's output
    QString name;
    int size = 0;
    int precision = 0;
    bool required = false;
    bool readOnly = false;
    bool visible = true;
    bool computed = false;
    bool hasDefault = false;
};

// One of the writing statements: prepared with its named parameters turned positional.
struct WriteStatement {
    std::unique_ptr<Statement> st;
    QList<NamedParameter> params;
    std::vector<ParameterBinding> bindings;
    std::vector<int> outField; // refresh: the field each output column is copied into, or -1
    bool prepared() const { return st != nullptr; }
};

class DataSetPrivate {
public:
    explicit DataSetPrivate(DataSet* q) : q(q) {}

    DataSet* q;
    QPointer<Database> db;
    QPointer<Transaction> tr;
    QPointer<Database> regDb; // where this dataset is registered while statements are prepared
    QPointer<Transaction> regTr;
    QPointer<Database> pendingDb; // between beginOpen() and endOpen()
    QPointer<Transaction> pendingTr;
    QStringList sql[SqlCount];

    std::unique_ptr<Statement> select;
    WriteStatement writers[SqlCount]; // InsertSql .. RefreshSql
    std::vector<ColumnMeta> cols;
    QStringList names;
    bool refreshAfterPost = false;
    std::vector<RowDefaults::Column> defaultColumns; // the columns a new row takes defaults for
    RowDefaults defaults;

    bool active = false;
    DataSet::State state = DataSet::Inactive;
    bool hasCursor = false;
    qint64 rowsAffected = 0;
    RowStore store;
    bool allFetched = true; // the cursor has nothing more to give (its end, or a failed fetch)
    // The error of a fetch that failed: the rows after it were never read, and every later read
    // past the rows kept raises it again, so that no reader takes them for the whole result.
    std::exception_ptr fetchError;
    int current = -1;
    bool bof = true;
    bool eof = true;

    std::vector<Cell> edit; // the row being edited or inserted
    int editRow = -1;
    int rowBeforeInsert = -1;
    bool modified = false;

    // Reading the rest in the background: the job on the connection, a stop asked for between
    // batches, and the generation of the result the read belongs to (a close or reopen starts a
    // new one: batches of the old still on their way are dropped).
    ConnectionJob* reader = nullptr;
    std::atomic<bool> readStop{false};
    std::atomic<bool> readReachedEnd{false};
    quint64 readGeneration = 0;
    bool destroying = false;

    std::vector<EditLink*> links;
    bool updatingRecord = false;

    std::vector<std::unique_ptr<Field>> fieldPool;
    QHash<quint64, QByteArray> blobCache;
    qsizetype blobCacheBytes = 0;
    // The first bytes of blobs shown but not read whole; `whole` when the blob ended within them.
    struct BlobHead {
        QByteArray bytes;
        bool whole = false;
    };
    QHash<quint64, BlobHead> blobHeads;
    qsizetype blobHeadBytes = 0;

    Transaction* transaction() const {
        if (tr) return tr;
        return db ? db->defaultTransaction() : nullptr;
    }
    bool editing() const { return state == DataSet::Edit || state == DataSet::Insert; }
    int rowCount() const { return active ? store.count() : 0; }

    [[noreturn]] void fail(const QString& msg) const {
        const QString name = q->objectName();
        throw AppError(name.isEmpty() ? msg : name + QStringLiteral(": ") + msg);
    }
    void checkActive() const {
        if (!active) fail(QStringLiteral("Cannot perform this operation on a closed dataset"));
    }
    bool hasWriters() const {
        return writers[InsertSql].prepared() || writers[ModifySql].prepared() || writers[DeleteSql].prepared();
    }

    void setState(DataSet::State s) {
        if (state == s) return;
        state = s;
        emit q->stateChanged(s);
    }
    void setCurrent(int row) {
        if (current == row) return;
        current = row;
        emit q->currentRowChanged(row);
    }

    void prepare(Database* database, Transaction* transaction);
    void buildColumns(Database* database);
    void unprepare();
    void registerWith(Database* database, Transaction* transaction);
    void unregister();
    void closeRows();

    bool reading() const;
    void stopReading(); // waits for the batch under way; the read ends as cancelled
    void takeBatch(RowStore& batch, quint64 generation);
    void readEnded(std::exception_ptr error, quint64 generation);
    std::function<bool(int)> rowTest(int field, const QVariant& value, int options);

    int fetch(int count, bool notify = true);
    int fetchRows(int count, bool notify); // also while the open is under way
    void checkBrowseMode();
    Cell currentCell(int row, int field) const;
    QByteArray blobContent(quint64 id);
    QByteArray blobOf(const Cell& c);
    QByteArray blobHead(const Cell& c, qsizetype bytes); // at most `bytes` from the start
    void bind(WriteStatement& w, int row, const std::vector<Cell>* current, bool oldIsNull);
    void refreshRow(int row);
    void startInsert(bool atEnd);
    void executeOnOneRow(WriteStatement& w, bool deleting);
    void dropPendingEdits() {
        for (EditLink* link : std::vector<EditLink*>(links))
            link->dropPendingEdit();
    }
};

