#include "admin/utilitystopper.h"
#include "admin/admintarget.h"

UtilityStopper::UtilityStopper(const AdminTarget& database)
    : m_attachment(database.connectionString, database.user, database.password) {
    const auto rows = m_attachment.rows(QStringLiteral("select current_connection from rdb$database"));
    m_marker = rows.isEmpty() ? 0 : rows.first().value(0).toLongLong();
}

bool UtilityStopper::stop() {
    try {
        const auto found = m_attachment.rows(
            QStringLiteral("select min(MON$ATTACHMENT_ID) from MON$ATTACHMENTS where MON$ATTACHMENT_ID > ? "
                           "and MON$ATTACHMENT_ID <> current_connection and MON$SYSTEM_FLAG = 0 "
                           "and MON$REMOTE_PROCESS is null and MON$CLIENT_VERSION is null "
                           "and MON$USER = current_user"),
            {m_marker});
        if (found.isEmpty() || !found.first().value(0).isValid()) return false;
        m_attachment.execute(QStringLiteral("delete from MON$ATTACHMENTS where MON$ATTACHMENT_ID = ?"),
                             {found.first().value(0)});
        return true;
    } catch (...) {
        return false;
    }
}
