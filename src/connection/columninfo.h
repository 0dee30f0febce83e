#pragma once
#include <QHash>
#include <QString>

class Database;

struct ColumnInfo {
    bool computed = false;   // COMPUTED BY expression present: computed and read-only
    bool hasDefault = false; // default on the column or on its domain: not required
};

// The columns of a table that are computed or have a default value, by column name (trailing
// blanks removed). Runs on the metadata transaction (started before, committed after).
QHash<QString, ColumnInfo> computedOrDefaultColumns(Database* db, const QString& relation);

// The default of each column of a table that has one, as an expression the server evaluates (the
// DEFAULT clause of the column, else of its domain, without the word DEFAULT), by column name.
// Runs on the metadata transaction.
QHash<QString, QString> defaultExpressions(Database* db, const QString& relation);
