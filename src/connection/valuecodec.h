#pragma once
#include <QByteArray>
#include <QString>

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
