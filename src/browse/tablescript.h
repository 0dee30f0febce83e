#pragma once
#include <QList>
#include <QString>
#include <QStringList>

class Database;

// One column of a table as the catalogue declares it.
struct TableColumn {
    QString name;
    QString type;         // the declaration: VARCHAR(40), NUMERIC(15,2), BLOB SUB_TYPE TEXT SEGMENT SIZE 80
    QString size;         // characters for text, "precision,scale" for decimals, a blob's
                          // segment size, bytes otherwise
    QString domain;       // the user domain the column is declared with, if any
    QString charset;      // text columns whose character set differs from the database's
    bool notNull = false; // on the column or on its domain
    QString defaultValue; // the default's source without the DEFAULT keyword (column or domain)
    QString computedBy;   // the COMPUTED BY expression with its parentheses
    bool columnNotNull = false; // NOT NULL written on the column itself
    QString columnDefault;      // default written on the column itself
};

struct TableDescription {
    QString name;
    QList<TableColumn> columns;   // in field position order
    QString primaryKeyConstraint; // empty when the server named it (INTEG_...)
    QStringList primaryKey;       // the key's columns in segment order
};

// Reads the table's columns and primary key from the catalogue on the metadata transaction; the
// table name is bound, never pasted. A table that does not exist gives no columns.
TableDescription describeTable(Database* db, const QString& tableName);

// The columns as an aligned text table: name, type, size, NOT NULL, default, computed expression.
QString columnListText(const TableDescription& table);

// CREATE TABLE with every column and the primary key, names quoted where the dialect needs it.
QString createTableScript(const TableDescription& table, int dialect = 3);
