#pragma once
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <exception>
#include <functional>

#include "connection/dataset.h"

class ConnectionJob;
class Transaction;

// What one run of the SQL command window gave.
struct RunOutcome {
    enum Action { OneStatement, WholeScript, PlanOnly };
    enum Kind {
        Rows,      // a statement returning rows: the query shows them
        Executed,  // a statement executed once: the query is open without rows
        Script,    // every statement of a script ran (the query shows its last SELECT, if any)
        Plan,      // a statement prepared for its plan only
        Failed,    // the server or the layer refused it
        Cancelled, // stopped on the user's request
    };
    Action action = OneStatement;
    Kind kind = Failed;
    qint64 elapsedMs = 0;       // the server's part: prepare, execute and the first rows
    qint64 rowsAffected = 0;    // inserted + updated + deleted, as the server counted them
    QString plan;               // the server's plan of the statement (of a script's last SELECT)
    QString error;              // Failed and Cancelled: the message
    qsizetype errorIndex = -1;  // Failed: where in the run text the server placed the error
    int statementCount = 0;     // script: statements in it
    int statementsRun = 0;      // script: statements that ran to the end
    int failedStatement = -1;   // script: the 0-based statement that failed or was cancelled
    bool changedSchema = false; // data definition ran (names of tables and columns may differ)
};

// Runs the SQL command window's statements on its query with the server's part on a
// ConnectionJob's thread; the outcome comes back on this object's thread, after the query has
// been shown (or left closed when the run failed).
class SqlRunner : public QObject {
    Q_OBJECT
public:
    // Rows read with the statement's execution, before the grid asks for more.
    static constexpr int FirstRows = 256;

    explicit SqlRunner(DataSet* query, QObject* parent = nullptr);
    ~SqlRunner() override; // a run in progress is cancelled and waited for

    DataSet* query() const { return m_query; }

    // The query's statement becomes `text` (its lines as they stand) and is opened. Raises at once,
    // with nothing changed, when the connection is busy; the login and the start of the
    // transaction happen here too.
    void runStatement(const QString& text);
    // Every statement of `text` one after another (see splitScript), stopping at the first error;
    // COMMIT and ROLLBACK keep the transaction's context as the window's buttons do. The query
    // opens the script's last SELECT. As in isql, each DDL statement commits by itself in a
    // transaction of its own unless the script says SET AUTODDL OFF; isql's output settings are
    // passed over, and a script holding SET NAMES, SET SQL DIALECT, CREATE DATABASE or CONNECT
    // fails at that statement before anything runs.
    void runScript(const QString& text);
    // Prepares `text` as one statement and reads its plan; nothing runs.
    void explain(const QString& text);

    void cancel();
    bool running() const;
    // Since the run started.
    qint64 runningMs() const { return m_clock.isValid() ? m_clock.elapsed() : 0; }

signals:
    void started();
    void finished(const RunOutcome& outcome);

private:
    void start(std::function<void()> work, std::function<void(std::exception_ptr)> done);
    void checkCanStart() const;
    void prepareTransaction();
    // The run text is what the editor shows: the place of an error is told in its lines.
    void failed(std::exception_ptr error, const QString& runText, const QString& statement,
                qsizetype statementStart);
    Transaction* ddlTransaction();

    QPointer<DataSet> m_query;
    ConnectionJob* m_job = nullptr;
    Transaction* m_ddl = nullptr; // a script's data definition under AUTODDL
    QElapsedTimer m_clock;
    // Written by the job's thread, read once its end is delivered.
    RunOutcome m_outcome;
};
