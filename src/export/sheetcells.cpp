#include "export/sheetcells.h"
#include "platform/automation.h"
#include "platform/varint.h"
#include <cstring>

namespace {
constexpr size_t kBlockSize = 1 << 20;
constexpr size_t kMaxHeader = 2 * 10 + 1; // row, column, type

// Characters an XML file cannot carry, and halves of surrogate pairs standing alone.
bool unfit(QStringView s, qsizetype i) {
    const char16_t c = s[i].unicode();
    if (c < 0x20) return c != '\t' && c != '\n';
    if (c == 0xfffe || c == 0xffff) return true;
    if (QChar::isHighSurrogate(c)) return i + 1 >= s.size() || !s[i + 1].isLowSurrogate();
    if (QChar::isLowSurrogate(c)) return i == 0 || !s[i - 1].isHighSurrogate();
    return false;
}

// Bytes of the UTF-8 form of a text free of unfit characters.
size_t utf8Length(QStringView s) {
    size_t n = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t c = s[i].unicode();
        if (c < 0x80)
            n += 1;
        else if (c < 0x800)
            n += 2;
        else if (QChar::isHighSurrogate(c))
            n += 2; // with its low half: four bytes
        else if (QChar::isLowSurrogate(c))
            n += 2;
        else
            n += 3;
    }
    return n;
}

[[noreturn]] void outsideSheet(int row, int column) {
    throw AppError(
        QStringLiteral("A célula da linha %1, coluna %2 fica fora da planilha, que comporta no máximo "
                       "1.048.576 linhas e 16.384 colunas")
            .arg(row)
            .arg(column));
}
} // namespace

SheetCells::SheetCells() = default;
SheetCells::~SheetCells() = default;

size_t SheetCells::memoryUsed() const {
    size_t bytes = m_blocks.capacity() * sizeof(Block);
    for (const Block& b : m_blocks)
        bytes += b.size;
    return bytes;
}

char* SheetCells::reserve(size_t bytes) {
    if (m_blocks.empty() || m_blocks.back().size - m_blocks.back().used < bytes) {
        Block b;
        b.size = std::max(kBlockSize, bytes);
        b.data = std::make_unique<char[]>(b.size);
        m_blocks.push_back(std::move(b));
    }
    return m_blocks.back().data.get() + m_blocks.back().used;
}

void SheetCells::commit(const char* end) {
    Block& b = m_blocks.back();
    b.used = static_cast<size_t>(end - b.data.get());
}

void SheetCells::putText(char* p, QStringView text) {
    const size_t len = utf8Length(text);
    p = putVarint(p, len);
    p = m_utf8.appendToBuffer(p, text);
    *p++ = '\0';
    commit(p);
}

void SheetCells::put(int row, int column, const QVariant& value) {
    if (row < 1 || row > kMaxRows || column < 1 || column > kMaxColumns) outsideSheet(row, column);
    if (m_ordered && (row < m_lastRow || (row == m_lastRow && column <= m_lastColumn))) m_ordered = false;

    auto header = [&](char* p, Type t) {
        p = putVarint(p, static_cast<quint64>(row));
        p = putVarint(p, static_cast<quint64>(column));
        *p++ = static_cast<char>(t);
        return p;
    };
    char* p = nullptr;
    const QMetaType type = value.metaType();
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        commit(header(reserve(kMaxHeader), Type::Empty));
        break;
    case QMetaType::QString: {
        QString text = value.toString();
        // A line break inside a cell is a lone LF; the file would carry a CR as an escape that
        // not every spreadsheet reads back.
        if (text.contains(QChar('\r'))) {
            text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            text.replace(QChar('\r'), QChar('\n'));
        }
        if (text.size() > kMaxTextLength) {
            text.truncate(text.at(kMaxTextLength - 1).isHighSurrogate() ? kMaxTextLength - 1
                                                                        : kMaxTextLength);
            ++m_textsCut;
        }
        for (qsizetype i = 0; i < text.size(); ++i)
            if (unfit(text, i)) text[i] = QChar::ReplacementCharacter;
        p = header(reserve(kMaxHeader + 10 + 3 * static_cast<size_t>(text.size()) + 1), Type::Text);
        putText(p, text);
        break;
    }
    case QMetaType::Bool:
        commit(header(reserve(kMaxHeader), value.toBool() ? Type::True : Type::False));
        break;
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::UInt:
    case QMetaType::LongLong:
        p = header(reserve(kMaxHeader + 10), Type::Integer);
        commit(putVarint(p, zigzag(value.toLongLong())));
        break;
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = value.toDouble();
        p = header(reserve(kMaxHeader + sizeof d), Type::Double);
        std::memcpy(p, &d, sizeof d);
        commit(p + sizeof d);
        break;
    }
    default:
        if (type == QMetaType::fromType<OleCurrency>()) {
            const auto c = value.value<OleCurrency>();
            p = header(reserve(kMaxHeader + 11), Type::Currency);
            *p++ = static_cast<char>(c.scale);
            commit(putVarint(p, zigzag(c.units)));
        } else if (type == QMetaType::fromType<OleDate>()) {
            const auto d = value.value<OleDate>();
            const Type t = d.kind == OleDate::Date   ? Type::Date
                           : d.kind == OleDate::Time ? Type::Time
                                                     : Type::DateTime;
            p = header(reserve(kMaxHeader + 20), t);
            if (t != Type::Time) p = putVarint(p, zigzag(d.days));
            if (t != Type::Date) p = putVarint(p, packTime(static_cast<quint64>(d.ticks)));
            commit(p);
        } else {
            throw DispatchError(DispatchError::TypeMismatch);
        }
    }
    m_lastRow = row;
    m_lastColumn = column;
}

const char* SheetCells::decode(const char* p, Entry* e) {
    quint64 v = 0;
    p = getVarint(p, &v);
    e->row = static_cast<int>(v);
    p = getVarint(p, &v);
    e->column = static_cast<int>(v);
    Value& x = e->value;
    x.type = static_cast<Type>(*p++);
    switch (x.type) {
    case Type::Text:
        p = getVarint(p, &v);
        x.text = QByteArrayView(p, static_cast<qsizetype>(v));
        return p + v + 1;
    case Type::Integer:
        p = getVarint(p, &v);
        x.i = unzigzag(v);
        return p;
    case Type::Double:
        std::memcpy(&x.f, p, sizeof x.f);
        return p + sizeof x.f;
    case Type::Currency:
        x.scale = static_cast<unsigned char>(*p++);
        p = getVarint(p, &v);
        x.i = unzigzag(v);
        return p;
    case Type::Date:
    case Type::DateTime:
        p = getVarint(p, &v);
        x.i = unzigzag(v);
        if (x.type == Type::Date) return p;
        [[fallthrough]];
    case Type::Time:
        p = getVarint(p, &v);
        x.ticks = static_cast<qint64>(unpackTime(v));
        return p;
    default:
        return p;
    }
}

std::vector<const char*> SheetCells::latestEntries() const {
    struct Ref {
        int row;
        int column;
        const char* p;
    };
    std::vector<Ref> refs;
    for (const Block& b : m_blocks)
        for (const char* p = b.data.get(); p < b.data.get() + b.used;) {
            Entry e;
            const char* next = decode(p, &e);
            refs.push_back({e.row, e.column, p});
            p = next;
        }
    // Stable: of the entries of one cell, the last written comes last.
    std::stable_sort(refs.begin(), refs.end(), [](const Ref& a, const Ref& b) {
        return a.row != b.row ? a.row < b.row : a.column < b.column;
    });
    std::vector<const char*> out;
    out.reserve(refs.size());
    for (size_t i = 0; i < refs.size(); ++i)
        if (i + 1 == refs.size() || refs[i + 1].row != refs[i].row || refs[i + 1].column != refs[i].column)
            out.push_back(refs[i].p);
    return out;
}

QVariant SheetCells::get(int row, int column) const {
    if (row < 1 || row > kMaxRows || column < 1 || column > kMaxColumns) outsideSheet(row, column);
    Value found;
    for (const Block& b : m_blocks)
        for (const char* p = b.data.get(); p < b.data.get() + b.used;) {
            Entry e;
            p = decode(p, &e);
            if (e.row == row && e.column == column) found = e.value;
        }
    switch (found.type) {
    case Type::Empty:
        return {};
    case Type::Text:
        return QString::fromUtf8(found.text);
    case Type::Integer:
        return found.i;
    case Type::Double:
        return found.f;
    case Type::Currency:
        return QVariant::fromValue(OleCurrency{found.i, found.scale});
    case Type::Date:
        return QVariant::fromValue(OleDate{found.i, 0, OleDate::Date});
    case Type::Time:
        return QVariant::fromValue(OleDate{0, found.ticks, OleDate::Time});
    case Type::DateTime:
        return QVariant::fromValue(OleDate{found.i, found.ticks, OleDate::DateTime});
    case Type::False:
    case Type::True:
        return found.type == Type::True;
    }
    return {};
}
