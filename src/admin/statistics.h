#pragma once
#include "admin/dbstats.h"

class ServiceJob;
class ServiceParams;
struct AdminTarget;
struct ServiceLogin;

struct StatisticsOptions {
    bool systemTables = false; // also the catalogue's own tables
};

// The request of the statistics action: header page, data pages, index pages and record
// versions (`headerOnly`: the header page alone).
ServiceParams statisticsRequest(const QString& databasePath, bool headerOnly, const StatisticsOptions& options = {});

// The header page of a database, read through its server's service manager (no attachment of
// the program's is used; a database that is shut down can be read too).
HeaderPage readHeaderPage(const ServiceLogin& login, const QString& databasePath);

// The whole statistics on the job's thread, with each index's selectivity as the catalogue holds
// it (RDB$INDICES, read through an attachment of the job's own). The job's cancel stops the
// server's reading. Raises "As estatísticas não foram lidas." with the reason.
DbStatistics runStatistics(ServiceJob& job, const AdminTarget& database, const StatisticsOptions& options);
