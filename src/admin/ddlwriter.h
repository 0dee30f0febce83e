#pragma once
#include "admin/catalog.h"
#include <QString>

// Statements that re-create the objects of a Catalog.
//
// script(): the whole database as one script, in an order the server accepts in one pass:
// collations, sequences, exceptions, external functions, domains (their checks later), tables
// with their primary and unique keys (computed columns as placeholders), headers of functions and
// procedures (empty bodies, so that whatever calls them can be created), package headers, indexes,
// foreign keys, views in dependency order, bodies of functions, procedures and packages, checks of
// domains and tables, computed columns, triggers, inactive indexes, roles, grants, comments.
// Bodies go between SET TERM ^ ; and SET TERM ; ^. The CREATE DATABASE line is a comment.
//
// The other functions give one object's statements as a user reads them (a table with its keys,
// checks and indexes; a procedure whole), for the object window.
class DdlWriter {
public:
    explicit DdlWriter(const Catalog& catalog);

    QString script() const;

    QString tableDdl(const QString& name) const; // tables and views
    QString routineDdl(const Routine& routine) const;
    QString packageDdl(const Package& package) const;
    QString triggerDdl(const Trigger& trigger) const;
    QString domainDdl(const Domain& domain) const;
    QString generatorDdl(const Generator& generator) const;
    QString exceptionDdl(const Exception& exception) const;
    QString indexDdl(const Index& index) const;
    QString roleDdl(const Role& role) const;
    QString collationDdl(const Collation& collation) const;
    // ALTER TABLE ... ADD of a key, foreign key or check (NOT NULL: empty).
    QString constraintDdl(const Constraint& constraint) const;
    // Every grant on or of the named object, one statement each.
    QString grantsOf(const QString& object) const;
    // The COMMENT ON statements of the database's commented objects, in the order of the script.
    QStringList comments() const;

    // "ACTIVE BEFORE INSERT OR UPDATE", "ON CONNECT", "AFTER CREATE TABLE OR DROP VIEW".
    static QString triggerTypeText(qint64 type);
    // A type as written in a definition: "VARCHAR(40) CHARACTER SET WIN1252", "NUMERIC(12, 2)".
    QString typeText(const FieldType& type, bool withCharset = true) const;

private:
    QString q(const QString& name) const;
    QString columnText(const Relation& table, const Column& column, bool computedPlaceholder) const;
    QString parameterText(const Parameter& p, bool withName) const;
    QString routineHeader(const Routine& r, bool create) const;
    QString routineBody(const Routine& r) const;
    QString routineStub(const Routine& r) const;
    QString createTable(const Relation& table, bool computedPlaceholders) const;
    QString createView(const Relation& view) const;
    QString keyText(const Constraint& k) const;
    QString foreignKey(const Constraint& k) const;
    QString checkConstraint(const Constraint& k) const;
    QString computedColumns(const Relation& table) const;
    QString domainText(const Domain& d, bool withCheck) const;
    QString externalFunction(const Routine& f) const;
    QString grantStatements(const QList<GrantEntry>& privileges) const;
    QList<const Relation*> viewsInOrder() const;
    int defaultCharsetId() const;

    const Catalog& m_c;
};

// The whole database's script through `db` (connected): readCatalog and DdlWriter::script.
class Database;
QString extractDdl(Database* db);
// Writes the script as UTF-8 (no byte-order mark, which isql would not read) to a new file put
// in place of `path` when complete; raises AppError when it cannot be written.
void writeDdlFile(const QString& path, const QString& script);
