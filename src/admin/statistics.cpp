#include "admin/statistics.h"
#include "admin/actionerrors.h"
#include "admin/admintarget.h"
#include "admin/privateattachment.h"
#include "admin/serviceaction.h"
#include "admin/servicejob.h"
#include "admin/serviceparams.h"
#include "admin/utilitystopper.h"
#include <QHash>
#include <ibase.h>
#include <memory>

ServiceParams statisticsRequest(const QString& databasePath, bool headerOnly, const StatisticsOptions& options) {
    ServiceParams r = ServiceParams::request(isc_action_svc_db_stats);
    r.addText(isc_spb_dbname, databasePath);
    quint32 flags = headerOnly ? isc_spb_sts_hdr_pages
                               : isc_spb_sts_data_pages | isc_spb_sts_idx_pages | isc_spb_sts_record_versions;
    if (!headerOnly && options.systemTables) flags |= isc_spb_sts_sys_relations;
    r.addInt(isc_spb_options, flags);
    return r;
}

HeaderPage readHeaderPage(const ServiceLogin& login, const QString& databasePath) {
    ServiceConnection service(login);
    service.start(statisticsRequest(databasePath, true));
    return parseStatistics(service.readAll()).header;
}

DbStatistics runStatistics(ServiceJob& job, const AdminTarget& database, const StatisticsOptions& options) {
    std::unique_ptr<UtilityStopper> stopper;
    bool stopped = false;
    try {
        try {
            stopper = std::make_unique<UtilityStopper>(database);
        } catch (...) {
        }
        QStringList lines;
        runServiceAction(
            job, database.serviceLogin(), statisticsRequest(database.path(), false, options),
            [&](const QString& line) { lines.append(line); }, {},
            [&]() -> bool { return stopper && (stopped = stopper->stop()); });
        if (job.abandoned()) throw ActionCancelled(QStringLiteral("Leitura cancelada"));
        DbStatistics stats = parseStatistics(lines);

        // The selectivity the optimizer uses, as the catalogue holds it.
        PrivateAttachment catalogue(database.connectionString, database.user, database.password);
        QHash<QString, double> selectivity;
        const auto rows = catalogue.rows(
            QStringLiteral("select trim(RDB$INDEX_NAME), RDB$STATISTICS from RDB$INDICES"));
        for (const QVariantList& row : rows)
            if (row.value(1).isValid()) selectivity.insert(row.value(0).toString(), row.value(1).toDouble());
        for (IndexStats& i : stats.indexes)
            i.selectivity = selectivity.value(i.name, -1);
        return stats;
    } catch (...) {
        const std::exception_ptr error = std::current_exception();
        if (stopped && !isCancellation(error)) throw ActionCancelled(QStringLiteral("Leitura cancelada"));
        const ServiceLogin login = database.serviceLogin();
        raiseWithLead(error, QStringLiteral("As estatísticas não foram lidas."),
                      QStringLiteral("A conexão com o servidor foi perdida; as estatísticas não foram lidas."), &login);
    }
}
