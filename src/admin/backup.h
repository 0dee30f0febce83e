#pragma once
#include <QString>

class ServiceJob;
class ServiceParams;
struct AdminTarget;

struct BackupOptions {
    QString file; // on the server's side; on this machine when streamed
    bool metadataOnly = false;
    bool noGarbageCollection = false;
    bool ignoreChecksums = false;
    bool ignoreLimbo = false;
    bool nonTransportable = false;
    // The backup's bytes come over the connection into a file of this machine (TCP/IP only).
    bool streamHere = false;
};

struct BackupResult {
    QString file;
    qint64 bytes = -1; // -1: unknown
};

// The proposed backup file: the database's path with the extension ".fbk".
QString proposedBackupFile(const QString& databasePath);

// The request of isc_service_start for a backup of `databasePath` into `file` ("stdout" when
// streamed), with the verbose lines when asked for.
ServiceParams backupRequest(const QString& databasePath, const QString& file, const BackupOptions& options,
                            bool verbose);

// Backs up the database on the job's thread; the verbose lines go to the job. Where this program
// can reach the server's files, the backup is written under a name of its own beside the file and
// put in the file's place only once it is complete (an older backup of that name stays until
// then; a failed or cancelled run leaves no file behind). Elsewhere the server writes the file
// itself and a failure says that the file may be incomplete. Raises "O backup não foi
// concluído." with the reason, or ActionCancelled("Backup cancelado") when the user cancelled.
BackupResult runBackup(ServiceJob& job, const AdminTarget& database, const BackupOptions& options);
