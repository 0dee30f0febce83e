#pragma once
#include <QDateTime>
#include <QString>

// Names and moves of the files that the server writes, for the cases where they are this
// machine's files (ServerPlace::filesHere).

// A name beside `path` that does not exist yet: `path` + `suffix`, then with 2, 3... after it.
QString freeNameBeside(const QString& path, const QString& suffix);
// The name under which a database is restored when it cannot replace `path`:
// "/dados/x.fdb" -> "/dados/x-restaurado-20261211-143005.fdb" (the time of `when`). A path
// written for another system (backslashes) keeps its separators.
QString restoredName(const QString& path, const QDateTime& when);
// Moves `from` over `to` in one step (the old `to`, if any, is gone at once). Raises AppError with
// the system's reason when it cannot.
void replaceFile(const QString& from, const QString& to);
// Whether this program may create and rename files in the folder of `path`.
bool folderWritable(const QString& path);
