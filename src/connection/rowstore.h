#pragma once
#include "connection/dataset.h"
#include <QByteArray>
#include <memory>
#include <utility>
#include <vector>

class SqlDa;
#include <ibase.h>

// How one stored column is encoded. Only columns with a field kind are stored.
struct ColumnLayout {
    FieldKind kind = FieldKind::Unknown;
    int sqlType = 0;   // base type code (nullability bit removed)
    int scale = 0;     // sqlscale: digits after the point as a negative number
    int charset = 0;   // text: the column's character set
    int blobCharset = 0; // text blobs: the character set their content arrives in
    int sqlLen = 0;    // described length in bytes
    int chars = 0;     // CHAR: characters the value is padded to
    bool fixedChar = false; // CHAR: trailing blanks are padding and are not stored
};

// One value unpacked, for the row being edited and for binding. Numbers keep their exact stored
// form: integers and fixed-point decimals as the scaled integer, dates as days since 1858-11-17,
// times as ten-thousandths of a second, timestamps as days * kTicksPerDay + time.
struct Cell {
    bool null = true;
    qint64 i = 0;
    double f = 0;
    QByteArray bytes;         // text in the column's character set; a changed blob's content
    bool blobChanged = false; // blobs: bytes is new content to be written as a new blob
};

constexpr qint64 kTicksPerDay = 864000000; // ten-thousandths of a second

// A timestamp cell's day and time of day (the time never negative, also before 1858).
inline std::pair<qint64, qint64> splitTimestamp(qint64 v) {
    qint64 days = v / kTicksPerDay, ticks = v % kTicksPerDay;
    if (ticks < 0) {
        ticks += kTicksPerDay;
        --days;
    }
    return {days, ticks};
}

// The rows read so far, packed: each row is a null bitmap followed by its non-null values, integers
// and dates as variable-length integers (times in whole seconds when they have no fraction),
// VARCHAR at its actual length, CHAR without its padding, floats and blob ids as raw bytes. Rows
// live in slots of 1 MB and are found by a 32-bit offset, four bytes per row; a row never crosses
// into the next slot unless it is larger than one. A row being inserted and not yet posted has no
// bytes. The store holds at most 4 GB of packed rows.
class RowStore {
public:
    RowStore();
    ~RowStore();
    RowStore(const RowStore&) = delete;
    RowStore& operator=(const RowStore&) = delete;

    // Columns to store: the layout of each, and the index of its variable in the fetch area.
    void setLayout(std::vector<ColumnLayout> layouts, std::vector<int> varIndex);
    const std::vector<ColumnLayout>& layouts() const { return m_specs; }
    const std::vector<int>& varIndex() const { return m_varIndex; }
    int columnCount() const { return static_cast<int>(m_specs.size()); }
    void clear(); // rows and layout

    int count() const { return static_cast<int>(m_rows.size()); }
    const char* row(int r) const {
        const quint32 off = m_rows[r];
        return off == kNoRow ? nullptr : m_slots[off >> kSlotBits] + (off & kSlotMask);
    }

    // Packs the row that a fetch left in `out` (the fast path: no allocation but a new chunk).
    void appendFetched(const SqlDa& out);
    // Every row of `from` (a store of the same layout, holding fetched rows only) after the last.
    void appendRows(const RowStore& from);
    void insertEmpty(int at);
    void remove(int at);
    void setRow(int at, const std::vector<Cell>& cells); // re-encoded; the old bytes are abandoned

    bool isNull(int r, int c) const;
    Cell cell(int r, int c) const;
    std::vector<Cell> cells(int r) const;
    // The stored bytes of a text value (CHAR without padding), or an empty view for null.
    QByteArrayView textBytes(int r, int c) const;

    // Bytes held for rows (chunks allocated) and for the row list.
    size_t memoryUsed() const;

    // Unpacks a fetched variable of the same kind (used to copy a re-read row).
    static Cell cellFromVar(const ColumnLayout& layout, const XSQLVAR& v);

private:
    static constexpr quint32 kNoRow = 0xffffffffu;
    static constexpr int kSlotBits = 20;
    static constexpr quint32 kSlotMask = (1u << kSlotBits) - 1;

    const char* seek(const char* row, int c) const;
    // Room for `bytes` at the end of the store; commit() then takes what was used.
    char* reserve(size_t bytes);
    quint32 commit(size_t used);
    size_t encodedSize(const std::vector<Cell>& cells) const;

    std::vector<ColumnLayout> m_specs;
    std::vector<int> m_varIndex;
    int m_bitmapBytes = 0;
    size_t m_maxRow = 0;
    std::vector<quint32> m_rows;
    std::vector<char*> m_slots; // start of each 1 MB slot
    std::vector<std::unique_ptr<char[]>> m_blocks;
    quint64 m_end = 0; // offset of the first free byte
    size_t m_allocated = 0;
};
