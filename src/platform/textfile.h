#pragma once
#include <QString>
#include <QStringList>

// Windows-1252 text files with CR LF line ends, as the program's data files are kept.
// Reading accepts CR, LF or CR LF. Writing goes to a temporary file that is renamed over the
// old one, so a failed write never leaves a truncated file.
// Failures raise AppError with "Cannot open file "%s". %s" or "Cannot create file "%s". %s".

QStringList readTextLines(const QString& path);
// The whole text, every CR, LF or CR LF turned into '\n'.
QString readText(const QString& path);
// One line per item, each followed by CR LF.
void writeTextLines(const QString& path, const QStringList& lines);
// The text as it stands, '\n' written as CR LF, nothing added at the end. Characters outside
// Windows-1252 are refused with AppError (nothing is written).
void writeText(const QString& path, const QString& text);

// A file's bytes as they stand, and a file written whole (through a temporary file) with them.
QByteArray readFileBytes(const QString& path);
void writeFileBytes(const QString& path, const QByteArray& data);

QString cannotOpenMessage(const QString& path, const QString& reason);
QString cannotCreateMessage(const QString& path, const QString& reason);
