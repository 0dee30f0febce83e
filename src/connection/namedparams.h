#pragma once
#include <QList>
#include <QString>
#include <QStringList>

// Statements with named parameters: ":NAME" (letters, digits, "_" and "$") or the quoted form
// ':"Exact Name"' (a doubled "" inside stands for one "), as the table statement generator writes
// them for names the server would not see exactly. Each becomes a positional "?" once, when the
// statement is prepared. Colons inside string literals ('...'), quoted identifiers ("...") and
// comments (-- to the end of the line, /* ... */) are left alone.
struct NamedParameter {
    QString name;        // without the colon; the quoted form without its quotes
    bool quoted = false; // matched exactly; a plain name is matched ignoring case
};

struct ParsedStatement {
    QString sql; // the text with every parameter replaced by "?"
    QList<NamedParameter> params;
};

ParsedStatement parseNamedParameters(const QString& text);

// How a parameter binds against the select statement's result columns: OLD_<column> the value as
// last read or posted, NEW_<column> and <column> the current value. field is -1 when the name
// matches no column (left unbound, that is NULL).
struct ParameterBinding {
    int field = -1;
    bool oldValue = false;
};
ParameterBinding resolveParameter(const NamedParameter& p, const QStringList& fieldNames);
