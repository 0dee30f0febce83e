#pragma once
#include <QList>
#include <QString>
#include <QVariantList>
#include <memory>

class Database;
class Transaction;

// An attachment of the administration work's own, apart from the program's connection (which
// the windows share and which may be busy): made with the kept login, without the prompt, usable
// from a job's thread (made, used and released on that thread).
class PrivateAttachment {
public:
    PrivateAttachment(const QString& connectionString, const QString& user, const QString& password);
    ~PrivateAttachment();
    PrivateAttachment(const PrivateAttachment&) = delete;
    PrivateAttachment& operator=(const PrivateAttachment&) = delete;

    // Every row of a statement (values as SqlDa::value reads them), parameters bound in order, in a
    // transaction of its own that is committed.
    QList<QVariantList> rows(const QString& sql, const QVariantList& params = {});
    // A statement that returns nothing, committed.
    void execute(const QString& sql, const QVariantList& params = {});

private:
    std::unique_ptr<Database> m_db;
    std::unique_ptr<Transaction> m_tr;
};
