#pragma once
#include "connection/rowstore.h"
#include <QString>
#include <memory>
#include <vector>

class Database;
class Statement;
class Transaction;

// What the server would put into the columns of a new row that have a default: each default is
// evaluated by the server, as the column's own type, when a row is inserted, so that the new row
// shows it and posts it; a value the user clears stays cleared. Evaluated through one statement,
// prepared at the first new row and released with the dataset's other statements.
class RowDefaults {
public:
    struct Column {
        int field = -1;   // where the value goes in the row
        QString relation; // table and column it belongs to, as the catalogue names them
        QString column;
        QString name; // the field's name, for messages
        ColumnLayout layout;
    };

    RowDefaults();
    ~RowDefaults();
    void reset(); // forgets the statement (end of the transaction, statements changed)

    // Fills the defaulted columns of `row` (blob defaults as new content to be written).
    void apply(Database* db, Transaction* tr, const std::vector<Column>& columns, std::vector<Cell>& row);

private:
    void prepare(Database* db, Transaction* tr, const std::vector<Column>& columns);

    bool m_prepared = false;
    std::unique_ptr<Statement> m_statement;
    std::vector<Column> m_columns; // the columns whose default the statement evaluates
};
