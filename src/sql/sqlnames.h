#pragma once
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>

class ConnectionJob;
class Database;

// The open database's table names and, table by table, their column names, read from the
// metadata listings on demand for the SQL editor's completion. Asking never waits: it gives what
// is known and, the first time, starts reading in the background (when the connection is free);
// namesArrived() tells that more is known.
class SchemaNames : public QObject {
    Q_OBJECT
public:
    explicit SchemaNames(Database* db, QObject* parent = nullptr);
    ~SchemaNames() override;

    QStringList tables();
    // Columns of one of tables() (any letter case); empty until read.
    QStringList columns(const QString& table);
    // After data definition: everything is read again when next asked.
    void forget();

signals:
    void namesArrived();

private:
    void readNext();

    QPointer<Database> m_db;
    ConnectionJob* m_job = nullptr;
    bool m_tablesAsked = false;
    QStringList m_tables;
    QHash<QString, QStringList> m_columns; // by table name as listed
    QStringList m_wanted;                  // tables whose columns were asked for and not read yet
};

// The table that `qualifier` (the word before a ".") stands for: a table of `tables` by that name
// (any case, quotes removed), or the table that `text` gives that alias ("from CLIENTE C",
// "join CLIENTE as C", "update CLIENTE C"). Empty when neither.
QString tableForQualifier(const QString& qualifier, const QString& text, const QStringList& tables);

// Words that begin with `prefix` (any letter case) from the lists given, each word once, sorted.
QStringList completionWords(const QString& prefix, const QList<QStringList>& lists);
