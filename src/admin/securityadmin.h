#pragma once
#include "admin/adminconnection.h"
#include "admin/securitycatalog.h"
#include <QStringList>

class PrivilegeGrid;

// The rules of the users, roles and privileges window, on an administration attachment of its
// own. Changes of users act on the server at once (the security database does not wait for a
// commit); role and privilege statements run together in one transaction, all or nothing.
class SecurityAdmin {
public:
    explicit SecurityAdmin(const AdminLogin& login);

    AdminConnection& connection() { return m_conn; }
    int dialect() {
        m_conn.open();
        return m_conn.db().sqlDialect();
    }
    // The user this program is logged in as, as the server stores it.
    QString connectedUser() const;

    // The password is wiped here once it has been used.
    void createUser(const UserFields& user, QString& password);
    void alterUser(const UserFields& before, const UserFields& after, QString& password);
    // Refused for the user the program is connected as (the program would lock itself out).
    void setUserActive(const QString& name, bool active);
    void dropUser(const QString& name);

    // The statements of a role change, to be shown before they run.
    QStringList createRoleStatements(const QString& typedName);
    QStringList dropRoleStatements(const QString& role);
    QStringList grantRoleStatements(const QString& role, const QString& user, bool adminOption, bool hasRole,
                                    bool hadAdminOption);
    QStringList revokeRoleStatements(const QString& role, const QString& user);
    // Runs statements that were shown (one transaction; a refusal names the statement and leaves
    // nothing done).
    void run(const QStringList& statements);

    // Loads the grid for a grantee as the server holds it.
    void loadPrivileges(PrivilegeGrid& grid, const Grantee& grantee);
    // Runs the grid's statements, loads it again and returns the cells the server does not hold as
    // asked (empty when all went as asked).
    QStringList applyPrivileges(PrivilegeGrid& grid);

    // Why the user may not be deactivated or dropped from here (the user this program is logged in
    // as: it would lock itself out), or an empty text. what: "desativado", "excluído".
    QString lockOutRefusal(const QString& name, const QString& what) const;

private:
    void runUserStatement(const QString& statement, const QString& refused);
    void checkNotConnectedUser(const QString& name, const QString& what) const;

    AdminConnection m_conn;
};
