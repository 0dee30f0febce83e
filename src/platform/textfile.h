#pragma once
#include <QString>
#include <QStringList>

// Windows-1252 text files with CR LF line ends, as the program's data files are kept.
// Reading accepts CR, LF or CR LF. Writing goes to a temporary file that is renamed over the
// old one, so a failed write never leaves a truncated file.
// Failures raise AppError with "Cannot open file "%s". %s" or "Cannot create file "%s". %s".

// Files are read whole, so a file larger than its limit is refused before any of it is read, with
// a message that names the file and the limit. Files that are not plain files (a folder, a device,
// a pipe) are refused too. The program's data files stay far below the first limit; a script past
// the second would stall the editor it is loaded into.
inline constexpr qint64 DataFileLimit = qint64(1) << 20;    // Conexoes.New, Banco.new
inline constexpr qint64 ScriptFileLimit = qint64(16) << 20; // SQL scripts
inline constexpr qint64 BinaryFileLimit = qint64(256) << 20; // pictures and other whole files

QStringList readTextLines(const QString& path, qint64 limit = DataFileLimit);
// The whole text, every CR, LF or CR LF turned into '\n'.
QString readText(const QString& path, qint64 limit = DataFileLimit);

// The same for bytes already read: Windows-1252 decoded, line ends made '\n'; then split into
// lines (a final line end ends the last line, it does not begin an empty one).
QString decodeText(const QByteArray& bytes);
QStringList splitLines(const QString& text);
// One line per item, each followed by CR LF.
void writeTextLines(const QString& path, const QStringList& lines);
// The text as it stands, '\n' written as CR LF, nothing added at the end. Characters outside
// Windows-1252 are refused with AppError (nothing is written).
void writeText(const QString& path, const QString& text);

// A file's bytes as they stand, and a file written whole (through a temporary file) with them.
QByteArray readFileBytes(const QString& path, qint64 limit = BinaryFileLimit);
void writeFileBytes(const QString& path, const QByteArray& data);

QString cannotOpenMessage(const QString& path, const QString& reason);
QString cannotCreateMessage(const QString& path, const QString& reason);
QString tooLargeMessage(const QString& path, qint64 limit);
