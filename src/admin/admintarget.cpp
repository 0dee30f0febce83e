#include "admin/admintarget.h"
#include "connection/database.h"
#include "connection/dm.h"
#include "platform/apperror.h"

AdminTarget AdminTarget::openDatabase() {
    const TdM* dm = TdM::instance();
    if (!databaseIsOpen() || !dm) throw AppError(QStringLiteral("Banco de Dados não está conectado !!!!"));
    // The connection's own name when it is attached; CurrentDatabase otherwise (a connection lost
    // or let go for a moment keeps its name).
    const QString name = dm->Banco->databaseName().isEmpty() ? CurrentDatabase.trimmed() : dm->Banco->databaseName();
    QString user = dm->Banco->loginUserName();
    if (user.isEmpty()) user = QStringLiteral("SYSDBA");
    return of(name, user, dm->Banco->loginPassword());
}

AdminTarget AdminTarget::of(const QString& connectionString, const QString& user, const QString& password) {
    AdminTarget t;
    t.connectionString = connectionString;
    t.place = ServerPlace::fromConnectionString(connectionString);
    t.user = user;
    t.password = password;
    return t;
}
