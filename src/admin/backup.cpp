#include "admin/backup.h"
#include "admin/actionerrors.h"
#include "admin/admintarget.h"
#include "admin/gbakprogress.h"
#include "admin/serverfiles.h"
#include "admin/serviceaction.h"
#include "admin/servicejob.h"
#include "admin/serviceparams.h"
#include "admin/utilitystopper.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <ibase.h>
#include <memory>

namespace {
const QString kNotDone = QStringLiteral("O backup não foi concluído.");
const QString kLost = QStringLiteral("A conexão com o servidor foi perdida durante o backup; o backup não foi concluído.");

quint32 backupFlags(const BackupOptions& o) {
    quint32 flags = 0;
    if (o.metadataOnly) flags |= isc_spb_bkp_metadata_only;
    if (o.noGarbageCollection) flags |= isc_spb_bkp_no_garbage_collect;
    if (o.ignoreChecksums) flags |= isc_spb_bkp_ignore_checksums;
    if (o.ignoreLimbo) flags |= isc_spb_bkp_ignore_limbo;
    if (o.nonTransportable) flags |= isc_spb_bkp_non_transportable;
    return flags;
}

// Checks what can be checked here before the server is asked.
void checkFolder(const QString& file) {
    const QFileInfo info(file);
    if (!info.absoluteDir().exists())
        throw AppError(QStringLiteral("A pasta %1 não existe.").arg(QDir::toNativeSeparators(info.absolutePath())));
    if (info.isDir()) throw AppError(QStringLiteral("%1 é uma pasta, não um arquivo.").arg(file));
}

// Ends the utility's attachment when the user cancels; made before the action starts. `stopped`
// tells afterwards whether the server's action was ended that way.
ActionStopper stopperFor(const AdminTarget& database, std::unique_ptr<UtilityStopper>& holder, bool& stopped) {
    try {
        holder = std::make_unique<UtilityStopper>(database);
    } catch (...) {
        return {}; // no way to stop it: a cancel says so
    }
    return [&holder, &stopped] { return stopped = holder->stop(); };
}

BackupResult streamBackup(ServiceJob& job, const AdminTarget& database, const BackupOptions& options,
                          const ActionStopper& stop) {
    QSaveFile out(options.file);
    if (!out.open(QIODevice::WriteOnly))
        throw AppError(QStringLiteral("Não foi possível criar o arquivo %1: %2").arg(options.file, out.errorString()));
    qint64 bytes = 0;
    runServiceAction(
        job, database.serviceLogin(),
        backupRequest(database.path(), QStringLiteral("stdout"), options, false), [](const QString&) {},
        [&](const QByteArray& data) {
            if (data.isEmpty()) return;
            if (out.write(data) != data.size())
                throw AppError(QStringLiteral("Não foi possível gravar o arquivo %1: %2").arg(options.file, out.errorString()));
            bytes += data.size();
            job.addBytes(data.size());
        },
        stop);
    if (job.abandoned() || job.cancelRequested()) {
        out.cancelWriting();
        throw ActionCancelled(QStringLiteral("Backup cancelado"));
    }
    if (!out.commit())
        throw AppError(QStringLiteral("Não foi possível gravar o arquivo %1: %2").arg(options.file, out.errorString()));
    return {options.file, bytes};
}
} // namespace

QString proposedBackupFile(const QString& databasePath) {
    const int sep = std::max(databasePath.lastIndexOf('/'), databasePath.lastIndexOf('\\'));
    const int dot = databasePath.lastIndexOf('.');
    return (dot > sep + 1 ? databasePath.left(dot) : databasePath) + QStringLiteral(".fbk");
}

ServiceParams backupRequest(const QString& databasePath, const QString& file, const BackupOptions& options,
                            bool verbose) {
    ServiceParams r = ServiceParams::request(isc_action_svc_backup);
    r.addText(isc_spb_dbname, databasePath);
    r.addText(isc_spb_bkp_file, file);
    if (verbose) r.addFlag(isc_spb_verbose);
    if (const quint32 flags = backupFlags(options)) r.addInt(isc_spb_options, flags);
    return r;
}

BackupResult runBackup(ServiceJob& job, const AdminTarget& database, const BackupOptions& given) {
    BackupOptions options = given;
    options.file = options.file.trimmed();
    if (options.file.isEmpty()) throw AppError(QStringLiteral("Informe o arquivo de backup."));

    std::unique_ptr<UtilityStopper> stopper;
    bool stopped = false;
    const ActionStopper stop = stopperFor(database, stopper, stopped);
    QString work; // the file the server writes, when it is not the backup file itself
    try {
        if (options.streamHere) return streamBackup(job, database, options, stop);

        const bool here = database.place.filesHere();
        if (here) {
            checkFolder(options.file);
            if (folderWritable(options.file)) work = freeNameBeside(options.file, QStringLiteral(".parcial"));
        }
        GbakProgress progress;
        runServiceAction(
            job, database.serviceLogin(), backupRequest(database.path(), work.isEmpty() ? options.file : work, options, true),
            [&](const QString& line) {
                progress.read(line);
                job.postLine(line);
            },
            {}, stop);
        if (job.abandoned()) throw ActionCancelled(QStringLiteral("Backup cancelado"));
        if (!work.isEmpty()) {
            replaceFile(work, options.file);
            work.clear();
        }
        BackupResult result{options.file, progress.bytesWritten()};
        if (here && QFileInfo::exists(options.file)) result.bytes = QFileInfo(options.file).size();
        return result;
    } catch (...) {
        const std::exception_ptr error = std::current_exception();
        if (!work.isEmpty()) QFile::remove(work);
        if ((stopped || job.abandoned()) && !isCancellation(error))
            throw ActionCancelled(QStringLiteral("Backup cancelado"));
        QString lead = kNotDone;
        if (!database.place.filesHere() && !options.streamHere)
            lead += QStringLiteral(" O arquivo %1 no servidor pode ter ficado incompleto: não o use.").arg(options.file);
        const ServiceLogin login = database.serviceLogin();
        raiseWithLead(error, lead, kLost, &login);
    }
}
