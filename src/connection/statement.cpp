#include "connection/statement.h"
#include "connection/database.h"
#include "connection/fbapi.h"
#include "connection/fberror.h"
#include "connection/transaction.h"
#include "connection/valuecodec.h"
#include <QDateTime>
#include <cmath>
#include <cstring>

namespace {
constexpr int kSqlBooleanFb3 = SQL_BOOLEAN; // 32764
constexpr int kSqlBooleanOther = 590;
} // namespace

QDate iscDateToQDate(ISC_DATE d) { return QDate::fromJulianDay(static_cast<qint64>(d) + 2400001); }
ISC_DATE qDateToIscDate(const QDate& d) { return static_cast<ISC_DATE>(d.toJulianDay() - 2400001); }
QTime iscTimeToQTime(ISC_TIME t) { return QTime::fromMSecsSinceStartOfDay(static_cast<int>(t / 10)); }
ISC_TIME qTimeToIscTime(const QTime& t) { return static_cast<ISC_TIME>(t.msecsSinceStartOfDay()) * 10; }

QString sqlTimeText(ISC_TIME ticks) {
    const ISC_TIME secs = ticks / 10000;
    return QStringLiteral("%1:%2:%3.%4")
        .arg(secs / 3600, 2, 10, QChar('0'))
        .arg(secs / 60 % 60, 2, 10, QChar('0'))
        .arg(secs % 60, 2, 10, QChar('0'))
        .arg(ticks % 10000, 4, 10, QChar('0'));
}

// ---------------------------------------------------------------------------------------------
SqlDa::SqlDa() { reserve(1); }

SqlDa::~SqlDa() { std::free(m_da); }

void SqlDa::reserve(int n) {
    if (m_da && m_da->sqln >= n) return;
    std::free(m_da);
    m_da = static_cast<XSQLDA*>(std::calloc(1, XSQLDA_LENGTH(n)));
    if (!m_da) throw std::bad_alloc();
    m_da->version = SQLDA_VERSION1;
    m_da->sqln = static_cast<ISC_SHORT>(n);
}

void SqlDa::allocate() {
    m_textOverrides.assign(count(), QByteArray());
    const int n = count();
    size_t size = 0;
    std::vector<size_t> offsets(n);
    for (int i = 0; i < n; ++i) {
        XSQLVAR& v = var(i);
        size_t len = v.sqllen;
        if ((v.sqltype & ~1) == SQL_VARYING) len += 2;
        size = (size + 7) & ~size_t(7);
        offsets[i] = size;
        size += len;
        size = (size + 1) & ~size_t(1);
        size += sizeof(short); // indicator right after the data
    }
    m_buffer.assign(size + 8, 0);
    for (int i = 0; i < n; ++i) {
        XSQLVAR& v = var(i);
        size_t len = v.sqllen + ((v.sqltype & ~1) == SQL_VARYING ? 2 : 0);
        v.sqldata = m_buffer.data() + offsets[i];
        size_t ind = (offsets[i] + len + 1) & ~size_t(1);
        v.sqlind = reinterpret_cast<short*>(m_buffer.data() + ind);
    }
    m_described.resize(n);
    for (int i = 0; i < n; ++i) {
        const XSQLVAR& v = var(i);
        m_described[i] = Described{v.sqltype, v.sqlsubtype, v.sqllen, v.sqldata};
    }
}

void SqlDa::setNull(int i, bool null) {
    XSQLVAR& v = var(i);
    if (null) v.sqltype |= 1;
    if (v.sqlind) *v.sqlind = null ? -1 : 0;
}

QString SqlDa::name(int i) const {
    const XSQLVAR& v = var(i);
    return QString::fromUtf8(v.aliasname, v.aliasname_length);
}

QString SqlDa::relation(int i) const {
    const XSQLVAR& v = var(i);
    return QString::fromUtf8(v.relname, v.relname_length);
}

QString SqlDa::fieldName(int i) const {
    const XSQLVAR& v = var(i);
    return QString::fromUtf8(v.sqlname, v.sqlname_length);
}

QString SqlDa::text(int i) const {
    const QVariant v = value(i);
    return v.isNull() ? QString() : v.toString();
}

QVariant SqlDa::value(int i) const {
    if (isNull(i)) return {};
    const XSQLVAR& v = var(i);
    const char* d = v.sqldata;
    switch (type(i)) {
    case SQL_TEXT: {
        QString s = decodeText(d, v.sqllen, v.sqlsubtype & 0xff);
        // Multi-byte charsets pad to the byte length; the column holds sqllen / 4 characters.
        if ((v.sqlsubtype & 0xff) == 4) {
            // Counted in characters, not UTF-16 units: a character beyond the BMP takes two.
            qsizetype units = 0;
            for (int chars = 0; units < s.size() && chars < v.sqllen / 4; ++chars)
                units += s[units].isHighSurrogate() && units + 1 < s.size() ? 2 : 1;
            s.truncate(units);
        }
        return s;
    }
    case SQL_VARYING: {
        short len;
        std::memcpy(&len, d, 2);
        return decodeText(d + 2, len, v.sqlsubtype & 0xff);
    }
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64: {
        const qint64 x = readSqlInt(type(i), d);
        if (v.sqlscale == 0) return type(i) == SQL_INT64 ? QVariant(x) : QVariant(static_cast<int>(x));
        return static_cast<double>(x) / static_cast<double>(powerOf10(-v.sqlscale));
    }
    case SQL_FLOAT: {
        float f;
        std::memcpy(&f, d, 4);
        return static_cast<double>(f);
    }
    case SQL_DOUBLE:
    case SQL_D_FLOAT: {
        double f;
        std::memcpy(&f, d, 8);
        return f;
    }
    case SQL_TIMESTAMP: {
        ISC_TIMESTAMP ts;
        std::memcpy(&ts, d, sizeof ts);
        return QDateTime(iscDateToQDate(ts.timestamp_date), iscTimeToQTime(ts.timestamp_time), Qt::UTC);
    }
    case SQL_TYPE_DATE: {
        ISC_DATE x;
        std::memcpy(&x, d, 4);
        return iscDateToQDate(x);
    }
    case SQL_TYPE_TIME: {
        ISC_TIME x;
        std::memcpy(&x, d, 4);
        return iscTimeToQTime(x);
    }
    case SQL_BLOB:
    case SQL_ARRAY: {
        ISC_QUAD q;
        std::memcpy(&q, d, sizeof q);
        return QVariant::fromValue<qulonglong>(blobIdToInt(q));
    }
    case kSqlBooleanFb3:
    case kSqlBooleanOther:
        return *reinterpret_cast<const unsigned char*>(d) != 0;
    default:
        return {};
    }
}

void SqlDa::setValue(int i, const QVariant& val) {
    XSQLVAR& v = var(i);
    // A value bound as text before changed the variable; every binding starts from its description.
    if (i < static_cast<int>(m_described.size())) {
        const Described& d = m_described[i];
        v.sqltype = d.sqltype;
        v.sqlsubtype = d.sqlsubtype;
        v.sqllen = d.sqllen;
        v.sqldata = d.sqldata;
        m_textOverrides[i].clear();
    }
    v.sqltype |= 1;
    if (val.isNull() || !val.isValid()) {
        *v.sqlind = -1;
        return;
    }
    *v.sqlind = 0;
    const int t = type(i);
    const bool isText = val.typeId() == QMetaType::QString;
    const bool exactTime = val.typeId() == qMetaTypeId<SqlTime>();
    const bool exactStamp = val.typeId() == qMetaTypeId<SqlTimestamp>();

    auto bindAsText = [&](const QString& s, int charset) {
        if (i >= static_cast<int>(m_textOverrides.size())) m_textOverrides.resize(i + 1);
        m_textOverrides[i] = encodeText(s, charset);
        const QByteArray& b = m_textOverrides[i];
        v.sqltype = SQL_TEXT | 1;
        v.sqlsubtype = static_cast<ISC_SHORT>(charset);
        v.sqllen = static_cast<ISC_SHORT>(std::min<qsizetype>(b.size(), 32767));
        v.sqldata = const_cast<char*>(b.constData());
    };

    if (exactTime || exactStamp) {
        const SqlTimestamp ts =
            exactStamp ? val.value<SqlTimestamp>() : SqlTimestamp{0, val.value<SqlTime>().ticks};
        if (t == SQL_TYPE_TIME) {
            std::memcpy(v.sqldata, &ts.ticks, 4);
        } else if (t == SQL_TIMESTAMP && exactStamp) {
            const ISC_TIMESTAMP raw{ts.date, ts.ticks};
            std::memcpy(v.sqldata, &raw, sizeof raw);
        } else if (t == SQL_TYPE_DATE && exactStamp) {
            std::memcpy(v.sqldata, &ts.date, 4);
        } else {
            // Any other parameter gets the literal, all digits included, for the server to convert.
            const QString time = sqlTimeText(ts.ticks);
            bindAsText(exactStamp ? iscDateToQDate(ts.date).toString(Qt::ISODate) + ' ' + time : time,
                       t == SQL_TEXT || t == SQL_VARYING ? v.sqlsubtype & 0xff : 0);
        }
        return;
    }

    switch (t) {
    case SQL_TEXT:
    case SQL_VARYING:
        bindAsText(val.toString(), v.sqlsubtype & 0xff);
        return;
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64: {
        qint64 x = 0;
        if (isText) {
            if (!parseScaled(val.toString(), v.sqlscale, &x)) {
                bindAsText(val.toString(), 0); // the server reports the conversion error
                return;
            }
        } else if (v.sqlscale == 0 && (val.typeId() == QMetaType::LongLong || val.typeId() == QMetaType::Int ||
                                       val.typeId() == QMetaType::ULongLong || val.typeId() == QMetaType::UInt ||
                                       val.typeId() == QMetaType::Short || val.typeId() == QMetaType::Bool)) {
            x = val.toLongLong();
        } else {
            x = std::llround(val.toDouble() * static_cast<double>(powerOf10(-v.sqlscale)));
        }
        if (t == SQL_SHORT) {
            short s = static_cast<short>(x);
            std::memcpy(v.sqldata, &s, 2);
        } else if (t == SQL_LONG) {
            ISC_LONG l = static_cast<ISC_LONG>(x);
            std::memcpy(v.sqldata, &l, 4);
        } else {
            std::memcpy(v.sqldata, &x, 8);
        }
        return;
    }
    case SQL_FLOAT: {
        if (isText) return bindAsText(val.toString(), 0);
        float f = static_cast<float>(val.toDouble());
        std::memcpy(v.sqldata, &f, 4);
        return;
    }
    case SQL_DOUBLE:
    case SQL_D_FLOAT: {
        if (isText) return bindAsText(val.toString(), 0);
        double f = val.toDouble();
        std::memcpy(v.sqldata, &f, 8);
        return;
    }
    case SQL_TIMESTAMP: {
        if (isText) return bindAsText(val.toString(), 0);
        QDateTime dt = val.typeId() == QMetaType::QDate ? QDateTime(val.toDate(), QTime(0, 0), Qt::UTC)
                                                         : val.toDateTime();
        ISC_TIMESTAMP ts;
        ts.timestamp_date = qDateToIscDate(dt.date());
        ts.timestamp_time = qTimeToIscTime(dt.time());
        std::memcpy(v.sqldata, &ts, sizeof ts);
        return;
    }
    case SQL_TYPE_DATE: {
        if (isText) return bindAsText(val.toString(), 0);
        ISC_DATE x = qDateToIscDate(val.typeId() == QMetaType::QDateTime ? val.toDateTime().date() : val.toDate());
        std::memcpy(v.sqldata, &x, 4);
        return;
    }
    case SQL_TYPE_TIME: {
        if (isText) return bindAsText(val.toString(), 0);
        ISC_TIME x = qTimeToIscTime(val.typeId() == QMetaType::QDateTime ? val.toDateTime().time() : val.toTime());
        std::memcpy(v.sqldata, &x, 4);
        return;
    }
    case SQL_BLOB:
    case SQL_ARRAY: {
        ISC_QUAD q = blobIdFromInt(val.toULongLong());
        std::memcpy(v.sqldata, &q, sizeof q);
        return;
    }
    case kSqlBooleanFb3:
    case kSqlBooleanOther: {
        if (isText) return bindAsText(val.toString(), 0);
        *reinterpret_cast<unsigned char*>(v.sqldata) = val.toBool() ? 1 : 0;
        return;
    }
    default:
        bindAsText(val.toString(), 0);
    }
}

// ---------------------------------------------------------------------------------------------
Statement::Statement(Database* db, Transaction* tr) : m_db(db), m_tr(tr) {}

Statement::~Statement() { unprepare(); }

namespace {
// The client library reads a statement's text up to its first NUL: a statement holding one would
// reach the server shorter than it was written.
void checkNoNul(const QString& sql) {
    if (sql.contains(QChar(0))) throw AppError(nulInStatementMessage());
}
} // namespace

QString nulInStatementMessage() {
    return QStringLiteral("O comando SQL contém um caractere nulo (código 0); nada foi enviado ao servidor.");
}

void Statement::prepare(const QString& sql) {
    unprepare();
    checkNoNul(sql);
    const FbApi& api = fbApi();
    ISC_STATUS_ARRAY status = {};
    m_db->checkConnected();
    m_db->checkFree();
    api.isc_dsql_alloc_statement2(status, m_db->handle(), &m_handle);
    checkStatus(status);

    m_sql = sql;
    const QByteArray text = sql.toUtf8();
    m_out.reserve(1);
    m_out.da()->sqld = 0;
    api.isc_dsql_prepare(status, m_tr->handle(), &m_handle, 0, text.constData(),
                         static_cast<unsigned short>(m_db->sqlDialect()), m_out.da());
    if (statusFailed(status)) {
        ISC_STATUS_ARRAY s2 = {};
        api.isc_dsql_free_statement(s2, &m_handle, DSQL_drop);
        m_handle = 0;
        raiseStatus(status);
    }
    m_prepared = true;
    if (m_out.da()->sqld > m_out.da()->sqln) {
        m_out.reserve(m_out.da()->sqld);
        api.isc_dsql_describe(status, &m_handle, 1, m_out.da());
        checkStatus(status);
    }
    m_out.allocate();

    m_in.reserve(1);
    m_in.da()->sqld = 0;
    api.isc_dsql_describe_bind(status, &m_handle, 1, m_in.da());
    checkStatus(status);
    if (m_in.da()->sqld > m_in.da()->sqln) {
        m_in.reserve(m_in.da()->sqld);
        api.isc_dsql_describe_bind(status, &m_handle, 1, m_in.da());
        checkStatus(status);
    }
    m_in.allocate();
    for (int i = 0; i < m_in.count(); ++i) m_in.setNull(i, true);

    const char items[] = {isc_info_sql_stmt_type};
    char buf[16] = {};
    api.isc_dsql_sql_info(status, &m_handle, sizeof items, items, sizeof buf, buf);
    checkStatus(status);
    m_type = 0;
    if (buf[0] == isc_info_sql_stmt_type) {
        const short len = static_cast<short>(api.isc_vax_integer(buf + 1, 2));
        m_type = static_cast<int>(api.isc_vax_integer(buf + 3, len));
    }
}

void Statement::execute() {
    const FbApi& api = fbApi();
    ISC_STATUS_ARRAY status = {};
    m_db->checkFree();
    closeCursor();
    XSQLDA* in = m_in.count() > 0 ? m_in.da() : nullptr;
    if (returnsRows()) {
        api.isc_dsql_execute(status, m_tr->handle(), &m_handle, 1, in);
        checkStatus(status);
        m_cursorOpen = true;
    } else if (m_type == isc_info_sql_stmt_exec_procedure && m_out.count() > 0) {
        api.isc_dsql_execute2(status, m_tr->handle(), &m_handle, 1, in, m_out.da());
        checkStatus(status);
    } else {
        api.isc_dsql_execute(status, m_tr->handle(), &m_handle, 1, in);
        checkStatus(status);
    }
}

bool Statement::fetch() {
    m_db->checkFree();
    ISC_STATUS_ARRAY status = {};
    const ISC_STATUS rc = fbApi().isc_dsql_fetch(status, &m_handle, 1, m_out.da());
    if (rc == 100) return false;
    checkStatus(status);
    return true;
}

void Statement::closeCursor() {
    if (!m_cursorOpen) return;
    // While another thread's statement runs, the cursor stays marked open: the next execute
    // closes it, or the handle's drop does.
    if (!m_db->usableHere()) return;
    m_cursorOpen = false;
    ISC_STATUS_ARRAY status = {};
    fbApi().isc_dsql_free_statement(status, &m_handle, DSQL_close);
}

void Statement::unprepare() {
    if (!m_handle) {
        m_prepared = false;
        return;
    }
    m_cursorOpen = false;
    ISC_STATUS_ARRAY status = {};
    // A statement whose connection is gone is already released on the server.
    if (m_db && m_db->connected()) {
        if (m_db->usableHere())
            fbApi().isc_dsql_free_statement(status, &m_handle, DSQL_drop);
        else
            m_db->dropLater(m_handle);
    }
    m_handle = 0;
    m_prepared = false;
}

qint64 Statement::rowsAffected() {
    const RecordCounts n = recordCounts();
    return n.inserted + n.updated + n.deleted;
}

Statement::RecordCounts Statement::recordCounts() {
    RecordCounts n;
    const char items[] = {isc_info_sql_records};
    char buf[64] = {};
    ISC_STATUS_ARRAY status = {};
    fbApi().isc_dsql_sql_info(status, &m_handle, sizeof items, items, sizeof buf, buf);
    if (statusFailed(status) || buf[0] != isc_info_sql_records) return n;
    const FbApi& api = fbApi();
    const char* p = buf + 3;
    while (*p != isc_info_end && p < buf + sizeof buf - 3) {
        const char item = *p++;
        const short len = static_cast<short>(api.isc_vax_integer(p, 2));
        p += 2;
        const qint64 count = api.isc_vax_integer(p, len);
        p += len;
        if (item == isc_info_req_insert_count)
            n.inserted = count;
        else if (item == isc_info_req_update_count)
            n.updated = count;
        else if (item == isc_info_req_delete_count)
            n.deleted = count;
    }
    return n;
}

void executeImmediate(Database* db, Transaction* tr, const QString& sql) {
    ISC_STATUS_ARRAY status = {};
    checkNoNul(sql);
    db->checkConnected();
    const QByteArray text = sql.toUtf8();
    fbApi().isc_dsql_execute_immediate(status, db->handle(), tr->handle(), 0, text.constData(),
                                       static_cast<unsigned short>(db->sqlDialect()), nullptr);
    checkStatus(status);
}

QString Statement::plan() {
    if (!m_handle) return {};
    m_db->checkFree();
    const FbApi& api = fbApi();
    const char items[] = {isc_info_sql_get_plan};
    // Plans of large joins run long: the buffer grows until the answer is not cut short.
    for (int size = 4096; size <= 1024 * 1024; size *= 4) {
        std::vector<char> buf(size);
        ISC_STATUS_ARRAY status = {};
        api.isc_dsql_sql_info(status, &m_handle, sizeof items, items,
                              static_cast<short>(std::min(size, 32767)), buf.data());
        checkStatus(status);
        if (buf[0] == isc_info_truncated && size < 32767) continue;
        if (buf[0] != isc_info_sql_get_plan) return {};
        const int len = static_cast<int>(static_cast<unsigned short>(api.isc_vax_integer(buf.data() + 1, 2)));
        return QString::fromUtf8(buf.data() + 3, std::min(len, size - 3)).trimmed();
    }
    return {};
}

QByteArray Statement::readBlob(ISC_QUAD id) { return ::readBlob(m_db, m_tr, id); }
ISC_QUAD Statement::writeBlob(const QByteArray& data) { return ::writeBlob(m_db, m_tr, data); }

// ---------------------------------------------------------------------------------------------
namespace {
// Closes an opened blob on every path; cancels it when it was being written and not finished.
struct BlobHandle {
    isc_blob_handle h = 0;
    bool writing = false;
    ~BlobHandle() {
        if (!h) return;
        ISC_STATUS_ARRAY status = {};
        if (writing)
            fbApi().isc_cancel_blob(status, &h);
        else
            fbApi().isc_close_blob(status, &h);
    }
};
} // namespace

QByteArray readBlob(Database* db, Transaction* tr, ISC_QUAD id, qsizetype limit) {
    const FbApi& api = fbApi();
    ISC_STATUS_ARRAY status = {};
    db->checkFree();
    BlobHandle blob;
    api.isc_open_blob2(status, db->handle(), tr->handle(), &blob.h, &id, 0, nullptr);
    checkStatus(status);
    QByteArray data;
    char buf[32768];
    while (limit < 0 || data.size() < limit) {
        const qsizetype wanted =
            limit < 0 ? qsizetype(sizeof buf) : std::min(qsizetype(sizeof buf), limit - data.size());
        unsigned short got = 0;
        const ISC_STATUS rc =
            api.isc_get_segment(status, &blob.h, &got, static_cast<unsigned short>(wanted), buf);
        if (rc == isc_segstr_eof) break;
        if (rc != 0 && rc != isc_segment) checkStatus(status);
        data.append(buf, got);
    }
    api.isc_close_blob(status, &blob.h);
    blob.h = 0;
    return data;
}

ISC_QUAD writeBlob(Database* db, Transaction* tr, const QByteArray& data) {
    const FbApi& api = fbApi();
    ISC_STATUS_ARRAY status = {};
    db->checkFree();
    BlobHandle blob;
    blob.writing = true;
    ISC_QUAD id = {};
    api.isc_create_blob2(status, db->handle(), tr->handle(), &blob.h, &id, 0, nullptr);
    checkStatus(status);
    constexpr qsizetype kSegment = 32000;
    for (qsizetype pos = 0; pos < data.size(); pos += kSegment) {
        const auto n = static_cast<unsigned short>(std::min(kSegment, data.size() - pos));
        api.isc_put_segment(status, &blob.h, n, data.constData() + pos);
        checkStatus(status);
    }
    api.isc_close_blob(status, &blob.h);
    checkStatus(status);
    blob.h = 0;
    return id;
}
