#pragma once
#include <ibase.h>
#include <QByteArray>
#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

class Database;
class Transaction;

// TIME and TIMESTAMP values exactly as the server holds them (a QTime keeps only milliseconds, the
// server ten-thousandths of a second): what is read goes back unchanged.
struct SqlTime {
    ISC_TIME ticks = 0;
};
struct SqlTimestamp {
    ISC_DATE date = 0;
    ISC_TIME ticks = 0;
};
Q_DECLARE_METATYPE(SqlTime)
Q_DECLARE_METATYPE(SqlTimestamp)
// Their literal text ("12:30:09.1234", "2020-03-15 12:30:09.1234"), for a parameter of another type.
QString sqlTimeText(ISC_TIME ticks);

// An XSQLDA with owned buffers. After describe, allocate() points every XSQLVAR's sqldata and
// sqlind into one buffer of this object.
class SqlDa {
public:
    SqlDa();
    ~SqlDa();
    SqlDa(const SqlDa&) = delete;
    SqlDa& operator=(const SqlDa&) = delete;

    XSQLDA* da() { return m_da; }
    int count() const { return m_da->sqld; }
    XSQLVAR& var(int i) { return m_da->sqlvar[i]; }
    const XSQLVAR& var(int i) const { return m_da->sqlvar[i]; }
    // Grows the descriptor so that `n` variables fit (describe again afterwards).
    void reserve(int n);
    void allocate();

    // Base SQL type (nullability bit removed).
    int type(int i) const { return var(i).sqltype & ~1; }
    bool isNull(int i) const { return (var(i).sqltype & 1) && *var(i).sqlind == -1; }
    void setNull(int i, bool null);
    QString name(int i) const;     // alias as the server reports it
    QString relation(int i) const; // table of the column, if any
    QString fieldName(int i) const;

    // Reading, for metadata and simple uses. Text is decoded from UTF-8 (Windows-1252 for charsets
    // NONE and OCTETS), trailing blanks of CHAR kept; blob ids come back as qulonglong.
    QVariant value(int i) const;
    QString text(int i) const;

    // Binding: null QVariant binds NULL; numbers, dates, times (also SqlTime and SqlTimestamp,
    // exactly), booleans and texts are converted to the variable's type; a text bound to a non-text variable
    // is sent as text for the server to convert. Blob variables take a blob id (qulonglong) or, via
    // Statement::bind, bytes.
    void setValue(int i, const QVariant& v);

private:
    XSQLDA* m_da = nullptr;
    std::vector<char> m_buffer;
    // The description of each variable as the server gave it, restored before every binding.
    struct Described {
        ISC_SHORT sqltype, sqlsubtype, sqllen;
        char* sqldata;
    };
    std::vector<Described> m_described;
    std::vector<QByteArray> m_textOverrides; // one per variable: its text bound as SQL_TEXT
};

// A DSQL statement handle (RAII): prepare, describe, execute, fetch.
class Statement {
public:
    Statement(Database* db, Transaction* tr);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Database* database() const { return m_db; }
    Transaction* transaction() const { return m_tr; }

    // Allocates the handle when needed, prepares with the connection's dialect, describes output
    // and input, and reads the statement type. Raises DbError with the server's message.
    void prepare(const QString& sql);
    bool prepared() const { return m_prepared; }
    const QString& sql() const { return m_sql; }
    int statementType() const { return m_type; } // isc_info_sql_stmt_*
    bool isSelect() const { return m_type == isc_info_sql_stmt_select; }
    bool returnsRows() const { return m_type == isc_info_sql_stmt_select || m_type == isc_info_sql_stmt_select_for_upd; }

    SqlDa& out() { return m_out; }
    SqlDa& in() { return m_in; }

    // Executes with the bound input. A statement returning rows opens its cursor; EXECUTE PROCEDURE
    // is executed with its output row (execute2); others are executed once.
    void execute();
    // Next row into out(); false at the end of the cursor.
    bool fetch();
    bool cursorOpen() const { return m_cursorOpen; }
    void closeCursor();           // keeps the prepared statement; errors swallowed
    void unprepare();             // releases the handle; errors swallowed
    qint64 rowsAffected();        // inserted + updated + deleted by the last execute
    // Rows the last execute itself inserted, updated and deleted (not those of triggers).
    struct RecordCounts {
        qint64 inserted = 0, updated = 0, deleted = 0;
    };
    RecordCounts recordCounts();
    // The server's access plan of the prepared statement (as the server writes it, leading line
    // break removed); empty for a statement without one.
    QString plan();

    // Blob helpers on this statement's connection and transaction.
    QByteArray readBlob(ISC_QUAD id);
    ISC_QUAD writeBlob(const QByteArray& data);

private:
    Database* m_db;
    Transaction* m_tr;
    isc_stmt_handle m_handle = 0;
    bool m_prepared = false;
    bool m_cursorOpen = false;
    int m_type = 0;
    QString m_sql;
    SqlDa m_out;
    SqlDa m_in;
};

// A statement without parameters or results, run once (savepoints). Raises DbError.
void executeImmediate(Database* db, Transaction* tr, const QString& sql);

// Raised, before anything reaches the server, for a statement whose text holds a NUL character.
QString nulInStatementMessage();

// Blob streaming on a connection and transaction. A limit reads no more than that many bytes from
// the start of the blob (the whole blob when it is negative).
QByteArray readBlob(Database* db, Transaction* tr, ISC_QUAD id, qsizetype limit = -1);
ISC_QUAD writeBlob(Database* db, Transaction* tr, const QByteArray& data);

inline quint64 blobIdToInt(const ISC_QUAD& q) {
    return (static_cast<quint64>(static_cast<quint32>(q.gds_quad_high)) << 32) | q.gds_quad_low;
}
inline ISC_QUAD blobIdFromInt(quint64 v) {
    ISC_QUAD q;
    q.gds_quad_high = static_cast<ISC_LONG>(static_cast<quint32>(v >> 32));
    q.gds_quad_low = static_cast<ISC_ULONG>(v & 0xffffffffu);
    return q;
}

// Dates and times: ISC_DATE counts days from 1858-11-17, ISC_TIME ten-thousandths of a second.
class QDate;
class QTime;
class QDateTime;
QDate iscDateToQDate(ISC_DATE d);
ISC_DATE qDateToIscDate(const QDate& d);
QTime iscTimeToQTime(ISC_TIME t);
ISC_TIME qTimeToIscTime(const QTime& t);
