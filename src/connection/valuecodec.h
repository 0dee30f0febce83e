#pragma once
#include <QByteArray>
#include <QString>
#include <ibase.h>
#include <cstring>

// Conversions shared by the statement layer, the table object and the dataset: text in a column's
// character set, exact scaled decimals, and the sizes the server describes.

// NONE (0) and OCTETS (1): bytes pass untranslated; this program reads them as Windows-1252.
inline bool isSingleByteCharset(int charset) { return charset == 0 || charset == 1; }
QString decodeText(const char* p, int len, int charset);
QByteArray encodeText(const QString& s, int charset);

// 10^n for 0 <= n <= 18.
qint64 powerOf10(int n);
// Decimal text ("-123,45" or "-123.45") to an integer scaled by 10^-scale, rounding half away from
// zero on the first dropped digit; false when it does not read or does not fit in 64 bits.
bool parseScaled(QString s, int scale, qint64* out);
// The exact decimal text of a scaled integer with -scale digits after `point`.
QString formatScaled(qint64 v, int scale, QChar point = QChar('.'));

// Bytes one character takes in a text column as this connection (UTF8) describes it.
int bytesPerChar(int charset);
// Digits a fixed-point decimal holds by its storage type (SQL_SHORT 4, SQL_LONG 9, otherwise 18).
int decimalPrecision(int sqlType);

// The integer in an XSQLVAR buffer of type SQL_SHORT, SQL_LONG (also SQL_TYPE_DATE) or SQL_INT64.
inline qint64 readSqlInt(int type, const char* d) {
    switch (type) {
    case SQL_SHORT: {
        qint16 x;
        std::memcpy(&x, d, 2);
        return x;
    }
    case SQL_INT64: {
        qint64 x;
        std::memcpy(&x, d, 8);
        return x;
    }
    default: {
        qint32 x;
        std::memcpy(&x, d, 4);
        return x;
    }
    }
}
