#pragma once
#include "admin/dbstats.h"
#include <QString>
#include <QStringList>

class ServiceJob;
class ServiceParams;
struct AdminTarget;

// What a shutdown does to the work in progress: ends it after the timeout (force), or waits at
// most the timeout for the attachments (or transactions) to end by themselves and fails otherwise.
enum class ShutdownMethod { Force, DenyNewAttachments, DenyNewTransactions };

// Requests of the properties and repair actions (isc_action_svc_properties, _repair, _validate).
ServiceParams shutdownRequest(const QString& path, ShutdownMode mode, ShutdownMethod method, int timeoutSeconds);
ServiceParams onlineRequest(const QString& path);
ServiceParams sweepIntervalRequest(const QString& path, quint32 interval);
ServiceParams pageBuffersRequest(const QString& path, quint32 buffers);
ServiceParams forcedWritesRequest(const QString& path, bool on);
ServiceParams readOnlyRequest(const QString& path, bool on);
ServiceParams dialectRequest(const QString& path, int dialect);
ServiceParams sweepRequest(const QString& path);
ServiceParams mendRequest(const QString& path);
// Full validation that changes nothing (gfix -v -full -n): the database alone.
ServiceParams fullValidationRequest(const QString& path);
// Online validation: the database may be in use meanwhile.
ServiceParams onlineValidationRequest(const QString& path);

// Runs one of these on the job's thread; its output lines go to the job and are returned. A
// validation's findings come back as the action's error ("Summary of validation errors"): they
// are returned as lines then, not raised. `lead` comes before the server's words when the action
// fails ("O sweep não foi concluído."). `stoppable`: a cancel ends the action by its attachment
// (sweep, online validation); otherwise a cancel says that it goes on.
QStringList runMaintenance(ServiceJob& job, const AdminTarget& database, const ServiceParams& request,
                           const QString& lead, bool stoppable);

// The findings of a validation: its error lines and the summary's counts.
QStringList validationFindings(const QStringList& output);
