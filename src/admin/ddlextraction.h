#pragma once
#include <QObject>
#include <QPointer>
#include <QString>

class ConnectionJob;
class Database;

// "E&xtrai DDL...": the open database's metadata read and written to a file while the windows go
// on answering; finished() tells the end (an empty error when the file was written).
class DdlExtraction : public QObject {
    Q_OBJECT
public:
    explicit DdlExtraction(Database* db, QObject* parent = nullptr);
    ~DdlExtraction() override; // a run in progress is cancelled and waited for

    // Raises at once, with nothing started, when another window's statement holds the connection.
    void start(const QString& path);
    bool running() const;

signals:
    void finished(const QString& error);

private:
    QPointer<Database> m_db;
    ConnectionJob* m_job = nullptr;
};

// Where the save dialog proposes the script: the folder of scripts, named after the database file.
QString ddlFileProposal(const QString& connectionString);
