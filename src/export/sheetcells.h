#pragma once
#include <QByteArrayView>
#include <QStringEncoder>
#include <QVariant>
#include <algorithm>
#include <memory>
#include <vector>

// The cells of one worksheet, packed in the order they are written: per cell its row and column
// as variable-length integers, a type byte and the value. Integers and fixed-point numbers stay
// exact, dates are a day and a time, texts are UTF-8 with a closing zero. A cell written again
// gets a new entry that hides the older one. Entries live in blocks of 1 MB.
class SheetCells {
public:
    static constexpr int kMaxRows = 1048576;
    static constexpr int kMaxColumns = 16384;
    static constexpr int kMaxTextLength = 32767; // UTF-16 units, as the spreadsheet counts

    enum class Type : quint8 { Empty, Text, Integer, Double, Currency, Date, Time, DateTime, False, True };

    // One cell as stored. Integer: i. Double: f. Currency: i units of 10^-scale. Date, Time and
    // DateTime: i days since 30/12/1899 and ticks (1/10000 s) since midnight. Text: the UTF-8
    // bytes (a zero follows them).
    struct Value {
        Type type = Type::Empty;
        qint64 i = 0;
        qint64 ticks = 0;
        double f = 0;
        int scale = 0;
        QByteArrayView text;
    };
    struct Entry {
        int row = 0;
        int column = 0;
        Value value;
    };

    SheetCells();
    ~SheetCells();
    SheetCells(const SheetCells&) = delete;
    SheetCells& operator=(const SheetCells&) = delete;

    // Row and column from 1. An invalid QVariant empties the cell. Texts longer than the cell
    // holds are cut; line breaks become LF; control characters that the file cannot carry become
    // U+FFFD. Raises AppError
    // for a cell outside the sheet and DispatchError(TypeMismatch) for a value no cell holds.
    void put(int row, int column, const QVariant& value);
    // The value of a cell, as put() takes it (an invalid QVariant when empty). Reads every entry.
    QVariant get(int row, int column) const;

    // Visits every cell that holds a value, row by row and left to right.
    template <class F> void forEach(F&& f) const {
        if (m_ordered) {
            for (const Block& b : m_blocks)
                for (const char* p = b.data.get(); p < b.data.get() + b.used;) {
                    Entry e;
                    p = decode(p, &e);
                    if (e.value.type != Type::Empty) f(static_cast<const Entry&>(e));
                }
            return;
        }
        for (const char* p : latestEntries()) {
            Entry e;
            decode(p, &e);
            if (e.value.type != Type::Empty) f(static_cast<const Entry&>(e));
        }
    }

    int textsCut() const { return m_textsCut; }
    size_t memoryUsed() const; // bytes held by the blocks

private:
    struct Block {
        std::unique_ptr<char[]> data;
        size_t size = 0;
        size_t used = 0;
    };
    char* reserve(size_t bytes);
    void commit(const char* end);
    void putText(char* p, QStringView text);
    static const char* decode(const char* p, Entry* e);
    std::vector<const char*> latestEntries() const; // in row and column order, the last of each

    std::vector<Block> m_blocks;
    bool m_ordered = true; // every entry after the one before it in row and column order
    int m_lastRow = 0;
    int m_lastColumn = 0;
    int m_textsCut = 0;
    QStringEncoder m_utf8{QStringEncoder::Utf8, QStringEncoder::Flag::Stateless};
};
