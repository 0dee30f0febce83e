#pragma once
#include "admin/serverplace.h"
#include "admin/serviceconnection.h"
#include <QString>

// The database the administration windows work on and how to reach its server: the open
// connection's string and the login typed for it (kept in memory only).
struct AdminTarget {
    QString connectionString;
    ServerPlace place;
    QString user;
    QString password;

    // The program's open database. Raises "Banco de Dados não está conectado !!!!" when none is open.
    static AdminTarget openDatabase();
    // Another database on a server reached with this login.
    static AdminTarget of(const QString& connectionString, const QString& user, const QString& password);

    ServiceLogin serviceLogin() const { return {place.serviceName(), user, password}; }
    QString path() const { return place.path; }
};
