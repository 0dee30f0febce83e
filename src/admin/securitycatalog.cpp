#include "admin/securitycatalog.h"
#include "admin/adminconnection.h"
#include "connection/statement.h"
#include "connection/transaction.h"

namespace {
QString text(const SqlDa& r, int i) {
    return r.isNull(i) ? QString() : r.value(i).toString().trimmed();
}

// Every row of a query (its parameters bound in order) in a read-only transaction of its own.
template <class F> void eachRow(AdminConnection& c, const QString& sql, const QVariantList& params, F onRow) {
    c.readOnly([&](Transaction& tr) {
        Statement st(&c.db(), &tr);
        st.prepare(sql);
        for (int i = 0; i < params.size(); ++i)
            st.in().setValue(i, params[i]);
        st.execute();
        while (st.fetch())
            onRow(st.out());
    });
}
} // namespace

QList<UserFields> readUsers(AdminConnection& c) {
    QList<UserFields> out;
    eachRow(c,
            QStringLiteral("select SEC$USER_NAME, SEC$FIRST_NAME, SEC$MIDDLE_NAME, SEC$LAST_NAME, SEC$ACTIVE, "
                           "SEC$ADMIN, SEC$PLUGIN from SEC$USERS order by SEC$USER_NAME"),
            {}, [&](const SqlDa& r) {
                UserFields u;
                u.name = text(r, 0);
                u.firstName = text(r, 1);
                u.middleName = text(r, 2);
                u.lastName = text(r, 3);
                u.active = !r.isNull(4) && r.value(4).toBool();
                u.admin = !r.isNull(5) && r.value(5).toBool();
                u.plugin = text(r, 6);
                out.append(u);
            });
    return out;
}

QList<RoleInfo> readRoles(AdminConnection& c) {
    QList<RoleInfo> out;
    eachRow(c,
            QStringLiteral("select RDB$ROLE_NAME, RDB$OWNER_NAME from RDB$ROLES "
                           "where coalesce(RDB$SYSTEM_FLAG, 0) = 0 order by RDB$ROLE_NAME"),
            {}, [&](const SqlDa& r) { out.append(RoleInfo{text(r, 0), text(r, 1)}); });
    return out;
}

QList<RoleMember> readRoleMembers(AdminConnection& c) {
    QList<RoleMember> out;
    eachRow(c,
            QStringLiteral("select RDB$RELATION_NAME, RDB$USER, max(RDB$GRANT_OPTION), max(RDB$GRANTOR) "
                           "from RDB$USER_PRIVILEGES where RDB$PRIVILEGE = 'M' and RDB$USER_TYPE = 8 "
                           "group by RDB$RELATION_NAME, RDB$USER order by RDB$RELATION_NAME, RDB$USER"),
            {}, [&](const SqlDa& r) {
                RoleMember m;
                m.role = text(r, 0);
                m.user = text(r, 1);
                m.adminOption = !r.isNull(2) && r.value(2).toInt() != 0;
                m.grantor = text(r, 3);
                out.append(m);
            });
    return out;
}

QList<DbObject> readObjects(AdminConnection& c) {
    QList<DbObject> out;
    // Kinds numbered as ObjectKind; the server sorts.
    eachRow(c,
            QStringLiteral(
                "select 0, RDB$RELATION_NAME from RDB$RELATIONS "
                "where coalesce(RDB$SYSTEM_FLAG, 0) = 0 and RDB$VIEW_BLR is null "
                "union all select 1, RDB$RELATION_NAME from RDB$RELATIONS "
                "where coalesce(RDB$SYSTEM_FLAG, 0) = 0 and RDB$VIEW_BLR is not null "
                "union all select 2, RDB$PROCEDURE_NAME from RDB$PROCEDURES "
                "where coalesce(RDB$SYSTEM_FLAG, 0) = 0 and RDB$PACKAGE_NAME is null "
                "union all select 3, RDB$FUNCTION_NAME from RDB$FUNCTIONS "
                "where coalesce(RDB$SYSTEM_FLAG, 0) = 0 and RDB$PACKAGE_NAME is null "
                "and coalesce(RDB$LEGACY_FLAG, 0) = 0 "
                "union all select 4, RDB$PACKAGE_NAME from RDB$PACKAGES where coalesce(RDB$SYSTEM_FLAG, 0) = 0 "
                "union all select 5, RDB$GENERATOR_NAME from RDB$GENERATORS where coalesce(RDB$SYSTEM_FLAG, 0) = 0 "
                "union all select 6, RDB$EXCEPTION_NAME from RDB$EXCEPTIONS where coalesce(RDB$SYSTEM_FLAG, 0) = 0 "
                "order by 1, 2"),
            {}, [&](const SqlDa& r) {
                out.append(DbObject{static_cast<ObjectKind>(r.value(0).toInt()), text(r, 1)});
            });
    return out;
}

QList<GrantedPrivilege> readPrivileges(AdminConnection& c, const Grantee& grantee) {
    QList<GrantedPrivilege> out;
    eachRow(c,
            QStringLiteral("select RDB$RELATION_NAME, RDB$OBJECT_TYPE, RDB$PRIVILEGE, RDB$GRANT_OPTION, RDB$FIELD_NAME "
                           "from RDB$USER_PRIVILEGES where RDB$USER = ? and RDB$USER_TYPE = ? "
                           "and RDB$PRIVILEGE <> 'M'"),
            {grantee.name, grantee.kind == Grantee::Role ? 13 : 8}, [&](const SqlDa& r) {
                GrantedPrivilege g;
                const QString letter = text(r, 2);
                if (letter.isEmpty() || !privilegeFromLetter(letter[0], &g.privilege)) return;
                g.object = text(r, 0);
                g.objectType = r.value(1).toInt();
                g.grantOption = !r.isNull(3) && r.value(3).toInt() != 0;
                g.columnsOnly = !r.isNull(4);
                out.append(g);
            });
    return out;
}

bool objectTypeMatches(ObjectKind kind, int objectType) {
    switch (kind) {
    case ObjectKind::Table:
    case ObjectKind::View: return objectType == 0;
    case ObjectKind::Procedure: return objectType == 5;
    case ObjectKind::Function: return objectType == 15;
    case ObjectKind::Package: return objectType == 18;
    case ObjectKind::Generator: return objectType == 14;
    case ObjectKind::Exception: return objectType == 7;
    }
    return false;
}
