#include "admin/maintenance.h"
#include "admin/actionerrors.h"
#include "admin/admintarget.h"
#include "admin/serviceaction.h"
#include "admin/servicejob.h"
#include "admin/serviceparams.h"
#include "admin/utilitystopper.h"
#include "connection/fberror.h"
#include <ibase.h>
#include <memory>

namespace {
ServiceParams properties(const QString& path) {
    ServiceParams r = ServiceParams::request(isc_action_svc_properties);
    r.addText(isc_spb_dbname, path);
    return r;
}

ServiceParams repair(const QString& path, quint32 flags) {
    ServiceParams r = ServiceParams::request(isc_action_svc_repair);
    r.addText(isc_spb_dbname, path);
    r.addInt(isc_spb_options, flags);
    return r;
}

unsigned char modeByte(ShutdownMode mode) {
    switch (mode) {
    case ShutdownMode::Multi:
        return isc_spb_prp_sm_multi;
    case ShutdownMode::Single:
        return isc_spb_prp_sm_single;
    case ShutdownMode::Full:
        return isc_spb_prp_sm_full;
    case ShutdownMode::Online:
        break;
    }
    return isc_spb_prp_sm_normal;
}

// The repair action gives the validation's summary as its error.
bool isValidationSummary(const DbError& e) {
    return e.message().startsWith(QLatin1String("Summary of validation errors"));
}
} // namespace

ServiceParams shutdownRequest(const QString& path, ShutdownMode mode, ShutdownMethod method, int timeoutSeconds) {
    ServiceParams r = properties(path);
    r.addByte(isc_spb_prp_shutdown_mode, modeByte(mode));
    const quint32 timeout = static_cast<quint32>(std::max(0, timeoutSeconds));
    switch (method) {
    case ShutdownMethod::Force:
        r.addInt(isc_spb_prp_force_shutdown, timeout);
        break;
    case ShutdownMethod::DenyNewAttachments:
        r.addInt(isc_spb_prp_attachments_shutdown, timeout);
        break;
    case ShutdownMethod::DenyNewTransactions:
        r.addInt(isc_spb_prp_transactions_shutdown, timeout);
        break;
    }
    return r;
}

ServiceParams onlineRequest(const QString& path) {
    ServiceParams r = properties(path);
    r.addByte(isc_spb_prp_online_mode, isc_spb_prp_sm_normal);
    return r;
}

ServiceParams sweepIntervalRequest(const QString& path, quint32 interval) {
    ServiceParams r = properties(path);
    r.addInt(isc_spb_prp_sweep_interval, interval);
    return r;
}

ServiceParams pageBuffersRequest(const QString& path, quint32 buffers) {
    ServiceParams r = properties(path);
    r.addInt(isc_spb_prp_page_buffers, buffers);
    return r;
}

ServiceParams forcedWritesRequest(const QString& path, bool on) {
    ServiceParams r = properties(path);
    r.addByte(isc_spb_prp_write_mode, on ? isc_spb_prp_wm_sync : isc_spb_prp_wm_async);
    return r;
}

ServiceParams readOnlyRequest(const QString& path, bool on) {
    ServiceParams r = properties(path);
    r.addByte(isc_spb_prp_access_mode, on ? isc_spb_prp_am_readonly : isc_spb_prp_am_readwrite);
    return r;
}

ServiceParams dialectRequest(const QString& path, int dialect) {
    ServiceParams r = properties(path);
    r.addInt(isc_spb_prp_set_sql_dialect, static_cast<quint32>(dialect));
    return r;
}

ServiceParams sweepRequest(const QString& path) {
    return repair(path, isc_spb_rpr_sweep_db);
}

ServiceParams mendRequest(const QString& path) {
    return repair(path, isc_spb_rpr_mend_db);
}

ServiceParams fullValidationRequest(const QString& path) {
    return repair(path, isc_spb_rpr_validate_db | isc_spb_rpr_full | isc_spb_rpr_check_db);
}

ServiceParams onlineValidationRequest(const QString& path) {
    ServiceParams r = ServiceParams::request(isc_action_svc_validate);
    r.addText(isc_spb_dbname, path);
    return r;
}

QStringList runMaintenance(ServiceJob& job, const AdminTarget& database, const ServiceParams& request,
                           const QString& lead, bool stoppable) {
    std::unique_ptr<UtilityStopper> stopper;
    bool stopped = false;
    QStringList lines;
    try {
        if (stoppable) {
            try {
                stopper = std::make_unique<UtilityStopper>(database);
            } catch (...) {
            }
        }
        runServiceAction(
            job, database.serviceLogin(), request,
            [&](const QString& line) {
                lines.append(line);
                job.postLine(line);
            },
            {}, [&]() -> bool { return stopper && (stopped = stopper->stop()); });
        if (job.abandoned()) throw ActionCancelled(QStringLiteral("Cancelado"));
        return lines;
    } catch (const DbError& e) {
        if (isValidationSummary(e)) {
            for (const QString& l : e.message().split(QStringLiteral("\r\n"))) {
                lines.append(l);
                job.postLine(l);
            }
            return lines;
        }
        if (stopped) throw ActionCancelled(QStringLiteral("Cancelado"));
        const ServiceLogin login = database.serviceLogin();
        raiseWithLead(std::current_exception(), lead,
                      QStringLiteral("A conexão com o servidor foi perdida.") + ' ' + lead, &login);
    } catch (...) {
        if (stopped && !isCancellation(std::current_exception())) throw ActionCancelled(QStringLiteral("Cancelado"));
        raiseWithLead(std::current_exception(), lead, lead);
    }
}

QStringList validationFindings(const QStringList& output) {
    QStringList findings;
    bool summary = false;
    for (const QString& raw : output) {
        QString line = raw.trimmed();
        if (line.startsWith('-')) line = line.mid(1).trimmed();
        if (line.startsWith(QLatin1String("Summary of validation errors"))) {
            summary = true;
            findings.append(line);
            continue;
        }
        // Online validation: "hh:mm:ss.ss Error: ...", "... Warning: ...", "Relation 128 (T) : 2 ERRORS found".
        if (summary || line.contains(QLatin1String("Error:")) || line.contains(QLatin1String("Warning:")) ||
            line.contains(QLatin1String("ERRORS found")) || line.contains(QLatin1String("WARNINGS found")))
            findings.append(line);
    }
    return findings;
}
