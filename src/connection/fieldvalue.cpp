#include "connection/fieldvalue.h"
#include "connection/statement.h"
#include "connection/valuecodec.h"
#include "platform/apperror.h"
#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>
#include <charconv>
#include <cmath>
#include <limits>

namespace {
QString formatFloat(double d, bool single) {
    if (std::isnan(d)) return QStringLiteral("NAN");
    if (std::isinf(d)) return d < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    char buf[64];
    const auto r = single ? std::to_chars(buf, buf + sizeof buf, static_cast<float>(d))
                          : std::to_chars(buf, buf + sizeof buf, d);
    QString s = QString::fromLatin1(buf, r.ptr - buf);
    s.replace('.', localeDecimalPoint());
    return s;
}

// A FLOAT as the double its shortest text denotes: 0.1f reads as 0.1, not 0.100000001490116.
double shortestDouble(float f) {
    if (!std::isfinite(f)) return f;
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, f);
    double d = f;
    std::from_chars(buf, r.ptr, d);
    return d;
}

QDate dateOf(qint64 days) { return iscDateToQDate(static_cast<ISC_DATE>(days)); }
qint64 daysOf(const QDate& d) { return qDateToIscDate(d); }
qint64 ticksOf(const QTime& t) { return static_cast<qint64>(t.msecsSinceStartOfDay()) * 10; }

// The range of the integer a value is stored in.
std::pair<qint64, qint64> storageRange(int sqlType) {
    switch (sqlType) {
    case SQL_SHORT:
        return {std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max()};
    case SQL_LONG:
        return {std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()};
    default:
        return {std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max()};
    }
}

[[noreturn]] void rangeError(const QString& value, const ColumnLayout& s, const QString& fieldName) {
    const QChar dp = localeDecimalPoint();
    throw AppError(QStringLiteral("%1 is not a valid value for field '%2'. The allowed range is %3 to %4")
                       .arg(value, fieldName, formatScaled(storageRange(s.sqlType).first, s.scale, dp),
                            formatScaled(storageRange(s.sqlType).second, s.scale, dp)));
}

void checkRange(const ColumnLayout& s, qint64 v, const QString& shown, const QString& fieldName) {
    const auto [low, high] = storageRange(s.sqlType);
    if (v < low || v > high) rangeError(shown, s, fieldName);
}

int yearFromTwoDigits(int y) {
    const int now = QDate::currentDate().year();
    int full = now / 100 * 100 + y;
    if (full > now + 50) full -= 100;
    else if (full <= now - 50) full += 100;
    return full;
}
} // namespace

QChar localeDecimalPoint() {
    const QString p = QLocale().decimalPoint();
    return p.isEmpty() ? QChar('.') : p.front();
}

QString timeOfDayText(qint64 ticks) {
    const qint64 secs = ticks / 10000;
    return QStringLiteral("%1:%2:%3")
        .arg(secs / 3600, 2, 10, QChar('0'))
        .arg(secs / 60 % 60, 2, 10, QChar('0'))
        .arg(secs % 60, 2, 10, QChar('0'));
}

QString shortDateFormat() {
    QString f = QLocale().dateFormat(QLocale::ShortFormat);
    if (!f.contains(QLatin1String("yyyy"))) f.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return f;
}

bool parseTimeTicks(const QString& text, qint64* ticks) {
    static const QRegularExpression re(QStringLiteral(R"(^\s*(\d{1,2}):(\d{1,2})(?::(\d{1,2})(?:[.,](\d{1,4}))?)?\s*$)"));
    const auto m = re.match(text);
    if (!m.hasMatch()) return false;
    const int h = m.captured(1).toInt(), min = m.captured(2).toInt(), sec = m.captured(3).toInt();
    if (h > 23 || min > 59 || sec > 59) return false;
    const qint64 fraction = m.capturedLength(4) > 0 ? m.captured(4).leftJustified(4, '0').toInt() : 0;
    *ticks = ((h * 60 + min) * 60 + sec) * qint64(10000) + fraction;
    return true;
}

bool parseTime(const QString& text, QTime* time) {
    qint64 ticks = 0;
    if (!parseTimeTicks(text, &ticks)) return false;
    *time = QTime::fromMSecsSinceStartOfDay(static_cast<int>(ticks / 10));
    return true;
}

bool parseDateTime(const QString& text, QDate* date, QTime* time, bool* hasTime, qint64* ticks) {
    const QString s = text.trimmed();
    const qsizetype blank = s.indexOf(' ');
    const QString datePart = blank < 0 ? s : s.left(blank);
    const QString timePart = blank < 0 ? QString() : s.mid(blank + 1).trimmed();
    static const QRegularExpression sep(QStringLiteral("[/.-]"));
    const QStringList parts = datePart.split(sep);
    if (parts.size() < 2 || parts.size() > 3) return false;
    int nums[3] = {0, 0, 0};
    for (int i = 0; i < parts.size(); ++i) {
        bool ok = false;
        nums[i] = parts[i].toInt(&ok);
        if (!ok || parts[i].isEmpty() || parts[i].startsWith('+') || parts[i].startsWith('-')) return false;
    }
    int day, month, year;
    if (parts.size() == 3 && parts[0].size() == 4) { // yyyy-MM-dd
        year = nums[0];
        month = nums[1];
        day = nums[2];
    } else {
        // Order of day, month and year as the locale's short date writes them.
        const QString f = shortDateFormat();
        const qsizetype dPos = f.indexOf('d'), mPos = f.indexOf('M'), yPos = f.indexOf('y');
        QList<QPair<qsizetype, char>> order{{dPos, 'd'}, {mPos, 'M'}, {yPos, 'y'}};
        std::sort(order.begin(), order.end());
        day = month = 0;
        year = QDate::currentDate().year();
        int k = 0;
        for (const auto& [pos, what] : order) {
            if (what == 'y' && parts.size() == 2) continue; // day and month only: this year
            const int v = nums[k];
            const bool twoDigits = parts[k].size() <= 2;
            ++k;
            if (what == 'd') day = v;
            else if (what == 'M') month = v;
            else year = twoDigits ? yearFromTwoDigits(v) : v;
        }
    }
    const QDate d(year, month, day);
    if (!d.isValid()) return false;
    qint64 t = 0;
    if (!timePart.isEmpty() && !parseTimeTicks(timePart, &t)) return false;
    *date = d;
    *time = QTime::fromMSecsSinceStartOfDay(static_cast<int>(t / 10));
    *hasTime = !timePart.isEmpty();
    if (ticks) *ticks = t;
    return true;
}

bool normalizeNumber(const QString& text, QString* out) {
    QString s = text.trimmed();
    if (s.isEmpty()) return false;
    const QChar dp = localeDecimalPoint();
    const QString groupText = QLocale().groupSeparator();
    const QChar group = groupText.isEmpty() ? QChar() : groupText.front();
    if (dp != '.') {
        if (s.contains(dp)) {
            if (!group.isNull()) s.remove(group);
            s.replace(dp, QChar('.'));
        } else if (s.count('.') > 1) {
            s.remove('.'); // points as grouping: "1.234.567"
        }
    } else if (!group.isNull()) {
        s.remove(group);
    }
    static const QRegularExpression number(QStringLiteral(R"(^[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?$)"));
    if (!number.match(s).hasMatch()) return false;
    *out = s;
    return true;
}

QString textOfBytes(const ColumnLayout& s, QByteArrayView bytes) {
    QString t = decodeText(bytes.data(), static_cast<int>(bytes.size()), s.charset);
    if (s.fixedChar && s.charset != 1) {
        // Padded to the column's length in characters (a character beyond the BMP counts once).
        qsizetype chars = 0;
        for (qsizetype i = 0; i < t.size(); ++i)
            if (!t[i].isLowSurrogate()) ++chars;
        if (chars < s.chars) t.append(QString(s.chars - chars, QChar(' ')));
    }
    return t;
}

QString textOf(const ColumnLayout& s, const Cell& c) {
    if (c.null) return {};
    switch (s.kind) {
    case FieldKind::String:
        return textOfBytes(s, QByteArrayView(c.bytes));
    case FieldKind::SmallInt:
    case FieldKind::Integer:
    case FieldKind::LargeInt:
        return QString::number(c.i);
    case FieldKind::BCD:
    case FieldKind::FmtBCD:
        return formatScaled(c.i, s.scale, localeDecimalPoint());
    case FieldKind::Float:
        if (s.sqlType == SQL_FLOAT || s.sqlType == SQL_DOUBLE || s.sqlType == SQL_D_FLOAT)
            return formatFloat(c.f, s.sqlType == SQL_FLOAT);
        // Scaled integers on a dialect-1 connection.
        return formatFloat(static_cast<double>(c.i) / static_cast<double>(powerOf10(-s.scale)), false);
    case FieldKind::Date:
        return QLocale().toString(dateOf(c.i), shortDateFormat());
    case FieldKind::Time:
        return timeOfDayText(c.i);
    case FieldKind::DateTime: {
        const auto [days, ticks] = splitTimestamp(c.i);
        QString t = QLocale().toString(dateOf(days), shortDateFormat());
        if (ticks != 0) t += ' ' + timeOfDayText(ticks);
        return t;
    }
    case FieldKind::Boolean:
        return c.i ? QStringLiteral("True") : QStringLiteral("False");
    default:
        return {};
    }
}

QString editTextOf(const ColumnLayout& s, const Cell& c) {
    QString t = textOf(s, c);
    if (c.null || (s.kind != FieldKind::Time && s.kind != FieldKind::DateTime)) return t;
    const qint64 ticks = s.kind == FieldKind::Time ? c.i : splitTimestamp(c.i).second;
    QString fraction = QString::number(ticks % 10000).rightJustified(4, '0');
    while (fraction.endsWith('0'))
        fraction.chop(1);
    if (fraction.isEmpty()) return t;
    return t + localeDecimalPoint() + fraction;
}

QVariant variantOf(const ColumnLayout& s, const Cell& c) {
    if (c.null) return {};
    switch (s.kind) {
    case FieldKind::String:
        return textOfBytes(s, QByteArrayView(c.bytes));
    case FieldKind::SmallInt:
    case FieldKind::Integer:
        return static_cast<int>(c.i);
    case FieldKind::LargeInt:
        return c.i;
    case FieldKind::BCD:
    case FieldKind::FmtBCD:
        // Through the exact text, so that 0.1 reads as the double nearest to 0.1.
        return formatScaled(c.i, s.scale).toDouble();
    case FieldKind::Float:
        if (s.sqlType == SQL_FLOAT) return shortestDouble(static_cast<float>(c.f));
        if (s.sqlType == SQL_DOUBLE || s.sqlType == SQL_D_FLOAT) return c.f;
        return formatScaled(c.i, s.scale).toDouble();
    case FieldKind::Date:
        return dateOf(c.i);
    case FieldKind::Time:
        return QTime::fromMSecsSinceStartOfDay(static_cast<int>(c.i / 10));
    case FieldKind::DateTime: {
        const auto [days, ticks] = splitTimestamp(c.i);
        return QDateTime(dateOf(days), QTime::fromMSecsSinceStartOfDay(static_cast<int>(ticks / 10)), Qt::UTC);
    }
    case FieldKind::Boolean:
        return c.i != 0;
    default:
        return {};
    }
}

QVariant bindValueOf(const ColumnLayout& s, const Cell& c) {
    if (c.null) return {};
    switch (s.sqlType) {
    case SQL_TEXT:
    case SQL_VARYING:
        return decodeText(c.bytes.constData(), static_cast<int>(c.bytes.size()), s.charset);
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64:
        if (s.scale == 0) return c.i;
        return formatScaled(c.i, s.scale); // exact, whatever the parameter's type
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return c.f;
    case SQL_TYPE_DATE:
        return dateOf(c.i);
    case SQL_TYPE_TIME:
        return QVariant::fromValue(SqlTime{static_cast<ISC_TIME>(c.i)});
    case SQL_TIMESTAMP: {
        const auto [days, ticks] = splitTimestamp(c.i);
        return QVariant::fromValue(SqlTimestamp{static_cast<ISC_DATE>(days), static_cast<ISC_TIME>(ticks)});
    }
    case SQL_BLOB:
        return QVariant::fromValue<qulonglong>(static_cast<qulonglong>(c.i));
    default:
        return c.i != 0;
    }
}

Cell cellFromText(const ColumnLayout& s, const QString& text, const QString& fieldName) {
    Cell c;
    if (s.kind == FieldKind::String) {
        c.null = false;
        c.bytes = encodeText(text, s.charset);
        return c;
    }
    if (s.kind == FieldKind::Memo || s.kind == FieldKind::Blob) {
        c.null = false;
        c.blobChanged = true;
        c.bytes = s.kind == FieldKind::Memo ? encodeText(text, s.blobCharset) : text.toLatin1();
        return c;
    }
    if (text.trimmed().isEmpty()) return c; // NULL
    c.null = false;
    QString n;
    switch (s.kind) {
    case FieldKind::SmallInt:
    case FieldKind::Integer:
    case FieldKind::LargeInt: {
        bool ok = false;
        const qint64 v = text.trimmed().toLongLong(&ok);
        if (!ok) throw AppError(QStringLiteral("'%1' is not a valid integer value").arg(text));
        checkRange(s, v, text.trimmed(), fieldName);
        c.i = v;
        return c;
    }
    case FieldKind::BCD:
    case FieldKind::FmtBCD:
        if (!normalizeNumber(text, &n) || n.contains('e', Qt::CaseInsensitive) || !parseScaled(n, s.scale, &c.i))
            throw AppError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
        checkRange(s, c.i, text.trimmed(), fieldName);
        return c;
    case FieldKind::Float: {
        bool ok = normalizeNumber(text, &n);
        const double d = ok ? n.toDouble(&ok) : 0;
        if (!ok) throw AppError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
        return cellFromVariant(s, d, fieldName);
    }
    case FieldKind::Date:
    case FieldKind::DateTime: {
        QDate d;
        QTime t;
        bool hasTime = false;
        qint64 ticks = 0;
        if (!parseDateTime(text, &d, &t, &hasTime, &ticks) || (s.kind == FieldKind::Date && ticks != 0))
            throw AppError((s.kind == FieldKind::Date ? QStringLiteral("'%1' is not a valid date")
                                                       : QStringLiteral("'%1' is not a valid date and time"))
                               .arg(text));
        c.i = s.kind == FieldKind::Date ? daysOf(d) : daysOf(d) * kTicksPerDay + ticks;
        return c;
    }
    case FieldKind::Time: {
        qint64 ticks = 0;
        if (!parseTimeTicks(text, &ticks))
            throw AppError(QStringLiteral("'%1' is not a valid time").arg(text));
        c.i = ticks;
        return c;
    }
    case FieldKind::Boolean: {
        const QString b = text.trimmed().toLower();
        static const QStringList yes{QStringLiteral("true"), QStringLiteral("t"), QStringLiteral("1"),
                                     QStringLiteral("verdadeiro"), QStringLiteral("sim"), QStringLiteral("s")};
        static const QStringList no{QStringLiteral("false"), QStringLiteral("f"), QStringLiteral("0"),
                                    QStringLiteral("falso"), QStringLiteral("não"), QStringLiteral("nao"),
                                    QStringLiteral("n")};
        if (yes.contains(b)) c.i = 1;
        else if (no.contains(b)) c.i = 0;
        else throw AppError(QStringLiteral("'%1' is not a valid boolean value").arg(text));
        return c;
    }
    default:
        throw AppError(QStringLiteral("'%1' is not a valid value").arg(text));
    }
}

Cell cellFromVariant(const ColumnLayout& s, const QVariant& v, const QString& fieldName) {
    Cell c;
    if (!v.isValid() || v.isNull()) return c;
    const int type = v.typeId();
    if (type == QMetaType::QString && s.kind != FieldKind::String) return cellFromText(s, v.toString(), fieldName);
    c.null = false;
    switch (s.kind) {
    case FieldKind::String:
        c.bytes = encodeText(v.toString(), s.charset);
        return c;
    case FieldKind::Memo:
    case FieldKind::Blob:
        c.blobChanged = true;
        if (type == QMetaType::QByteArray) c.bytes = v.toByteArray();
        else return cellFromText(s, v.toString(), fieldName);
        return c;
    case FieldKind::SmallInt:
    case FieldKind::Integer:
    case FieldKind::LargeInt:
    case FieldKind::BCD:
    case FieldKind::FmtBCD:
    case FieldKind::Float: {
        const bool scaledInt = s.sqlType == SQL_SHORT || s.sqlType == SQL_LONG || s.sqlType == SQL_INT64;
        const bool integral = type == QMetaType::Int || type == QMetaType::LongLong || type == QMetaType::UInt ||
                              type == QMetaType::ULongLong || type == QMetaType::Short ||
                              type == QMetaType::Bool;
        if (!scaledInt) {
            bool ok = false;
            c.f = v.toDouble(&ok);
            if (!ok) throw AppError(QStringLiteral("'%1' is not a valid floating point value").arg(v.toString()));
            return c;
        }
        if (integral) {
            if (type == QMetaType::ULongLong && v.toULongLong() > quint64(std::numeric_limits<qint64>::max()))
                rangeError(v.toString(), s, fieldName);
            const qint64 x = v.toLongLong();
            const qint64 factor = powerOf10(-s.scale);
            const auto [low, high] = storageRange(s.sqlType);
            if (x > high / factor || x < low / factor)
                rangeError(v.toString(), s, fieldName);
            c.i = x * factor;
            return c;
        }
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (!ok) throw AppError(QStringLiteral("'%1' is not a valid floating point value").arg(v.toString()));
        // Through the shortest text of the double, so that 0.1 becomes exactly 1 tenth.
        char buf[64];
        const auto r = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::fixed);
        if (r.ec != std::errc() || !parseScaled(QString::fromLatin1(buf, r.ptr - buf), s.scale, &c.i))
            rangeError(formatFloat(d, false), s, fieldName);
        checkRange(s, c.i, formatFloat(d, false), fieldName);
        return c;
    }
    case FieldKind::Date:
        if (type == QMetaType::QDateTime) c.i = daysOf(v.toDateTime().date());
        else if (type == QMetaType::QDate) c.i = daysOf(v.toDate());
        else throw AppError(QStringLiteral("'%1' is not a valid date").arg(v.toString()));
        return c;
    case FieldKind::Time:
        if (type == qMetaTypeId<SqlTime>()) c.i = v.value<SqlTime>().ticks;
        else if (type == qMetaTypeId<SqlTimestamp>()) c.i = v.value<SqlTimestamp>().ticks;
        else if (type == QMetaType::QDateTime) c.i = ticksOf(v.toDateTime().time());
        else if (type == QMetaType::QTime) c.i = ticksOf(v.toTime());
        else throw AppError(QStringLiteral("'%1' is not a valid time").arg(v.toString()));
        return c;
    case FieldKind::DateTime:
        if (type == qMetaTypeId<SqlTimestamp>()) {
            const SqlTimestamp ts = v.value<SqlTimestamp>();
            c.i = static_cast<qint64>(ts.date) * kTicksPerDay + ts.ticks;
        } else if (type == QMetaType::QDateTime) {
            const QDateTime dt = v.toDateTime();
            c.i = daysOf(dt.date()) * kTicksPerDay + ticksOf(dt.time());
        } else if (type == QMetaType::QDate) {
            c.i = daysOf(v.toDate()) * kTicksPerDay;
        } else {
            throw AppError(QStringLiteral("'%1' is not a valid date and time").arg(v.toString()));
        }
        return c;
    case FieldKind::Boolean:
        c.i = v.toBool() ? 1 : 0;
        return c;
    default:
        throw AppError(QStringLiteral("'%1' is not a valid value").arg(v.toString()));
    }
}
