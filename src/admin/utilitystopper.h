#pragma once
#include "admin/privateattachment.h"
#include <QString>

struct AdminTarget;

// Stops an action that a service runs inside a database (a backup, a sweep, an online validation,
// the statistics): the service manager has no command for it, but the utility works through an
// attachment of its own, and ending that attachment ends the action with the "connection
// shutdown" error. Made before the action starts, so that the utility's attachment is told from
// older ones: it is the first one made after this one's by the same user, with no client process
// and no client version (as every attachment of the server's own utilities).
class UtilityStopper {
public:
    explicit UtilityStopper(const AdminTarget& database);
    // True when the utility's attachment was found and ended.
    bool stop();

private:
    PrivateAttachment m_attachment;
    qint64 m_marker = 0;
};
