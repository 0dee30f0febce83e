#include "connection/rowstore.h"
#include "connection/statement.h"
#include "connection/valuecodec.h"
#include "platform/apperror.h"
#include "platform/varint.h"
#include <cstring>

namespace {
constexpr int kSqlBooleanOther = 590;

inline bool isBoolean(int t) { return t == SQL_BOOLEAN || t == kSqlBooleanOther; }

size_t maxEncoded(const ColumnLayout& s) {
    switch (s.sqlType) {
    case SQL_TEXT:
    case SQL_VARYING:
        return 3 + static_cast<size_t>(s.sqlLen);
    case SQL_FLOAT:
        return 4;
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
    case SQL_BLOB:
        return 8;
    case SQL_TIMESTAMP:
        return 20;
    default:
        return isBoolean(s.sqlType) ? 1 : 10;
    }
}

// The bytes of a CHAR value that are not padding (OCTETS keeps every byte).
inline int unpaddedLength(const ColumnLayout& s, const char* p, int len) {
    if (!s.fixedChar || s.charset == 1) return len;
    while (len > 0 && p[len - 1] == ' ')
        --len;
    return len;
}

// Encodes one non-null cell; returns the end.
char* encodeCell(char* p, const ColumnLayout& s, const Cell& c) {
    switch (s.sqlType) {
    case SQL_TEXT:
    case SQL_VARYING: {
        const int len = unpaddedLength(s, c.bytes.constData(), static_cast<int>(c.bytes.size()));
        p = putVarint(p, static_cast<quint64>(len));
        std::memcpy(p, c.bytes.constData(), len);
        return p + len;
    }
    case SQL_FLOAT: {
        const float f = static_cast<float>(c.f);
        std::memcpy(p, &f, 4);
        return p + 4;
    }
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        std::memcpy(p, &c.f, 8);
        return p + 8;
    case SQL_BLOB: {
        const quint64 id = static_cast<quint64>(c.i);
        std::memcpy(p, &id, 8);
        return p + 8;
    }
    case SQL_TIMESTAMP: {
        const auto [days, ticks] = splitTimestamp(c.i);
        p = putVarint(p, zigzag(days));
        return putVarint(p, packTime(static_cast<quint64>(ticks)));
    }
    case SQL_TYPE_TIME:
        return putVarint(p, packTime(static_cast<quint64>(c.i)));
    default:
        if (isBoolean(s.sqlType)) {
            *p = c.i ? 1 : 0;
            return p + 1;
        }
        return putVarint(p, zigzag(c.i));
    }
}

size_t cellSize(const ColumnLayout& s, const Cell& c) {
    char buf[24];
    switch (s.sqlType) {
    case SQL_TEXT:
    case SQL_VARYING: {
        const int len = unpaddedLength(s, c.bytes.constData(), static_cast<int>(c.bytes.size()));
        return static_cast<size_t>(putVarint(buf, static_cast<quint64>(len)) - buf) + len;
    }
    default:
        return static_cast<size_t>(encodeCell(buf, s, c) - buf);
    }
}

Cell decodeCell(const ColumnLayout& s, const char* p) {
    Cell c;
    c.null = false;
    quint64 v = 0;
    switch (s.sqlType) {
    case SQL_TEXT:
    case SQL_VARYING:
        p = getVarint(p, &v);
        c.bytes = QByteArray(p, static_cast<qsizetype>(v));
        break;
    case SQL_FLOAT: {
        float f;
        std::memcpy(&f, p, 4);
        c.f = f;
        break;
    }
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        std::memcpy(&c.f, p, 8);
        break;
    case SQL_BLOB: {
        quint64 id;
        std::memcpy(&id, p, 8);
        c.i = static_cast<qint64>(id);
        break;
    }
    case SQL_TIMESTAMP: {
        p = getVarint(p, &v);
        const qint64 days = unzigzag(v);
        getVarint(p, &v);
        c.i = days * kTicksPerDay + static_cast<qint64>(unpackTime(v));
        break;
    }
    case SQL_TYPE_TIME:
        getVarint(p, &v);
        c.i = static_cast<qint64>(unpackTime(v));
        break;
    default:
        if (isBoolean(s.sqlType)) {
            c.i = *p ? 1 : 0;
        } else {
            getVarint(p, &v);
            c.i = unzigzag(v);
        }
    }
    return c;
}

const char* skipCell(const ColumnLayout& s, const char* p) {
    switch (s.sqlType) {
    case SQL_TEXT:
    case SQL_VARYING: {
        quint64 len;
        p = getVarint(p, &len);
        return p + len;
    }
    case SQL_FLOAT:
        return p + 4;
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
    case SQL_BLOB:
        return p + 8;
    case SQL_TIMESTAMP:
        return skipVarint(skipVarint(p));
    default:
        return isBoolean(s.sqlType) ? p + 1 : skipVarint(p);
    }
}

// Packs one non-null fetched variable: the fetch's fast path, straight from the descriptor area.
inline char* encodeVar(char* p, const ColumnLayout& s, const XSQLVAR& v) {
    const char* d = v.sqldata;
    switch (s.sqlType) {
    case SQL_VARYING: {
        quint16 len;
        std::memcpy(&len, d, 2);
        p = putVarint(p, len);
        std::memcpy(p, d + 2, len);
        p += len;
        break;
    }
    case SQL_TEXT: {
        const int len = unpaddedLength(s, d, v.sqllen);
        p = putVarint(p, static_cast<quint64>(len));
        std::memcpy(p, d, len);
        p += len;
        break;
    }
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64:
    case SQL_TYPE_DATE:
        p = putVarint(p, zigzag(readSqlInt(s.sqlType, d)));
        break;
    case SQL_TYPE_TIME: {
        quint32 t;
        std::memcpy(&t, d, 4);
        p = putVarint(p, packTime(t));
        break;
    }
    case SQL_TIMESTAMP: {
        ISC_TIMESTAMP ts;
        std::memcpy(&ts, d, sizeof ts);
        p = putVarint(p, zigzag(ts.timestamp_date));
        p = putVarint(p, packTime(ts.timestamp_time));
        break;
    }
    case SQL_FLOAT:
        std::memcpy(p, d, 4);
        p += 4;
        break;
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        std::memcpy(p, d, 8);
        p += 8;
        break;
    case SQL_BLOB: {
        ISC_QUAD q;
        std::memcpy(&q, d, sizeof q);
        const quint64 id = blobIdToInt(q);
        std::memcpy(p, &id, 8);
        p += 8;
        break;
    }
    default: // BOOLEAN
        *p++ = *d ? 1 : 0;
    }
    return p;
}

inline bool bit(const char* row, int c) { return (static_cast<unsigned char>(row[c >> 3]) >> (c & 7)) & 1; }
} // namespace

RowStore::RowStore() = default;
RowStore::~RowStore() = default;

void RowStore::setLayout(std::vector<ColumnLayout> layouts, std::vector<int> varIndex) {
    clear();
    m_specs = std::move(layouts);
    m_varIndex = std::move(varIndex);
    m_bitmapBytes = static_cast<int>((m_specs.size() + 7) / 8);
    m_maxRow = static_cast<size_t>(m_bitmapBytes);
    for (const ColumnLayout& s : m_specs)
        m_maxRow += maxEncoded(s);
}

void RowStore::clear() {
    std::vector<quint32>().swap(m_rows);
    m_slots.clear();
    m_blocks.clear();
    m_end = 0;
    m_allocated = 0;
}

char* RowStore::reserve(size_t bytes) {
    const quint64 slotSize = quint64(1) << kSlotBits;
    const quint64 within = m_end & kSlotMask;
    const quint64 allocatedEnd = m_slots.size() * slotSize;
    const bool fits = bytes <= slotSize && m_end < allocatedEnd && within + bytes <= slotSize;
    if (!fits) {
        // A new block at the next slot boundary; a row larger than a slot spans several slots.
        const quint64 start = m_slots.size() * slotSize;
        const quint64 slotCount = std::max<quint64>(1, (bytes + slotSize - 1) / slotSize);
        if (start + slotCount * slotSize > quint64(kNoRow))
            throw AppError(QStringLiteral("Too many rows: the rows read take more than 4 GB"));
        m_blocks.emplace_back(new char[slotCount * slotSize]);
        char* base = m_blocks.back().get();
        for (quint64 k = 0; k < slotCount; ++k)
            m_slots.push_back(base + k * slotSize);
        m_allocated += slotCount * slotSize;
        m_end = start;
    }
    return m_slots[m_end >> kSlotBits] + (m_end & kSlotMask);
}

quint32 RowStore::commit(size_t used) {
    const auto off = static_cast<quint32>(m_end);
    m_end += used;
    return off;
}

void RowStore::appendFetched(const SqlDa& out) {
    char* const row = reserve(m_maxRow);
    std::memset(row, 0, m_bitmapBytes);
    char* p = row + m_bitmapBytes;
    const int n = static_cast<int>(m_specs.size());
    for (int c = 0; c < n; ++c) {
        const ColumnLayout& s = m_specs[c];
        const XSQLVAR& v = out.var(m_varIndex[c]);
        if ((v.sqltype & 1) && *v.sqlind == -1) {
            row[c >> 3] = static_cast<char>(row[c >> 3] | (1 << (c & 7)));
            continue;
        }
        p = encodeVar(p, s, v);
    }
    m_rows.push_back(commit(static_cast<size_t>(p - row)));
}

void RowStore::appendRows(const RowStore& from) {
    for (int r = 0; r < from.count(); ++r) {
        const char* src = from.row(r);
        const auto size = static_cast<size_t>(from.seek(src, from.columnCount()) - src);
        std::memcpy(reserve(size), src, size);
        m_rows.push_back(commit(size));
    }
}

void RowStore::insertEmpty(int at) { m_rows.insert(m_rows.begin() + at, kNoRow); }

void RowStore::remove(int at) { m_rows.erase(m_rows.begin() + at); }

size_t RowStore::encodedSize(const std::vector<Cell>& cells) const {
    size_t size = static_cast<size_t>(m_bitmapBytes);
    for (size_t c = 0; c < m_specs.size(); ++c)
        if (!cells[c].null) size += cellSize(m_specs[c], cells[c]);
    return size;
}

void RowStore::setRow(int at, const std::vector<Cell>& cells) {
    const size_t size = encodedSize(cells);
    char* const row = reserve(size);
    std::memset(row, 0, m_bitmapBytes);
    char* p = row + m_bitmapBytes;
    for (size_t c = 0; c < m_specs.size(); ++c) {
        if (cells[c].null)
            row[c >> 3] = static_cast<char>(row[c >> 3] | (1 << (c & 7)));
        else
            p = encodeCell(p, m_specs[c], cells[c]);
    }
    m_rows[at] = commit(static_cast<size_t>(p - row));
}

const char* RowStore::seek(const char* row, int c) const {
    const char* p = row + m_bitmapBytes;
    for (int k = 0; k < c; ++k)
        if (!bit(row, k)) p = skipCell(m_specs[k], p);
    return p;
}

bool RowStore::isNull(int r, int c) const {
    const char* row = this->row(r);
    return !row || bit(row, c);
}

Cell RowStore::cell(int r, int c) const {
    const char* row = this->row(r);
    if (!row || bit(row, c)) return Cell{};
    return decodeCell(m_specs[c], seek(row, c));
}

std::vector<Cell> RowStore::cells(int r) const {
    std::vector<Cell> out(m_specs.size());
    const char* row = this->row(r);
    if (!row) return out;
    const char* p = row + m_bitmapBytes;
    for (size_t c = 0; c < m_specs.size(); ++c) {
        if (bit(row, static_cast<int>(c))) continue;
        out[c] = decodeCell(m_specs[c], p);
        p = skipCell(m_specs[c], p);
    }
    return out;
}

QByteArrayView RowStore::textBytes(int r, int c) const {
    const char* row = this->row(r);
    if (!row || bit(row, c)) return {};
    quint64 len;
    const char* p = getVarint(seek(row, c), &len);
    return QByteArrayView(p, static_cast<qsizetype>(len));
}

size_t RowStore::memoryUsed() const { return m_allocated + m_rows.capacity() * sizeof(quint32); }

Cell RowStore::cellFromVar(const ColumnLayout& s, const XSQLVAR& v) {
    if ((v.sqltype & 1) && *v.sqlind == -1) return Cell{};
    std::vector<char> buf(maxEncoded(s));
    encodeVar(buf.data(), s, v);
    return decodeCell(s, buf.data());
}
