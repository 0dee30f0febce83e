#pragma once
#include <QList>
#include <QString>
#include <QStringList>

// Statement texts of the SQL generator. Table and field names go through quoteIdentifier, so a
// name the server only knows quoted (lower case, blanks, accents, reserved words) still names its
// object while regular upper-case names stay as listed; values are written exactly as typed. Every
// blank below is part of the text, including the trailing ones.

// Columns 0, 1 and 2 of one data row of the values grid: field name, "=" and the typed value. The
// row the grid offers when no field is ticked has an empty name and an empty "=".
struct ValueRow {
    QString name;
    QString equals;
    QString value;
};

// "Select " + the ticked names + " From " + table, on one line. Each ticked name is followed by
// ", ", the last name of the list by one blank; a trailing ", " is dropped.
QString selectStatement(const QStringList& fields, const QList<bool>& ticked, const QString& table,
                        int dialect = 3);

// "Update <table> Set " and one line per row: name, "=", value joined by blanks, then ", " or,
// on the last row, one blank.
QStringList updateStatement(const QString& table, const QList<ValueRow>& rows, int dialect = 3);

// "Delete From " + table.
QString deleteStatement(const QString& table, int dialect = 3);

// "Insert Into <table>", "(<names>)", "Values", "(<values>)": each item followed by ", ", the
// last one by one blank.
QStringList insertStatement(const QString& table, const QList<ValueRow>& rows, int dialect = 3);
