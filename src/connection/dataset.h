#pragma once
#include "connection/database.h"
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

class Transaction;
class DataSet;
class DataSetPrivate;

// Field kinds by the column's SQL type (see fieldKindOf in fieldkind.h).
enum class FieldKind {
    Unknown,   // no field (arrays and unknown codes)
    String,    // CHAR, VARCHAR
    SmallInt,  // SMALLINT scale 0
    Integer,   // INTEGER scale 0
    LargeInt,  // BIGINT scale 0
    Float,     // FLOAT, DOUBLE PRECISION; INTEGER/BIGINT scale < -4 on dialect 1
    BCD,       // fixed-point decimal (scale -1 to -4)
    FmtBCD,    // high-precision decimal (scale below -4, dialect 3)
    DateTime,  // TIMESTAMP
    Date,      // DATE
    Time,      // TIME
    Memo,      // BLOB sub-type 1 (text blob)
    Blob,      // other BLOB sub-types
    Boolean,   // BOOLEAN (32764, or 590 on other servers)
};

// One result column of an open dataset. Values are those of the dataset's current row.
class Field {
public:
    QString fieldName() const;
    QString displayName() const;
    int index() const;
    FieldKind kind() const;
    bool isBlob() const; // Memo or Blob
    bool isMemo() const;
    bool required() const;
    bool readOnly() const;
    bool visible() const;
    void setVisible(bool on);
    int size() const;      // characters for text, digits after the point for decimals
    int precision() const;
    bool computed() const; // COMPUTED BY column of its table
    bool hasDefault() const;

    bool isNull() const;
    // Null: an invalid QVariant. Text: QString (CHAR padded to its length); SMALLINT and INTEGER:
    // int; BIGINT: qlonglong; decimals: double; floats: double; DATE: QDate; TIME: QTime; TIMESTAMP:
    // QDateTime with Qt::UTC as its time layout, so that no local time rule can shift or void it (its
    // date() and time() are the stored ones); BOOLEAN: bool; text blob: QString; other blobs:
    // QByteArray.
    QVariant value() const;
    // The value written as text: numbers in the locale's form (decimal comma under pt_BR, no
    // grouping; fixed-point decimals with all their digits after the point, "12,50"), dates in the
    // locale's short date form with a four-digit year, times "hh:mm:ss", timestamps with
    // " hh:mm:ss" unless the time is midnight, BOOLEAN "True"/"False", CHAR padded to its length,
    // text blobs their content, other blobs their bytes as Latin-1. Empty for null.
    QString asString() const;
    // The value as an editor shows it: asString, but times and timestamps keep the digits beyond
    // the second ("12:30:09,1234") so that the text read back is the same value.
    QString editText() const;
    QByteArray blobBytes() const; // blob content (text blobs as UTF-8)
    // The exact number behind a non-null value of an integer, fixed-point, date or time field: the
    // integer; the decimal scaled by 10^size(); days since 17/11/1858; ten-thousandths of a second
    // since midnight; a timestamp as days * 864000000 + its time.
    qint64 storedInteger() const;

    // Only in edit or insert state (automatic edit: in browse state they call edit() first).
    // A computed field raises "Field '%s' cannot be modified"; a value that does not convert or
    // fit raises AppError with the toolkit's message. A QString given to a non-text field is read
    // as setAsString reads it.
    void setValue(const QVariant& v);
    // Parsed by the same rules as asString (also "1234.5" and grouped "1.234,5"; dates d/M/yy);
    // empty text is NULL for every kind but text. Raises AppError on bad input.
    void setAsString(const QString& text);
    void setBlobBytes(const QByteArray& bytes);
    void clear(); // null

    DataSet* dataSet() const { return m_dataSet; }

private:
    friend class DataSet;
    friend class DataSetPrivate;
    DataSet* m_dataSet = nullptr;
    int m_index = 0;
};

// A view that edits the current row in controls of its own (a grid's cell editor, a form's edit
// boxes) and may hold a change the user typed that is not in the fields yet. Whatever ends the
// edit, the dataset asks its links first: to write such a change before the row is posted or
// left, to drop it when the row is cancelled or deleted.
class EditLink {
public:
    virtual ~EditLink() = default;
    // Writes the pending change into the fields. Raises when a field does not take the value: the
    // post stops there and the control keeps what was typed.
    virtual void writePendingEdit() = 0;
    virtual void dropPendingEdit() = 0; // never raises
};

// The editable dataset: a cursor over a SELECT whose rows are read forward as views ask and kept
// in a compact store, and whose posted changes go at once through owner-supplied INSERT, UPDATE,
// DELETE and single-row SELECT statements with parameters bound by name (:NAME and :NEW_NAME the
// current value, :OLD_NAME the value as last read or posted). A dataset with no writing
// statements is the read-only query; opened on a statement that returns no rows, it executes it
// once and is open without fields or rows.
class DataSet : public QObject, public AttachedObject {
    Q_OBJECT
public:
    enum State { Inactive, Browse, Edit, Insert };
    Q_ENUM(State)
    enum LocateOption { NoLocateOptions = 0, CaseInsensitive = 1, PartialKey = 2 };
    // How a read in the background ended.
    enum FetchEnd { FetchCompleted, FetchCancelled, FetchFailed };
    Q_ENUM(FetchEnd)

    explicit DataSet(QObject* parent = nullptr);
    ~DataSet() override;

    Database* database() const;
    void setDatabase(Database* db);
    Transaction* transaction() const;
    void setTransaction(Transaction* tr);

    // Statements, each a list of lines sent joined by line breaks. Changing one closes the dataset.
    QStringList selectSQL() const;
    void setSelectSQL(const QStringList& lines);
    QStringList insertSQL() const;
    void setInsertSQL(const QStringList& lines);
    QStringList modifySQL() const;
    void setModifySQL(const QStringList& lines);
    QStringList deleteSQL() const;
    void setDeleteSQL(const QStringList& lines);
    QStringList refreshSQL() const;
    void setRefreshSQL(const QStringList& lines);

    void open(); // nothing when open: beginOpen(), serverOpen(1) and endOpen() in a row

    // Opening with the server's part on another thread (ConnectionJob): beginOpen() connects and
    // starts the transaction (the login prompt, on this object's thread); serverOpen() prepares,
    // executes and reads up to `rows` rows, touching nothing that views or other datasets read;
    // endOpen() then shows the result. After serverOpen() failed or was given up, abandonOpen()
    // lets go of what it prepared. Meanwhile the dataset stays closed to its views.
    void beginOpen();
    void serverOpen(int rows);
    void endOpen();
    void abandonOpen();
    // The server's plan of the prepared select statement (a server call); empty when none.
    QString plan() const;
    void close(); // nothing when closed; an edit in progress is lost
    bool active() const;
    void setActive(bool on);
    State state() const;
    bool modified() const; // a field was changed in the current edit or insert

    // Statement that returns rows (a cursor) or one that was executed once.
    bool hasCursor() const;
    qint64 rowsAffected() const;

    // Rows read so far (plus a row being inserted). Reading goes forward only.
    int rowCount() const;
    bool allFetched() const; // false also after a failed fetch: the rest was never read
    // A fetch failed: the rows read before it stay, and every later read past them (fetchMore,
    // fetchAll, next() at the last row, last(), locate()) raises that fetch's error again.
    bool fetchFailed() const;
    int fetchMore(int count); // rows added
    void fetchAll();
    // Every row not read yet, read on a thread of its own (a ConnectionJob on the dataset's
    // connection) in batches that join the rows here as they come (rowsFetched), so that the
    // windows stay painted; meanwhile every other use of the connection is refused with the busy
    // message, and so is a read here. Nothing when every row is read or a fetch failed; raises
    // the busy message when the connection is held. backgroundFetchEnded() tells how it ended: a
    // failed fetch keeps its error as any failed fetch does; a close ends it as cancelled.
    void fetchAllInBackground();
    bool fetchingInBackground() const;
    // Stops after the batch under way: the rows read stay, the cursor stays open, and a later
    // read goes on from there.
    void cancelBackgroundFetch();
    // Bytes held for the rows read so far (the packed rows and their offsets).
    qint64 memoryUsed() const;

    // Navigation. Moving away from a row in edit or insert posts it when modified, cancels it otherwise.
    int currentRow() const; // 0-based; -1 when empty or closed
    void setCurrentRow(int row);
    int recNo() const; // 1-based record number of the current row; 0 when none
    void first();
    void next();
    void prior();
    void last(); // reads every row
    bool eof() const;
    bool bof() const;
    bool isEmpty() const;

    int fieldCount() const;
    Field* field(int index) const;
    Field* fieldByName(const QString& name) const; // raises AppError "Field '%s' not found"
    Field* findField(const QString& name) const;   // nullptr when absent
    QStringList fieldDefNames() const;

    // Row data without moving the cursor (for grids and exports). The row being edited shows its
    // edited values.
    bool isNull(int row, int field) const;
    QVariant value(int row, int field) const;
    QString text(int row, int field) const;
    QString editText(int row, int field) const; // as Field::editText
    // text() cut to at most maxChars characters, for showing: a blob is read only as far as that
    // takes (and that much of it kept), however large it is.
    QString displayText(int row, int field, int maxChars) const;

    bool canInsert() const;
    bool canModify() const;
    bool canDelete() const;

    // Closed: "<objectName>: Cannot perform this operation on a closed dataset". Without the
    // statement for it: "Cannot update. (No update query)", "Cannot insert into dataset. (No insert
    // query)", "Cannot delete from dataset. (No delete query)"; a dataset without any writing
    // statement: "<objectName>: Cannot modify a read-only dataset". Edit on an empty dataset inserts.
    void edit();
    // A new row holds the defaults that the server evaluates for its columns (a column left as it
    // is posts its default; one cleared posts NULL); the rest is empty.
    void insert(); // new row before the current row
    void append(); // new row after the last row (reads every row first)
    // Browse state: nothing. Closed: "Dataset not in edit or insert mode". A rejected post keeps
    // the state and the values. An UPDATE or DELETE that changes no row, or more than one, is
    // undone (a savepoint around it) and refused with a message; the row stays as it was.
    void post();
    void cancel();
    void remove(); // delete the current row; in insert state: cancel

    // Views that hold edits of their own register here (they unregister before they go).
    void addEditLink(EditLink* link);
    void removeEditLink(EditLink* link);
    // In edit or insert state: every link writes its pending change into the fields. Post, and
    // every move away from the row, does this first.
    void updateRecord();

    // From the first row, reading further rows as needed; a changed row being edited is posted
    // first (an unchanged one cancelled). CHAR and VARCHAR fields compare their text (CHAR padded
    // to its length) with the searched text as given, blanks kept (options apply); date, time and
    // timestamp fields read the searched text in the locale's short date form with an optional
    // time and match equal values (to the second, or to the millisecond when one is given), and no
    // row when it does not read; every other field searched with a text matches when its value
    // written as text equals it exactly ("01" does not find 1; a text blob its whole text);
    // numbers searched with a number compare as numbers. A null value finds null fields. Not
    // found: the current row stays.
    bool locate(const QString& fieldName, const QVariant& value, int options);
    // The first row from `from` on, among the rows read so far, that locate() would stop at;
    // -1 when none. Reads nothing and moves nothing.
    int findRow(const QString& fieldName, const QVariant& value, int options, int from) const;

    // AttachedObject: end of the transaction or disconnect.
    void closeAttached() override;

signals:
    void stateChanged(DataSet::State state);
    // The whole row set changed (open, close, reopen): views reset.
    void dataReset();
    void rowsFetched(int first, int last);
    void backgroundFetchEnded(DataSet::FetchEnd end);
    void rowInserted(int row);
    void rowRemoved(int row);
    void rowChanged(int row);
    void currentRowChanged(int row);
    // Post failed on a required field; views focus the control bound to it.
    void focusField(int fieldIndex);

private:
    friend class Field;
    std::unique_ptr<DataSetPrivate> d;
};
