#include "sql/sqlrunner.h"
#include "connection/connectionjob.h"
#include "connection/dataset.h"
#include "connection/statement.h"
#include "connection/transaction.h"
#include "platform/apperror.h"
#include "sql/isqlcommands.h"
#include "sql/sqlscript.h"

namespace {
bool definesSchema(const QString& statement) {
    static const QStringList words{QStringLiteral("CREATE"), QStringLiteral("ALTER"), QStringLiteral("DROP"),
                                   QStringLiteral("RECREATE"), QStringLiteral("DECLARE")};
    return words.contains(leadingKeyword(statement));
}

bool returnsRows(const QString& statement) {
    const QString word = leadingKeyword(statement);
    return word == QStringLiteral("SELECT") || word == QStringLiteral("WITH");
}

// The plan is a courtesy: a server that will not give it does not fail the run.
QString planOf(const DataSet* query) {
    try {
        return query->plan();
    } catch (const std::exception&) {
        return {};
    }
}

// Data definition in a transaction of its own, committed when it succeeds (isql's AUTODDL): what
// it creates is there for the script's next statements, while the rows changed in the window's
// transaction stay pending there.
void runOwnDdl(Database* db, Transaction* ddl, const QString& text) {
    ddl->start();
    try {
        Statement st(db, ddl);
        st.prepare(text);
        st.execute();
        st.unprepare();
        ddl->commit();
    } catch (...) {
        try {
            ddl->rollback();
        } catch (...) {
        }
        throw;
    }
}

// One statement of a script other than the one the query shows. Returns the rows it changed.
qint64 runScriptStatement(Database* db, Transaction* tr, Transaction* ddl, const QString& text) {
    Statement st(db, tr);
    st.prepare(text);
    switch (st.statementType()) {
    case isc_info_sql_stmt_ddl:
        if (!ddl) break;
        st.unprepare();
        runOwnDdl(db, ddl, text);
        return 0;
    case isc_info_sql_stmt_commit:
        st.unprepare();
        tr->commitRetaining();
        return 0;
    case isc_info_sql_stmt_rollback:
        st.unprepare();
        tr->rollbackRetaining();
        return 0;
    case isc_info_sql_stmt_start_trans:
        throw AppError(QStringLiteral("O script roda na transação em uso: SET TRANSACTION não é aceito."));
    default:
        break;
    }
    st.execute();
    if (st.cursorOpen()) {
        st.fetch(); // a row read, so that an error of the statement shows where it stands
        st.closeCursor();
        return 0;
    }
    return st.rowsAffected();
}
} // namespace

SqlRunner::SqlRunner(DataSet* query, QObject* parent) : QObject(parent), m_query(query) {}

SqlRunner::~SqlRunner() {
    // The job first: it is cancelled and waited for, and its end is not delivered.
    delete m_job;
    m_job = nullptr;
    if (m_query) m_query->abandonOpen();
}

bool SqlRunner::running() const {
    return m_job && m_job->running();
}

void SqlRunner::cancel() {
    if (m_job) m_job->cancel();
}

void SqlRunner::checkCanStart() const {
    if (!m_query) throw AppError(QStringLiteral("Dataset not assigned"));
    if (running()) throw AppError(connectionBusyMessage());
    if (Database* db = m_query->database()) db->checkFree();
}

void SqlRunner::prepareTransaction() {
    Database* db = m_query->database();
    Transaction* tr = m_query->transaction();
    if (!db) throw AppError(QStringLiteral("Database not assigned"));
    if (!tr) throw AppError(QStringLiteral("Transaction not assigned"));
    if (!db->connected()) db->setConnected(true);
    tr->ensureActive();
}

void SqlRunner::start(std::function<void()> work, std::function<void(std::exception_ptr)> done) {
    Database* db = m_query->database();
    if (!m_job || m_job->database() != db) {
        delete m_job;
        m_job = new ConnectionJob(db, this);
    }
    m_job->start(std::move(work), [this, done = std::move(done)](std::exception_ptr error) {
        m_clock.invalidate();
        done(error);
    });
    m_clock.start();
    emit started();
}

void SqlRunner::failed(std::exception_ptr error, const QString& runText, const QString& statement,
                       qsizetype statementStart) {
    m_outcome.kind = ConnectionJob::isCancellation(error) ? RunOutcome::Cancelled : RunOutcome::Failed;
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        m_outcome.error = errorMessage(e);
    } catch (...) {
        m_outcome.error = QStringLiteral("Unknown error");
    }
    if (m_outcome.kind == RunOutcome::Failed) {
        const qsizetype at = serverErrorIndex(m_outcome.error, statement);
        m_outcome.errorIndex = at < 0 ? -1 : statementStart + at;
        m_outcome.error = messageAtPosition(m_outcome.error, runText, m_outcome.errorIndex);
    }
}

void SqlRunner::runStatement(const QString& text) {
    checkCanStart();
    DataSet* q = m_query;
    if (q->active()) q->close();
    q->setSelectSQL(text.split(QChar('\n')));
    q->beginOpen();
    m_outcome = RunOutcome{};
    m_outcome.action = RunOutcome::OneStatement;
    m_outcome.changedSchema = definesSchema(text);
    try {
        start(
            [this, q] {
                QElapsedTimer clock;
                clock.start();
                q->serverOpen(FirstRows);
                m_outcome.elapsedMs = clock.elapsed();
                m_outcome.plan = planOf(q);
            },
            [this, q, text](std::exception_ptr error) {
                if (error) {
                    q->abandonOpen();
                    failed(error, text, text, 0);
                    m_outcome.changedSchema = false;
                } else {
                    q->endOpen();
                    m_outcome.kind = q->hasCursor() ? RunOutcome::Rows : RunOutcome::Executed;
                    m_outcome.rowsAffected = q->rowsAffected();
                }
                emit finished(m_outcome);
            });
    } catch (...) {
        q->abandonOpen();
        throw;
    }
}

void SqlRunner::runScript(const QString& text) {
    checkCanStart();
    DataSet* q = m_query;
    const QList<ScriptStatement> statements = splitScript(text);
    int shown = -1; // the last SELECT: the one the query opens
    for (int i = 0; i < statements.size(); ++i)
        if (returnsRows(statements[i].text)) shown = i;
    if (q->active()) q->close();
    if (shown >= 0) {
        q->setSelectSQL(statements[shown].text.split(QChar('\n')));
        q->beginOpen();
    } else {
        prepareTransaction();
    }
    m_outcome = RunOutcome{};
    m_outcome.action = RunOutcome::WholeScript;
    m_outcome.statementCount = static_cast<int>(statements.size());
    Database* db = q->database();
    Transaction* tr = q->transaction();
    Transaction* ddl = ddlTransaction();
    // A command that would take the script away from the open database stops it before anything
    // runs.
    int refused = -1;
    IsqlCommand refusal;
    for (int i = 0; i < statements.size() && refused < 0; ++i) {
        refusal = isqlCommand(statements[i].text);
        if (refusal.kind == IsqlCommand::Refused) refused = i;
    }
    try {
        start(
            [this, q, db, tr, ddl, statements, shown, refused, refusal] {
                if (refused >= 0) {
                    m_outcome.failedStatement = refused;
                    throw AppError(refusedCommandMessage(refusal, statements[refused].line));
                }
                QElapsedTimer clock;
                clock.start();
                bool autoDdl = true; // as isql starts a script
                for (int i = 0; i < statements.size(); ++i) {
                    m_outcome.failedStatement = i;
                    m_job->throwIfCancelled();
                    const IsqlCommand::Kind command = isqlCommand(statements[i].text, autoDdl).kind;
                    if (command == IsqlCommand::AutoDdlOn || command == IsqlCommand::AutoDdlOff) {
                        autoDdl = command == IsqlCommand::AutoDdlOn;
                    } else if (command == IsqlCommand::Ignored) {
                        // isql's screen settings: nothing to do here
                    } else if (i == shown) {
                        q->serverOpen(FirstRows);
                        m_outcome.plan = planOf(q);
                    } else {
                        m_outcome.rowsAffected +=
                            runScriptStatement(db, tr, autoDdl ? ddl : nullptr, statements[i].text);
                    }
                    if (definesSchema(statements[i].text)) m_outcome.changedSchema = true;
                    ++m_outcome.statementsRun;
                }
                m_outcome.failedStatement = -1;
                m_outcome.elapsedMs = clock.elapsed();
            },
            [this, q, text, statements, shown, refused](std::exception_ptr error) {
                if (error) {
                    if (shown >= 0) q->abandonOpen();
                    const int at = m_outcome.failedStatement;
                    const ScriptStatement s =
                        at >= 0 && at < statements.size() ? statements[at] : ScriptStatement{};
                    failed(error, text, s.text, s.offset);
                    if (refused >= 0 && at == refused) m_outcome.errorIndex = s.offset;
                } else {
                    if (shown >= 0) q->endOpen();
                    m_outcome.kind = RunOutcome::Script;
                }
                emit finished(m_outcome);
            });
    } catch (...) {
        if (shown >= 0) q->abandonOpen();
        throw;
    }
}

Transaction* SqlRunner::ddlTransaction() {
    Database* db = m_query->database();
    Transaction* tr = m_query->transaction();
    if (!m_ddl || m_ddl->defaultDatabase() != db) {
        delete m_ddl;
        m_ddl = new Transaction(this);
        m_ddl->setDefaultDatabase(db);
    }
    m_ddl->params() = tr->params(); // the window's isolation and lock resolution
    return m_ddl;
}

void SqlRunner::explain(const QString& text) {
    checkCanStart();
    prepareTransaction();
    m_outcome = RunOutcome{};
    m_outcome.action = RunOutcome::PlanOnly;
    Database* db = m_query->database();
    Transaction* tr = m_query->transaction();
    start(
        [this, db, tr, text] {
            Statement st(db, tr);
            st.prepare(text);
            m_outcome.plan = st.plan();
        },
        [this, text](std::exception_ptr error) {
            if (error)
                failed(error, text, text, 0);
            else
                m_outcome.kind = RunOutcome::Plan;
            emit finished(m_outcome);
        });
}
