#pragma once
#include "connection/rowstore.h"
#include <QDate>
#include <QString>
#include <QTime>
#include <QVariant>

// One value between its stored form (Cell) and what callers see: a QVariant, or text in the
// locale's form (decimal comma under pt_BR, no grouping; the short date with a four-digit year;
// timestamps with " hh:mm:ss" unless the time is midnight; CHAR padded to its length).
// Blob content is handled by the dataset, which reads it.

QString shortDateFormat(); // the locale's short date, year always with four digits
QChar localeDecimalPoint(); // "," under pt_BR
QString timeOfDayText(qint64 ticks); // ten-thousandths of a second since midnight as "hh:mm:ss"

// Non-blob kinds.
QVariant variantOf(const ColumnLayout& s, const Cell& c);
QString textOf(const ColumnLayout& s, const Cell& c);
// As an editor shows it, so that the text read back is the same value: textOf, and times and
// timestamps with their fraction of a second after the locale's decimal point when it is not
// zero ("12:30:09,1234"; a timestamp at a fraction past midnight shows its time).
QString editTextOf(const ColumnLayout& s, const Cell& c);
// Text columns straight from their stored bytes.
QString textOfBytes(const ColumnLayout& s, QByteArrayView bytes);

// For binding a parameter: exact decimals as text, integers, dates, times and timestamps as the
// exact SqlTime and SqlTimestamp, blob ids.
QVariant bindValueOf(const ColumnLayout& s, const Cell& c);

// A value given by a caller. Raises AppError with the toolkit's messages when it does not convert
// or does not fit ("'%s' is not a valid integer value", "... is not a valid value for field ...").
// fieldName is used in the messages. Blob kinds take QByteArray or QString content.
Cell cellFromVariant(const ColumnLayout& s, const QVariant& v, const QString& fieldName);
// Text read by the same rules as textOf; empty text is NULL except for text columns.
Cell cellFromText(const ColumnLayout& s, const QString& text, const QString& fieldName);

// Dates and times typed by the user: the short date form (day, month and year in the locale's
// order, separated by "/", "-" or "."; a two-digit year falls within fifty years of today),
// optionally followed by a time "hh:mm[:ss[.ffff]]" (up to four digits after "." or ","). false
// when the text does not read. time holds the milliseconds, ticks the ten-thousandths of a second
// since midnight.
bool parseDateTime(const QString& text, QDate* date, QTime* time, bool* hasTime, qint64* ticks = nullptr);
bool parseTime(const QString& text, QTime* time);
bool parseTimeTicks(const QString& text, qint64* ticks);
// Locale numbers: "1234,5", "-1.234,50", "1234.5" (a lone point is read as the decimal point
// when the locale's is another). The result uses "." as its decimal point, no grouping.
bool normalizeNumber(const QString& text, QString* out);
