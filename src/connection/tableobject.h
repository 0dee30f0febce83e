#pragma once
#include "connection/database.h"
#include "connection/dataset.h"
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <memory>

class Statement;
class Transaction;

// One usable result column of the table.
struct ColumnDef {
    QString name; // the column's alias as the server reports it
    FieldKind kind = FieldKind::Unknown;
    int size = 0;            // characters for text, digits after the point for decimals
    int precision = 0;       // digits of a decimal (4, 9 or 18 by its storage)
    bool required = false;   // NOT NULL, belongs to a table, no default value
    bool computed = false;   // COMPUTED BY
    bool readOnly = false;   // computed columns cannot be written
    bool hasDefault = false; // default on the column or on its domain
};

// One index of the table.
struct IndexDef {
    QString name;                                           // trailing blanks removed
    QStringList fields;                                     // column names in segment order
    bool primary = false;                                   // the index of the PRIMARY KEY constraint
    bool unique = false;                                    // RDB$UNIQUE_FLAG = 1
    bool descending = false;                                // RDB$INDEX_TYPE = 1
    QString fieldsText() const { return fields.join(';'); } // A;B
};

// The table object ("Tabela"): opens a table to learn its column and index definitions.
// Attached to its transaction and connection, so a commit, rollback or disconnect closes it.
class TableObject : public QObject, public AttachedObject {
    Q_OBJECT
public:
    explicit TableObject(QObject* parent = nullptr);
    ~TableObject() override;

    Database* database() const { return m_db; }
    void setDatabase(Database* db);
    // The transaction it reads in; the connection's default transaction when none is set.
    Transaction* transaction() const;
    void setTransaction(Transaction* tr);

    QString tableName() const { return m_tableName; }
    // A different name closes the table and forgets the definitions of the old one.
    void setTableName(const QString& name);

    // Connects when needed (login), loads the index definitions when not loaded yet, starts the
    // transaction when inactive and opens a SELECT of every column. Nothing when already open.
    void open();
    void close(); // nothing when closed
    bool active() const { return m_active; }
    void setActive(bool on) { on ? open() : close(); }

    // From the open statement's description (opens the table when closed) and the catalogue's
    // computed and default columns. Columns without a field kind (arrays) are left out.
    void updateColumnDefs();
    // From the catalogue, on the metadata transaction; the names are bound, never pasted.
    void updateIndexDefs();

    int columnDefCount() const { return m_columns.size(); }
    const ColumnDef& columnDef(int i) const { return m_columns.at(i); }
    const QList<ColumnDef>& columnDefs() const { return m_columns; }
    int indexDefCount() const { return m_indexes.size(); }
    const IndexDef& indexDef(int i) const { return m_indexes.at(i); }
    const QList<IndexDef>& indexDefs() const { return m_indexes; }

    void closeAttached() override;

private:
    Database* checkedDatabase() const;

    QPointer<Database> m_db;
    QPointer<Transaction> m_tr;
    QPointer<Transaction> m_attachedTr; // where this object is registered while open
    QPointer<Database> m_attachedDb;
    QString m_tableName;
    bool m_active = false;
    bool m_indexesLoaded = false;
    std::unique_ptr<Statement> m_statement;
    QList<ColumnDef> m_columns;
    QList<IndexDef> m_indexes;
};
