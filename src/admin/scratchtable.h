#pragma once
#include <QString>
#include <QTemporaryDir>
#include <memory>

class DataSet;
class Database;
class StatsModel;
class Transaction;

// Rows computed by the program (statistics), not read from a database, put into a table of a
// database file of their own so that the spreadsheet export and the list report, which walk a
// dataset, take them exactly as they take a query's result: the columns' field names, numbers as
// numbers (integers and fixed decimals), texts as texts, in the model's order. The file is made
// through the embedded engine in a temporary folder and goes with the object.
class ScratchTable {
public:
    explicit ScratchTable(const StatsModel& model);
    ~ScratchTable();
    ScratchTable(const ScratchTable&) = delete;
    ScratchTable& operator=(const ScratchTable&) = delete;

    // Open, on the first row.
    DataSet* dataSet() const { return m_dataSet.get(); }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<Database> m_db;
    std::unique_ptr<Transaction> m_tr;
    std::unique_ptr<DataSet> m_dataSet;
};
