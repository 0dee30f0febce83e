#pragma once
#include "admin/adminsql.h"
#include <QList>
#include <QString>

class AdminConnection;

// What the server knows about users, roles and privileges, read in a short read-only transaction
// of the administration attachment each time.

// Users of the security database (SEC$USERS), by name.
QList<UserFields> readUsers(AdminConnection& c);

struct RoleInfo {
    QString name;
    QString owner;
};
// Roles of the database, the engine's own (RDB$ADMIN) left out; by name.
QList<RoleInfo> readRoles(AdminConnection& c);

struct RoleMember {
    QString role;
    QString user;
    bool adminOption = false;
    QString grantor;
};
// Which users hold which roles.
QList<RoleMember> readRoleMembers(AdminConnection& c);

struct DbObject {
    ObjectKind kind = ObjectKind::Table;
    QString name;
};
// Tables, views, procedures, functions, packages, generators and exceptions that are not the
// engine's own, by kind and name.
QList<DbObject> readObjects(AdminConnection& c);

struct GrantedPrivilege {
    QString object;
    int objectType = 0;        // RDB$OBJECT_TYPE (0 relation, 5 procedure, 7 exception, 14 generator, 15 function, 18 package)
    Privilege privilege = Privilege::Select;
    bool grantOption = false;
    bool columnsOnly = false;  // granted on some columns of the table only
};
// The privileges that the grantee holds on objects (role memberships left out).
QList<GrantedPrivilege> readPrivileges(AdminConnection& c, const Grantee& grantee);
// Whether an object of this kind is stored under that RDB$OBJECT_TYPE.
bool objectTypeMatches(ObjectKind kind, int objectType);
