#include "connection/valuecodec.h"
#include "platform/cp1252.h"
#include <ibase.h>
#include <limits>

QString decodeText(const char* p, int len, int charset) {
    if (isSingleByteCharset(charset)) return fromCp1252(QByteArray::fromRawData(p, len));
    return QString::fromUtf8(p, len);
}

QByteArray encodeText(const QString& s, int charset) {
    return isSingleByteCharset(charset) ? toCp1252(s) : s.toUtf8();
}

qint64 powerOf10(int n) {
    qint64 r = 1;
    while (n-- > 0)
        r *= 10;
    return r;
}

bool parseScaled(QString s, int scale, qint64* out) {
    s = s.trimmed();
    s.replace(',', '.');
    bool neg = false;
    if (s.startsWith('-') || s.startsWith('+')) {
        neg = s.startsWith('-');
        s.remove(0, 1);
    }
    const qsizetype dot = s.indexOf('.');
    const QString intPart = dot < 0 ? s : s.left(dot);
    const QString frac = dot < 0 ? QString() : s.mid(dot + 1);
    const int digits = scale < 0 ? -scale : 0;
    if (intPart.isEmpty() && frac.isEmpty()) return false;
    // Accumulate in 128 bits so that an overflow is seen instead of wrapping.
    __int128 v = 0;
    const __int128 limit = std::numeric_limits<qint64>::max();
    for (QChar c : intPart) {
        if (c < QChar('0') || c > QChar('9')) return false;
        v = v * 10 + (c.unicode() - '0');
        if (v > limit) return false;
    }
    for (int i = 0; i < frac.size(); ++i) {
        const QChar c = frac[i];
        if (c < QChar('0') || c > QChar('9')) return false;
        if (i < digits) v = v * 10 + (c.unicode() - '0');
    }
    for (qsizetype i = frac.size(); i < digits; ++i)
        v *= 10;
    if (frac.size() > digits && frac[digits] >= QChar('5')) ++v; // half away from zero
    if (v > limit) return false;
    *out = static_cast<qint64>(neg ? -v : v);
    return true;
}

QString formatScaled(qint64 v, int scale, QChar point) {
    const int digits = scale < 0 ? -scale : 0;
    // Magnitude as unsigned so that the smallest 64-bit value is written correctly.
    const quint64 mag = v < 0 ? 0 - static_cast<quint64>(v) : static_cast<quint64>(v);
    QString s = QString::number(mag);
    if (digits > 0) {
        if (s.size() <= digits) s = QString(digits - s.size() + 1, QChar('0')) + s;
        s.insert(s.size() - digits, point);
    }
    if (v < 0) s.prepend('-');
    return s;
}

int bytesPerChar(int charset) {
    switch (charset) {
    case 3: // UNICODE_FSS
        return 3;
    case 4: // UTF8
        return 4;
    case 5:
    case 6:
    case 44:
    case 56:
    case 57:
    case 67:
    case 68: // two-byte Asian charsets
        return 2;
    case 69: // GB18030
        return 4;
    default: // NONE, OCTETS and the single-byte charsets
        return 1;
    }
}

int decimalPrecision(int sqlType) {
    switch (sqlType & ~1) {
    case SQL_SHORT:
        return 4;
    case SQL_LONG:
        return 9;
    default:
        return 18;
    }
}
