#include "admin/securityadmin.h"
#include "admin/privilegegrid.h"
#include "connection/fberror.h"
#include "platform/apperror.h"

SecurityAdmin::SecurityAdmin(const AdminLogin& login) : m_conn(login) {}

QString SecurityAdmin::connectedUser() const {
    return storedName(m_conn.login().user);
}

namespace {
// The password is overwritten when it has been sent, whether the server took it or not.
struct WipeOnExit {
    QString& text;
    ~WipeOnExit() {
        text.fill(QChar(' '));
        text.clear();
    }
};
} // namespace

// The server's own words for a refused user change are terse ("add record error", "no permission
// for INSERT access to TABLE PLG$SRP_VIEW" when the user is not an administrator): what was refused
// is said first. The statement itself may carry a password and is never shown.
void SecurityAdmin::runUserStatement(const QString& statement, const QString& refused) {
    try {
        m_conn.execute({statement}, false);
    } catch (const DbError& e) {
        throw DbError(refused + QStringLiteral(":\r\n") + e.message(), e.sqlCode(), e.engineCode(),
                      e.connectionLost());
    }
}

void SecurityAdmin::createUser(const UserFields& user, QString& password) {
    WipeOnExit wipe{password};
    QString statement = createUserStatement(user, password, dialect());
    WipeOnExit wipeStatement{statement};
    runUserStatement(statement, QStringLiteral("O servidor recusou criar o usuário %1").arg(user.name));
}

void SecurityAdmin::alterUser(const UserFields& before, const UserFields& after, QString& password) {
    WipeOnExit wipe{password};
    if (!after.active && before.active) checkNotConnectedUser(before.name, QStringLiteral("desativado"));
    QString statement = alterUserStatement(before, after, password, dialect());
    WipeOnExit wipeStatement{statement};
    if (statement.isEmpty()) return;
    runUserStatement(statement, QStringLiteral("O servidor recusou alterar o usuário %1").arg(before.name));
}

void SecurityAdmin::setUserActive(const QString& name, bool active) {
    if (!active) checkNotConnectedUser(name, QStringLiteral("desativado"));
    runUserStatement(setUserActiveStatement(name, active, dialect()),
                     (active ? QStringLiteral("O servidor recusou ativar o usuário %1")
                             : QStringLiteral("O servidor recusou desativar o usuário %1"))
                         .arg(name));
}

void SecurityAdmin::dropUser(const QString& name) {
    checkNotConnectedUser(name, QStringLiteral("excluído"));
    runUserStatement(dropUserStatement(name, dialect()), QStringLiteral("O servidor recusou excluir o usuário %1").arg(name));
}

QString SecurityAdmin::lockOutRefusal(const QString& name, const QString& what) const {
    if (name != connectedUser()) return {};
    return QStringLiteral("O usuário %1 é o desta conexão e não pode ser %2 por ela: o programa perderia o "
                          "acesso. Entre com outro usuário administrador para isso.")
        .arg(name, what);
}

void SecurityAdmin::checkNotConnectedUser(const QString& name, const QString& what) const {
    const QString refusal = lockOutRefusal(name, what);
    if (!refusal.isEmpty()) throw AppError(refusal);
}

QStringList SecurityAdmin::createRoleStatements(const QString& typedName) {
    const QString name = storedName(typedName);
    if (name.isEmpty()) throw AppError(QStringLiteral("Informe o nome do papel."));
    return {createRoleStatement(name, dialect())};
}

QStringList SecurityAdmin::dropRoleStatements(const QString& role) {
    return {dropRoleStatement(role, dialect())};
}

QStringList SecurityAdmin::grantRoleStatements(const QString& role, const QString& user, bool adminOption,
                                               bool hasRole, bool hadAdminOption) {
    if (hasRole && hadAdminOption == adminOption) return {};
    // Taking the admin option away keeps the role.
    if (hasRole && hadAdminOption && !adminOption) return {revokeAdminOptionStatement(role, user, dialect())};
    return {grantRoleStatement(role, user, adminOption, dialect())};
}

QStringList SecurityAdmin::revokeRoleStatements(const QString& role, const QString& user) {
    return {revokeRoleStatement(role, user, dialect())};
}

void SecurityAdmin::run(const QStringList& statements) {
    if (!statements.isEmpty()) m_conn.execute(statements, true);
}

void SecurityAdmin::loadPrivileges(PrivilegeGrid& grid, const Grantee& grantee) {
    const QList<DbObject> objects = readObjects(m_conn);
    grid.load(grantee, objects, readPrivileges(m_conn, grantee), dialect());
}

QStringList SecurityAdmin::applyPrivileges(PrivilegeGrid& grid) {
    const QStringList statements = grid.statements();
    if (statements.isEmpty()) return {};
    m_conn.execute(statements, true);
    PrivilegeGrid now;
    loadPrivileges(now, grid.grantee());
    const QStringList differences = PrivilegeGrid::differences(grid, now);
    loadPrivileges(grid, grid.grantee());
    return differences;
}
