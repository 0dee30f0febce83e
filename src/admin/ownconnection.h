#pragma once
#include <QString>

// Some actions need the database alone (a full validation, mend, a shutdown, the read-only
// mode): the program's own attachment would stop them. It is let go first (its pending work is
// committed, as closing the database does; the windows stay open) and taken again afterwards
// with the login kept in memory, so that the windows go on working.
namespace OwnConnection {
// Raises the busy message while a statement of an SQL command window runs. Nothing when the
// program is not attached.
void release();
// Attaches again and starts the default transaction. False, with the server's words in
// `reason`, when the database does not take the program now (it is shut down): the windows then
// attach when they next need the database. Nothing to do (true) when the database was closed
// meanwhile.
bool retake(QString* reason = nullptr);
} // namespace OwnConnection
