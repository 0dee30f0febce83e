#pragma once
#include <QString>

struct AdminTarget;

// What an attachment of our own finds at a database path before a restore goes there.
struct DatabaseProbe {
    enum State { Missing, Reachable, ShutDown } state = Missing;
    int otherAttachments = 0; // users' attachments besides the probe's own (not the engine's)
};

// Raises the server's error when the answer is neither of these (no right to open it, a file that
// is not a database...): then nothing may be assumed about it.
DatabaseProbe probeDatabase(const AdminTarget& database);

// Drops a database that a failed restore left half-made: brought online first (the restore keeps
// it shut down while it works), then dropped through an attachment of our own.
void dropDatabase(const AdminTarget& database);
