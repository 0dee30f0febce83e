#pragma once
#include "admin/serverplace.h"
#include <QString>
#include <optional>

class ServiceJob;
class ServiceParams;
struct AdminTarget;

struct RestoreOptions {
    QString backupFile;   // on the server's side
    QString databasePath; // the new database, on the server's side
    int pageSize = 0;     // 0: as in the backup
    int pageBuffers = 0;  // 0: the server's default
    bool deactivateIndexes = false;
    bool noValidityChecks = false;
    bool oneTableAtATime = false;
    bool useAllSpace = false;
    bool readOnly = false;
    bool replace = false; // replace an existing database
};

struct RestoreResult {
    QString database;      // where the restored database is
    bool replaced = false; // it took the place of an existing one
    QString note;          // what the user must know beyond "Restauração concluída"
};

// The request of isc_service_start for restoring into `databasePath`. It always creates the
// database: the server's own replace, which deletes the old database before the new one is
// complete, is never asked for.
ServiceParams restoreRequest(const QString& backupFile, const QString& databasePath, const RestoreOptions& options);

// Restores on the job's thread; the verbose lines go to the job. `server` is the target server
// with its login (its path is ignored); `openDatabase` is the program's open database, if any.
//
// Replacing never loses the old database. Where this program can rename the server's files, the
// backup is restored under a new name beside the old database and moved into its place only after
// the restore succeeded (the old database is first shut down so that nobody is working in it
// while it goes). Elsewhere (a remote server) it is restored under a new name, which the result
// tells. A failed or cancelled restore removes the half-made database and leaves the old one as it
// was. Replacing the program's open database, or one with attachments, is refused before anything
// starts. Raises "A restauração não foi concluída." with the reason.
RestoreResult runRestore(ServiceJob& job, const AdminTarget& server, const RestoreOptions& options,
                         const std::optional<ServerPlace>& openDatabase);
