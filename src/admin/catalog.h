#pragma once
#include <QHash>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

class Database;

// The user objects of a database as its system tables describe them, read in one snapshot. Names
// are as the catalogue holds them, trailing blanks removed; texts (sources, defaults, comments)
// exactly as stored. Nothing here knows SQL syntax: ddlwriter.h turns it into statements.

// A data type as RDB$FIELDS (or an argument of a function) describes it.
struct FieldType {
    int type = 0;             // blr code: 7 smallint, 8 integer, 16 bigint, 14 char, 37 varchar, 261 blob...
    int subType = 0;          // numeric/decimal (1/2) for integers; blob sub-type
    int length = 0;           // bytes
    int scale = 0;
    int precision = 0;
    int charLength = -1;      // characters, when the catalogue says
    int charsetId = -1;       // -1: none given
    int collationId = -1;
    int segmentLength = 0;
    QList<std::pair<int, int>> bounds; // array dimensions, lower and upper
};

// A domain, the user's own or the one the server made for a column or parameter (RDB$n).
struct Domain {
    QString name;
    FieldType type;
    QString defaultSource;  // "default 0"
    QString checkSource;    // "check (value > 0)"
    QString computedSource; // "(A * 2)"
    bool notNull = false;
    bool implicit = false; // RDB$n: made by the server, not by CREATE DOMAIN
    QString description;
};

struct Column {
    QString name;
    QString source; // the domain
    int position = 0;
    bool notNull = false;
    QString notNullConstraint; // its name when NOT NULL is a constraint of its own
    QString defaultSource;
    int collationId = -1;
    QString identityGenerator; // a column GENERATED ... AS IDENTITY
    int identityType = -1;     // 0 always, 1 by default
    QString description;
};

struct Constraint {
    QString name;
    QString type; // PRIMARY KEY, UNIQUE, FOREIGN KEY, CHECK, NOT NULL
    QString relation;
    QString index;
    // Foreign keys: the key they refer to and the rules.
    QString refersTo;
    QString updateRule;
    QString deleteRule;
    QString checkSource; // CHECK: "check (A > 0)"
};

struct Index {
    QString name;
    QString relation;
    bool unique = false;
    bool descending = false;
    bool inactive = false;
    QString expressionSource; // an index on an expression: "(upper(NOME))"
    QStringList segments;
    std::optional<double> statistics; // selectivity, when the server computed it
    bool system = false;
    QString description;
};

struct Relation {
    QString name;
    int id = 0;
    int relationType = 0; // 0 table, 1 view, 2 external, 4/5 global temporary (preserve/delete rows)
    bool view = false;
    QString viewSource;
    QString externalFile;
    QString owner;
    QString description;
    QList<Column> columns; // by position
};

// A parameter of a procedure or an argument of a function.
struct Parameter {
    QString name;
    int number = 0;       // position
    bool output = false;  // procedures: RETURNS; functions: the return value
    QString source;       // the domain (RDB$n for a plain type)
    FieldType type;       // legacy external functions: the type itself (no domain)
    int mechanism = 0;    // 1: TYPE OF (procedures and functions); external functions: how it is passed
    bool notNull = false;
    QString defaultSource;
    int collationId = -1;
    QString relationName, fieldName; // TYPE OF COLUMN
    QString description;
};

struct Routine { // procedure or function
    QString name;
    bool function = false;
    QString package;    // inside a package: not extracted on its own
    int procedureType = 0; // procedures: 1 selectable, 2 executable
    QString source;
    QString engine, entryPoint, moduleName; // external (UDR) routines; legacy external functions
    bool deterministic = false;
    int returnArgument = 0; // functions
    QList<Parameter> parameters;
    QString owner;
    QString description;
};

struct Package {
    QString name;
    QString headerSource, bodySource;
    bool validBody = false;
    QString owner;
    QString description;
};

struct Trigger {
    QString name;
    QString relation; // empty for database and DDL triggers
    int sequence = 0;
    qint64 type = 0;
    QString source;
    bool inactive = false;
    bool sql = true; // written in SQL (old GDML triggers are not)
    QString engine, entryPoint;
    QString description;
};

struct Generator {
    QString name;
    qint64 initialValue = 0;
    int increment = 1;
    qint64 value = 0; // the current value
    QString description;
};

struct Exception {
    QString name;
    QString message;
    QString description;
};

struct Role {
    QString name;
    QString owner;
    QString description;
};

struct GrantEntry {
    QString user, grantor;
    QChar privilege;     // S I U D R X G M
    int grantOption = 0; // 1 with grant option, 2 with admin option
    QString object;      // relation, procedure, role...
    QString field;
    int userType = 8;    // 8 user, 13 role, 1 view, 2 trigger, 5 procedure, 15 function, 18 package
    int objectType = 0;  // 0 relation, 5 procedure, 15 function, 18 package, 13 role, 14 generator, 7 exception
};

struct Collation {
    QString name;
    QString charset;
    int attributes = 0;
    QString baseCollation;
    QString specificAttributes;
    QString description;
};

struct Charset {
    QString name;
    int id = 0;
    int bytesPerCharacter = 1;
    QString defaultCollation;
    QString description;
};

struct Filter {
    QString name;
    int inputSubType = 0, outputSubType = 0;
    QString entryPoint, moduleName;
    QString description;
};

// One row of RDB$DEPENDENCIES.
struct Dependency {
    QString dependent;
    int dependentType = 0;
    QString dependedOn;
    int dependedOnType = 0;
    QString field;
};

struct Catalog {
    QString databaseName; // as the connection names it
    int pageSize = 0;
    int dialect = 3;
    QString defaultCharset; // empty: NONE
    QString description;
    int linger = 0;

    QMap<QString, Domain> domains; // user and implicit, by name
    QList<Relation> relations;     // tables and views, by name
    QList<Constraint> constraints; // by relation, then name
    QList<Index> indices;          // by relation, then name
    QList<Routine> procedures;     // by name
    QList<Routine> functions;      // by name
    QList<Package> packages;
    QList<Trigger> triggers;
    QList<Generator> generators;
    QHash<QString, qint64> identityStarts; // START WITH of the sequences behind identity columns
    QList<Exception> exceptions;
    QList<Role> roles;
    QList<GrantEntry> privileges;
    QList<Collation> collations;   // the user's own
    QList<Charset> charsets;       // every character set (names of the ids in types)
    QHash<int, QString> collationNames; // (charset id << 8 | collation id) to name
    QList<Filter> filters;
    QList<Dependency> dependencies;

    // Lookups by name (and character sets by id), ready once reindex() ran (readCatalog does).
    void reindex();
    const Relation* relation(const QString& name) const;
    const Charset* charset(int id) const;
    const Charset* charsetNamed(const QString& name) const;
    QString collationName(int charsetId, int collationId) const;
    const Index* index(const QString& name) const;
    const Constraint* constraintNamed(const QString& name) const;
    // The primary or unique key a foreign key refers to.
    const Constraint* referencedKey(const Constraint& foreignKey) const;

private:
    QHash<QString, int> m_relations, m_indices, m_constraints;
    QHash<int, int> m_charsets;
};

// Reads the catalogue through `db` (connected) in a read-only snapshot transaction of its own.
// Raises DbError / AppError. Runs on whatever thread holds the connection.
Catalog readCatalog(Database* db);
