#pragma once
#include <QString>

// Progress read from the verbose lines of a backup or a restore ("gbak:writing data for table X",
// "gbak:10000 records written", "gbak:restoring data for table X", "gbak:   20000 records
// restored", "... 7375872 bytes written"). Lines it does not know change nothing, so a server
// whose messages read otherwise only shows the lines themselves.
class GbakProgress {
public:
    // True when the line changed what is shown.
    bool read(const QString& line);

    QString table() const { return m_table; }   // the table whose rows are being copied
    qint64 rows() const { return m_done + m_current; } // rows copied so far, all tables
    qint64 bytesWritten() const { return m_bytes; }  // as the backup's last line says; -1 before
    // The database a restore created ("gbak:created database X, page_size N bytes"); empty before.
    QString createdDatabase() const { return m_created; }

private:
    QString m_table;
    qint64 m_done = 0;    // rows of the tables finished
    qint64 m_current = 0; // rows of the current table
    qint64 m_bytes = -1;
    QString m_created;
};
