#include "admin/adminsql.h"
#include "connection/identifiers.h"
#include "platform/apperror.h"

QString sqlName(const QString& name, int dialect) {
    return quoteIdentifier(name, dialect);
}

QString sqlText(const QString& text) {
    return '\'' + QString(text).replace('\'', QStringLiteral("''")) + '\'';
}

QString storedName(const QString& typed) {
    const QString name = typed.trimmed();
    const auto letter = [](QChar c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    bool regular = !name.isEmpty() && letter(name[0]);
    for (QChar c : name)
        regular = regular && (letter(c) || (c >= '0' && c <= '9') || c == '_' || c == '$');
    if (regular && !identifierNeedsQuotes(name.toUpper())) return name.toUpper();
    return name;
}

void checkUserInput(const QString& name, const QString& password, const QString& confirmation, bool creating) {
    if (name.trimmed().isEmpty()) throw AppError(QStringLiteral("Informe o nome do usuário."));
    if (creating && password.isEmpty()) throw AppError(QStringLiteral("Informe a senha do novo usuário."));
    if (password != confirmation)
        throw AppError(QStringLiteral("A senha e a confirmação não conferem. Digite a senha de novo nos dois campos."));
}

namespace {
// FIRSTNAME 'x' MIDDLENAME 'y' LASTNAME 'z': an empty text clears the name.
QString nameClause(const char* word, const QString& value) {
    return QLatin1Char(' ') + QLatin1String(word) + QLatin1Char(' ') + sqlText(value);
}
} // namespace

QString createUserStatement(const UserFields& user, const QString& password, int dialect) {
    QString s = QStringLiteral("CREATE USER ") + sqlName(user.name, dialect) + QStringLiteral(" PASSWORD ") +
                sqlText(password);
    if (!user.firstName.isEmpty()) s += nameClause("FIRSTNAME", user.firstName);
    if (!user.middleName.isEmpty()) s += nameClause("MIDDLENAME", user.middleName);
    if (!user.lastName.isEmpty()) s += nameClause("LASTNAME", user.lastName);
    s += user.active ? QStringLiteral(" ACTIVE") : QStringLiteral(" INACTIVE");
    if (user.admin) s += QStringLiteral(" GRANT ADMIN ROLE");
    if (!user.plugin.isEmpty()) s += QStringLiteral(" USING PLUGIN ") + sqlName(user.plugin, dialect);
    return s;
}

QString alterUserStatement(const UserFields& before, const UserFields& after, const QString& password,
                           int dialect) {
    QString changes;
    if (!password.isEmpty()) changes += QStringLiteral(" PASSWORD ") + sqlText(password);
    if (after.firstName != before.firstName) changes += nameClause("FIRSTNAME", after.firstName);
    if (after.middleName != before.middleName) changes += nameClause("MIDDLENAME", after.middleName);
    if (after.lastName != before.lastName) changes += nameClause("LASTNAME", after.lastName);
    if (after.active != before.active) changes += after.active ? QStringLiteral(" ACTIVE") : QStringLiteral(" INACTIVE");
    if (after.admin != before.admin)
        changes += after.admin ? QStringLiteral(" GRANT ADMIN ROLE") : QStringLiteral(" REVOKE ADMIN ROLE");
    if (changes.isEmpty()) return {};
    QString s = QStringLiteral("ALTER USER ") + sqlName(before.name, dialect) + changes;
    if (!before.plugin.isEmpty()) s += QStringLiteral(" USING PLUGIN ") + sqlName(before.plugin, dialect);
    return s;
}

QString setUserActiveStatement(const QString& name, bool active, int dialect) {
    return QStringLiteral("ALTER USER ") + sqlName(name, dialect) +
           (active ? QStringLiteral(" ACTIVE") : QStringLiteral(" INACTIVE"));
}

QString dropUserStatement(const QString& name, int dialect) {
    return QStringLiteral("DROP USER ") + sqlName(name, dialect);
}

QString createRoleStatement(const QString& role, int dialect) {
    return QStringLiteral("CREATE ROLE ") + sqlName(role, dialect);
}

QString dropRoleStatement(const QString& role, int dialect) {
    return QStringLiteral("DROP ROLE ") + sqlName(role, dialect);
}

QString grantRoleStatement(const QString& role, const QString& user, bool adminOption, int dialect) {
    return QStringLiteral("GRANT ") + sqlName(role, dialect) + QStringLiteral(" TO USER ") + sqlName(user, dialect) +
           (adminOption ? QStringLiteral(" WITH ADMIN OPTION") : QString());
}

QString revokeRoleStatement(const QString& role, const QString& user, int dialect) {
    return QStringLiteral("REVOKE ") + sqlName(role, dialect) + QStringLiteral(" FROM USER ") + sqlName(user, dialect);
}

QString revokeAdminOptionStatement(const QString& role, const QString& user, int dialect) {
    return QStringLiteral("REVOKE ADMIN OPTION FOR ") + sqlName(role, dialect) + QStringLiteral(" FROM USER ") +
           sqlName(user, dialect);
}

QString objectKindCaption(ObjectKind kind) {
    switch (kind) {
    case ObjectKind::Table: return QStringLiteral("Tabela");
    case ObjectKind::View: return QStringLiteral("Visão");
    case ObjectKind::Procedure: return QStringLiteral("Procedimento");
    case ObjectKind::Function: return QStringLiteral("Função");
    case ObjectKind::Package: return QStringLiteral("Pacote");
    case ObjectKind::Generator: return QStringLiteral("Gerador");
    case ObjectKind::Exception: return QStringLiteral("Exceção");
    }
    return {};
}

QString privilegeCaption(Privilege p) {
    switch (p) {
    case Privilege::Select: return QStringLiteral("Select");
    case Privilege::Insert: return QStringLiteral("Insert");
    case Privilege::Update: return QStringLiteral("Update");
    case Privilege::Delete: return QStringLiteral("Delete");
    case Privilege::References: return QStringLiteral("References");
    case Privilege::Execute: return QStringLiteral("Execute");
    case Privilege::Usage: return QStringLiteral("Usage");
    }
    return {};
}

QString privilegeWord(Privilege p) {
    return privilegeCaption(p).toUpper();
}

QList<Privilege> privilegesOf(ObjectKind kind) {
    switch (kind) {
    case ObjectKind::Table:
    case ObjectKind::View:
        return {Privilege::Select, Privilege::Insert, Privilege::Update, Privilege::Delete, Privilege::References};
    case ObjectKind::Procedure:
    case ObjectKind::Function:
    case ObjectKind::Package: return {Privilege::Execute};
    case ObjectKind::Generator:
    case ObjectKind::Exception: return {Privilege::Usage};
    }
    return {};
}

bool privilegeFromLetter(QChar letter, Privilege* p) {
    switch (letter.toLatin1()) {
    case 'S': *p = Privilege::Select; return true;
    case 'I': *p = Privilege::Insert; return true;
    case 'U': *p = Privilege::Update; return true;
    case 'D': *p = Privilege::Delete; return true;
    case 'R': *p = Privilege::References; return true;
    case 'X': *p = Privilege::Execute; return true;
    case 'G': *p = Privilege::Usage; return true;
    default: return false;
    }
}

namespace {
// ON T, ON PROCEDURE P, ON SEQUENCE G, ...
QString onClause(ObjectKind kind, const QString& object, int dialect) {
    QString what;
    switch (kind) {
    case ObjectKind::Table: what = QStringLiteral("TABLE "); break;
    case ObjectKind::View: break; // a view is named as a table is, without the word
    case ObjectKind::Procedure: what = QStringLiteral("PROCEDURE "); break;
    case ObjectKind::Function: what = QStringLiteral("FUNCTION "); break;
    case ObjectKind::Package: what = QStringLiteral("PACKAGE "); break;
    case ObjectKind::Generator: what = QStringLiteral("SEQUENCE "); break;
    case ObjectKind::Exception: what = QStringLiteral("EXCEPTION "); break;
    }
    return QStringLiteral(" ON ") + what + sqlName(object, dialect);
}

QString granteeClause(const Grantee& g, int dialect) {
    return (g.kind == Grantee::Role ? QStringLiteral("ROLE ") : QStringLiteral("USER ")) + sqlName(g.name, dialect);
}

QString privilegeList(const QList<Privilege>& privileges) {
    QStringList words;
    for (Privilege p : privileges)
        words.append(privilegeWord(p));
    return words.join(QStringLiteral(", "));
}
} // namespace

QString grantStatement(const QList<Privilege>& privileges, ObjectKind kind, const QString& object,
                       const Grantee& grantee, bool withGrantOption, int dialect) {
    return QStringLiteral("GRANT ") + privilegeList(privileges) + onClause(kind, object, dialect) +
           QStringLiteral(" TO ") + granteeClause(grantee, dialect) +
           (withGrantOption ? QStringLiteral(" WITH GRANT OPTION") : QString());
}

QString revokeStatement(const QList<Privilege>& privileges, ObjectKind kind, const QString& object,
                        const Grantee& grantee, bool grantOptionOnly, int dialect) {
    return QStringLiteral("REVOKE ") + (grantOptionOnly ? QStringLiteral("GRANT OPTION FOR ") : QString()) +
           privilegeList(privileges) + onClause(kind, object, dialect) + QStringLiteral(" FROM ") +
           granteeClause(grantee, dialect);
}
