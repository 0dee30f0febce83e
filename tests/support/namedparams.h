#pragma once
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

class Database;
class Transaction;

// A statement with named parameters (:NAME, :"Exact Name") as the generator writes them, turned
// into positional markers for the server; *names receives the parameter names in order.
QString positionalParameters(const QString& sql, QStringList* names);

// Prepares and executes such a statement with values looked up by parameter name (exact first,
// then ignoring case). Returns the rows affected, or the rows read for a SELECT.
qint64 runNamed(Database* db, Transaction* tr, const QString& sql, const QHash<QString, QVariant>& values);
