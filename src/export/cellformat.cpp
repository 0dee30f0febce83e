#include "export/cellformat.h"
#include "connection/fieldvalue.h"
#include "connection/valuecodec.h"
#include <QDate>
#include <QLocale>
#include <charconv>
#include <cmath>

namespace {
constexpr int kNumberDigits = 15; // digits a spreadsheet number shows exactly
constexpr double kMaxWidth = 255;

int digitCount(quint64 v) {
    int n = 1;
    while (v >= 10) {
        v /= 10;
        ++n;
    }
    return n;
}

quint64 magnitude(qint64 v) {
    return v < 0 ? 0 - static_cast<quint64>(v) : static_cast<quint64>(v);
}

// Serial day of the spreadsheet's 1900 date system, which counts a 29/02/1900 that never was;
// -1 before 01/01/1900, where it has no days.
double serialDay(qint64 oleDays) {
    if (oleDays >= 61) return static_cast<double>(oleDays);
    if (oleDays >= 2) return static_cast<double>(oleDays - 1);
    return -1;
}

QString dateText(qint64 oleDays) {
    return QDate(1899, 12, 30).addDays(oleDays).toString(QStringLiteral("dd/MM/yyyy"));
}

// The time of day with every decimal it has, as the program's editors show it.
QString timeText(qint64 ticks, QChar decimalPoint) {
    QString t = timeOfDayText(ticks);
    QString fraction = QString::number(ticks % 10000).rightJustified(4, QChar('0'));
    while (fraction.endsWith(QChar('0')))
        fraction.chop(1);
    return fraction.isEmpty() ? t : t + decimalPoint + fraction;
}

// Ticks cut to the millisecond, never rounded up.
qint64 wholeMillis(qint64 ticks) {
    return ticks - ticks % 10;
}

bool wholeSecond(qint64 ticks) {
    return wholeMillis(ticks) % 10000 == 0;
}

double dayFraction(qint64 ticks) {
    return static_cast<double>(wholeMillis(ticks)) / static_cast<double>(kTicksPerDay);
}

CellOutput textOutput(const QString& s) {
    CellOutput o;
    o.kind = CellOutput::Text;
    o.ownText = s.toUtf8();
    o.text = o.ownText.constData();
    return o;
}

CellOutput numberOutput(double d, int format) {
    CellOutput o;
    o.number = d;
    o.format = format;
    return o;
}

int shortestLength(double d) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, d);
    return static_cast<int>(r.ptr - buf);
}

// Width of the longest line of a UTF-8 text in digit widths: capitals and wide letters take
// more than a digit, most other characters a little more.
double longestLine(QByteArrayView text) {
    double longest = 0, line = 0;
    for (const char c : text) {
        if (c == '\n') {
            longest = std::max(longest, line);
            line = 0;
        } else if ((static_cast<unsigned char>(c) & 0xc0) != 0x80) {
            const bool wide = (c >= 'A' && c <= 'Z') || c == 'm' || c == 'w';
            line += wide ? 1.35 : 1.1;
        }
    }
    return std::max(longest, line);
}
} // namespace

QByteArray numberFormatCode(int format) {
    switch (format) {
    case static_cast<int>(NumberFormat::General):
        return {};
    case static_cast<int>(NumberFormat::Date):
        return "dd/mm/yyyy";
    case static_cast<int>(NumberFormat::Time):
        return "hh:mm:ss";
    case static_cast<int>(NumberFormat::DateTime):
        return "dd/mm/yyyy hh:mm:ss";
    case static_cast<int>(NumberFormat::TimeMillis):
        return "hh:mm:ss.000";
    case static_cast<int>(NumberFormat::DateTimeMillis):
        return "dd/mm/yyyy hh:mm:ss.000";
    default: {
        const int decimals = format - static_cast<int>(NumberFormat::Fixed);
        return decimals > 0 ? "0." + QByteArray(decimals, '0') : QByteArray("0");
    }
    }
}

QChar spreadsheetDecimalPoint() {
    QByteArray name;
    for (const char* variable : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        name = qgetenv(variable);
        if (!name.isEmpty()) break;
    }
    for (const char end : {'.', '@'}) // "pt_BR.UTF-8", "de_DE@euro": "pt_BR", "de_DE"
        if (const qsizetype at = name.indexOf(end); at >= 0) name.truncate(at);
    if (name.isEmpty() || name == "C" || name == "POSIX") return QChar('.');
    const QString point = QLocale(QString::fromLatin1(name)).decimalPoint();
    return point.isEmpty() ? QChar('.') : point.front();
}

CellOutput cellOutput(const SheetCells::Value& v, QChar decimalPoint) {
    using T = SheetCells::Type;
    switch (v.type) {
    case T::Text: {
        CellOutput o;
        o.kind = CellOutput::Text;
        o.text = v.text.data();
        return o;
    }
    case T::Integer:
        if (digitCount(magnitude(v.i)) > kNumberDigits) return textOutput(QString::number(v.i));
        return numberOutput(static_cast<double>(v.i), static_cast<int>(NumberFormat::General));
    case T::Double:
        if (std::isnan(v.f)) return textOutput(QStringLiteral("NAN"));
        if (std::isinf(v.f)) return textOutput(v.f < 0 ? QStringLiteral("-INF") : QStringLiteral("INF"));
        return numberOutput(v.f, static_cast<int>(NumberFormat::General));
    case T::Currency: {
        if (digitCount(magnitude(v.i)) > kNumberDigits)
            return textOutput(formatScaled(v.i, -v.scale, decimalPoint));
        // Through the exact text: the number nearest to the decimal value.
        const QByteArray exact = formatScaled(v.i, -v.scale).toLatin1();
        double d = 0;
        std::from_chars(exact.constData(), exact.constData() + exact.size(), d);
        return numberOutput(d, static_cast<int>(NumberFormat::Fixed) + v.scale);
    }
    case T::Date: {
        const double day = serialDay(v.i);
        if (day < 0) return textOutput(dateText(v.i));
        return numberOutput(day, static_cast<int>(NumberFormat::Date));
    }
    case T::Time:
        return numberOutput(
            dayFraction(v.ticks),
            static_cast<int>(wholeSecond(v.ticks) ? NumberFormat::Time : NumberFormat::TimeMillis));
    case T::DateTime: {
        const double day = serialDay(v.i);
        if (day < 0) return textOutput(dateText(v.i) + ' ' + timeText(v.ticks, decimalPoint));
        return numberOutput(
            day + dayFraction(v.ticks),
            static_cast<int>(wholeSecond(v.ticks) ? NumberFormat::DateTime : NumberFormat::DateTimeMillis));
    }
    case T::False:
    case T::True: {
        CellOutput o;
        o.kind = CellOutput::Boolean;
        o.truth = v.type == T::True;
        return o;
    }
    case T::Empty:
        break;
    }
    return textOutput(QString());
}

double fittedWidth(const SheetCells::Value& v) {
    using T = SheetCells::Type;
    // Digits are the unit, shown a little wider where the spreadsheet lacks the workbook's font;
    // two more for the cell's margins.
    constexpr double kDigit = 1.15, kMargin = 2;
    int chars = 0;
    switch (v.type) {
    case T::Text:
        return std::min(kMaxWidth, longestLine(v.text) + kMargin);
    case T::Integer:
        chars = digitCount(magnitude(v.i)) + (v.i < 0 ? 1 : 0);
        break;
    case T::Double:
        chars = std::isfinite(v.f) ? std::min(shortestLength(v.f), 11) : 4;
        break;
    case T::Currency: {
        const int digits = std::max(digitCount(magnitude(v.i)), v.scale + 1);
        chars = digits + (v.scale > 0 ? 1 : 0) + (v.i < 0 ? 1 : 0);
        break;
    }
    case T::Date:
        chars = 10;
        break;
    case T::Time:
        chars = wholeSecond(v.ticks) ? 8 : 12;
        break;
    case T::DateTime:
        chars = serialDay(v.i) >= 0 && wholeSecond(v.ticks) ? 19 : 24;
        break;
    case T::False:
    case T::True:
        chars = 5;
        break;
    case T::Empty:
        return 0;
    }
    return std::min(kMaxWidth, chars * kDigit + kMargin);
}
