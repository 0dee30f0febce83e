#pragma once
#include <QObject>
#include <QString>

class Database;
class Transaction;
class TableObject;

// Connection-state variables: process-wide texts, empty at start-up.
extern QString CurrentDatabase;
extern QString CurrentTable;
extern QString BrowseSelect;
extern QString InsertStatement;
extern QString ModifyStatement;
extern QString RefreshStatement;
extern QString DeleteStatement;
extern QString KeyWhereClause;

// A database counts as open for the user interface when CurrentDatabase, trimmed, is not empty.
bool databaseIsOpen();

// The connection holder ("dM"): owns the connection Banco, the default transaction Trans and the
// table object Tabela for the whole run. Creating it loads the client library (AppError when it
// cannot be loaded).
class TdM : public QObject {
    Q_OBJECT
public:
    explicit TdM(QObject* parent = nullptr);
    ~TdM() override;

    static TdM* instance(); // the one created at start-up (nullptr before)

    Database* Banco;
    Transaction* Trans;
    TableObject* Tabela;

    void ConnectDatabase(const QString& connectionString);
    void DisconnectDatabase();
    void TableStatementGenerator();
};
