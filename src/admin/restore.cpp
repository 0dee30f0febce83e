#include "admin/restore.h"
#include "admin/actionerrors.h"
#include "admin/admintarget.h"
#include "admin/databaseprobe.h"
#include "admin/gbakprogress.h"
#include "admin/maintenance.h"
#include "admin/serverfiles.h"
#include "admin/serviceaction.h"
#include "admin/servicejob.h"
#include "admin/serviceparams.h"
#include "admin/statistics.h"
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include "connection/fberror.h"
#include <fcntl.h>
#include <ibase.h>
#include <mutex>
#include <unistd.h>

namespace {
const QString kNotDone = QStringLiteral("A restauração não foi concluída.");
const QString kLost =
    QStringLiteral("A conexão com o servidor foi perdida durante a restauração; a restauração não foi concluída.");

quint32 restoreFlags(const RestoreOptions& o) {
    quint32 flags = isc_spb_res_create;
    if (o.deactivateIndexes) flags |= isc_spb_res_deactivate_idx;
    if (o.noValidityChecks) flags |= isc_spb_res_no_validity;
    if (o.oneTableAtATime) flags |= isc_spb_res_one_at_a_time;
    if (o.useAllSpace) flags |= isc_spb_res_use_all_space;
    return flags;
}

// The embedded engine's gbak asks on the console for the next volume of a backup that ends too
// soon, and would wait there for an answer; the program has no console, so its input becomes the
// empty device (once, for the whole process).
void closeConsoleInput() {
    static std::once_flag once;
    std::call_once(once, [] {
        const int fd = ::open("/dev/null", O_RDONLY);
        if (fd < 0) return;
        ::dup2(fd, STDIN_FILENO);
        ::close(fd);
    });
}

// The restore ended without completing, though the server said nothing (the embedded engine).
class EndedEarly : public AppError {
public:
    EndedEarly() : AppError(QStringLiteral("O servidor encerrou a restauração sem completá-la")) {}
};

// The backup file ends too soon: the utility's read error with the server still there, or a
// restore that ended early.
bool backupCutShort(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const EndedEarly&) {
        return true;
    } catch (const DbError& e) {
        return e.engineCode() == isc_net_read_err;
    } catch (...) {
        return false;
    }
}

// Runs one properties action to its end; raises its error.
void runProperties(const AdminTarget& db, const ServiceParams& request) {
    ServiceConnection service(db.serviceLogin());
    service.start(request);
    service.readAll();
}

// Removes what a failed or cancelled restore made at `made`; an empty text when it is gone,
// otherwise what the user must know.
QString removeHalfMade(const AdminTarget& made) {
    if (made.place.filesHere() && QFile::remove(made.path())) return {};
    try {
        dropDatabase(made);
        return {};
    } catch (const std::exception& e) {
        return QStringLiteral(" O banco incompleto %1 não pôde ser removido: %2").arg(made.path(), errorMessage(e));
    }
}

// Puts the restored database `made` in the place of `old`. The old one is shut down first (unless it
// already is), which fails while anybody works in it; then the file is moved over it in one step.
void swapInto(const AdminTarget& made, const AdminTarget& old) {
    const HeaderPage header = readHeaderPage(old.serviceLogin(), old.path());
    const bool shutHere = header.shutdown != ShutdownMode::Full;
    const QString kept = QStringLiteral("O banco restaurado está em %1.").arg(made.path());
    if (shutHere) {
        try {
            runProperties(old, shutdownRequest(old.path(), ShutdownMode::Full, ShutdownMethod::DenyNewAttachments, 0));
        } catch (const std::exception& e) {
            throw AppError(QStringLiteral("A restauração terminou, mas o banco %1 passou a ter conexões e não foi "
                                          "substituído. %2\r\n%3")
                               .arg(old.path(), kept, errorMessage(e)));
        }
    }
    try {
        replaceFile(made.path(), old.path());
    } catch (const std::exception& e) {
        if (shutHere) {
            try {
                runProperties(old, onlineRequest(old.path()));
            } catch (...) {
            }
        }
        throw AppError(QStringLiteral("A restauração terminou, mas o banco %1 não foi substituído. %2\r\n%3")
                           .arg(old.path(), kept, errorMessage(e)));
    }
}
} // namespace

ServiceParams restoreRequest(const QString& backupFile, const QString& databasePath, const RestoreOptions& options) {
    ServiceParams r = ServiceParams::request(isc_action_svc_restore);
    r.addText(isc_spb_bkp_file, backupFile);
    r.addText(isc_spb_dbname, databasePath);
    r.addFlag(isc_spb_verbose);
    r.addInt(isc_spb_options, restoreFlags(options));
    if (options.pageSize > 0) r.addInt(isc_spb_res_page_size, static_cast<quint32>(options.pageSize));
    if (options.pageBuffers > 0) r.addInt(isc_spb_res_buffers, static_cast<quint32>(options.pageBuffers));
    if (options.readOnly) r.addByte(isc_spb_res_access_mode, isc_spb_res_am_readonly);
    return r;
}

RestoreResult runRestore(ServiceJob& job, const AdminTarget& server, const RestoreOptions& given,
                         const std::optional<ServerPlace>& openDatabase) {
    RestoreOptions o = given;
    o.backupFile = o.backupFile.trimmed();
    o.databasePath = o.databasePath.trimmed();
    if (o.backupFile.isEmpty()) throw AppError(QStringLiteral("Informe o arquivo de backup."));
    if (o.databasePath.isEmpty()) throw AppError(QStringLiteral("Informe o caminho do novo banco."));

    ServerPlace place = server.place;
    place.path = o.databasePath;
    const AdminTarget target = AdminTarget::of(place.connectionString(o.databasePath), server.user, server.password);
    const bool here = place.filesHere();
    if (here) {
        if (!QFileInfo(o.backupFile).isFile())
            throw AppError(QStringLiteral("O arquivo de backup %1 não existe.").arg(o.backupFile));
        const QFileInfo info(o.databasePath);
        if (!info.absoluteDir().exists())
            throw AppError(QStringLiteral("A pasta %1 não existe.").arg(QDir::toNativeSeparators(info.absolutePath())));
    }
    if (openDatabase && openDatabase->sameDatabase(place))
        throw AppError(QStringLiteral("O banco %1 está aberto neste programa. Feche-o (Banco, Fecha Banco) antes "
                                      "de restaurar sobre ele.")
                           .arg(o.databasePath));

    DatabaseProbe probe;
    try {
        probe = probeDatabase(target);
    } catch (...) {
        raiseWithLead(std::current_exception(),
                      QStringLiteral("A restauração não foi iniciada: o banco %1 não pôde ser examinado.").arg(o.databasePath),
                      kLost);
    }
    const bool exists = probe.state != DatabaseProbe::Missing;
    if (exists && !o.replace)
        throw AppError(QStringLiteral("O banco %1 já existe. Marque \"Substituir banco existente\" para "
                                      "substituí-lo.")
                           .arg(o.databasePath));
    if (exists && probe.otherAttachments > 0)
        throw AppError(QStringLiteral("O banco %1 está em uso (%2). Ele só pode ser substituído quando ninguém "
                                      "estiver conectado a ele.")
                           .arg(o.databasePath,
                                probe.otherAttachments == 1 ? QStringLiteral("1 conexão")
                                                            : QStringLiteral("%1 conexões").arg(probe.otherAttachments)));

    // Where the restore writes: the path itself when nothing is there, a new name beside it otherwise.
    QString made = o.databasePath;
    bool swap = false;
    if (exists) {
        made = restoredName(o.databasePath, QDateTime::currentDateTime());
        if (here) made = freeNameBeside(made, QString());
        swap = here && folderWritable(o.databasePath);
    }
    const AdminTarget madeDb = AdminTarget::of(place.connectionString(made), server.user, server.password);

    if (place.protocol == ServerPlace::Local) closeConsoleInput();
    GbakProgress progress;
    try {
        runServiceAction(
            job, server.serviceLogin(), restoreRequest(o.backupFile, made, o),
            [&](const QString& line) {
                progress.read(line);
                job.postLine(line);
            },
            {},
            [&job] {
                job.postNote(QStringLiteral("O servidor não pode interromper a restauração: ela continua até o "
                                            "fim, e o banco restaurado é removido em seguida."));
                return true;
            });
        if (job.abandoned()) return {made, false, {}};
        // A restore that ended early leaves its database shut down; a complete one brings it online.
        if (!job.cancelRequested() && readHeaderPage(server.serviceLogin(), made).shutdown != ShutdownMode::Online)
            throw EndedEarly();
    } catch (...) {
        const std::exception_ptr error = std::current_exception();
        // Only what this restore created is removed (never a database that was there before).
        const QString left = progress.createdDatabase().isEmpty() ? QString() : removeHalfMade(madeDb);
        if (job.cancelRequested()) throw ActionCancelled(QStringLiteral("Restauração cancelada.") + left);
        const QString cut = QStringLiteral(" O arquivo de backup parece incompleto ou danificado.");
        const ServiceLogin login = server.serviceLogin();
        raiseWithLead(error, kNotDone + (backupCutShort(error) ? cut : QString()) + left, kLost + left, &login);
    }
    if (job.cancelRequested()) {
        const QString left = removeHalfMade(madeDb);
        throw ActionCancelled(QStringLiteral("Restauração cancelada: o banco restaurado foi removido.") + left);
    }

    RestoreResult result{made, false, {}};
    if (swap) {
        swapInto(madeDb, target);
        result = {o.databasePath, true, {}};
    } else if (exists) {
        result.note = QStringLiteral("O banco foi restaurado em %1. O banco %2 não foi substituído: este programa "
                                     "não pode renomear os arquivos desse servidor.")
                          .arg(made, o.databasePath);
    }
    return result;
}
