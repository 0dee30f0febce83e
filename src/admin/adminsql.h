#pragma once
#include <QList>
#include <QString>
#include <QStringList>

// The administration statements (users, roles, privileges, monitoring) as texts. Nothing typed
// goes into them but through sqlName() and sqlText(): the server accepts no parameters in these
// statements, so names are quoted when they are not regular identifiers and quotes are doubled.

// A name as it is written in a statement: regular upper-case names as they are, others quoted
// with inner double quotes doubled ("Papel x", "a""b"). Dialect 1 knows no quoted names.
QString sqlName(const QString& name, int dialect = 3);
// A text literal: 'it''s'.
QString sqlText(const QString& text);
// The name that the server stores for a name typed for a new user or role: a regular identifier
// (a letter, then letters, digits, _ or $, not a reserved word) in upper case, as the server
// itself would store it unquoted; any other name exactly as typed (it will be quoted). Blanks
// around it are dropped, as the server ignores trailing blanks of names.
QString storedName(const QString& typed);

// One user of the security database.
struct UserFields {
    QString name;
    QString firstName, middleName, lastName;
    bool active = true;
    bool admin = false;
    QString plugin; // empty: the server's default
};

// Checks what the user typed for a new or changed user and raises AppError with a Portuguese
// message: a blank name, a blank or mismatched password for a new user, a mismatched one for a
// changed user (a blank password there keeps the old one).
void checkUserInput(const QString& name, const QString& password, const QString& confirmation, bool creating);

QString createUserStatement(const UserFields& user, const QString& password, int dialect = 3);
// Only what changed from `before` (and the password when one was typed); empty when nothing did.
QString alterUserStatement(const UserFields& before, const UserFields& after, const QString& password,
                           int dialect = 3);
QString setUserActiveStatement(const QString& name, bool active, int dialect = 3);
QString dropUserStatement(const QString& name, int dialect = 3);

QString createRoleStatement(const QString& role, int dialect = 3);
QString dropRoleStatement(const QString& role, int dialect = 3);
QString grantRoleStatement(const QString& role, const QString& user, bool adminOption, int dialect = 3);
QString revokeRoleStatement(const QString& role, const QString& user, int dialect = 3);
QString revokeAdminOptionStatement(const QString& role, const QString& user, int dialect = 3);

// Objects that privileges are granted on, and the privileges.
enum class ObjectKind { Table, View, Procedure, Function, Package, Generator, Exception };
enum class Privilege { Select, Insert, Update, Delete, References, Execute, Usage };
constexpr int kPrivilegeCount = 7;

QString objectKindCaption(ObjectKind kind); // "Tabela", "Visão", ...
QString privilegeCaption(Privilege p);      // "Select", "Insert", ...
QString privilegeWord(Privilege p);         // SELECT, INSERT, ... as in a statement
// The privileges that make sense on an object of that kind.
QList<Privilege> privilegesOf(ObjectKind kind);
// RDB$PRIVILEGE letter ('S', 'I', 'U', 'D', 'R', 'X', 'G'); false for any other letter.
bool privilegeFromLetter(QChar letter, Privilege* p);

struct Grantee {
    enum Kind { User, Role } kind = User;
    QString name;
    bool operator==(const Grantee& o) const { return kind == o.kind && name == o.name; }
};

// GRANT SELECT, INSERT ON T TO USER U [WITH GRANT OPTION]
QString grantStatement(const QList<Privilege>& privileges, ObjectKind kind, const QString& object,
                       const Grantee& grantee, bool withGrantOption, int dialect = 3);
// REVOKE [GRANT OPTION FOR] SELECT ON T FROM USER U
QString revokeStatement(const QList<Privilege>& privileges, ObjectKind kind, const QString& object,
                        const Grantee& grantee, bool grantOptionOnly, int dialect = 3);
