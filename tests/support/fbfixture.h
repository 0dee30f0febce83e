#pragma once
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A database file created for one test through the embedded engine, dropped at the end.
// Statements run in their own attachment (as SYSDBA), each script committed at once.
class TempDatabase {
public:
    // charset: the database's default character set ("UTF8", "WIN1252", "ISO8859_1", "NONE");
    // dialect: the SQL dialect the database is created in (and its statements run in).
    explicit TempDatabase(const QStringList& ddl = {}, const QString& charset = QStringLiteral("UTF8"),
                          const QString& fileName = QStringLiteral("test.fdb"), int dialect = 3);
    ~TempDatabase();
    TempDatabase(const TempDatabase&) = delete;
    TempDatabase& operator=(const TempDatabase&) = delete;

    QString path() const { return m_path; }
    QString dir() const { return m_dir.path(); }
    // Runs the statements in one transaction of a separate attachment and commits.
    void exec(const QStringList& statements);
    void exec(const QString& statement) { exec(QStringList{statement}); }
    // First column of every row of a SELECT, as text ("<null>" for NULL), in a separate attachment.
    QStringList column(const QString& select);
    QString scalar(const QString& select) {
        const QStringList c = column(select);
        return c.isEmpty() ? QString() : c.first();
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
    int m_dialect = 3;
};

// The loopback server of the network tests (scripts/test starts it).
QString testServerHost();     // FBADMIN_TEST_SERVER, default 127.0.0.1
QString testServerPassword(); // FBADMIN_TEST_PASSWORD
