#pragma once
#include "admin/catalog.h"
#include <QList>
#include <QString>
#include <QStringList>

class Database;

// The object window's core: the kinds of objects, the entries of each kind with what the tree
// shows of them, an object's statements, its dependencies both ways, and the statements of the
// window's actions.

enum class DbObjectKind {
    Table,
    View,
    Procedure,
    TableTrigger,
    DatabaseTrigger,
    DdlTrigger,
    Function,
    Package,
    Generator,
    Domain,
    Exception,
    Index,
    Role,
    Collation,
    Comment,
};

// The tree's branch of a kind ("Tabelas", "Gatilhos de tabelas"...).
QString kindTitle(DbObjectKind kind);
// The singular, for the lists of dependencies ("Tabela", "Gatilho"...).
QString kindName(DbObjectKind kind);
QList<DbObjectKind> allKinds();

struct ObjectEntry {
    DbObjectKind kind;
    QString name;
    QString detail; // what the tree shows beside the name: a sequence's value, an index's state...
    // Indexes: their state and whether the window may change it (not those of keys).
    bool inactive = false;
    bool ownIndex = false;
    qint64 value = 0; // sequences
};

// Entries of one kind, by name.
QList<ObjectEntry> objectEntries(const Catalog& catalog, DbObjectKind kind);
// The statements of one object, as the SQL editor shows them.
QString objectDdl(const Catalog& catalog, const ObjectEntry& entry);

// One line of the dependency lists: an object that this one uses, or that uses it.
struct DependencyEntry {
    QString kind;    // "Tabela", "Procedimento"...
    QString name;
    QString columns; // the columns involved, when the server says ("ID, NOME")
    bool operator==(const DependencyEntry&) const = default;
};
struct Dependencies {
    QList<DependencyEntry> uses;
    QList<DependencyEntry> usedBy;
};
// Read from the system tables with the object's name bound as a parameter, in a read-only
// transaction of its own. Runs on whatever thread holds the connection.
Dependencies readDependencies(Database* db, const ObjectEntry& entry);

// The actions' statements (names quoted as the server needs them).
QString recomputeSelectivityStatement(const QString& index, int dialect);
QString setIndexActiveStatement(const QString& index, bool active, int dialect);
QString setGeneratorStatement(const QString& generator, qint64 value, int dialect);
// Runs `statement` in a transaction of its own and commits it (an administrator's action is not
// left pending in the windows' transaction, nor does it commit theirs).
void runOwnTransaction(Database* db, const QString& statement);
