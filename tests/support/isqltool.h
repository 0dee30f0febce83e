#pragma once
#include <QString>
#include <QStringList>

// Firebird's own isql (isql-fb on Debian), the reference that scripts and extracts are held
// against. Databases are reached through the embedded engine by their paths, as SYSDBA, with a
// UTF-8 connection; none may be open in this process meanwhile (the engine locks the file).

// Runs isql on `database` with `script` as its input file; returns what it printed (standard
// output and errors together). `stopAtError` adds -bail.
QString runIsqlScript(const QString& database, const QString& script, bool stopAtError = true);
// `isql -x`: the database's metadata as isql extracts it.
QString isqlExtract(const QString& database);
// The same text without the line of the commented CREATE DATABASE, which names the file.
QString withoutCreateDatabaseLine(const QString& extract);
// Creates an empty database with the page size and default character set given.
void createEmptyDatabase(const QString& path, int pageSize, const QString& charset);
