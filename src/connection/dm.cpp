#include "connection/dm.h"
#include "connection/database.h"
#include "connection/identifiers.h"
#include "connection/tableobject.h"
#include "connection/transaction.h"

QString CurrentDatabase;
QString CurrentTable;
QString BrowseSelect;
QString InsertStatement;
QString ModifyStatement;
QString RefreshStatement;
QString DeleteStatement;
QString KeyWhereClause;

bool databaseIsOpen() {
    return !CurrentDatabase.trimmed().isEmpty();
}

namespace {
TdM* g_instance = nullptr;

// Where A = :OLD_A And B = :OLD_B
QString buildKeyWhere(const QStringList& names, int dialect) {
    QStringList parts;
    for (const QString& n : names)
        parts.append(quoteIdentifier(n, dialect) + QStringLiteral(" = ") +
                     parameterFor(n, QStringLiteral("OLD_"), dialect));
    return QStringLiteral("Where ") + parts.join(QStringLiteral(" And "));
}

// (A,B) and (:A,:B)
void buildInsertLists(const QStringList& names, int dialect, QString* columns, QString* values) {
    QStringList cols, vals;
    for (const QString& n : names) {
        cols.append(quoteIdentifier(n, dialect));
        vals.append(parameterFor(n, QString(), dialect));
    }
    *columns = '(' + cols.join(',') + ')';
    *values = '(' + vals.join(',') + ')';
}

// A = :A,B = :B
QString buildSetList(const QStringList& names, int dialect) {
    QStringList parts;
    for (const QString& n : names)
        parts.append(quoteIdentifier(n, dialect) + QStringLiteral(" = ") +
                     parameterFor(n, QString(), dialect));
    return parts.join(',');
}
} // namespace

TdM::TdM(QObject* parent) : QObject(parent), Banco(nullptr), Trans(nullptr), Tabela(nullptr) {
    setObjectName(QStringLiteral("dM"));
    Banco = new Database(this); // loads the client library, or raises
    Banco->setObjectName(QStringLiteral("Banco"));
    Trans = new Transaction(this);
    Trans->setObjectName(QStringLiteral("Trans"));
    Tabela = new TableObject(this);
    Tabela->setObjectName(QStringLiteral("Tabela"));

    Banco->params() = QStringList{QStringLiteral("user_name=SYSDBA")};
    Banco->setLoginPrompt(true);
    Banco->setDefaultTransaction(Trans);

    Trans->setDefaultDatabase(Banco);
    Trans->params() = QStringList{QStringLiteral("read_committed"), QStringLiteral("rec_version"),
                                  QStringLiteral("nowait")};
    Trans->setDefaultAction(Transaction::ActionCommit);

    Tabela->setDatabase(Banco);
    Tabela->setTransaction(Trans);

    if (!g_instance) g_instance = this;
}

TdM::~TdM() {
    if (g_instance == this) g_instance = nullptr;
    // The table first, then the transaction (an active one commits), then the connection (detaches).
    delete Tabela;
    Tabela = nullptr;
    delete Trans;
    Trans = nullptr;
    delete Banco;
    Banco = nullptr;
}

TdM* TdM::instance() {
    return g_instance;
}

void TdM::ConnectDatabase(const QString& connectionString) {
    Banco->setDatabaseName(connectionString);
    Banco->setConnected(true);
    Trans->setActive(true);
}

void TdM::DisconnectDatabase() {
    try {
        Banco->setConnected(false);
    } catch (...) {
        // A connection that is gone all the same (the server was lost) leaves nothing open.
        if (Banco->connected()) throw;
        Banco->forgetLogin();
        Banco->setDatabaseName(QString());
        CurrentDatabase.clear();
        throw;
    }
    Banco->forgetLogin();
    Banco->setDatabaseName(QString());
    CurrentDatabase.clear();
    Trans->setActive(false);
}

void TdM::TableStatementGenerator() {
    if (CurrentTable.trimmed().isEmpty()) return;

    InsertStatement.clear();
    ModifyStatement.clear();
    RefreshStatement.clear();
    DeleteStatement.clear();
    // Lists of names rather than ";"-separated text: a quoted name may itself hold a ";".
    QStringList keys;
    QStringList fields;

    if (Tabela->active()) Tabela->close();
    Tabela->setTableName(CurrentTable);
    Tabela->open();
    Tabela->updateColumnDefs();
    Tabela->updateIndexDefs();

    for (const IndexDef& index : Tabela->indexDefs())
        if (index.primary) keys = index.fields; // a table has at most one primary key
    for (const ColumnDef& column : Tabela->columnDefs())
        if (!column.computed) fields.append(column.name);

    Tabela->close();

    const int dialect = Banco->sqlDialect();
    KeyWhereClause = buildKeyWhere(keys.isEmpty() ? fields : keys, dialect);

    const QString table = quoteIdentifier(CurrentTable, dialect);
    QString columnList, valueList;
    buildInsertLists(fields, dialect, &columnList, &valueList);
    InsertStatement = QStringLiteral("Insert into ") + table + ' ' + columnList + ' ' +
                      QStringLiteral("Values ") + valueList;
    RefreshStatement = QStringLiteral("Select * From ") + table + ' ' + KeyWhereClause;
    DeleteStatement = QStringLiteral("Delete From ") + table + ' ' + KeyWhereClause;
    ModifyStatement = QStringLiteral("Update ") + table + QStringLiteral(" Set ") +
                      buildSetList(fields, dialect) + ' ' + KeyWhereClause;
}
