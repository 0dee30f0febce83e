#include "admin/adminconnection.h"
#include "connection/fberror.h"
#include "connection/statement.h"
#include "connection/transaction.h"

AdminLogin AdminLogin::of(const Database* program) {
    if (!program || !program->connected()) throw AppError(QStringLiteral("Banco de Dados não está conectado !!!!"));
    AdminLogin l;
    l.database = program->databaseName();
    l.user = program->loginUserName();
    l.password = program->loginPassword();
    l.programAttachment = program->attachmentId();
    return l;
}

AdminConnection::AdminConnection(const AdminLogin& login) : m_login(login) {
    m_db.setLoginPrompt(false);
    m_db.setDatabaseName(login.database);
}

AdminConnection::~AdminConnection() {
    close();
}

void AdminConnection::open() {
    if (m_db.connected()) return;
    // The password goes in for the attach only and is taken out again at once.
    m_db.params() = QStringList{QStringLiteral("user_name=") + m_login.user,
                                QStringLiteral("password=") + m_login.password};
    try {
        m_db.open();
    } catch (...) {
        m_db.params()[1].fill(QChar(' '));
        m_db.params().removeLast();
        throw;
    }
    m_db.params()[1].fill(QChar(' '));
    m_db.params().removeLast();
}

void AdminConnection::close() {
    try {
        m_db.close();
    } catch (...) {
        // The attachment is gone or going; nothing of its own was pending.
    }
}

// A short transaction of its own around `work`: committed when it is done, rolled back when it
// fails (the error goes on to the caller).
void AdminConnection::inTransaction(const QStringList& params, const std::function<void(Transaction&)>& work) {
    open();
    Transaction tr;
    tr.setDefaultDatabase(&m_db);
    tr.setDefaultAction(Transaction::ActionRollback);
    tr.params() = params;
    tr.start();
    try {
        work(tr);
    } catch (...) {
        try {
            tr.rollback();
        } catch (...) {
        }
        throw;
    }
    tr.commit();
}

void AdminConnection::readOnly(const std::function<void(Transaction&)>& work) {
    inTransaction({QStringLiteral("read"), QStringLiteral("concurrency"), QStringLiteral("nowait")}, work);
}

QString refusedStatementMessage(const QString& statement, const QString& serverMessage) {
    return QStringLiteral("O servidor recusou o comando\r\n%1\r\n%2\r\nNada foi alterado.").arg(statement, serverMessage);
}

void AdminConnection::execute(const QStringList& statements, bool showStatements) {
    inTransaction({QStringLiteral("write"), QStringLiteral("concurrency"), QStringLiteral("nowait")},
                  [&](Transaction& tr) {
                      for (const QString& s : statements) {
                          try {
                              executeImmediate(&m_db, &tr, s);
                          } catch (const AppError& e) {
                              if (!showStatements) throw;
                              throw AppError(refusedStatementMessage(s, e.message()));
                          }
                      }
                  });
}

qint64 AdminConnection::executeCounting(const QString& statement, const QVariantList& params) {
    qint64 rows = 0;
    inTransaction({QStringLiteral("write"), QStringLiteral("read_committed"), QStringLiteral("rec_version"),
                   QStringLiteral("nowait")},
                  [&](Transaction& tr) {
                      Statement st(&m_db, &tr);
                      st.prepare(statement);
                      for (int i = 0; i < params.size(); ++i)
                          st.in().setValue(i, params[i]);
                      st.execute();
                      rows = st.rowsAffected();
                  });
    return rows;
}
