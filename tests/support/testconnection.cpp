#include "support/testconnection.h"

TestConnection::TestConnection(const QString& databaseName, bool loginPrompt) {
    db.params() = QStringList{QStringLiteral("user_name=SYSDBA")};
    db.setLoginPrompt(loginPrompt);
    db.setDefaultTransaction(&tr);
    tr.setDefaultDatabase(&db);
    tr.params() = QStringList{QStringLiteral("read_committed"), QStringLiteral("rec_version"),
                              QStringLiteral("nowait")};
    if (!databaseName.isEmpty()) db.setDatabaseName(databaseName);
}

void TestConnection::open() {
    db.setConnected(true);
    tr.ensureActive();
}
