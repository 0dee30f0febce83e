#pragma once
#include <QString>

// True when the server needs `name` enclosed in double quotes to see it exactly: anything but a
// regular upper-case name (A-Z first, then A-Z, 0-9, _ or $) that is not a reserved word.
bool identifierNeedsQuotes(const QString& name);

// The name as it is written in a statement: regular upper-case names unchanged, every other name
// in double quotes with inner double quotes doubled ("Nome Completo", "DATE", "a""b").
QString quoteIdentifier(const QString& name);
// As above on a connection of the given SQL dialect: dialect 1 knows no quoted names (double quotes
// enclose text there, and names are not case-sensitive), so names stay as they are.
QString quoteIdentifier(const QString& name, int dialect);

// A named parameter for a column: ":" + prefix + name for regular names, otherwise ":" and the
// quoted form of prefix + name (:"OLD_Nome Completo"), so the dataset finds the exact column.
QString parameterFor(const QString& columnName, const QString& prefix = QString(), int dialect = 3);
