#include "admin/databaseprobe.h"
#include "admin/admintarget.h"
#include "admin/maintenance.h"
#include "admin/privateattachment.h"
#include "admin/serviceconnection.h"
#include "admin/serviceparams.h"
#include "connection/fbapi.h"
#include "connection/fberror.h"
#include <cerrno>
#include <string>

namespace {
// A bare attachment (RAII) whose failure is looked at cluster by cluster.
class RawAttachment {
public:
    RawAttachment(const AdminTarget& db, ISC_STATUS* status) {
        std::string dpb;
        dpb += static_cast<char>(isc_dpb_version1);
        auto add = [&dpb](char item, const QByteArray& v) {
            dpb += item;
            dpb += static_cast<char>(std::min<qsizetype>(v.size(), 255));
            dpb.append(v.constData(), static_cast<size_t>(std::min<qsizetype>(v.size(), 255)));
        };
        add(isc_dpb_user_name, db.user.toUtf8());
        if (!db.password.isEmpty()) add(isc_dpb_password, db.password.toUtf8());
        dpb += static_cast<char>(isc_dpb_utf8_filename);
        dpb += static_cast<char>(0);
        const QByteArray name = db.connectionString.toUtf8();
        fbApi().isc_attach_database(status, static_cast<short>(name.size()), name.constData(), &m_handle,
                                    static_cast<short>(dpb.size()), dpb.data());
        std::fill(dpb.begin(), dpb.end(), '\0');
        if (statusFailed(status)) m_handle = 0;
    }
    ~RawAttachment() {
        ISC_STATUS_ARRAY status = {};
        if (m_handle) fbApi().isc_detach_database(status, &m_handle);
    }
    isc_db_handle* handle() { return &m_handle; }
    bool attached() const { return m_handle != 0; }

private:
    isc_db_handle m_handle = 0;
};

// Whether a status vector holds this engine code.
bool holds(const ISC_STATUS* status, ISC_STATUS code) {
    for (const ISC_STATUS* p = status; *p != isc_arg_end;) {
        if (p[0] == isc_arg_gds && p[1] == code) return true;
        p += p[0] == isc_arg_cstring ? 3 : 2;
    }
    return false;
}

// The open failed because there is no such file: the system's error number here, its text from a
// server (which sends the words, not the number).
bool noSuchFile(const ISC_STATUS* status) {
    if (!holds(status, isc_io_error)) return false;
    for (const ISC_STATUS* p = status; *p != isc_arg_end;) {
        if ((p[0] == isc_arg_unix && p[1] == ENOENT) || (p[0] == isc_arg_win32 && (p[1] == 2 || p[1] == 3)))
            return true;
        if (p[0] == isc_arg_interpreted || p[0] == isc_arg_string) {
            const QString text = QString::fromUtf8(reinterpret_cast<const char*>(p[1]));
            if (text.contains(QLatin1String("No such file")) || text.contains(QLatin1String("cannot find the")))
                return true;
        }
        p += p[0] == isc_arg_cstring ? 3 : 2;
    }
    return false;
}
} // namespace

DatabaseProbe probeDatabase(const AdminTarget& database) {
    DatabaseProbe probe;
    {
        ISC_STATUS_ARRAY status = {};
        RawAttachment raw(database, status);
        if (!raw.attached()) {
            if (noSuchFile(status)) return probe; // Missing
            if (holds(status, isc_shutdown) || holds(status, isc_shutinprog)) {
                probe.state = DatabaseProbe::ShutDown;
                return probe;
            }
            raiseStatus(status);
        }
    }
    probe.state = DatabaseProbe::Reachable;
    PrivateAttachment a(database.connectionString, database.user, database.password);
    const auto rows = a.rows(QStringLiteral("select count(*) from MON$ATTACHMENTS where MON$SYSTEM_FLAG = 0 "
                                            "and MON$ATTACHMENT_ID <> current_connection"));
    probe.otherAttachments = rows.isEmpty() ? 0 : rows.first().value(0).toInt();
    return probe;
}

void dropDatabase(const AdminTarget& database) {
    {
        ServiceConnection service(database.serviceLogin());
        service.start(onlineRequest(database.path()));
        service.readAll();
    }
    ISC_STATUS_ARRAY status = {};
    RawAttachment raw(database, status);
    checkStatus(status);
    fbApi().isc_drop_database(status, raw.handle());
    checkStatus(status);
    *raw.handle() = 0; // dropped: nothing left to detach
}
