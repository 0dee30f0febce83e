// Finding rows: locate() and the test it puts to each row.
#include "connection/columninfo.h"
#include "connection/datasetprivate.h"
#include "connection/fieldkind.h"
#include "connection/fieldvalue.h"
#include "connection/valuecodec.h"
#include <functional>
#include <optional>

// ---------------------------------------------------------------------------------------------
// Locate

namespace {
bool isAsciiUpperPrefix(QByteArrayView value, const QByteArray& needleUpper, bool partial, bool* decided) {
    // Compares ASCII bytes directly; anything else is left to the decoding comparison.
    if (!partial && value.size() != needleUpper.size()) {
        // Lengths of ASCII texts must agree; a non-ASCII value may still match after case mapping.
        for (char ch : value)
            if (static_cast<unsigned char>(ch) >= 0x80) {
                *decided = false;
                return false;
            }
        *decided = true;
        return false;
    }
    if (value.size() < needleUpper.size()) {
        for (char ch : value)
            if (static_cast<unsigned char>(ch) >= 0x80) {
                *decided = false;
                return false;
            }
        *decided = true;
        return false;
    }
    for (qsizetype i = 0; i < needleUpper.size(); ++i) {
        const auto b = static_cast<unsigned char>(value[i]);
        if (b >= 0x80) {
            *decided = false;
            return false;
        }
        const char up = (b >= 'a' && b <= 'z') ? static_cast<char>(b - 32) : static_cast<char>(b);
        if (up != needleUpper[i]) {
            *decided = true;
            return false;
        }
    }
    *decided = true;
    return true;
}
} // namespace

// The test that locate() puts to one row, built once; empty when no row can match.
std::function<bool(int)> DataSetPrivate::rowTest(int fi, const QVariant& value, int options) {
    const ColumnLayout layout = cols[fi].layout;
    const bool ci = options & DataSet::CaseInsensitive;
    const bool partial = options & DataSet::PartialKey;
    const bool searchNull = !value.isValid() || value.isNull();

    std::function<bool(int)> test;
    if (searchNull) {
        test = [this, fi](int r) { return q->isNull(r, fi); };
    } else if (layout.kind == FieldKind::String) {
        // A CHAR value is its text padded to the column's length, and the searched text keeps its
        // blanks: only a prefix without trailing blanks can be compared on the stored bytes.
        QString needle = value.toString();
        if (ci) needle = needle.toUpper();
        bool asciiNeedle = ci && !(layout.fixedChar && (!partial || needle.endsWith(' ')));
        for (QChar ch : needle)
            if (ch.unicode() >= 0x80) asciiNeedle = false;
        const QByteArray needleBytes = needle.toLatin1();
        test = [=, this](int r) {
            if (q->isNull(r, fi)) return false;
            if (asciiNeedle && !(editing() && r == editRow)) {
                bool decided = false;
                const bool hit = isAsciiUpperPrefix(store.textBytes(r, fi), needleBytes, partial, &decided);
                if (decided) return hit;
            }
            QString v = q->text(r, fi);
            if (ci) v = v.toUpper();
            return partial ? v.startsWith(needle) : v == needle;
        };
    } else if (layout.kind == FieldKind::Date || layout.kind == FieldKind::Time ||
               layout.kind == FieldKind::DateTime) {
        // The searched text is read as a date or time; when it does not read, nothing matches.
        qint64 target = 0;
        qint64 unit = 10; // compare at the precision the searched value gives (a QTime: milliseconds)
        const int type = value.typeId();
        QDate date;
        QTime time(0, 0);
        bool hasTime = false;
        bool ok = true;
        if (type == QMetaType::QDate) {
            date = value.toDate();
        } else if (type == QMetaType::QTime) {
            time = value.toTime();
            hasTime = true;
        } else if (type == QMetaType::QDateTime) {
            date = value.toDateTime().date();
            time = value.toDateTime().time();
            hasTime = true;
        } else if (layout.kind == FieldKind::Time) {
            ok = parseTime(value.toString(), &time);
            hasTime = true;
            if (ok) unit = time.msec() == 0 ? 10000 : 10;
        } else {
            ok = parseDateTime(value.toString(), &date, &time, &hasTime);
            if (ok) unit = time.msec() == 0 ? 10000 : 10;
        }
        if (layout.kind == FieldKind::Date) ok = ok && date.isValid() && (!hasTime || time == QTime(0, 0));
        else if (layout.kind == FieldKind::Time) ok = ok && time.isValid();
        else ok = ok && date.isValid() && time.isValid();
        if (!ok) return {}; // no row matches
        const qint64 ticks = static_cast<qint64>(time.msecsSinceStartOfDay()) * 10;
        if (layout.kind == FieldKind::Date) target = qDateToIscDate(date);
        else if (layout.kind == FieldKind::Time) target = ticks;
        else target = static_cast<qint64>(qDateToIscDate(date)) * kTicksPerDay + ticks;
        if (layout.kind == FieldKind::Date) unit = 1;
        test = [=, this](int r) {
            if (q->isNull(r, fi)) return false;
            const qint64 v = currentCell(r, fi).i;
            const auto floorDiv = [](qint64 a, qint64 b) { return a / b - ((a % b) < 0 ? 1 : 0); };
            return floorDiv(v, unit) == floorDiv(target, unit);
        };
    } else if (layout.kind == FieldKind::Memo) {
        // A text blob is no character field: its whole text equals the searched one, case and all.
        const QString wanted = value.toString();
        test = [=, this](int r) { return !q->isNull(r, fi) && q->value(r, fi).toString() == wanted; };
    } else if (layout.kind == FieldKind::Blob) {
        const QByteArray wanted = value.typeId() == QMetaType::QByteArray ? value.toByteArray()
                                                                          : value.toString().toLatin1();
        test = [=, this](int r) { return !q->isNull(r, fi) && blobOf(currentCell(r, fi)) == wanted; };
    } else if (value.typeId() == QMetaType::QString) {
        // Numbers and booleans searched with a text: the value written as text equals it exactly
        // ("01" does not find 1, "12,5" not 12,50).
        const QString wanted = value.toString();
        test = [=, this](int r) { return !q->isNull(r, fi) && q->text(r, fi) == wanted; };
    } else {
        // Numbers and booleans searched with a number: the searched value converted to the field's
        // type, compared exactly; a value that does not convert is compared with the field's text.
        std::optional<Cell> target;
        try {
            target = cellFromVariant(layout, value, cols[fi].name);
        } catch (const AppError&) {
        }
        const QString wantedText = value.toString();
        const bool isFloat = layout.sqlType == SQL_FLOAT || layout.sqlType == SQL_DOUBLE || layout.sqlType == SQL_D_FLOAT;
        test = [=, this](int r) {
            if (q->isNull(r, fi)) return false;
            if (target && !target->null) {
                const Cell c = currentCell(r, fi);
                if (isFloat) return c.f == target->f || (layout.sqlType == SQL_FLOAT && float(c.f) == float(target->f));
                return c.i == target->i;
            }
            return q->text(r, fi) == wantedText;
        };
    }

    return test;
}

bool DataSet::locate(const QString& fieldName, const QVariant& value, int options) {
    d->checkActive();
    Field* f = fieldByName(fieldName);
    const int fi = f->index();
    d->checkBrowseMode();
    const std::function<bool(int)> test = d->rowTest(fi, value, options);
    if (!test) return false;
    for (int r = 0;; ++r) {
        if (r >= d->store.count()) {
            if (allFetched() || d->fetch(kLocateBatch) == 0) break;
        }
        if (test(r)) {
            if (r != d->current) {
                d->bof = d->eof = false;
                d->setCurrent(r);
            }
            return true;
        }
    }
    return false;
}

int DataSet::findRow(const QString& fieldName, const QVariant& value, int options, int from) const {
    d->checkActive();
    const int fi = fieldByName(fieldName)->index();
    const std::function<bool(int)> test = d->rowTest(fi, value, options);
    if (!test) return -1;
    for (int r = std::max(from, 0); r < d->store.count(); ++r)
        if (test(r)) return r;
    return -1;
}
