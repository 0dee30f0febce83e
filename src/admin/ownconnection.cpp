#include "admin/ownconnection.h"
#include "connection/database.h"
#include "connection/dm.h"
#include "connection/transaction.h"
#include "platform/apperror.h"

namespace OwnConnection {
void release() {
    TdM* dm = TdM::instance();
    if (!dm || !dm->Banco->connected()) return;
    dm->Banco->checkFree();
    dm->Banco->setConnected(false);
}

bool retake(QString* reason) {
    TdM* dm = TdM::instance();
    if (!dm || !databaseIsOpen()) return true; // closed meanwhile: nothing to take again
    try {
        dm->Banco->reconnect();
        dm->Trans->setActive(true);
        return true;
    } catch (const std::exception& e) {
        if (reason) *reason = errorMessage(e);
        return false;
    }
}
} // namespace OwnConnection
