#pragma once
#include <QString>

// The commands of a script that belong to isql rather than to the server (SET TERM is the
// splitter's own). A script run in the SQL command window honours the ones that change how
// statements run, passes over those that only change isql's screen output, and refuses those that
// would make it work somewhere other than the open database.
struct IsqlCommand {
    enum Kind {
        None,       // a statement for the server
        AutoDdlOn,  // SET AUTODDL ON: each DDL statement commits in a transaction of its own
        AutoDdlOff, // SET AUTODDL OFF: DDL runs in the window's transaction, as DML does
        Ignored,    // isql's output settings (SET LIST, SET ECHO...): nothing to do here
        Refused,    // SET NAMES, SET SQL DIALECT, CREATE DATABASE, CONNECT
    };
    Kind kind = None;
    QString name; // the command as isql names it ("SET NAMES"), for the refusal's message
};

// What `statement` (one statement of splitScript, without its terminator) is. `autoDdl` is the
// setting in force, for a bare "SET AUTODDL", which turns it over as isql does.
IsqlCommand isqlCommand(const QString& statement, bool autoDdl = true);

// The message of a refused command, which names it and the line it is on (1-based).
QString refusedCommandMessage(const IsqlCommand& command, int line);
